#include "fenlo/UIList.h"

#include <algorithm>
#include <cwchar>

#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/menu.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

namespace {
IListItemUI* ItemOf(CControlUI* c) {
    return c ? static_cast<IListItemUI*>(c->GetInterface(L"ListItem")) : nullptr;
}
IListOwnerUI* OwnerOf(CControlUI* c) {
    return c ? static_cast<IListOwnerUI*>(c->GetInterface(L"IListOwner")) : nullptr;
}

// What a row does whatever it draws (a label or a container of controls).
// Selecting: a disabled row refuses; a change tells the owner and repaints.
bool SelectRow(CControlUI& row, bool& selected, IListOwnerUI* owner, int index, bool b) {
    if (!row.IsEnabled()) return false;
    if (b == selected) return true;
    selected = b;
    if (b && owner) owner->SelectItem(index);
    row.Invalidate();
    return true;
}

// A selected row takes its owner's colour, else the window's; a hot row its owner's.
DWORD RowBackColor(DWORD own, bool selected, bool hot, IListOwnerUI* owner,
                   CPaintManagerUI* manager) {
    if (selected && owner && owner->GetSelectedItemBkColor())
        return owner->GetSelectedItemBkColor();
    if (selected && manager) return manager->GetDefaultSelectedBkColor();
    if (hot && owner && owner->GetHotItemBkColor()) return owner->GetHotItemBkColor();
    return own;
}

// The mouse events a row answers itself; false for the ones it passes on.
bool RowEvent(CControlUI& row, IListItemUI& item, CPaintManagerUI* manager, IListOwnerUI* owner,
              bool& hot, const TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_RBUTTONDOWN:
            if (row.IsEnabled()) {
                if (owner) owner->ItemClicked(&row);
                item.Select();
                row.Invalidate();
            }
            return true;
        case UIEVENT_DBLCLICK:
            // Windows of the program listen for either name of a row's double click.
            if (row.IsEnabled() && manager) {
                manager->SendNotify(&row, DUI_MSGTYPE_ITEMACTIVATE);
                manager->SendNotify(&row, DUI_MSGTYPE_ITEMDBCLICK);
            }
            return true;
        case UIEVENT_BUTTONUP:
        case UIEVENT_MOUSEMOVE:
            return true;
        case UIEVENT_MOUSEENTER:
        case UIEVENT_MOUSELEAVE:
            hot = event.Type == UIEVENT_MOUSEENTER;
            row.Invalidate();
            return true;
        default:
            return false;
    }
}
}  // namespace

// ---- list ----
CListUI::CListUI() {
    EnableScrollBar(true, false);
}
LPCTSTR CListUI::GetClass() const {
    return L"ListUI";
}
LPVOID CListUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"List")) return static_cast<CListUI*>(this);
    if (Is(n, L"IListOwner")) return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(n);
}
UINT CListUI::GetControlFlags() const {
    return UIFLAG_TABSTOP;
}

