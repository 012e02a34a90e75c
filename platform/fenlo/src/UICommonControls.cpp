#include "fenlo/UICommonControls.h"

#include <algorithm>
#include <string>

#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

namespace {
DWORD Opaque(DWORD c) {
    return (c >> 24) == 0 && c != 0 ? (c | 0xFF000000u) : c;
}
}  // namespace

// ---- label ----
LPCTSTR CLabelUI::GetClass() const {
    return L"LabelUI";
}
LPVOID CLabelUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Label")) return static_cast<CLabelUI*>(this);
    return CControlUI::GetInterface(n);
}
void CLabelUI::SetTextStyle(UINT s) {
    m_uTextStyle = s;
    Invalidate();
}
UINT CLabelUI::GetTextStyle() const {
    return m_uTextStyle;
}
void CLabelUI::SetTextColor(DWORD c) {
    m_dwTextColor = c;
    Invalidate();
}
DWORD CLabelUI::GetTextColor() const {
    return m_dwTextColor;
}
void CLabelUI::SetDisabledTextColor(DWORD c) {
    m_dwDisabledTextColor = c;
    Invalidate();
}
DWORD CLabelUI::GetDisabledTextColor() const {
    return m_dwDisabledTextColor;
}
void CLabelUI::SetFont(int i) {
    m_iFont = i;
    Invalidate();
}
int CLabelUI::GetFont() const {
    return m_iFont;
}
RECT CLabelUI::GetTextPadding() const {
    return m_rcTextPadding;
}
void CLabelUI::SetTextPadding(RECT r) {
    m_rcTextPadding = r;
    Invalidate();
}
bool CLabelUI::IsShowHtml() const {
    return m_bShowHtml;
}
void CLabelUI::SetShowHtml(bool b) {
    m_bShowHtml = b;
    Invalidate();
}

SIZE CLabelUI::EstimateSize(SIZE szAvailable) {
    return CControlUI::EstimateSize(szAvailable);
}

void CLabelUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"align") {
        std::wstring s(v ? v : L"");
        if (s.find(L"left") != std::wstring::npos) {
            m_uTextStyle &= ~(DT_CENTER | DT_RIGHT);
            m_uTextStyle |= DT_LEFT;
        }
        if (s.find(L"center") != std::wstring::npos) {
            m_uTextStyle &= ~(DT_LEFT | DT_RIGHT);
            m_uTextStyle |= DT_CENTER;
        }
        if (s.find(L"right") != std::wstring::npos) {
            m_uTextStyle &= ~(DT_LEFT | DT_CENTER);
            m_uTextStyle |= DT_RIGHT;
        }
    } else if (name == L"valign") {
        std::wstring s(v ? v : L"");
        m_uTextStyle &= ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
        if (s == L"top")
            m_uTextStyle |= DT_TOP;
        else if (s == L"bottom")
            m_uTextStyle |= DT_BOTTOM;
        else
            m_uTextStyle |= DT_VCENTER;
    } else if (name == L"endellipsis") {
        if (ParseBool(v))
            m_uTextStyle |= DT_END_ELLIPSIS;
        else
            m_uTextStyle &= ~DT_END_ELLIPSIS;
    } else if (name == L"multiline" || name == L"wordbreak") {
        if (ParseBool(v)) {
            m_uTextStyle &= ~DT_SINGLELINE;
            m_uTextStyle |= DT_WORDBREAK;
        } else {
            m_uTextStyle |= DT_SINGLELINE;
            m_uTextStyle &= ~DT_WORDBREAK;
        }
    } else if (name == L"font")
        SetFont(ParseInt(v));
    else if (name == L"textcolor")
        SetTextColor(ParseColor(v));
    else if (name == L"disabledtextcolor")
        SetDisabledTextColor(ParseColor(v));
    else if (name == L"textpadding")
        SetTextPadding(ParseRect(v));
    else if (name == L"showhtml")
        SetShowHtml(ParseBool(v));
    else
        CControlUI::SetAttribute(n, v);
}

void CLabelUI::PaintText(HDC hDC) {
    if (m_sText.IsEmpty()) return;
    DWORD color = m_dwTextColor ? m_dwTextColor
                                : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
    if (!IsEnabled())
        color = m_dwDisabledTextColor
                    ? m_dwDisabledTextColor
                    : (m_pManager ? m_pManager->GetDefaultDisabledColor() : 0xFFA7A6AA);
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;
    if (m_bShowHtml) {
        int n = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, Opaque(color), nullptr, nullptr,
                                    n, m_uTextStyle);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, m_sText, Opaque(color), m_iFont, m_uTextStyle);
    }
}

