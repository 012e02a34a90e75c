// The paint manager's side of the message loop: translating and filtering messages,
// layout and painting, and the window messages turned into control events.
#include "fenlo/UIManager.h"

#include <QCoreApplication>
#include <QCursor>
#include <QToolTip>

#include <algorithm>

#include "PaintManagerImpl.h"
#include "fenlo/UICommonControls.h"
#include "internal.h"
#include "win32gui/qt_bridge.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;
using namespace manager_detail;

void CPaintManagerUI::MessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool CPaintManagerUI::TranslateMessage(const MSG* pMsg) {
    if (!pMsg || !pMsg->hwnd) return false;
    // Filters of the window itself and of its ancestors see the message first.
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        std::vector<CPaintManagerUI*> copy = t_managers;
        for (CPaintManagerUI* pm : copy) {
            if (pm->GetPaintWindow() != h) continue;
            LRESULT res = 0;
            if (pm->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, res)) return true;
        }
    }
    return false;
}

void CPaintManagerUI::Term() {}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    std::vector<IMessageFilterUI*> copy = m_impl->preFilters;
    for (IMessageFilterUI* f : copy) {
        bool handled = false;
        LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::DoLayoutIfNeeded() {
    Impl& m = *m_impl;
    if (!m.root || !m.hwnd) return;
    RECT rc{0, 0, 0, 0};
    ::GetClientRect(m.hwnd, &rc);
    if (UIIsRectEmpty(rc)) return;
    if (m.updateNeeded || m.root->IsUpdateNeeded()) {
        m.updateNeeded = false;
        // The whole window when its size changed or no control said where; otherwise
        // only the controls that asked, each within the place it has: no control's
        // size follows its content, so a change inside one leaves the others in place.
        const bool whole = m.root->IsUpdateNeeded() || !m.root->m_bLayoutAsked ||
                           !::EqualRect(&rc, &m.laidOutClient);
        m.laidOutClient = rc;
        if (whole) {
            m.root->m_bLayoutAsked = false;
            m.root->SetPos(rc);
        } else {
            LayOutAsked(m.root);
        }
    }
    if (m.firstLayout) {
        m.firstLayout = false;
        // Through the queue: the window's set-up (maximising, opening pages) then runs
        // outside of the paint that made the first layout.
        SendNotify(m.root, DUI_MSGTYPE_WINDOWINIT, 0, 0, true);
    }
}

void CPaintManagerUI::LayOutAsked(CControlUI* c) {
    c->m_bLayoutAsked = false;
    if (!c->IsVisible()) return;
    if (c->m_bUpdateNeeded) {
        c->SetPos(c->GetPos());
        return;
    }
    auto* box = static_cast<CContainerUI*>(c->GetInterface(L"Container"));
    if (!box) return;
    // A bar's showing changes the width of the items: the container lays itself out.
    for (CControlUI* bar : {box->m_pVerticalScrollBar, box->m_pHorizontalScrollBar}) {
        if (bar && bar->m_bLayoutAsked && bar->m_bUpdateNeeded) {
            bar->m_bLayoutAsked = false;
            box->SetPos(box->GetPos());
            return;
        }
    }
    // Rows out of a long list's view lay out their inside when they come into view.
    size_t begin = 0, end = box->m_items.size();
    if (box->m_bInViewKnown && box->GetInterface(L"List")) {
        end = std::min(box->m_iInViewEnd, end);
        begin = std::min(box->m_iInViewBegin, end);
    }
    for (size_t i = begin; i < end && i < box->m_items.size(); ++i) {
        CControlUI* item = box->m_items[i];
        if (!item->m_bLayoutAsked) continue;
        if (item->m_bUpdateNeeded && item->IsVisible()) {
            // A floating item, or one never placed, takes its place from the container.
            if (item->IsFloat() || ::IsRectEmpty(&item->GetPos())) {
                item->m_bLayoutAsked = false;
                box->SetPos(box->GetPos());
                return;
            }
        }
        LayOutAsked(item);
    }
}

void CPaintManagerUI::PaintTo(HDC hDC, const RECT& rcPaint) {
    DoLayoutIfNeeded();
    if (!m_impl->root) return;
    HDC old = m_impl->paintDC;
    m_impl->paintDC = hDC;
    m_impl->root->DoPaint(hDC, rcPaint);
    std::vector<CControlUI*> post = m_impl->postPaint;
    for (CControlUI* c : post) c->DoPostPaint(hDC, rcPaint);
    m_impl->paintDC = old;
}

namespace {

TEventUI MakeEvent(int type, CControlUI* sender, POINT pt, WPARAM w, LPARAM l) {
    TEventUI e;
    e.Type = type;
    e.pSender = sender;
    e.ptMouse = pt;
    e.wParam = w;
    e.lParam = l;
    e.dwTimestamp = ::GetTickCount();
    e.wKeyState = static_cast<WORD>(w);
    return e;
}

bool KeyHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

}  // namespace

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    Impl& m = *m_impl;
    if (!m.hwnd) return false;
    {
        std::vector<IMessageFilterUI*> copy = m.filters;
        for (IMessageFilterUI* f : copy) {
            bool handled = false;
            LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
            if (handled) {
                lRes = r;
                return true;
            }
        }
    }
    if (uMsg == winplat::LayOutBeforePaintMessage()) {
        // The first layout stays in the first paint, where the window's set-up expects it.
        if (!m.firstLayout) DoLayoutIfNeeded();
        lRes = 0;
        return true;
    }
    switch (uMsg) {
        case kAsyncNotifyMsg: {
            std::vector<CControlUI*> cleanup;
            cleanup.swap(m.delayedCleanup);
            for (CControlUI* c : cleanup) delete c;
            std::vector<TNotifyUI> pending;
            pending.swap(m.asyncNotify);
            for (TNotifyUI& n : pending) {
                if (!n.pSender && !n.sType.IsEmpty()) continue;  // sender gone meanwhile
                std::vector<INotifyUI*> copy = m.notifiers;
                for (INotifyUI* nf : copy) nf->Notify(n);
            }
            lRes = 0;
            return true;
        }
        case WM_NCDESTROY:
            Unregister(this);
            break;
        case WM_CLOSE: {
            // Leave every hot and pushed state before the window goes.
            if (m.hover) {
                TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, nullptr, m.mouse, 0, 0);
                CControlUI* h = m.hover;
                m.hover = nullptr;
                h->Event(e);
            }
            if (m.click) {
                TEventUI e = MakeEvent(UIEVENT_BUTTONUP, nullptr, m.mouse, 0, 0);
                CControlUI* c = m.click;
                m.click = nullptr;
                c->Event(e);
            }
            SetFocus(nullptr);
            break;
        }
        case WM_ERASEBKGND:
            lRes = 1;
            return true;
        case WM_GETMINMAXINFO: {
            // The layout's mininfo and maxinfo bound the user's resizing.
            auto* mmi = reinterpret_cast<LPMINMAXINFO>(lParam);
            if (!mmi) break;
            if (m.minInfo.cx > 0) mmi->ptMinTrackSize.x = m.minInfo.cx;
            if (m.minInfo.cy > 0) mmi->ptMinTrackSize.y = m.minInfo.cy;
            if (m.maxInfo.cx > 0) mmi->ptMaxTrackSize.x = m.maxInfo.cx;
            if (m.maxInfo.cy > 0) mmi->ptMaxTrackSize.y = m.maxInfo.cy;
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(m.hwnd, &ps);
            if (dc)
                PaintTo(dc, ps.rcPaint);
            else
                DoLayoutIfNeeded();
            ::EndPaint(m.hwnd, &ps);
            lRes = 0;
            return true;
        }
        case WM_SIZE:
            if (m.focus) {
                TEventUI e = MakeEvent(UIEVENT_WINDOWSIZE, m.focus, m.mouse, wParam, lParam);
                m.focus->Event(e);
            }
            if (m.root) m.root->NeedUpdate();
            m.updateNeeded = true;
            return false;
        case WM_TIMER: {
            if (wParam == kTooltipTimer) {
                ::KillTimer(m.hwnd, kTooltipTimer);
                if (m.hover && !m.hover->GetToolTip().IsEmpty() && QCoreApplication::instance())
                    QToolTip::showText(QCursor::pos(), Q(m.hover->GetToolTip()));
                lRes = 0;
                return true;
            }
            for (TimerInfo t : m.timers) {
                if (t.winId != wParam) continue;
                TEventUI e = MakeEvent(UIEVENT_TIMER, t.control, m.mouse, t.localId, 0);
                t.control->Event(e);
                lRes = 0;
                return true;
            }
            return false;
        }
        case WM_MOUSEMOVE: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (c && c->GetManager() != this) break;
            if (m.click) {
                TEventUI e = MakeEvent(UIEVENT_MOUSEMOVE, m.click, pt, wParam, lParam);
                m.click->Event(e);
                break;
            }
            if (c != m.hover) {
                if (m.hover) {
                    TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, c, pt, wParam, lParam);
                    CControlUI* old = m.hover;
                    m.hover = nullptr;
                    old->Event(e);
                }
                m.hover = c;
                if (QCoreApplication::instance()) QToolTip::hideText();
                if (c && !c->GetToolTip().IsEmpty())
                    ::SetTimer(m.hwnd, kTooltipTimer, 400, nullptr);
                if (c) {
                    TEventUI e = MakeEvent(UIEVENT_MOUSEENTER, c, pt, wParam, lParam);
                    c->Event(e);
                }
            }
            if (m.hover) {
                TEventUI e = MakeEvent(UIEVENT_MOUSEMOVE, m.hover, pt, wParam, lParam);
                m.hover->Event(e);
            }
            break;
        }
        case WM_MOUSELEAVE:
            ::KillTimer(m.hwnd, kTooltipTimer);
            if (QCoreApplication::instance()) QToolTip::hideText();
            if (m.hover && !m.click) {
                TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, nullptr, m.mouse, wParam, lParam);
                CControlUI* old = m.hover;
                m.hover = nullptr;
                old->Event(e);
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            m.click = c;
            c->SetFocus();
            SetCapture();
            TEventUI e = MakeEvent(uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK,
                                   c, pt, wParam, lParam);
            c->Event(e);
            break;
        }
        case WM_LBUTTONUP: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            ReleaseCapture();
            if (!m.click) break;
            CControlUI* c = m.click;
            m.click = nullptr;
            TEventUI e = MakeEvent(UIEVENT_BUTTONUP, c, pt, wParam, lParam);
            c->Event(e);
            break;
        }
        case WM_RBUTTONDOWN: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            c->SetFocus();
            TEventUI e = MakeEvent(UIEVENT_RBUTTONDOWN, c, pt, wParam, lParam);
            c->Event(e);
            break;
        }
        case WM_CONTEXTMENU: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(m.hwnd, &pt);
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            TEventUI e = MakeEvent(UIEVENT_CONTEXTMENU, c, pt,
                                   static_cast<WPARAM>(reinterpret_cast<UINT_PTR>(c)), 0);
            c->Event(e);
            break;
        }
        case WM_MOUSEWHEEL: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(m.hwnd, &pt);
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            TEventUI e = MakeEvent(UIEVENT_SCROLLWHEEL, c, pt,
                                   MAKELONG(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0), lParam);
            c->Event(e);
            break;
        }
        case WM_CHAR:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN: {
            // Tab moves the focus between the window's controls unless the focused
            // control takes Tab as input; its character then goes nowhere.
            const bool tab = wParam == VK_TAB && (uMsg == WM_KEYDOWN || uMsg == WM_CHAR) &&
                             !KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU) && !WantsTab(m.focus);
            if (tab) {
                if (uMsg == WM_KEYDOWN) SetNextTabControl(!KeyHeld(VK_SHIFT));
                lRes = 0;
                return true;
            }
            if (!m.focus) break;
            int type = uMsg == WM_CHAR      ? UIEVENT_CHAR
                       : uMsg == WM_KEYDOWN ? UIEVENT_KEYDOWN
                       : uMsg == WM_KEYUP   ? UIEVENT_KEYUP
                                            : UIEVENT_SYSKEY;
            TEventUI e = MakeEvent(type, m.focus, m.mouse, wParam, lParam);
            e.chKey = static_cast<TCHAR>(wParam);
            m.key = m.focus;
            m.focus->Event(e);
            break;
        }
        case WM_KILLFOCUS:
        case WM_CAPTURECHANGED:
            if (uMsg == WM_CAPTURECHANGED && !m.captured) break;
            m.captured = false;
            if (m.click) {
                // The press ends without a click when the capture goes elsewhere.
                TEventUI e = MakeEvent(UIEVENT_BUTTONUP, m.click, POINT{-100000, -100000}, 0, 0);
                CControlUI* c = m.click;
                m.click = nullptr;
                if (uMsg == WM_KILLFOCUS) c->Event(e);
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace DuiLib