#include "fenlo/UIControl.h"

#include "fenlo/UIRender.h"
#include "internal.h"

namespace DuiLib {

using namespace detail;

namespace {
// The part of rc inside every ancestor of c, invalidated: only that part is on screen.
void InvalidateInAncestors(const CControlUI* c, CPaintManagerUI* manager, RECT rc) {
    for (CControlUI* p = c->GetParent(); p; p = p->GetParent()) {
        RECT r;
        if (!UIIntersectRect(&r, rc, p->GetPos())) return;
        rc = r;
    }
    manager->Invalidate(rc);
}
}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (m_pManager) m_pManager->ForgetControl(this);
}

CDuiString CControlUI::GetName() const {
    return m_sName;
}
void CControlUI::SetName(LPCTSTR pstrName) {
    m_sName = pstrName;
}
LPCTSTR CControlUI::GetClass() const {
    return L"ControlUI";
}
LPVOID CControlUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Control") == 0) return this;
    return nullptr;
}
UINT CControlUI::GetControlFlags() const {
    return 0;
}
bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}
CPaintManagerUI* CControlUI::GetManager() const {
    return m_pManager;
}
void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    m_pManager = pManager;
    m_pParent = pParent;
    if (bInit && m_pParent) Init();
}
CControlUI* CControlUI::GetParent() const {
    return m_pParent;
}

CDuiString CControlUI::GetText() const {
    return m_sText;
}
void CControlUI::SetText(LPCTSTR pstrText) {
    if (m_sText == pstrText) return;
    m_sText = pstrText;
    Invalidate();
}

void CControlUI::SetBkColor(DWORD c) {
    if (m_dwBackColor != c) {
        m_dwBackColor = c;
        Invalidate();
    }
}
void CControlUI::SetBkColor2(DWORD c) {
    if (m_dwBackColor2 != c) {
        m_dwBackColor2 = c;
        Invalidate();
    }
}
void CControlUI::SetBkImage(LPCTSTR s) {
    if (m_sBkImage != s) {
        m_sBkImage = s;
        Invalidate();
    }
}
void CControlUI::SetBorderColor(DWORD c) {
    m_dwBorderColor = c;
    Invalidate();
}
void CControlUI::SetBorderSize(int n) {
    m_nBorderSize = n;
    Invalidate();
}
void CControlUI::SetBorderRound(SIZE s) {
    m_cxyBorderRound = s;
    Invalidate();
}

bool CControlUI::DrawImage(HDC hDC, LPCTSTR pStrImage, LPCTSTR pStrModify) {
    return CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, pStrImage,
                                          pStrModify);
}

const RECT& CControlUI::GetPos() const {
    return m_rcItem;
}
void CControlUI::SetPos(RECT rc) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    RECT old = m_rcItem;
    m_rcItem = rc;
    m_bUpdateNeeded = false;
    if (m_pManager && (old.left != rc.left || old.top != rc.top || old.right != rc.right ||
                       old.bottom != rc.bottom)) {
        // Where it was: a row scrolled out of a list's view was never on screen.
        if (IsVisible()) InvalidateInAncestors(this, m_pManager, old);
        Invalidate();
    }
}
int CControlUI::GetWidth() const {
    return m_rcItem.right - m_rcItem.left;
}
int CControlUI::GetHeight() const {
    return m_rcItem.bottom - m_rcItem.top;
}
int CControlUI::GetX() const {
    return m_rcItem.left;
}
int CControlUI::GetY() const {
    return m_rcItem.top;
}
RECT CControlUI::GetPadding() const {
    return m_rcPadding;
}
void CControlUI::SetPadding(RECT rc) {
    m_rcPadding = rc;
    NeedParentUpdate();
}
SIZE CControlUI::GetFixedXY() const {
    return m_cXY;
}
void CControlUI::SetFixedXY(SIZE s) {
    m_cXY = s;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}
