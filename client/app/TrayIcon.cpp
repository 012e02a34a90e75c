#include "app/TrayIcon.h"

#include <algorithm>
#include <string>

#include "app/ClientApp.h"
#include "app/ProductInfo.h"
#include "controls/KernelData.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace {

CUserObj* LocalUser() {
    if (theApp.m_pLocalUser) return theApp.m_pLocalUser;
    CCommKernelData* data = KernelData();
    return data ? data->GetLocalUser() : nullptr;
}

std::wstring Wide(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), static_cast<int>(ansi.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), static_cast<int>(ansi.size()), &out[0], n);
    return out;
}

}  // namespace

CTrayIcon::CTrayIcon() : m_nid{}, m_bAdded(false), m_hMenu(nullptr), m_pWnd(nullptr) {
    m_nid.cbSize = 952;
}

CTrayIcon::~CTrayIcon() {
    Remove();
}

bool CTrayIcon::Add(HMENU* menu, DuiLib::CWindowWnd* wnd, UINT callbackMessage, LPCWSTR, LPCWSTR,
                    HICON icon) {
    if (!menu || !wnd) return false;
    m_nid.hWnd = wnd->GetHWND();
    m_nid.uID = static_cast<UINT>(reinterpret_cast<uintptr_t>(*menu));
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = callbackMessage;
    m_nid.hIcon = icon;
    m_hMenu = *menu;
    m_pWnd = wnd;

    CUserObj* user = LocalUser();
    std::wstring tip = MIVORA_PRODUCT_TITLE;
    tip += L"-";
    tip += user ? Wide(user->alias) : std::wstring();
    tip += L"(" + std::to_wstring(user ? user->userId : 0) + L")";
    // The tip field is fixed: a long alias is cut, never written past it.
    const size_t width = sizeof(m_nid.szTip) / sizeof(m_nid.szTip[0]);
    const size_t n = std::min(tip.size(), width - 1);
    std::copy_n(tip.c_str(), n, m_nid.szTip);
    m_nid.szTip[n] = L'\0';

    Shell_NotifyIconW(NIM_ADD, &m_nid);
    m_bAdded = true;
    return true;
}

void CTrayIcon::Remove() {
    if (!m_bAdded) return;
    Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_bAdded = false;
}

void CTrayIcon::OnTrayMessage(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_nid.uID || !m_pWnd) return;
    HWND hwnd = m_pWnd->GetHWND();
    if (lParam == WM_LBUTTONDOWN) {
        if (::IsWindowVisible(hwnd))
            ::ShowWindow(hwnd, SW_HIDE);
        else
            ::ShowWindow(hwnd, SW_SHOW);
        ::SetForegroundWindow(hwnd);
    } else if (lParam == WM_RBUTTONUP) {
        POINT pt{};
        ::GetCursorPos(&pt);
        ::SetForegroundWindow(hwnd);
        ::TrackPopupMenu(m_hMenu, TPM_BOTTOMALIGN, pt.x, pt.y, 0, hwnd, nullptr);
    }
}
