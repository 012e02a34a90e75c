// Stand-in entry windows until the logon and lobby windows exist: the logon window is
// reported closed, so the program shuts down as when the user closes it.
#include "app/EntryWindows.h"

int RunLogonWindow(const wchar_t*) { return 2; }

bool CreateLobbyWindow(const wchar_t*) { return false; }
