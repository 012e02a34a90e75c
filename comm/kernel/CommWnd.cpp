#include "kernel/CommWnd.h"

#include "kernel/CommKernel.h"
#include "kernel/KernelDefs.h"

CCommWnd::CCommWnd() : m_hWnd(nullptr), m_hInstance(nullptr), m_szClassName{}, m_pKernel(nullptr) {
    wcscpy_s(m_szClassName, L"CommWnd.12");
}

CCommWnd::~CCommWnd() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

bool CCommWnd::Create(HINSTANCE instance, CCommKernel* kernel) {
    m_hInstance = instance;
    m_pKernel = kernel;
    if (m_hWnd) return true;
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = m_szClassName;
    RegisterClassW(&wc);
    m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, m_szClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                             instance, this);
    return m_hWnd != nullptr;
}

LRESULT CALLBACK CCommWnd::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return 0;
    }
    if (msg == UM_SOCKET_LOGON || msg == UM_SOCKET_LOBBY || msg >= UM_SOCKET_ROOM) {
        auto* self = reinterpret_cast<CCommWnd*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && self->m_pKernel) self->m_pKernel->OnSocketEventMessage(msg, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
}
