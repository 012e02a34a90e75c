#include "controls/ListFriendItem.h"

using namespace DuiLib;

namespace {
constexpr DWORD kSelectedBk = 0xFFFEEEAE;
constexpr DWORD kHotBk = 0xFFFFFFFF;
constexpr DWORD kFrame = 0xFFC8C8C8;
constexpr DWORD kEvenBk = 0x00000000;
constexpr DWORD kOddBk = 0x96FFFFFF;
constexpr DWORD kPlainFrame = 0xFFFF0000;  // not drawn: width 0
}  // namespace

void CListFriendItem::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT meet;
    if (!UIIntersectRect(&meet, rcPaint, m_rcItem) || !m_pOwner) return;
    if (m_bSelected) {
        m_dwBackColor = kSelectedBk;
        m_dwBorderColor = kFrame;
        m_nBorderSize = 1;
    } else if (m_bHot) {
        m_dwBackColor = kHotBk;
        m_dwBorderColor = kFrame;
        m_nBorderSize = 1;
    } else {
        m_dwBackColor = (m_iIndex % 2 == 0) ? kEvenBk : kOddBk;
        m_dwBorderColor = kPlainFrame;
        m_nBorderSize = 0;
    }
    CListContainerElementUI::DoPaint(hDC, rcPaint);
}

void CListFriendItem::PaintBkColor(HDC hDC) {
    CControlUI::PaintBkColor(hDC);
}
