#include "fenlo/UIContainer.h"

#include <algorithm>

#include "fenlo/UICommonControls.h"
#include "fenlo/UIList.h"
#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/qt_bridge.h"

namespace DuiLib {

using namespace detail;

namespace {
const int kScrollBarWidth = 8;

SIZE Clamp(CControlUI* c, SIZE sz) {
    if (sz.cx > 0)
        sz.cx = std::max<LONG>(c->GetMinWidth(), std::min<LONG>(sz.cx, c->GetMaxWidth()));
    if (sz.cy > 0)
        sz.cy = std::max<LONG>(c->GetMinHeight(), std::min<LONG>(sz.cy, c->GetMaxHeight()));
    return sz;
}
}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Delete the children first while they can still reach the manager.
    RemoveAll();
    delete m_pVerticalScrollBar;
    delete m_pHorizontalScrollBar;
}

LPCTSTR CContainerUI::GetClass() const {
    return L"ContainerUI";
}
LPVOID CContainerUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"Container") == 0) return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterface(n);
}

CControlUI* CContainerUI::GetItemAt(int i) const {
    return i >= 0 && i < static_cast<int>(m_items.size()) ? m_items[static_cast<size_t>(i)]
                                                          : nullptr;
}
int CContainerUI::GetItemIndex(CControlUI* c) const {
    auto it = std::find(m_items.begin(), m_items.end(), c);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}
bool CContainerUI::SetItemIndex(CControlUI* c, int i) {
    int cur = GetItemIndex(c);
    if (cur < 0 || i < 0 || i >= GetCount()) return false;
    m_items.erase(m_items.begin() + cur);
    m_items.insert(m_items.begin() + i, c);
    ForgetRowsInView();
    RenumberListItems();
    NeedUpdate();
    return true;
}
bool CContainerUI::BringTop(CControlUI* c) {
    if (GetItemIndex(c) < 0) return false;
    SetItemIndex(c, GetCount() - 1);
    Invalidate();
    return true;
}
int CContainerUI::GetCount() const {
    return static_cast<int>(m_items.size());
}
bool CContainerUI::Add(CControlUI* c) {
    return AddAt(c, GetCount());
}
bool CContainerUI::AddAt(CControlUI* c, int i) {
    if (!c || i < 0 || i > GetCount()) return false;
    if (m_pManager)
        m_pManager->InitControls(c, this);
    else
        c->SetManager(nullptr, this, false);
    m_items.insert(m_items.begin() + i, c);
    ForgetRowsInView();
    if (IsVisible()) NeedUpdate();
    return true;
}
bool CContainerUI::Remove(CControlUI* c) {
    int i = GetItemIndex(c);
    if (i < 0) return false;
    return RemoveAt(i);
}
bool CContainerUI::RemoveAt(int i) {
    CControlUI* c = GetItemAt(i);
    if (!c) return false;
    m_items.erase(m_items.begin() + i);
    ForgetRowsInView();
    if (m_bAutoDestroy) delete c;
    NeedUpdate();
    return true;
}
void CContainerUI::RemoveAll() {
    std::vector<CControlUI*> items;
    items.swap(m_items);
    ForgetRowsInView();
    if (m_bAutoDestroy)
        for (CControlUI* c : items) delete c;
    if (m_pManager) NeedUpdate();
}
int CContainerUI::GetInsertIndex(CControlUI* c, PFNCOMPAREITEM cmp, UINT_PTR data) const {
    if (!cmp) return GetCount();
    auto it = std::upper_bound(m_items.begin(), m_items.end(), c,
                               [&](CControlUI* a, CControlUI* b) { return cmp(a, b, data) < 0; });
    return static_cast<int>(it - m_items.begin());
}
void CContainerUI::Sort(PFNCOMPAREITEM cmp, UINT_PTR data) {
    if (!cmp) return;
    std::stable_sort(m_items.begin(), m_items.end(),
                     [&](CControlUI* a, CControlUI* b) { return cmp(a, b, data) < 0; });
    ForgetRowsInView();
    RenumberListItems();
    NeedUpdate();
}
int CContainerUI::GetItemIndexByTag(UINT_PTR tag) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->GetTag() == tag) return static_cast<int>(i);
    return -1;
}

void CContainerUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SCROLLWHEEL && m_pVerticalScrollBar &&
        m_pVerticalScrollBar->IsVisible() && m_pVerticalScrollBar->IsEnabled()) {
        if (LOWORD(event.wParam) == 0 /* SB_LINEUP */)
            LineUp();
        else
            LineDown();
        return;
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetVisible(bool b) {
    if (m_bVisible == b) return;
    CControlUI::SetVisible(b);
    for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}
void CContainerUI::SetInternVisible(bool b) {
    CControlUI::SetInternVisible(b);
    for (CControlUI* c : m_items) c->SetInternVisible(IsVisible());
}
void CContainerUI::SetMouseEnabled(bool b) {
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetMouseEnabled(b);
    CControlUI::SetMouseEnabled(b);
}

RECT CContainerUI::GetInset() const {
    return m_rcInset;
}
void CContainerUI::SetInset(RECT r) {
    m_rcInset = r;
    NeedUpdate();
}
int CContainerUI::GetChildPadding() const {
    return m_iChildPadding;
}
void CContainerUI::SetChildPadding(int p) {
    m_iChildPadding = p;
    NeedUpdate();
}
bool CContainerUI::IsAutoDestroy() const {
    return m_bAutoDestroy;
}
void CContainerUI::SetAutoDestroy(bool b) {
    m_bAutoDestroy = b;
}
bool CContainerUI::IsMouseChildEnabled() const {
    return m_bMouseChildEnabled;
}
void CContainerUI::SetMouseChildEnabled(bool b) {
    m_bMouseChildEnabled = b;
}

void CContainerUI::SetFloatPos(int i) {
    CControlUI* c = GetItemAt(i);
    if (!c) return;
    SIZE xy = c->GetFixedXY();
    int w = c->GetFixedWidth(), h = c->GetFixedHeight();
    RECT r{m_rcItem.left + xy.cx, m_rcItem.top + xy.cy, m_rcItem.left + xy.cx + w,
           m_rcItem.top + xy.cy + h};
    c->SetPos(r);
}

void CContainerUI::ForgetRowsInView() {
    m_bInViewKnown = false;
}

void CContainerUI::RenumberListItems() {
    // A row selects itself by its number: after a reorder it must be its new place.
    if (!GetInterface(L"IListOwner")) return;
    for (size_t i = 0; i < m_items.size(); ++i) {
        auto* item = static_cast<IListItemUI*>(m_items[i]->GetInterface(L"ListItem"));
        if (item) item->SetIndex(static_cast<int>(i));
    }
}

void CContainerUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    if (m_items.empty()) return;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = m_items[static_cast<size_t>(i)];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        RECT p = c->GetPadding();
        SIZE sz = Clamp(c, c->EstimateSize(SIZE{rc.right - rc.left, rc.bottom - rc.top}));
        RECT r{rc.left + p.left, rc.top + p.top, 0, 0};
        r.right = sz.cx > 0 ? r.left + sz.cx : rc.right - p.right;
        r.bottom = sz.cy > 0 ? r.top + sz.cy : rc.bottom - p.bottom;
        c->SetPos(r);
    }
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
    if (!m_pVerticalScrollBar) return;
    int range = cyRequired - (rc.bottom - rc.top);
    if (range > 0) {
        m_pVerticalScrollBar->SetVisible(true);
        m_pVerticalScrollBar->SetScrollRange(range);
        m_pVerticalScrollBar->SetPos(RECT{rc.right, rc.top, rc.right + kScrollBarWidth, rc.bottom});
    } else {
        m_pVerticalScrollBar->SetVisible(false);
        m_pVerticalScrollBar->SetScrollRange(0);
        m_pVerticalScrollBar->SetScrollPos(0);
    }
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT rcTemp;
    if (!UIIntersectRect(&rcTemp, rcPaint, m_rcItem)) return;
    QPainter* p = winplat::PainterOf(hDC);
    if (p) p->save();
    if (p) p->setClipRect(QR(rcTemp), Qt::IntersectClip);
    CControlUI::DoPaint(hDC, rcPaint);
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) rc.right -= kScrollBarWidth;
    RECT inner;
    bool hasInner = UIIntersectRect(&inner, rcTemp, rc);
    // A long list walks only the rows its last layout found in view.
    size_t begin = 0, end = m_items.size();
    if (m_bInViewKnown) {
        end = std::min(m_iInViewEnd, end);
        begin = std::min(m_iInViewBegin, end);
    }
    for (size_t i = begin; i < end; ++i) {
        CControlUI* c = m_items[i];
        if (!c->IsVisible()) continue;
        RECT r;
        if (c->IsFloat()) {
            if (UIIntersectRect(&r, rcTemp, c->GetPos())) c->DoPaint(hDC, rcTemp);
            continue;
        }
        if (!hasInner || !UIIntersectRect(&r, inner, c->GetPos())) continue;
        if (p) {
            p->save();
            p->setClipRect(QR(inner), Qt::IntersectClip);
        }
        c->DoPaint(hDC, inner);
        if (p) p->restore();
    }
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible())
        m_pVerticalScrollBar->DoPaint(hDC, rcTemp);
    if (p) p->restore();
}

void CContainerUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"inset")
        SetInset(ParseRect(v));
    else if (name == L"mousechild")
        SetMouseChildEnabled(ParseBool(v));
    else if (name == L"vscrollbar")
        EnableScrollBar(ParseBool(v), m_pHorizontalScrollBar != nullptr);
    else if (name == L"hscrollbar")
        EnableScrollBar(m_pVerticalScrollBar != nullptr, ParseBool(v));
    else if (name == L"childpadding")
        SetChildPadding(ParseInt(v));
    else
        CControlUI::SetAttribute(n, v);
}

void CContainerUI::SetManager(CPaintManagerUI* pm, CControlUI* parent, bool init) {
    for (CControlUI* c : m_items) c->SetManager(pm, this, init);
    if (m_pVerticalScrollBar) m_pVerticalScrollBar->SetManager(pm, this, init);
    if (m_pHorizontalScrollBar) m_pHorizontalScrollBar->SetManager(pm, this, init);
    CControlUI::SetManager(pm, parent, init);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) != 0) {
        if (!UIPtInRect(m_rcItem, *static_cast<POINT*>(pData))) return nullptr;
        if (!m_bMouseChildEnabled) {
            CControlUI* r = nullptr;
            if (m_pVerticalScrollBar) r = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
            return r ? r : CControlUI::FindControl(Proc, pData, uFlags);
        }
    }
    if (uFlags & UIFIND_ME_FIRST) {
        CControlUI* c = CControlUI::FindControl(Proc, pData, uFlags);
        if (c) return c;
    }
    if (m_pVerticalScrollBar) {
        CControlUI* c = m_pVerticalScrollBar->FindControl(Proc, pData, uFlags);
        if (c) return c;
    }
    if (uFlags & UIFIND_HITTEST) {
        POINT pt = *static_cast<POINT*>(pData);
        RECT rc = m_rcItem;
        rc.left += m_rcInset.left;
        rc.top += m_rcInset.top;
        rc.right -= m_rcInset.right;
        rc.bottom -= m_rcInset.bottom;
        bool inInner = UIPtInRect(rc, pt);
        for (int i = GetCount() - 1; i >= 0; --i) {
            CControlUI* item = m_items[static_cast<size_t>(i)];
            if (!item->IsFloat() && !inInner) continue;
            CControlUI* c = item->FindControl(Proc, pData, uFlags);
            if (c) return c;
        }
    } else if (uFlags & UIFIND_TOP_FIRST) {
        for (int i = GetCount() - 1; i >= 0; --i) {
            CControlUI* c = m_items[static_cast<size_t>(i)]->FindControl(Proc, pData, uFlags);
            if (c) return c;
        }
    } else {
        for (CControlUI* item : m_items) {
            CControlUI* c = item->FindControl(Proc, pData, uFlags);
            if (c) return c;
        }
    }
    if (!(uFlags & UIFIND_ME_FIRST)) return CControlUI::FindControl(Proc, pData, uFlags);
    return nullptr;
}

CControlUI* CContainerUI::FindSubControl(LPCTSTR name) {
    return m_pManager ? m_pManager->FindSubControlByName(this, name) : nullptr;
}