// ---- text ----
CTextUI::CTextUI() {
    m_uTextStyle = DT_WORDBREAK;
    m_bShowHtml = true;
}
LPCTSTR CTextUI::GetClass() const {
    return L"TextUI";
}
LPVOID CTextUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Text")) return static_cast<CTextUI*>(this);
    return CLabelUI::GetInterface(n);
}
UINT CTextUI::GetControlFlags() const {
    return IsEnabled() && m_nLinks > 0 ? UIFLAG_SETCURSOR : 0;
}
CDuiString* CTextUI::GetLinkContent(int i) {
    return i >= 0 && i < m_nLinks ? &m_sLinks[i] : nullptr;
}
void CTextUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_BUTTONUP && IsEnabled()) {
        for (int i = 0; i < m_nLinks; ++i) {
            if (UIPtInRect(m_rcLinks[i], event.ptMouse)) {
                if (m_pManager)
                    m_pManager->SendNotify(this, DUI_MSGTYPE_LINK, static_cast<WPARAM>(i));
                return;
            }
        }
    }
    CLabelUI::DoEvent(event);
}
void CTextUI::PaintText(HDC hDC) {
    m_nLinks = MAX_LINK;
    DWORD color = m_dwTextColor ? m_dwTextColor
                                : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, m_sText, Opaque(color), m_rcLinks, m_sLinks,
                                m_nLinks, m_uTextStyle);
}

// ---- button ----
CButtonUI::CButtonUI() {
    m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}
LPCTSTR CButtonUI::GetClass() const {
    return L"ButtonUI";
}
LPVOID CButtonUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Button")) return static_cast<CButtonUI*>(this);
    return CLabelUI::GetInterface(n);
}
UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0);
}
bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_CLICK);
    return true;
}
void CButtonUI::SetEnabled(bool b) {
    CControlUI::SetEnabled(b);
    if (!b) m_uButtonState = 0;
}

void CButtonUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent)
            m_pParent->DoEvent(event);
        else
            CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            Invalidate();
            break;
        case UIEVENT_KEYDOWN:
            if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
                Activate();
                return;
            }
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (UIPtInRect(m_rcItem, event.ptMouse) && IsEnabled()) {
                m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_uButtonState & UISTATE_CAPTURED) {
                if (UIPtInRect(m_rcItem, event.ptMouse))
                    m_uButtonState |= UISTATE_PUSHED;
                else
                    m_uButtonState &= ~UISTATE_PUSHED;
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if (m_uButtonState & UISTATE_CAPTURED) {
                bool inside = UIPtInRect(m_rcItem, event.ptMouse);
                m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (inside) Activate();
            }
            return;
        case UIEVENT_CONTEXTMENU:
            if (m_bMenuUsed && m_pManager)
                m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
                // Pickers show what a button stands for while the pointer rests on it.
                if (m_pManager)
                    m_pManager->SendNotify(this, DUI_MSGTYPE_MOUSEENTER, kButtonHoverNotifyParam,
                                           0);
            }
            break;
        case UIEVENT_MOUSELEAVE:
            if (IsEnabled()) {
                m_uButtonState &= ~UISTATE_HOT;
                Invalidate();
            }
            break;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(LPCTSTR s) {
    m_sNormalImage = s;
    Invalidate();
}
void CButtonUI::SetHotImage(LPCTSTR s) {
    m_sHotImage = s;
    Invalidate();
}
void CButtonUI::SetPushedImage(LPCTSTR s) {
    m_sPushedImage = s;
    Invalidate();
}
void CButtonUI::SetFocusedImage(LPCTSTR s) {
    m_sFocusedImage = s;
    Invalidate();
}
void CButtonUI::SetDisabledImage(LPCTSTR s) {
    m_sDisabledImage = s;
    Invalidate();
}
void CButtonUI::SetForeImage(LPCTSTR s) {
    m_sForeImage = s;
    Invalidate();
}
void CButtonUI::SetHotForeImage(LPCTSTR s) {
    m_sHotForeImage = s;
    Invalidate();
}
void CButtonUI::SetHotTextColor(DWORD c) {
    m_dwHotTextColor = c;
}
DWORD CButtonUI::GetHotTextColor() const {
    return m_dwHotTextColor;
}
void CButtonUI::SetPushedTextColor(DWORD c) {
    m_dwPushedTextColor = c;
}
DWORD CButtonUI::GetPushedTextColor() const {
    return m_dwPushedTextColor;
}
void CButtonUI::SetHotBkColor(DWORD c) {
    m_dwHotBkColor = c;
}
DWORD CButtonUI::GetHotBkColor() const {
    return m_dwHotBkColor;
}
void CButtonUI::SetPushedBkColor(DWORD c) {
    m_dwPushedBkColor = c;
}
DWORD CButtonUI::GetPushedBkColor() const {
    return m_dwPushedBkColor;
}