void CListUI::ReIndex(int from) {
    // The rows before the change keep their numbers.
    for (int i = std::max(0, from); i < GetCount(); ++i) {
        IListItemUI* it = ItemOf(GetItemAt(i));
        if (it) it->SetIndex(i);
    }
}
bool CListUI::Add(CControlUI* c) {
    return AddAt(c, GetCount());
}
bool CListUI::AddAt(CControlUI* c, int i) {
    if (!CVerticalLayoutUI::AddAt(c, i)) return false;
    IListItemUI* it = ItemOf(c);
    if (it) it->SetOwner(this);
    if (m_iCurSel >= i && m_iCurSel >= 0 && GetCount() > 1) ++m_iCurSel;
    ReIndex(i);
    return true;
}
bool CListUI::Remove(CControlUI* c) {
    int i = GetItemIndex(c);
    return i >= 0 && RemoveAt(i);
}
bool CListUI::RemoveAt(int i) {
    if (!CVerticalLayoutUI::RemoveAt(i)) return false;
    if (m_iCurSel == i)
        m_iCurSel = -1;
    else if (m_iCurSel > i)
        --m_iCurSel;
    ReIndex(i);
    return true;
}
void CListUI::RemoveAll() {
    m_iCurSel = -1;
    CVerticalLayoutUI::RemoveAll();
}
int CListUI::RemoveByTag(UINT_PTR tag) {
    int n = 0;
    for (int i = GetCount() - 1; i >= 0; --i) {
        if (GetItemAt(i)->GetTag() == tag) {
            RemoveAt(i);
            ++n;
        }
    }
    return n;
}
int CListUI::GetCurSel() const {
    return m_iCurSel;
}
bool CListUI::SelectItem(int i, bool bTakeFocus) {
    if (i == m_iCurSel) return true;
    int old = m_iCurSel;
    if (m_iCurSel >= 0) {
        IListItemUI* it = ItemOf(GetItemAt(m_iCurSel));
        if (it) it->Select(false);
        m_iCurSel = -1;
    }
    if (i < 0) return false;
    CControlUI* c = GetItemAt(i);
    IListItemUI* it = ItemOf(c);
    if (!c || !c->IsVisible() || !c->IsEnabled() || !it) return false;
    if (!it->Select(true)) return false;
    m_iCurSel = i;
    EnsureVisible(i);
    if (bTakeFocus) c->SetFocus();
    if (m_pManager)
        m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(i), old);
    return true;
}
void CListUI::ItemClicked(CControlUI* item) {
    if (m_pManager) m_pManager->SendNotify(item, DUI_MSGTYPE_ITEMCLICK);
}
bool CListUI::IsItemShowHtml() const {
    return m_bShowHtml;
}
void CListUI::SetItemShowHtml(bool b) {
    m_bShowHtml = b;
    NeedUpdate();
}
DWORD CListUI::GetItemTextColor() const {
    return m_dwItemTextColor;
}
DWORD CListUI::GetSelectedItemBkColor() const {
    return m_dwSelectedBkColor;
}
DWORD CListUI::GetHotItemBkColor() const {
    return m_dwHotBkColor;
}
int CListUI::GetItemFont() const {
    return m_iItemFont;
}
void CListUI::SetItemTextColor(DWORD c) {
    m_dwItemTextColor = c;
}
void CListUI::SetSelectedItemBkColor(DWORD c) {
    m_dwSelectedBkColor = c;
}
void CListUI::SetHotItemBkColor(DWORD c) {
    m_dwHotBkColor = c;
}
void CListUI::SetItemFont(int f) {
    m_iItemFont = f;
}
void CListUI::EnsureVisible(int i) {
    CControlUI* c = GetItemAt(i);
    if (!c || !m_pVerticalScrollBar) return;
    RECT item = c->GetPos();
    RECT view = m_rcItem;
    SIZE pos = GetScrollPos();
    if (item.top < view.top)
        pos.cy -= view.top - item.top;
    else if (item.bottom > view.bottom)
        pos.cy += item.bottom - view.bottom;
    else
        return;
    SetScrollPos(pos);
}
void CListUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_KEYDOWN) {
        if (event.chKey == VK_UP && m_iCurSel > 0) {
            SelectItem(m_iCurSel - 1, true);
            return;
        }
        if (event.chKey == VK_DOWN && m_iCurSel + 1 < GetCount()) {
            SelectItem(m_iCurSel + 1, true);
            return;
        }
    }
    CVerticalLayoutUI::DoEvent(event);
}
void CListUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"itemshowhtml")
        SetItemShowHtml(ParseBool(v));
    else if (name == L"itemtextcolor")
        SetItemTextColor(ParseColor(v));
    else if (name == L"itemselectedbkcolor")
        SetSelectedItemBkColor(ParseColor(v));
    else if (name == L"itemhotbkcolor")
        SetHotItemBkColor(ParseColor(v));
    else if (name == L"itemfont")
        SetItemFont(ParseInt(v));
    else if (name == L"header") {
    }  // list headers are not drawn by this build
    else
        CVerticalLayoutUI::SetAttribute(n, v);
}

