// The entry's two windows.
#include "lobby/LobbyEntryWindows.h"

#include <new>

#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "lobby/WndLogon.h"

namespace {

// WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU
constexpr DWORD kLogonStyle = 0x96C80000;
// WS_VISIBLE | WS_OVERLAPPEDWINDOW
constexpr DWORD kLobbyStyle = 0x10CF0000;

void** WindowTable() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    return kernel ? kernel->m_pWndTable : nullptr;
}

int RunLogon(const wchar_t* title) {
    auto* logon = new (std::nothrow) CWndLogon;
    if (!logon) return -1;
    if (!logon->Create(nullptr, title, kLogonStyle, 0, 0, 0, 350, 250)) {
        delete logon;
        return 2;
    }
    logon->CenterWindow();
    void** table = WindowTable();
    if (table) table[0] = logon;
    // The window deletes itself when it is destroyed.
    HWND hwnd = logon->GetHWND();
    UINT result = logon->ShowModal();
    if (table) table[0] = nullptr;
    // The quit message (Escape) ends the loop with the window still there: it goes
    // now, and its check with it.
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    return static_cast<int>(result);
}

bool CreateLobby(const wchar_t* title) {
    auto* lobby = new (std::nothrow) CWndLobby;
    if (!lobby) return false;
    if (!lobby->Create(nullptr, title, kLobbyStyle, 0, 0, 0, 1024, 725)) {
        delete lobby;
        return false;
    }
    lobby->CenterWindow();
    if (void** table = WindowTable()) table[1] = lobby;
    return true;
}

}  // namespace

EntryWindowsT LobbyEntryWindows() {
    return EntryWindowsT{RunLogon, CreateLobby};
}
