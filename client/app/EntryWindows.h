// The two windows the program entry opens, one call each, so the entry can be run and
// tested whatever windows stand behind them. The lobby's files make them
// (lobby/LobbyEntryWindows.h) and the program's wiring installs them at start-up
// (program/ProgramWiring.cpp); with nothing installed no window can be made.
#pragma once

#include <functional>

// Creates the logon window (without a parent, the given title, 350 by 250, centred),
// records it as entry 0 of the kernel's window table, runs it modally and clears the
// entry again. Returns the window's result: 1 logged on, 2 closed (or an update was
// started). Returns -1 when the window object cannot be allocated (or none
// is installed).
int RunLogonWindow(const wchar_t* title);

// Creates the lobby window (without a parent, the given title, 1024 by 725, centred)
// and records it as entry 1 of the kernel's window table. False when the window object
// cannot be allocated (or none is installed).
bool CreateLobbyWindow(const wchar_t* title);

struct EntryWindowsT {
    std::function<int(const wchar_t* title)> runLogon;
    std::function<bool(const wchar_t* title)> createLobby;
};
// Puts windows behind the two calls (an empty EntryWindowsT removes them).
void SetEntryWindows(EntryWindowsT windows);