SIZE CButtonUI::EstimateSize(SIZE szAvailable) {
    return CControlUI::EstimateSize(szAvailable);
}

void CButtonUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"normalimage")
        SetNormalImage(v);
    else if (name == L"hotimage")
        SetHotImage(v);
    else if (name == L"pushedimage")
        SetPushedImage(v);
    else if (name == L"focusedimage")
        SetFocusedImage(v);
    else if (name == L"disabledimage")
        SetDisabledImage(v);
    else if (name == L"foreimage")
        SetForeImage(v);
    else if (name == L"hotforeimage")
        SetHotForeImage(v);
    else if (name == L"pushedforeimage")
        m_sPushedForeImage = v;
    else if (name == L"hotbkcolor")
        SetHotBkColor(ParseColor(v));
    else if (name == L"pushedbkcolor")
        SetPushedBkColor(ParseColor(v));
    else if (name == L"hottextcolor")
        SetHotTextColor(ParseColor(v));
    else if (name == L"pushedtextcolor")
        SetPushedTextColor(ParseColor(v));
    else if (name == L"focusedtextcolor")
        m_dwFocusedTextColor = ParseColor(v);
    else
        CLabelUI::SetAttribute(n, v);
}

void CButtonUI::PaintBkColor(HDC hDC) {
    DWORD c = m_dwBackColor;
    if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedBkColor)
        c = m_dwPushedBkColor;
    else if ((m_uButtonState & UISTATE_HOT) && m_dwHotBkColor)
        c = m_dwHotBkColor;
    if (!c) return;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
        CRenderEngine::FillRoundRect(hDC, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, c);
    else
        CRenderEngine::DrawColor(hDC, m_rcPaint, c);
}

void CButtonUI::PaintText(HDC hDC) {
    DWORD saved = m_dwTextColor;
    if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedTextColor)
        m_dwTextColor = m_dwPushedTextColor;
    else if ((m_uButtonState & UISTATE_HOT) && m_dwHotTextColor)
        m_dwTextColor = m_dwHotTextColor;
    else if (IsFocused() && m_dwFocusedTextColor)
        m_dwTextColor = m_dwFocusedTextColor;
    CLabelUI::PaintText(hDC);
    m_dwTextColor = saved;
}

void CButtonUI::PaintStatusImage(HDC hDC) {
    auto draw = [&](CDuiString& img) {
        if (!img.IsEmpty() && !DrawImage(hDC, img)) img.Empty();
    };
    if (!IsEnabled() && !m_sDisabledImage.IsEmpty())
        draw(m_sDisabledImage);
    else if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedImage.IsEmpty())
        draw(m_sPushedImage);
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty())
        draw(m_sHotImage);
    else if (IsFocused() && !m_sFocusedImage.IsEmpty())
        draw(m_sFocusedImage);
    else
        draw(m_sNormalImage);
    if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedForeImage.IsEmpty())
        draw(m_sPushedForeImage);
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotForeImage.IsEmpty())
        draw(m_sHotForeImage);
    else
        draw(m_sForeImage);
}