// ---- label element ----
LPCTSTR CListLabelElementUI::GetClass() const {
    return L"ListLabelElementUI";
}
LPVOID CListLabelElementUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"ListItem")) return static_cast<IListItemUI*>(this);
    if (Is(n, L"ListLabelElement")) return static_cast<CListLabelElementUI*>(this);
    return CLabelUI::GetInterface(n);
}
UINT CListLabelElementUI::GetControlFlags() const {
    return UIFLAG_WANTRETURN;
}
int CListLabelElementUI::GetIndex() const {
    return m_iIndex;
}
void CListLabelElementUI::SetIndex(int i) {
    m_iIndex = i;
}
IListOwnerUI* CListLabelElementUI::GetOwner() {
    return m_pOwner;
}
void CListLabelElementUI::SetOwner(CControlUI* o) {
    m_pOwner = OwnerOf(o);
}
bool CListLabelElementUI::IsSelected() const {
    return m_bSelected;
}
bool CListLabelElementUI::Select(bool b) {
    return SelectRow(*this, m_bSelected, m_pOwner, m_iIndex, b);
}
// A skin marks the item a list or combo starts with by selected="true"; the item is
// already in its owner when its attributes are read.
void CListLabelElementUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (pstrName && pstrValue && std::wcscmp(pstrName, L"selected") == 0)
        Select(std::wcscmp(pstrValue, L"true") == 0);
    else
        CLabelUI::SetAttribute(pstrName, pstrValue);
}
SIZE CListLabelElementUI::EstimateSize(SIZE s) {
    if (m_cxyFixed.cy == 0) return SIZE{m_cxyFixed.cx, 24};
    return CLabelUI::EstimateSize(s);
}
void CListLabelElementUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pOwner) static_cast<CControlUI*>(m_pParent)->DoEvent(event);
        return;
    }
    if (RowEvent(*this, *this, m_pManager, m_pOwner, m_bHot, event)) return;
    if (m_pOwner && m_pParent)
        m_pParent->DoEvent(event);
    else
        CLabelUI::DoEvent(event);
}
void CListLabelElementUI::PaintBkColor(HDC hDC) {
    const DWORD c = RowBackColor(m_dwBackColor, m_bSelected, m_bHot, m_pOwner, m_pManager);
    if (c) CRenderEngine::DrawColor(hDC, m_rcPaint, c);
}
void CListLabelElementUI::PaintText(HDC hDC) {
    bool html = m_bShowHtml;
    DWORD color = m_dwTextColor;
    int font = m_iFont;
    if (m_pOwner) {
        m_bShowHtml = html || m_pOwner->IsItemShowHtml();
        if (!color) m_dwTextColor = m_pOwner->GetItemTextColor();
        if (font < 0) m_iFont = m_pOwner->GetItemFont();
    }
    RECT pad = m_rcTextPadding;
    if (pad.left == 0) m_rcTextPadding.left = 4;
    CLabelUI::PaintText(hDC);
    m_rcTextPadding = pad;
    m_bShowHtml = html;
    m_dwTextColor = color;
    m_iFont = font;
}

// ---- container element ----
LPCTSTR CListContainerElementUI::GetClass() const {
    return L"ListContainerElementUI";
}
LPVOID CListContainerElementUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"ListItem")) return static_cast<IListItemUI*>(this);
    if (Is(n, L"ListContainerElement")) return static_cast<CListContainerElementUI*>(this);
    return CContainerUI::GetInterface(n);
}
UINT CListContainerElementUI::GetControlFlags() const {
    return UIFLAG_WANTRETURN;
}
int CListContainerElementUI::GetIndex() const {
    return m_iIndex;
}
void CListContainerElementUI::SetIndex(int i) {
    m_iIndex = i;
}
IListOwnerUI* CListContainerElementUI::GetOwner() {
    return m_pOwner;
}
void CListContainerElementUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    if (pstrName && pstrValue && std::wcscmp(pstrName, L"selected") == 0)
        Select(std::wcscmp(pstrValue, L"true") == 0);
    else
        CContainerUI::SetAttribute(pstrName, pstrValue);
}
void CListContainerElementUI::SetOwner(CControlUI* o) {
    m_pOwner = OwnerOf(o);
}
bool CListContainerElementUI::IsSelected() const {
    return m_bSelected;
}
bool CListContainerElementUI::Select(bool b) {
    return SelectRow(*this, m_bSelected, m_pOwner, m_iIndex, b);
}
void CListContainerElementUI::DoEvent(TEventUI& event) {
    if (RowEvent(*this, *this, m_pManager, m_pOwner, m_bHot, event)) return;
    CContainerUI::DoEvent(event);
}
void CListContainerElementUI::PaintBkColor(HDC hDC) {
    const DWORD c = RowBackColor(m_dwBackColor, m_bSelected, m_bHot, m_pOwner, m_pManager);
    if (c) CRenderEngine::DrawColor(hDC, m_rcPaint, c);
}

