#include "fenlo/UIContainer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fenlo/UICommonControls.h"
#include "fenlo/UIList.h"
#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/gdi.h"
#include "win32gui/qt_bridge.h"

namespace DuiLib {

using namespace detail;

namespace {
const int kScrollBarWidth = 8;

// The item's rectangle less the container's inset: where the children go.
RECT Inset(RECT item, RECT inset) {
    return RECT{item.left + inset.left, item.top + inset.top, item.right - inset.right,
                item.bottom - inset.bottom};
}

SIZE Clamp(CControlUI* c, SIZE sz) {
    if (sz.cx > 0)
        sz.cx = std::max<LONG>(c->GetMinWidth(), std::min<LONG>(sz.cx, c->GetMaxWidth()));
    if (sz.cy > 0)
        sz.cy = std::max<LONG>(c->GetMinHeight(), std::min<LONG>(sz.cy, c->GetMaxHeight()));
    return sz;
}

// One axis of a line layout: the item's length along the line and across it.
struct Axis {
    bool vertical;
    LONG Along(SIZE s) const { return vertical ? s.cy : s.cx; }
    LONG Across(SIZE s) const { return vertical ? s.cx : s.cy; }
    LONG Before(RECT p) const { return vertical ? p.top : p.left; }
    LONG After(RECT p) const { return vertical ? p.bottom : p.right; }
    LONG AcrossPadding(RECT p) const { return vertical ? p.left + p.right : p.top + p.bottom; }
    int MinAlong(CControlUI* c) const { return vertical ? c->GetMinHeight() : c->GetMinWidth(); }
    int MaxAlong(CControlUI* c) const { return vertical ? c->GetMaxHeight() : c->GetMaxWidth(); }
};

// The run of items a line layout left in view (items go along the line in order, so
// those in view are one run), for a paint that looks at those only.
struct LineInView {
    size_t begin = SIZE_MAX, end = 0;
    bool anyFloat = false;
    int adjustable = 0;    // items that took a share of what was left
    size_t itemCount = 0;  // the items the layout began with
};

// Places the items from `first` on one after another from `start` along the axis:
// items with a size keep it, the others share what is left (the last of them takes the
// remainder), each within its minimum and maximum. Floating items are placed by
// `floatPos`. Returns the length the items took, child padding included after each.
template <typename FloatPos>
int LayOutLine(const std::vector<CControlUI*>& items, size_t first, RECT rc, int start, Axis axis,
               int childPadding, FloatPos floatPos, bool inViewOnly = false,
               LineInView* inView = nullptr) {
    const SIZE avail{rc.right - rc.left, rc.bottom - rc.top};
    // Each item's size, asked once: the second pass places the items with it.
    std::vector<SIZE> sizes(items.size(), SIZE{0, 0});
    if (inView) {
        *inView = LineInView{};
        inView->itemCount = items.size();
    }
    int adjustable = 0, fixed = 0, visible = 0;
    for (size_t i = first; i < items.size(); ++i) {
        CControlUI* c = items[i];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            if (inView) inView->anyFloat = true;
            continue;
        }
        SIZE sz = Clamp(c, c->EstimateSize(avail));
        sizes[i] = sz;
        if (axis.Along(sz) == 0)
            ++adjustable;
        else
            fixed += axis.Along(sz);
        RECT p = c->GetPadding();
        fixed += axis.Before(p) + axis.After(p);
        ++visible;
    }
    if (visible > 1) fixed += (visible - 1) * childPadding;
    if (inView) inView->adjustable = adjustable;
    const int share = adjustable > 0 ? std::max(0, (axis.Along(avail) - fixed) / adjustable) : 0;
    const int leftover = axis.Along(avail) - fixed - share * adjustable;
    int remaining = adjustable;
    int pos = start;
    for (size_t i = first; i < items.size(); ++i) {
        CControlUI* c = items[i];
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            floatPos(static_cast<int>(i));
            continue;
        }
        RECT p = c->GetPadding();
        // An item a row added while taking its place was not asked before.
        SIZE sz = i < sizes.size() ? sizes[i] : Clamp(c, c->EstimateSize(avail));
        int along = axis.Along(sz);
        if (along == 0) {
            along = share;
            if (--remaining == 0 && leftover > 0) along += leftover;
            along = std::max<int>(along, axis.MinAlong(c));
            along = std::min<int>(along, axis.MaxAlong(c));
        }
        int across =
            axis.Across(sz) > 0 ? axis.Across(sz) : axis.Across(avail) - axis.AcrossPadding(p);
        across = std::max(0, across);
        const int w = axis.vertical ? across : along;
        const int h = axis.vertical ? along : across;
        const int x = axis.vertical ? rc.left + p.left : pos + p.left;
        const int y = axis.vertical ? pos + p.top : rc.top + p.top;
        const RECT r{x, y, x + w, y + h};
        const bool outOfView = axis.vertical ? (r.bottom <= rc.top || r.top >= rc.bottom)
                                             : (r.right <= rc.left || r.left >= rc.right);
        // An item out of view takes its place alone; its inside waits until it is seen.
        if (inViewOnly && outOfView && c->GetInterface(L"Container"))
            c->CControlUI::SetPos(r);
        else
            c->SetPos(r);
        if (inView) {
            // Where the item took its place (an item may adjust the rectangle it was given).
            const RECT& at = c->GetPos();
            const bool seen = axis.vertical ? (at.bottom > rc.top && at.top < rc.bottom)
                                            : (at.right > rc.left && at.left < rc.right);
            if (seen) {
                inView->begin = std::min(inView->begin, i);
                inView->end = i + 1;
            }
        }
        pos += axis.Before(p) + along + axis.After(p) + childPadding;
    }
    return pos - start;
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
    const size_t inPlace = std::min(m_iItemsInPlace, static_cast<size_t>(i));
    if (IsVisible()) NeedUpdate();
    m_iItemsInPlace = inPlace;
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
    const size_t inPlace = std::min(m_iItemsInPlace, static_cast<size_t>(i));
    if (m_bAutoDestroy) delete c;
    NeedUpdate();
    m_iItemsInPlace = inPlace;
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
    RECT rc = Inset(m_rcItem, m_rcInset);
    if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) rc.right -= kScrollBarWidth;
    RECT inner;
    bool hasInner = UIIntersectRect(&inner, rcTemp, rc);
    // A long list walks only the rows its last layout found in view.
    size_t begin = 0, end = m_items.size();
    if (m_bInViewKnown) {
        end = std::min(m_iInViewEnd, end);
        begin = std::min(m_iInViewBegin, end);
    }
    // The items within the inset share one clip (every paint restores what it changes);
    // a floating item in between is drawn outside of it, in its place in the order.
    // Without an inset or a bar that clip is the container's own, already set.
    bool innerClip = hasInner && ::EqualRect(&inner, &rcTemp);
    const bool innerIsOwn = innerClip;
    for (size_t i = begin; i < end; ++i) {
        CControlUI* c = m_items[i];
        if (!c->IsVisible()) continue;
        RECT r;
        if (c->IsFloat()) {
            if (!UIIntersectRect(&r, rcTemp, c->GetPos())) continue;
            if (innerClip && !innerIsOwn) {
                p->restore();
                innerClip = false;
            }
            c->DoPaint(hDC, rcTemp);
            continue;
        }
        if (!hasInner || !UIIntersectRect(&r, inner, c->GetPos())) continue;
        if (p && !innerClip) {
            p->save();
            p->setClipRect(QR(inner), Qt::IntersectClip);
            innerClip = true;
        }
        c->DoPaint(hDC, inner);
    }
    if (innerClip && !innerIsOwn) p->restore();
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
        RECT rc = Inset(m_rcItem, m_rcInset);
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
    rc = Inset(m_rcItem, m_rcInset);
    if (m_items.empty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    bool scroll = m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible();
    if (scroll) rc.right -= kScrollBarWidth;
    // When scrolling, stretchy items keep at least their minimum height.
    const int top = rc.top - (m_pVerticalScrollBar ? m_pVerticalScrollBar->GetScrollPos() : 0);
    // A scrolled list of thousands of rows lays out the inside of the rows in view only:
    // a row out of view takes its place alone and lays its inside out when it comes
    // into view (scrolling lays the list out again). Painting and pointing look at the
    // rows in view only.
    const bool layOutInViewOnly =
        m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible() && GetInterface(L"List");
    auto layOut = [&](size_t first, int start, LineInView& inView) {
        return LayOutLine(
            m_items, first, rc, start, Axis{true}, m_iChildPadding,
            [this](int i) { SetFloatPos(i); }, layOutInViewOnly, &inView);
    };
    LineInView inView;
    int needed = 0;
    // A row added or removed in a long list of rows of their own heights moves only the
    // rows after it: those before keep their places, the line goes on after the last of
    // them that takes room.
    const size_t kept = std::min(m_iItemsInPlace, m_items.size());
    bool partial = layOutInViewOnly && m_bLineFixed && kept > 0 && kept < m_items.size() &&
                   ::EqualRect(&rc, &m_rcLine) && top == m_iLineTop;
    if (partial) {
        int start = top;
        size_t j = kept;
        while (j > 0 && !m_items[j - 1]->IsVisible()) --j;
        if (j > 0) {
            CControlUI* last = m_items[j - 1];
            const SIZE sz =
                Clamp(last, last->EstimateSize(SIZE{rc.right - rc.left, rc.bottom - rc.top}));
            start = last->GetPos().top + sz.cy + last->GetPadding().bottom + m_iChildPadding;
        }
        needed = start - top + layOut(kept, start, inView);
        // Rows that share the space left, or float, place the whole line again.
        partial = inView.adjustable == 0 && !inView.anyFloat;
        if (partial) {
            // The rows before the change that the last layout found in view still are.
            const size_t pb = std::min(m_iInViewBegin, kept), pe = std::min(m_iInViewEnd, kept);
            if (pb < pe) {
                inView.begin = std::min(inView.begin, pb);
                inView.end = std::max(inView.end, pe);
            }
        }
    }
    if (!partial) needed = layOut(0, top, inView);
    if (needed > 0) needed -= m_iChildPadding;
    // A row that added or removed items while taking its place leaves the run unknown.
    m_bInViewKnown = !inView.anyFloat && m_items.size() == inView.itemCount;
    m_iInViewBegin = std::min(inView.begin, inView.end);
    m_iInViewEnd = inView.end;
    m_bLineFixed = layOutInViewOnly && m_bInViewKnown && inView.adjustable == 0;
    m_rcLine = rc;
    m_iLineTop = top;
    m_iItemsInPlace = m_items.size();
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
    rc = Inset(m_rcItem, m_rcInset);
    if (m_items.empty()) return;
    LayOutLine(m_items, 0, rc, rc.left, Axis{false}, m_iChildPadding,
               [this](int i) { SetFloatPos(i); });
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
    rc = Inset(m_rcItem, m_rcInset);
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