SIZE CContainerUI::GetScrollPos() const {
    return SIZE{0, m_pVerticalScrollBar ? m_pVerticalScrollBar->GetScrollPos() : 0};
}
SIZE CContainerUI::GetScrollRange() const {
    return SIZE{0, m_pVerticalScrollBar ? m_pVerticalScrollBar->GetScrollRange() : 0};
}
void CContainerUI::SetScrollPos(SIZE sz) {
    if (!m_pVerticalScrollBar) return;
    int old = m_pVerticalScrollBar->GetScrollPos();
    m_pVerticalScrollBar->SetScrollPos(sz.cy);
    if (old != m_pVerticalScrollBar->GetScrollPos()) {
        NeedUpdate();
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_SCROLL);
    }
}
void CContainerUI::LineUp() {
    SIZE s = GetScrollPos();
    s.cy -= m_pVerticalScrollBar ? m_pVerticalScrollBar->GetLineSize() * 3 : 0;
    SetScrollPos(s);
}
void CContainerUI::LineDown() {
    SIZE s = GetScrollPos();
    s.cy += m_pVerticalScrollBar ? m_pVerticalScrollBar->GetLineSize() * 3 : 0;
    SetScrollPos(s);
}
void CContainerUI::EnableScrollBar(bool v, bool h) {
    if (v && !m_pVerticalScrollBar) {
        m_pVerticalScrollBar = new CScrollBarUI;
        m_pVerticalScrollBar->SetOwner(this);
        m_pVerticalScrollBar->SetVisible(false);
        m_pVerticalScrollBar->SetManager(m_pManager, this, false);
    } else if (!v && m_pVerticalScrollBar) {
        delete m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
    }
    (void)h;  // horizontal scrolling is not used by the skins
    NeedUpdate();
}
CScrollBarUI* CContainerUI::GetVerticalScrollBar() const {
    return m_pVerticalScrollBar;
}
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const {
    return m_pHorizontalScrollBar;
}

// ---- vertical ----
LPCTSTR CVerticalLayoutUI::GetClass() const {
    return L"VerticalLayoutUI";
}
LPVOID CVerticalLayoutUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"VerticalLayout") == 0) return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::GetInterface(n);
}

void CVerticalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (m_items.empty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    bool scroll = m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible();
    if (scroll) rc.right -= kScrollBarWidth;
    SIZE avail{rc.right - rc.left, rc.bottom - rc.top};

    // Each row's size, asked once: the second pass places the rows with it.
    std::vector<SIZE> sizes(m_items.size(), SIZE{0, 0});
    int adjustable = 0, fixed = 0, visible = 0;
    bool anyFloat = false;
    for (size_t i = 0; i < m_items.size(); ++i) {
        CControlUI* c = m_items[i];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            anyFloat = true;
            continue;
        }
        SIZE sz = Clamp(c, c->EstimateSize(avail));
        sizes[i] = sz;
        if (sz.cy == 0)
            ++adjustable;
        else
            fixed += sz.cy;
        RECT p = c->GetPadding();
        fixed += p.top + p.bottom;
        ++visible;
    }
    if (visible > 1) fixed += (visible - 1) * m_iChildPadding;
    int share = adjustable > 0 ? std::max(0, (avail.cy - fixed) / adjustable) : 0;
    // When scrolling, stretchy items keep at least their minimum height.
    int y = rc.top - (m_pVerticalScrollBar ? m_pVerticalScrollBar->GetScrollPos() : 0);
    // A scrolled list of thousands of rows lays out the inside of the rows in view only:
    // a row out of view takes its place alone and lays its inside out when it comes
    // into view (scrolling lays the list out again). Painting and pointing look at the
    // rows in view only.
    const bool layOutInViewOnly =
        m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible() && GetInterface(L"List");
    int needed = 0;
    int remaining = adjustable;
    int leftover = avail.cy - fixed - share * adjustable;
    // Rows go down the view in order, so the ones in view are one run of items; a
    // paint looks at that run only (floating items may be anywhere: then at all).
    size_t inViewBegin = m_items.size(), inViewEnd = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = m_items[static_cast<size_t>(i)];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        RECT p = c->GetPadding();
        SIZE sz = static_cast<size_t>(i) < sizes.size() ? sizes[static_cast<size_t>(i)]
                                                        : Clamp(c, c->EstimateSize(avail));
        int h = sz.cy;
        if (h == 0) {
            h = share;
            if (--remaining == 0 && leftover > 0) h += leftover;
            h = std::max<int>(h, c->GetMinHeight());
            h = std::min<int>(h, c->GetMaxHeight());
        }
        int w = sz.cx > 0 ? sz.cx : avail.cx - p.left - p.right;
        w = std::max<int>(0, w);
        RECT r{rc.left + p.left, y + p.top, rc.left + p.left + w, y + p.top + h};
        const bool outOfView = r.bottom <= rc.top || r.top >= rc.bottom;
        if (layOutInViewOnly && outOfView && c->GetInterface(L"Container"))
            c->CControlUI::SetPos(r);
        else
            c->SetPos(r);
        // Where the row took its place (a row may adjust the rectangle it was given).
        const RECT& at = c->GetPos();
        if (at.bottom > rc.top && at.top < rc.bottom) {
            inViewBegin = std::min(inViewBegin, static_cast<size_t>(i));
            inViewEnd = static_cast<size_t>(i) + 1;
        }
        y += p.top + h + p.bottom + m_iChildPadding;
        needed += p.top + h + p.bottom + m_iChildPadding;
    }
    if (needed > 0) needed -= m_iChildPadding;
    // A row that added or removed items while taking its place leaves the run unknown.
    m_bInViewKnown = !anyFloat && m_items.size() == sizes.size();
    m_iInViewBegin = std::min(inViewBegin, inViewEnd);
    m_iInViewEnd = inViewEnd;
    if (m_pVerticalScrollBar) {
        bool wasVisible = m_pVerticalScrollBar->IsVisible();
        ProcessScrollBar(
            RECT{rc.left, rc.top, scroll ? rc.right : rc.right - kScrollBarWidth, rc.bottom}, 0,
            needed);
        // Showing or hiding the bar changes the width left for the items.
        if (wasVisible != m_pVerticalScrollBar->IsVisible()) SetPos(m_rcItem);
    }
}

