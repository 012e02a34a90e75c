// The progress bar and the slider built on it: a range, a value and how each is drawn.
#include <algorithm>

#include "fenlo/UICommonControls.h"
#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

// ---- progress ----
LPCTSTR CProgressUI::GetClass() const {
    return L"ProgressUI";
}
LPVOID CProgressUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Progress")) return static_cast<CProgressUI*>(this);
    return CLabelUI::GetInterface(n);
}
bool CProgressUI::IsHorizontal() const {
    return m_bHorizontal;
}
void CProgressUI::SetHorizontal(bool b) {
    m_bHorizontal = b;
    Invalidate();
}
int CProgressUI::GetMinValue() const {
    return m_nMin;
}
void CProgressUI::SetMinValue(int n) {
    m_nMin = n;
    SetValue(m_nValue);
}
int CProgressUI::GetMaxValue() const {
    return m_nMax;
}
void CProgressUI::SetMaxValue(int n) {
    m_nMax = n;
    SetValue(m_nValue);
}
int CProgressUI::GetValue() const {
    return m_nValue;
}
void CProgressUI::SetValue(int n) {
    n = std::max(m_nMin, std::min(n, m_nMax));
    if (n == m_nValue) return;
    m_nValue = n;
    Invalidate();
}
LPCTSTR CProgressUI::GetForeImage() const {
    return m_sForeImage;
}
void CProgressUI::SetForeImage(LPCTSTR s) {
    m_sForeImage = s;
    Invalidate();
}
void CProgressUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"foreimage")
        SetForeImage(v);
    else if (name == L"forecolor")
        m_dwForeColor = ParseColor(v);
    else if (name == L"hor")
        SetHorizontal(ParseBool(v));
    else if (name == L"min")
        SetMinValue(ParseInt(v));
    else if (name == L"max")
        SetMaxValue(ParseInt(v));
    else if (name == L"value")
        SetValue(ParseInt(v));
    else
        CLabelUI::SetAttribute(n, v);
}
void CProgressUI::PaintStatusImage(HDC hDC) {
    if (m_nMax <= m_nMin) return;
    RECT rc = m_rcItem;
    double part = static_cast<double>(m_nValue - m_nMin) / (m_nMax - m_nMin);
    if (m_bHorizontal)
        rc.right = rc.left + static_cast<LONG>((rc.right - rc.left) * part);
    else
        rc.top = rc.bottom - static_cast<LONG>((rc.bottom - rc.top) * part);
    if (m_dwForeColor) CRenderEngine::DrawColor(hDC, rc, m_dwForeColor);
    if (!m_sForeImage.IsEmpty()) {
        CDuiString dest;
        dest.Format(L"dest='%d,%d,%d,%d'", rc.left - m_rcItem.left, rc.top - m_rcItem.top,
                    rc.right - m_rcItem.left, rc.bottom - m_rcItem.top);
        if (!DrawImage(hDC, m_sForeImage, dest)) m_sForeImage.Empty();
    }
}

