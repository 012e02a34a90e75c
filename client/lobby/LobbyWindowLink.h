// The lobby window's side of app/LobbyLink.h: each member asks the registered lobby
// window (CWndLobby::Current) and does nothing without one.
#pragma once

#include "app/LobbyLink.h"

LobbyLinkT LobbyWindowLink();