// ---- horizontal ----
LPCTSTR CHorizontalLayoutUI::GetClass() const {
    return L"HorizontalLayoutUI";
}
LPVOID CHorizontalLayoutUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"HorizontalLayout") == 0) return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::GetInterface(n);
}

void CHorizontalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (m_items.empty()) return;
    SIZE avail{rc.right - rc.left, rc.bottom - rc.top};
    int adjustable = 0, fixed = 0, visible = 0;
    for (CControlUI* c : m_items) {
        if (!c->IsVisible() || c->IsFloat()) continue;
        SIZE sz = Clamp(c, c->EstimateSize(avail));
        if (sz.cx == 0)
            ++adjustable;
        else
            fixed += sz.cx;
        RECT p = c->GetPadding();
        fixed += p.left + p.right;
        ++visible;
    }
    if (visible > 1) fixed += (visible - 1) * m_iChildPadding;
    int share = adjustable > 0 ? std::max(0, (avail.cx - fixed) / adjustable) : 0;
    int leftover = avail.cx - fixed - share * adjustable;
    int remaining = adjustable;
    int x = rc.left;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = m_items[static_cast<size_t>(i)];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        RECT p = c->GetPadding();
        SIZE sz = Clamp(c, c->EstimateSize(avail));
        int w = sz.cx;
        if (w == 0) {
            w = share;
            if (--remaining == 0 && leftover > 0) w += leftover;
            w = std::max<int>(w, c->GetMinWidth());
            w = std::min<int>(w, c->GetMaxWidth());
        }
        int h = sz.cy > 0 ? sz.cy : avail.cy - p.top - p.bottom;
        h = std::max(0, h);
        RECT r{x + p.left, rc.top + p.top, x + p.left + w, rc.top + p.top + h};
        c->SetPos(r);
        x += p.left + w + p.right + m_iChildPadding;
    }
}

