// The entry's two windows and the shell's calls on the lobby.
#include "app/EntryWindows.h"

#include <new>

#include "app/LobbyLink.h"
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

}  // namespace

int RunLogonWindow(const wchar_t* title) {
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
    UINT result = logon->ShowModal();
    if (table) table[0] = nullptr;
    return static_cast<int>(result);
}

bool CreateLobbyWindow(const wchar_t* title) {
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

void LobbyApplySkin() {
    if (CWndLobby* lobby = CWndLobby::Current()) lobby->ApplySkin();
}

void LobbyOpenGameWindow(const wchar_t* url, const wchar_t* title) {
    if (CWndLobby* lobby = CWndLobby::Current()) lobby->OpenGameWindow(url, title);
}