// ---- option ----
COptionUI::~COptionUI() {
    if (!m_sGroupName.IsEmpty() && m_pManager) m_pManager->RemoveOptionGroup(m_sGroupName, this);
}
LPCTSTR COptionUI::GetClass() const {
    return L"OptionUI";
}
LPVOID COptionUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Option")) return static_cast<COptionUI*>(this);
    return CButtonUI::GetInterface(n);
}
void COptionUI::SetManager(CPaintManagerUI* pm, CControlUI* parent, bool init) {
    CControlUI::SetManager(pm, parent, init);
    if (init && !m_sGroupName.IsEmpty() && m_pManager)
        m_pManager->AddOptionGroup(m_sGroupName, this);
}
CDuiString COptionUI::GetGroup() const {
    return m_sGroupName;
}
void COptionUI::SetGroup(LPCTSTR name) {
    if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->RemoveOptionGroup(m_sGroupName, this);
    m_sGroupName = name;
    if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->AddOptionGroup(m_sGroupName, this);
    Selected(m_bSelected, false);
}
bool COptionUI::IsSelected() const {
    return m_bSelected;
}
void COptionUI::Selected(bool bSelected, bool bTriggerEvent) {
    if (m_bSelected == bSelected) return;
    m_bSelected = bSelected;
    if (m_bSelected)
        m_uButtonState |= UISTATE_SELECTED;
    else
        m_uButtonState &= ~UISTATE_SELECTED;
    if (m_pManager) {
        if (!m_sGroupName.IsEmpty() && m_bSelected) {
            auto* group = m_pManager->GetOptionGroup(m_sGroupName);
            if (group) {
                std::vector<CControlUI*> copy = *group;
                for (CControlUI* c : copy) {
                    if (c == this) continue;
                    auto* o = static_cast<COptionUI*>(c->GetInterface(L"Option"));
                    if (o) o->Selected(false, bTriggerEvent);
                }
            }
        }
        if (bTriggerEvent) m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
    }
    Invalidate();
}
bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    if (!m_sGroupName.IsEmpty())
        Selected(true);
    else
        Selected(!m_bSelected);
    return true;
}
void COptionUI::SetEnabled(bool b) {
    CControlUI::SetEnabled(b);
    if (!b) m_uButtonState = m_bSelected ? UISTATE_SELECTED : 0;
}
void COptionUI::SetSelectedImage(LPCTSTR s) {
    m_sSelectedImage = s;
    Invalidate();
}
void COptionUI::SetSelectedTextColor(DWORD c) {
    m_dwSelectedTextColor = c;
}
DWORD COptionUI::GetSelectedTextColor() const {
    return m_dwSelectedTextColor;
}
void COptionUI::SetSelectedBkColor(DWORD c) {
    m_dwSelectedBkColor = c;
}
DWORD COptionUI::GetSelectBkColor() const {
    return m_dwSelectedBkColor;
}
SIZE COptionUI::EstimateSize(SIZE s) {
    return CButtonUI::EstimateSize(s);
}
void COptionUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"group")
        SetGroup(v);
    else if (name == L"selected")
        Selected(ParseBool(v), false);
    else if (name == L"selectedimage")
        SetSelectedImage(v);
    else if (name == L"selectedforeimage")
        m_sSelectedForeImage = v;
    else if (name == L"selectedbkcolor")
        SetSelectedBkColor(ParseColor(v));
    else if (name == L"selectedtextcolor")
        SetSelectedTextColor(ParseColor(v));
    else
        CButtonUI::SetAttribute(n, v);
}
void COptionUI::PaintBkColor(HDC hDC) {
    if (m_bSelected && m_dwSelectedBkColor) {
        if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
            CRenderEngine::FillRoundRect(hDC, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                         m_dwSelectedBkColor);
        else
            CRenderEngine::DrawColor(hDC, m_rcPaint, m_dwSelectedBkColor);
        return;
    }
    CButtonUI::PaintBkColor(hDC);
}
void COptionUI::PaintStatusImage(HDC hDC) {
    if (m_bSelected && !m_sSelectedImage.IsEmpty()) {
        if (!DrawImage(hDC, m_sSelectedImage)) m_sSelectedImage.Empty();
        if (!m_sSelectedForeImage.IsEmpty() && !DrawImage(hDC, m_sSelectedForeImage))
            m_sSelectedForeImage.Empty();
        return;
    }
    CButtonUI::PaintStatusImage(hDC);
}
void COptionUI::PaintText(HDC hDC) {
    DWORD saved = m_dwTextColor;
    if (m_bSelected && m_dwSelectedTextColor) m_dwTextColor = m_dwSelectedTextColor;
    CButtonUI::PaintText(hDC);
    m_dwTextColor = saved;
}