// ---- tile ----
LPCTSTR CTileLayoutUI::GetClass() const {
    return L"TileLayoutUI";
}
LPVOID CTileLayoutUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"TileLayout") == 0) return static_cast<CTileLayoutUI*>(this);
    return CContainerUI::GetInterface(n);
}
SIZE CTileLayoutUI::GetItemSize() const {
    return m_szItem;
}
void CTileLayoutUI::SetItemSize(SIZE s) {
    m_szItem = s;
    NeedUpdate();
}
int CTileLayoutUI::GetColumns() const {
    return m_nColumns;
}
void CTileLayoutUI::SetColumns(int n) {
    if (n > 0) {
        m_nColumns = n;
        NeedUpdate();
    }
}
void CTileLayoutUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"itemsize")
        SetItemSize(ParseSize(v));
    else if (name == L"columns")
        SetColumns(ParseInt(v));
    else
        CContainerUI::SetAttribute(n, v);
}
void CTileLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    bool scroll = m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible();
    if (scroll) rc.right -= kScrollBarWidth;
    int width = rc.right - rc.left;
    int cols = m_nColumns;
    if (m_szItem.cx > 0)
        cols = std::max(1, (width + m_iChildPadding) / (m_szItem.cx + m_iChildPadding));
    int cellW =
        m_szItem.cx > 0 ? m_szItem.cx : std::max(1, (width - (cols - 1) * m_iChildPadding) / cols);
    int y = rc.top - (m_pVerticalScrollBar ? m_pVerticalScrollBar->GetScrollPos() : 0);
    int col = 0, rowH = 0, needed = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = m_items[static_cast<size_t>(i)];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        SIZE sz = c->EstimateSize(SIZE{cellW, rc.bottom - rc.top});
        int h = m_szItem.cy > 0 ? m_szItem.cy : (sz.cy > 0 ? sz.cy : cellW);
        int x = rc.left + col * (cellW + m_iChildPadding);
        RECT p = c->GetPadding();
        c->SetPos(RECT{x + p.left, y + p.top, x + cellW - p.right, y + h - p.bottom});
        rowH = std::max(rowH, h);
        if (++col >= cols) {
            col = 0;
            y += rowH + m_iChildPadding;
            needed += rowH + m_iChildPadding;
            rowH = 0;
        }
    }
    needed += rowH;
    if (m_pVerticalScrollBar) {
        bool was = m_pVerticalScrollBar->IsVisible();
        ProcessScrollBar(
            RECT{rc.left, rc.top, scroll ? rc.right : rc.right - kScrollBarWidth, rc.bottom}, 0,
            needed);
        if (was != m_pVerticalScrollBar->IsVisible()) SetPos(m_rcItem);
    }
}

// ---- tab ----
LPCTSTR CTabLayoutUI::GetClass() const {
    return L"TabLayoutUI";
}
LPVOID CTabLayoutUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
    return CContainerUI::GetInterface(n);
}
bool CTabLayoutUI::Add(CControlUI* c) {
    return AddAt(c, GetCount());
}
bool CTabLayoutUI::AddAt(CControlUI* c, int i) {
    if (!CContainerUI::AddAt(c, i)) return false;
    if (m_iCurSel == -1)
        m_iCurSel = i;
    else if (i <= m_iCurSel && m_iCurSel < GetCount() - 1)
        ++m_iCurSel;  // the selected moved
    for (int k = 0; k < GetCount(); ++k) GetItemAt(k)->SetVisible(k == m_iCurSel);
    return true;
}
bool CTabLayoutUI::Remove(CControlUI* c) {
    int i = GetItemIndex(c);
    if (!CContainerUI::Remove(c)) return false;
    if (m_iCurSel == i) {
        m_iCurSel = -1;
        SelectItem(GetCount() > 0 ? 0 : -1);
    } else if (m_iCurSel > i)
        --m_iCurSel;
    return true;
}
void CTabLayoutUI::RemoveAll() {
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}
int CTabLayoutUI::GetCurSel() const {
    return m_iCurSel;
}
bool CTabLayoutUI::SelectItem(int i) {
    if (i < 0 || i >= GetCount()) return false;
    if (i == m_iCurSel) return true;
    int old = m_iCurSel;
    m_iCurSel = i;
    for (int k = 0; k < GetCount(); ++k) GetItemAt(k)->SetVisible(k == i);
    NeedParentUpdate();
    if (m_pManager)
        m_pManager->SendNotify(this, DUI_MSGTYPE_TABSELECT, static_cast<WPARAM>(i), old);
    return true;
}
bool CTabLayoutUI::SelectItem(CControlUI* c) {
    return SelectItem(GetItemIndex(c));
}
void CTabLayoutUI::DoInit() {
    for (int k = 0; k < GetCount(); ++k) GetItemAt(k)->SetVisible(k == m_iCurSel);
}
void CTabLayoutUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (n && wcscmp(n, L"selectedid") == 0) {
        int i = ParseInt(v);
        if (i >= 0 && i < GetCount())
            SelectItem(i);
        else
            m_iCurSel = i;
        return;
    }
    CContainerUI::SetAttribute(n, v);
}
void CTabLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (i != m_iCurSel) continue;
        RECT p = c->GetPadding();
        c->SetPos(RECT{rc.left + p.left, rc.top + p.top, rc.right - p.right, rc.bottom - p.bottom});
    }
}

}  // namespace DuiLib