int CControlUI::GetFixedWidth() const {
    return m_cxyFixed.cx;
}
void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    m_cxyFixed.cx = cx;
    NeedParentUpdate();
}
int CControlUI::GetFixedHeight() const {
    return m_cxyFixed.cy;
}
void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    m_cxyFixed.cy = cy;
    NeedParentUpdate();
}
int CControlUI::GetMinWidth() const {
    return m_cxyMin.cx;
}
void CControlUI::SetMinWidth(int cx) {
    if (cx < 0) return;
    m_cxyMin.cx = cx;
    NeedParentUpdate();
}
int CControlUI::GetMaxWidth() const {
    return m_cxyMax.cx;
}
void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0) return;
    m_cxyMax.cx = cx;
    NeedParentUpdate();
}
int CControlUI::GetMinHeight() const {
    return m_cxyMin.cy;
}
void CControlUI::SetMinHeight(int cy) {
    if (cy < 0) return;
    m_cxyMin.cy = cy;
    NeedParentUpdate();
}
int CControlUI::GetMaxHeight() const {
    return m_cxyMax.cy;
}
void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0) return;
    m_cxyMax.cy = cy;
    NeedParentUpdate();
}
SIZE CControlUI::EstimateSize(SIZE) {
    return m_cxyFixed;
}

CDuiString CControlUI::GetToolTip() const {
    return m_sToolTip;
}
void CControlUI::SetToolTip(LPCTSTR s) {
    m_sToolTip = s;
}
CDuiString CControlUI::GetUserData() {
    return m_sUserData;
}
void CControlUI::SetUserData(LPCTSTR s) {
    m_sUserData = s;
}
UINT_PTR CControlUI::GetTag() const {
    return m_pTag;
}
void CControlUI::SetTag(UINT_PTR t) {
    m_pTag = t;
}

bool CControlUI::IsVisible() const {
    return m_bVisible && m_bInternVisible;
}
void CControlUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    bool v = IsVisible();
    m_bVisible = bVisible;
    if (m_bFocused && !bVisible) m_bFocused = false;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
    if (IsVisible() != v) NeedParentUpdate();
}
void CControlUI::SetInternVisible(bool bVisible) {
    m_bInternVisible = bVisible;
    if (!bVisible && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}
bool CControlUI::IsEnabled() const {
    return m_bEnabled;
}
void CControlUI::SetEnabled(bool b) {
    if (m_bEnabled != b) {
        m_bEnabled = b;
        Invalidate();
    }
}
bool CControlUI::IsMouseEnabled() const {
    return m_bMouseEnabled;
}
void CControlUI::SetMouseEnabled(bool b) {
    m_bMouseEnabled = b;
}
bool CControlUI::IsKeyboardEnabled() const {
    return m_bKeyboardEnabled;
}
void CControlUI::SetKeyboardEnabled(bool b) {
    m_bKeyboardEnabled = b;
}
bool CControlUI::IsFocused() const {
    return m_bFocused;
}
void CControlUI::SetFocus() {
    if (m_pManager) m_pManager->SetFocus(this);
}
bool CControlUI::IsFloat() const {
    return m_bFloat;
}
void CControlUI::SetFloat(bool b) {
    if (m_bFloat != b) {
        m_bFloat = b;
        NeedParentUpdate();
    }
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) &&
        (!m_bMouseEnabled || !UIPtInRect(m_rcItem, *static_cast<POINT*>(pData))))
        return nullptr;
    return Proc(this, pData);
}

void CControlUI::Invalidate() {
    if (!IsVisible() || !m_pManager) return;
    InvalidateInAncestors(this, m_pManager, m_rcItem);
}
bool CControlUI::IsUpdateNeeded() const {
    return m_bUpdateNeeded;
}
void CControlUI::NeedUpdate() {
    m_iItemsInPlace = 0;
    if (!IsVisible()) return;
    m_bUpdateNeeded = true;
    Invalidate();
    // The way down for the manager's next layout, up to the root.
    for (CControlUI* c = this; c; c = c->m_pParent) c->m_bLayoutAsked = true;
    if (m_pManager) m_pManager->NeedUpdate();
}
void CControlUI::NeedParentUpdate() {
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::Init() {
    DoInit();
}
void CControlUI::DoInit() {}
void CControlUI::Event(TEventUI& event) {
    DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SETCURSOR) return;
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_TIMER) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
        return;
    }
    if (event.Type == UIEVENT_CONTEXTMENU && m_bMenuUsed) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
        return;
    }
    if (m_pParent) m_pParent->DoEvent(event);
}

void CControlUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    std::wstring n(pstrName ? pstrName : L"");
    if (n == L"pos") {
        RECT r = ParseRect(pstrValue);
        SIZE xy = {r.left, r.top};
        SetFixedXY(xy);
        SetFixedWidth(r.right - r.left);
        SetFixedHeight(r.bottom - r.top);
    } else if (n == L"padding")
        SetPadding(ParseRect(pstrValue));
    else if (n == L"bkcolor" || n == L"bkcolor1")
        SetBkColor(ParseColor(pstrValue));
    else if (n == L"bkcolor2")
        SetBkColor2(ParseColor(pstrValue));
    else if (n == L"bordercolor")
        SetBorderColor(ParseColor(pstrValue));
    else if (n == L"bordersize")
        SetBorderSize(ParseInt(pstrValue));
    else if (n == L"borderround")
        SetBorderRound(ParseSize(pstrValue));
    else if (n == L"bkimage")
        SetBkImage(pstrValue);
    else if (n == L"width")
        SetFixedWidth(ParseInt(pstrValue));
    else if (n == L"height")
        SetFixedHeight(ParseInt(pstrValue));
    else if (n == L"minwidth")
        SetMinWidth(ParseInt(pstrValue));
    else if (n == L"minheight")
        SetMinHeight(ParseInt(pstrValue));
    else if (n == L"maxwidth")
        SetMaxWidth(ParseInt(pstrValue));
    else if (n == L"maxheight")
        SetMaxHeight(ParseInt(pstrValue));
    else if (n == L"name")
        SetName(pstrValue);
    else if (n == L"text")
        SetText(pstrValue);
    else if (n == L"tooltip")
        SetToolTip(pstrValue);
    else if (n == L"userdata")
        SetUserData(pstrValue);
    else if (n == L"tag")
        SetTag(static_cast<UINT_PTR>(wcstoul(pstrValue ? pstrValue : L"0", nullptr, 10)));
    else if (n == L"enabled")
        SetEnabled(ParseBool(pstrValue));
    else if (n == L"mouse")
        SetMouseEnabled(ParseBool(pstrValue));
    else if (n == L"keyboard")
        SetKeyboardEnabled(ParseBool(pstrValue));
    else if (n == L"visible")
        SetVisible(ParseBool(pstrValue));
    else if (n == L"float")
        SetFloat(ParseBool(pstrValue));
    else if (n == L"menu")
        m_bMenuUsed = ParseBool(pstrValue);
}

CControlUI* CControlUI::ApplyAttributeList(LPCTSTR pstrList) {
    ForEachAttribute(pstrList, [this](const std::wstring& n, const std::wstring& v) {
        SetAttribute(n.c_str(), v.c_str());
    });
    return this;
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!UIIntersectRect(&m_rcPaint, rcPaint, m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC hDC) {
    if (m_dwBackColor == 0) return;
    if (m_dwBackColor2 != 0) {
        CRenderEngine::DrawGradient(hDC, m_rcItem, m_dwBackColor, m_dwBackColor2, true, 16);
    } else if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
        CRenderEngine::FillRoundRect(hDC, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                     m_dwBackColor);
    } else {
        CRenderEngine::DrawColor(hDC, m_rcPaint, m_dwBackColor);
    }
}
void CControlUI::PaintBkImage(HDC hDC) {
    if (m_sBkImage.IsEmpty()) return;
    if (!DrawImage(hDC, m_sBkImage)) m_sBkImage.Empty();
}
void CControlUI::PaintStatusImage(HDC) {}
void CControlUI::PaintText(HDC) {}
void CControlUI::PaintBorder(HDC hDC) {
    if (m_dwBorderColor == 0 || m_nBorderSize <= 0) return;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)
        CRenderEngine::DrawRoundRect(hDC, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy,
                                     m_nBorderSize, m_dwBorderColor);
    else
        CRenderEngine::DrawRect(hDC, m_rcItem, m_nBorderSize, m_dwBorderColor);
}
void CControlUI::DoPostPaint(HDC, const RECT&) {}

}  // namespace DuiLib