// ---- check box ----
LPCTSTR CCheckBoxUI::GetClass() const {
    return L"CheckBoxUI";
}
LPVOID CCheckBoxUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"CheckBox")) return static_cast<CCheckBoxUI*>(this);
    return COptionUI::GetInterface(n);
}
void CCheckBoxUI::SetCheck(bool b, bool trigger) {
    Selected(b, trigger);
}
bool CCheckBoxUI::GetCheck() const {
    return IsSelected();
}

// ---- scroll bar ----
LPCTSTR CScrollBarUI::GetClass() const {
    return L"ScrollBarUI";
}
LPVOID CScrollBarUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"ScrollBar")) return static_cast<CScrollBarUI*>(this);
    return CControlUI::GetInterface(n);
}
CContainerUI* CScrollBarUI::GetOwner() const {
    return m_pOwner;
}
void CScrollBarUI::SetOwner(CContainerUI* o) {
    m_pOwner = o;
}
bool CScrollBarUI::IsHorizontal() const {
    return m_bHorizontal;
}
void CScrollBarUI::SetHorizontal(bool b) {
    m_bHorizontal = b;
}
int CScrollBarUI::GetScrollRange() const {
    return m_nRange;
}
void CScrollBarUI::SetScrollRange(int n) {
    m_nRange = std::max(0, n);
    if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
    Invalidate();
}
int CScrollBarUI::GetScrollPos() const {
    return m_nScrollPos;
}
void CScrollBarUI::SetScrollPos(int n) {
    n = std::max(0, std::min(n, m_nRange));
    if (n == m_nScrollPos) return;
    m_nScrollPos = n;
    Invalidate();
}
int CScrollBarUI::GetLineSize() const {
    return m_nLineSize;
}
void CScrollBarUI::SetLineSize(int n) {
    m_nLineSize = std::max(1, n);
}
RECT CScrollBarUI::GetThumbRect() const {
    int h = m_rcItem.bottom - m_rcItem.top;
    int thumb = m_nRange > 0 ? std::max(16, h * h / (h + m_nRange)) : h;
    int top = m_rcItem.top + (m_nRange > 0 ? (h - thumb) * m_nScrollPos / m_nRange : 0);
    return RECT{m_rcItem.left + 1, top, m_rcItem.right - 1, top + thumb};
}
void CScrollBarUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN: {
            RECT t = GetThumbRect();
            if (UIPtInRect(t, event.ptMouse)) {
                m_bDragging = true;
                m_ptLastMouse = event.ptMouse;
                m_nLastScrollPos = m_nScrollPos;
            } else if (m_pOwner) {
                SIZE s = m_pOwner->GetScrollPos();
                int page = m_rcItem.bottom - m_rcItem.top;
                s.cy += event.ptMouse.y < t.top ? -page : page;
                m_pOwner->SetScrollPos(s);
            }
            return;
        }
        case UIEVENT_MOUSEMOVE:
            if (m_bDragging && m_pOwner) {
                RECT t = GetThumbRect();
                int track = (m_rcItem.bottom - m_rcItem.top) - (t.bottom - t.top);
                if (track > 0) {
                    int pos =
                        m_nLastScrollPos + (event.ptMouse.y - m_ptLastMouse.y) * m_nRange / track;
                    m_pOwner->SetScrollPos(SIZE{0, pos});
                }
            }
            return;
        case UIEVENT_BUTTONUP:
            m_bDragging = false;
            return;
        case UIEVENT_SCROLLWHEEL:
            if (m_pOwner) m_pOwner->DoEvent(event);
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}
void CScrollBarUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"linesize")
        SetLineSize(ParseInt(v));
    else if (name == L"range")
        SetScrollRange(ParseInt(v));
    else if (name == L"value")
        SetScrollPos(ParseInt(v));
    else if (name == L"thumbcolor")
        m_dwThumbColor = ParseColor(v);
    else
        CControlUI::SetAttribute(n, v);
}
void CScrollBarUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!UIIntersectRect(&m_rcPaint, rcPaint, m_rcItem)) return;
    CControlUI::DoPaint(hDC, rcPaint);
    RECT t = GetThumbRect();
    CRenderEngine::FillRoundRect(hDC, t, 6, 6, m_dwThumbColor);
}

}  // namespace DuiLib
