#include "controls/VideoPane.h"

#include <cwchar>

using namespace DuiLib;

LPCTSTR CVideoPane::GetClass() const {
    return L"VideoPaneUI";
}

LPVOID CVideoPane::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"VideoPane") == 0) return this;
    return CVerticalLayoutUI::GetInterface(pstrName);
}

void CVideoPane::DoEvent(TEventUI& event) {
    if (m_pPane && event.Type == UIEVENT_MOUSEENTER) m_pPane->ShowToolbar(true);
    // Moving onto a control inside the pane is not leaving it.
    if (m_pPane && event.Type == UIEVENT_MOUSELEAVE && !::PtInRect(&m_rcItem, event.ptMouse))
        m_pPane->ShowToolbar(false);
    CVerticalLayoutUI::DoEvent(event);
}

LPCTSTR CVideoImgUI::GetClass() const {
    return L"VideoImgUI";
}

LPVOID CVideoImgUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"VideoImg") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CVideoImgUI::PaintStatusImage(HDC hDC) {
    if (m_pPane) m_pPane->DrawVideo(hDC);
}
