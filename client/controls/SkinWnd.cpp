#include "controls/SkinWnd.h"

#include <cwchar>

#include "controls/DialogBuilderCallbackEx.h"
#include "controls/WindowClassTable.h"

using namespace DuiLib;

CSkinWnd::CSkinWnd() = default;
CSkinWnd::~CSkinWnd() = default;

LPCTSTR CSkinWnd::GetWindowClassName() const {
    const WindowClassInfo* info = FindWindowClassInfo(Traits().cppClass);
    return info ? info->className : L"UIMivoraWnd";
}

UINT CSkinWnd::GetClassStyle() const {
    const WindowClassInfo* info = FindWindowClassInfo(Traits().cppClass);
    return info ? info->classStyle : MIVORA_DIALOG_CLASS_STYLE;
}

CControlUI* CSkinWnd::Find(LPCTSTR name) const {
    return m_pm.FindControl(name);
}

LRESULT CSkinWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const UINT set = Traits().messages;
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
        case WM_CREATE:
            if (set & kMsgCreate) {
                lRes = OnCreate(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_SIZE:
            if (set & kMsgSize) {
                lRes = OnSize(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_GETMINMAXINFO:
            if (set & kMsgGetMinMaxInfo) {
                lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_NCCALCSIZE:
            if (set & kMsgNcCalcSize) {
                lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_NCHITTEST:
            if (set & kMsgNcHitTest) {
                lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_NCPAINT:
            if (set & kMsgNcPaint) {
                lRes = OnNcPaint(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_NCACTIVATE:
            if (set & kMsgNcActivate) {
                lRes = OnNcActivate(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        case WM_SYSCOMMAND:
            if (set & kMsgSysCommand) {
                lRes = OnSysCommand(uMsg, wParam, lParam, bHandled);
                break;
            }
            bHandled = FALSE;
            break;
        default:
            lRes = HandleExtraMessage(uMsg, wParam, lParam, bHandled);
            break;
    }
    if (bHandled) return lRes;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CSkinWnd::HandleExtraMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

void CSkinWnd::OnFinalMessage(HWND) {
    if (Traits().lifetime != Lifetime::kSelfDeleting) return;
    if (m_clearOwnerSlot) m_clearOwnerSlot();
    delete this;
}

LRESULT CSkinWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG>(WS_CAPTION);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

    m_pm.Init(m_hWnd);
    CDialogBuilder builder;
    CDialogBuilderCallbackEx callback;
    CControlUI* root = builder.Create(Traits().layout, nullptr, &callback, &m_pm, nullptr);
    // A layout that cannot be read leaves an empty window rather than a null root.
    if (!root) root = new CVerticalLayoutUI;
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    bHandled = TRUE;
    return 0;
}

void CSkinWnd::InitWindow() {
    m_pCloseBtn = Find(L"closebtn");
    m_pWinBG = Find(L"winBG");
}

void CSkinWnd::OnPrepare() {}

LRESULT CSkinWnd::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    SIZE corner = m_pm.GetRoundCorner();
    if (!::IsIconic(m_hWnd) && (corner.cx != 0 || corner.cy != 0)) {
        RECT rc;
        ::GetWindowRect(m_hWnd, &rc);
        ::OffsetRect(&rc, -rc.left, -rc.top);
        rc.right++;
        rc.bottom++;
        HRGN rgn = ::CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, corner.cx, corner.cy);
        ::SetWindowRgn(m_hWnd, rgn, TRUE);
        ::DeleteObject(rgn);
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CSkinWnd::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
    RECT work = mi.rcWork;
    auto* mmi = reinterpret_cast<LPMINMAXINFO>(lParam);
    if (mmi) {
        mmi->ptMaxPosition.x = work.left;
        mmi->ptMaxPosition.y = work.top;
        mmi->ptMaxSize.x = work.right - work.left;
        mmi->ptMaxSize.y = work.bottom - work.top;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CSkinWnd::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = TRUE;
    return 0;
}

LRESULT CSkinWnd::OnNcPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = TRUE;
    return 0;
}

LRESULT CSkinWnd::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (::IsIconic(m_hWnd)) bHandled = FALSE;
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT CSkinWnd::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    bHandled = TRUE;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    RECT rcClient;
    ::GetClientRect(m_hWnd, &rcClient);

    if (!Traits().noSizeBox && !::IsZoomed(m_hWnd)) {
        RECT box = m_pm.GetSizeBox();
        if (pt.y < rcClient.top + box.top) {
            if (pt.x < rcClient.left + box.left) return HTTOPLEFT;
            if (pt.x > rcClient.right - box.right) return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y > rcClient.bottom - box.bottom) {
            if (pt.x < rcClient.left + box.left) return HTBOTTOMLEFT;
            if (pt.x > rcClient.right - box.right) return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (pt.x < rcClient.left + box.left) return HTLEFT;
        if (pt.x > rcClient.right - box.right) return HTRIGHT;
    }

    RECT caption = m_pm.GetCaptionRect();
    if (pt.x >= rcClient.left + caption.left && pt.x < rcClient.right - caption.right &&
        pt.y >= caption.top && pt.y < caption.bottom) {
        CControlUI* control = m_pm.FindControl(pt);
        if (control && std::wcscmp(control->GetClass(), L"ButtonUI") != 0) return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT CSkinWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        switch (Traits().scClose) {
            case ScClose::kClose:
            case ScClose::kQuit:
                Close(1);
                break;
            case ScClose::kWmClose:
                SendMessageW(WM_CLOSE, 0, 0);
                break;
            case ScClose::kSwallow:
            case ScClose::kDefault:
                break;
        }
        bHandled = TRUE;
        return 0;
    }
    BOOL wasZoomed = ::IsZoomed(m_hWnd);
    LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    BOOL zoomed = ::IsZoomed(m_hWnd);
    if (wasZoomed != zoomed) {
        CControlUI* maxBtn = Find(L"maxbtn");
        CControlUI* restoreBtn = Find(L"restorebtn");
        if (maxBtn) maxBtn->SetVisible(!zoomed);
        if (restoreBtn) restoreBtn->SetVisible(zoomed != FALSE);
    }
    return lRes;
}

void CSkinWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_WINDOWINIT) {
        OnPrepare();
    } else if (msg.sType == DUI_MSGTYPE_CLICK) {
        OnClick(msg);
    } else {
        OnNotify(msg);
    }
}

void CSkinWnd::OnClick(TNotifyUI& msg) {
    if (msg.pSender && msg.pSender == m_pCloseBtn) Close(1);
}

void CSkinWnd::OnNotify(TNotifyUI&) {}
