#include "controls/MenuWndBase.h"

using namespace DuiLib;

namespace {

// The start of a span of `size` that begins at `start` and must end inside [lo, hi):
// pushed back to end at hi, or to 0 when it is longer than the area.
int KeepInside(int start, int size, int lo, int hi) {
    if (start + size > hi) start = size > hi - lo ? 0 : hi - size;
    return start;
}

}  // namespace

CMenuWndBase::CMenuWndBase(const char* cppClass)
    : m_traits{cppClass, L"", kMsgStandard, ScClose::kWmClose, Lifetime::kSelfDeleting, false} {}

void CMenuWndBase::Init(LPCTSTR layout, INotifyUI* receiver, POINT pt) {
    m_strXmlFile = layout ? layout : L"";
    m_traits.layout = m_strXmlFile.c_str();
    m_pReceiver = receiver;
    m_ptPos = pt;
}

LRESULT CMenuWndBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG>(WS_CAPTION | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

    m_pm.Init(m_hWnd);
    // Menu layouts hold only the library's own controls.
    CDialogBuilder builder;
    CControlUI* root = builder.Create(m_strXmlFile.c_str(), nullptr, nullptr, &m_pm, nullptr);
    if (!root) root = new CVerticalLayoutUI;
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);

    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi);
    const RECT& work = mi.rcWork;
    const int x = KeepInside(m_ptPos.x, w, work.left, work.right);
    const int y = KeepInside(m_ptPos.y, h, work.top, work.bottom);
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    bHandled = TRUE;
    return 0;
}

LRESULT CMenuWndBase::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) {
    switch (uMsg) {
        case WM_KILLFOCUS:
            if (reinterpret_cast<HWND>(wParam) != m_hWnd) Close(1);
            bHandled = FALSE;
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) Close(1);
            bHandled = TRUE;
            return 0;
        default:
            bHandled = FALSE;
            return 0;
    }
}

void CMenuWndBase::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMSELECT) return;
    if (msg.sType == DUI_MSGTYPE_ITEMCLICK) {
        if (!m_pReceiver) return;
        TNotifyUI click;
        click.sType = L"menu_click";
        click.pSender = msg.pSender;
        click.wParam = 0;
        click.lParam = 0;
        m_pReceiver->Notify(click);
        Close(1);
    }
}
