// The two windows the program entry opens, one call each, so the entry can be run and
// tested whatever windows stand behind them.
#pragma once

// Creates the logon window (without a parent, the given title, 350 by 250, centred),
// records it as entry 0 of the kernel's window table, runs it modally and clears the
// entry again. Returns the window's result: 1 logged on, 2 closed (or an update was
// started). Returns -1 when the window object cannot be allocated.
int RunLogonWindow(const wchar_t* title);

// Creates the lobby window (without a parent, the given title, 1024 by 725, centred)
// and records it as entry 1 of the kernel's window table. False when the window object
// cannot be allocated.
bool CreateLobbyWindow(const wchar_t* title);