// ---- combo ----
CComboUI::CComboUI() {
    m_dwBackColor = 0xFFFFFFFF;
}
LPCTSTR CComboUI::GetClass() const {
    return L"ComboUI";
}
LPVOID CComboUI::GetInterface(LPCTSTR n) {
    if (Is(n, L"Combo")) return static_cast<CComboUI*>(this);
    if (Is(n, L"IListOwner")) return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(n);
}
UINT CComboUI::GetControlFlags() const {
    return UIFLAG_TABSTOP;
}
CDuiString CComboUI::GetText() const {
    CControlUI* c = GetItemAt(m_iCurSel);
    return c ? c->GetText() : CDuiString();
}
bool CComboUI::Add(CControlUI* c) {
    return AddAt(c, GetCount());
}
bool CComboUI::AddAt(CControlUI* c, int i) {
    if (!CContainerUI::AddAt(c, i)) return false;
    IListItemUI* it = ItemOf(c);
    if (it) it->SetOwner(this);
    if (m_iCurSel >= i && m_iCurSel >= 0 && GetCount() > 1) ++m_iCurSel;
    for (int k = 0; k < GetCount(); ++k) {
        IListItemUI* x = ItemOf(GetItemAt(k));
        if (x) x->SetIndex(k);
        GetItemAt(k)->SetInternVisible(false);  // items show only in the drop-down
    }
    return true;
}
bool CComboUI::Remove(CControlUI* c) {
    int i = GetItemIndex(c);
    return i >= 0 && RemoveAt(i);
}
bool CComboUI::RemoveAt(int i) {
    if (!CContainerUI::RemoveAt(i)) return false;
    if (m_iCurSel == i)
        m_iCurSel = -1;
    else if (m_iCurSel > i)
        --m_iCurSel;
    for (int k = 0; k < GetCount(); ++k) {
        IListItemUI* x = ItemOf(GetItemAt(k));
        if (x) x->SetIndex(k);
    }
    return true;
}
void CComboUI::RemoveAll() {
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}
int CComboUI::GetCurSel() const {
    return m_iCurSel;
}
bool CComboUI::SelectItem(int i, bool bTakeFocus) {
    return SelectItem(i, bTakeFocus, true);
}
bool CComboUI::SelectItem(int i, bool, bool bTriggerEvent) {
    if (i == m_iCurSel) return true;
    int old = m_iCurSel;
    if (m_iCurSel >= 0) {
        IListItemUI* it = ItemOf(GetItemAt(m_iCurSel));
        m_iCurSel = -1;
        if (it) it->Select(false);
    }
    if (i < 0 || i >= GetCount()) return false;
    m_iCurSel = i;
    IListItemUI* it = ItemOf(GetItemAt(i));
    if (it) it->Select(true);
    if (m_pManager && bTriggerEvent)
        m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(i), old);
    Invalidate();
    return true;
}
bool CComboUI::SelectItemByTag(UINT_PTR tag) {
    int i = GetItemIndexByTag(tag);
    return i >= 0 && SelectItem(i);
}
void CComboUI::ItemClicked(CControlUI*) {}
bool CComboUI::IsItemShowHtml() const {
    return false;
}
DWORD CComboUI::GetItemTextColor() const {
    return m_dwTextColor;
}
DWORD CComboUI::GetSelectedItemBkColor() const {
    return 0;
}
DWORD CComboUI::GetHotItemBkColor() const {
    return 0;
}
int CComboUI::GetItemFont() const {
    return m_iFont;
}

