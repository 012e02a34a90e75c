// Web pages and programs outside the program. A click that should open one either
// opens it or tells the user why not: the caller gets the text to show (the room
// writes it as a hint line, other windows show a message box), never silence.
#pragma once

#include <functional>
#include <string>

#include "win32/win32.h"

using OpenFailed = std::function<void(const std::wstring& text)>;

// Hands `address` to the desktop's browser. When it cannot be opened, `failed` runs on
// this thread with the text to show: at once when there is no opener, or from the
// message loop when the opener gives up soon after it started (it found no browser).
// A late answer is dropped once `owner` (when given) is gone.
void OpenWebPage(const wchar_t* address, HWND owner, OpenFailed failed);

// Starts an outside program from its command line (as CreateProcessW takes it, with
// `flags`); both handles are closed. When it cannot be started, `failed` gets
// "无法启动<what>：程序不存在！" and the answer is false.
bool StartOutsideProgram(const std::wstring& commandLine, DWORD flags, const wchar_t* what,
                         const OpenFailed& failed);
// The same text, for a program found missing before anything was tried.
std::wstring MissingProgramText(const wchar_t* what);
