// Stand-ins until the lobby window exists: there is no lobby to tell.
#include "app/LobbyLink.h"

void LobbyApplySkin() {}

void LobbyOpenGameWindow(const wchar_t*, const wchar_t*) {}
