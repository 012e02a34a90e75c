#include "room/LobbyLink.h"

#include "kernel/CommKernel.h"

namespace {
constexpr int kLobbyWndEntry = 1;
}

bool HasLobbyWindow() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    return kernel && kernel->m_pWndTable && kernel->m_pWndTable[kLobbyWndEntry];
}

// The lobby window class lands with the lobby; until then the calls find no window to
// act on.
void LobbyLeaveRoomAndShow() {}
void LobbyRejoinRoom() {}
void LobbyShowSkinChooser() {}
void LobbyShowPersonalSettings() {}