bool CComboUI::Activate() {
    if (!CControlUI::Activate() || !m_pManager) return false;
    HMENU menu = ::CreatePopupMenu();
    for (int i = 0; i < GetCount(); ++i)
        ::AppendMenuW(menu, MF_STRING | (i == m_iCurSel ? MF_CHECKED : 0),
                      static_cast<UINT_PTR>(i + 1), GetItemAt(i)->GetText());
    POINT pt{m_rcItem.left, m_rcItem.bottom};
    ::ClientToScreen(m_pManager->GetPaintWindow(), &pt);
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_DROPDOWN);
    UINT_PTR chosen = static_cast<UINT_PTR>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, pt.x, pt.y, 0,
                         m_pManager->GetPaintWindow(), nullptr));
    ::DestroyMenu(menu);
    if (chosen == 0) return false;
    SelectItem(static_cast<int>(chosen) - 1);
    return true;
}

void CComboUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
}
void CComboUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if (m_uButtonState & UISTATE_CAPTURED) {
                m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (UIPtInRect(m_rcItem, event.ptMouse)) Activate();
            }
            return;
        case UIEVENT_MOUSEMOVE:
            return;
        case UIEVENT_MOUSEENTER:
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_SCROLLWHEEL:
            SelectItem(m_iCurSel + (LOWORD(event.wParam) == SB_LINEUP ? -1 : 1));
            return;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}
void CComboUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"textpadding")
        m_rcTextPadding = ParseRect(v);
    else if (name == L"normalimage")
        m_sNormalImage = v;
    else if (name == L"hotimage")
        m_sHotImage = v;
    else if (name == L"pushedimage")
        m_sPushedImage = v;
    else if (name == L"textcolor" || name == L"itemtextcolor")
        m_dwTextColor = ParseColor(v);
    else if (name == L"font" || name == L"itemfont")
        m_iFont = ParseInt(v);
    else if (name == L"dropbox" || name == L"dropboxsize" || name == L"itemalign" ||
             name == L"vscrollbar") {
    } else
        CContainerUI::SetAttribute(n, v);
}
void CComboUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!UIIntersectRect(&m_rcPaint, rcPaint, m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    CDuiString* img = &m_sNormalImage;
    if ((m_uButtonState & UISTATE_PUSHED) && !m_sPushedImage.IsEmpty())
        img = &m_sPushedImage;
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty())
        img = &m_sHotImage;
    bool drawn = !img->IsEmpty() && DrawImage(hDC, *img);
    if (!drawn) {
        CRenderEngine::DrawRect(hDC, m_rcItem, 1,
                                (m_uButtonState & UISTATE_HOT) ? 0xFF4A90D9 : 0xFFC8CDD3);
        // The drop-down arrow.
        RECT a{m_rcItem.right - 16, (m_rcItem.top + m_rcItem.bottom) / 2 - 2, m_rcItem.right - 8,
               (m_rcItem.top + m_rcItem.bottom) / 2 + 2};
        for (int k = 0; k < 4; ++k) {
            RECT line{a.left + k, a.top + k, a.right - k, a.top + k + 1};
            CRenderEngine::DrawColor(hDC, line, 0xFF666666);
        }
    }
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.right -= m_rcTextPadding.right;
    rc.top += m_rcTextPadding.top;
    rc.bottom -= m_rcTextPadding.bottom;
    CDuiString text = GetText();
    if (!text.IsEmpty())
        CRenderEngine::DrawText(hDC, m_pManager, rc, text,
                                m_dwTextColor ? m_dwTextColor : 0xFF000000, m_iFont,
                                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    PaintBorder(hDC);
}

}  // namespace DuiLib