// ---- slider ----
CSliderUI::CSliderUI() {
    m_uTextStyle = DT_SINGLELINE | DT_CENTER;
}
LPCTSTR CSliderUI::GetClass() const {
    return L"SliderUI";
}
UINT CSliderUI::GetControlFlags() const {
    return IsEnabled() ? UIFLAG_SETCURSOR : 0;
}
LPVOID CSliderUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Slider")) return static_cast<CSliderUI*>(this);
    return CProgressUI::GetInterface(n);
}
void CSliderUI::SetEnabled(bool b) {
    CControlUI::SetEnabled(b);
    if (!b) m_uButtonState = 0;
}
int CSliderUI::GetChangeStep() const {
    return m_nStep;
}
void CSliderUI::SetChangeStep(int s) {
    m_nStep = s;
}
void CSliderUI::SetThumbSize(SIZE s) {
    m_szThumb = s;
}
RECT CSliderUI::GetThumbRect() const {
    double part = m_nMax > m_nMin ? static_cast<double>(m_nValue - m_nMin) / (m_nMax - m_nMin) : 0;
    if (m_bHorizontal) {
        int left = m_rcItem.left +
                   static_cast<int>((m_rcItem.right - m_rcItem.left - m_szThumb.cx) * part);
        int top = (m_rcItem.bottom + m_rcItem.top - m_szThumb.cy) / 2;
        return RECT{left, top, left + m_szThumb.cx, top + m_szThumb.cy};
    }
    int left = (m_rcItem.right + m_rcItem.left - m_szThumb.cx) / 2;
    int top = m_rcItem.bottom - m_szThumb.cy -
              static_cast<int>((m_rcItem.bottom - m_rcItem.top - m_szThumb.cy) * part);
    return RECT{left, top, left + m_szThumb.cx, top + m_szThumb.cy};
}
LPCTSTR CSliderUI::GetThumbImage() const {
    return m_sThumbImage;
}
void CSliderUI::SetThumbImage(LPCTSTR s) {
    m_sThumbImage = s;
    Invalidate();
}
int CSliderUI::ValueAt(POINT pt) const {
    double part;
    if (m_bHorizontal) {
        int span = std::max<int>(1, m_rcItem.right - m_rcItem.left - m_szThumb.cx);
        part = static_cast<double>(pt.x - m_rcItem.left - m_szThumb.cx / 2) / span;
    } else {
        int span = std::max<int>(1, m_rcItem.bottom - m_rcItem.top - m_szThumb.cy);
        part = static_cast<double>(m_rcItem.bottom - pt.y - m_szThumb.cy / 2) / span;
    }
    part = std::clamp(part, 0.0, 1.0);
    return m_nMin + static_cast<int>(part * (m_nMax - m_nMin) + 0.5);
}
void CSliderUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        CProgressUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_CAPTURED;
                SetValue(ValueAt(event.ptMouse));
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_uButtonState & UISTATE_CAPTURED) SetValue(ValueAt(event.ptMouse));
            return;
        case UIEVENT_BUTTONUP:
            if (m_uButtonState & UISTATE_CAPTURED) {
                m_uButtonState &= ~UISTATE_CAPTURED;
                if (event.ptMouse.x > -100000) SetValue(ValueAt(event.ptMouse));
                if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_VALUECHANGED);
            }
            return;
        case UIEVENT_SCROLLWHEEL:
            SetValue(m_nValue + (LOWORD(event.wParam) == SB_LINEUP ? m_nStep : -m_nStep));
            if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_VALUECHANGED);
            return;
        default:
            break;
    }
    CProgressUI::DoEvent(event);
}
void CSliderUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"thumbimage")
        SetThumbImage(v);
    else if (name == L"thumbsize")
        SetThumbSize(ParseSize(v));
    else if (name == L"thumbcolor")
        m_dwThumbColor = ParseColor(v);
    else if (name == L"step")
        SetChangeStep(ParseInt(v));
    else
        CProgressUI::SetAttribute(n, v);
}
void CSliderUI::PaintStatusImage(HDC hDC) {
    CProgressUI::PaintStatusImage(hDC);
    RECT t = GetThumbRect();
    if (!m_sThumbImage.IsEmpty()) {
        CDuiString dest;
        dest.Format(L"dest='%d,%d,%d,%d'", t.left - m_rcItem.left, t.top - m_rcItem.top,
                    t.right - m_rcItem.left, t.bottom - m_rcItem.top);
        if (DrawImage(hDC, m_sThumbImage, dest)) return;
    }
    CRenderEngine::FillRoundRect(hDC, t, m_szThumb.cx, m_szThumb.cy,
                                 m_dwThumbColor ? m_dwThumbColor : 0xFF4A90D9);
}

}  // namespace DuiLib
