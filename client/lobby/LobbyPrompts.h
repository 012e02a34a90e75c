// The message boxes and outside web pages of the logon and lobby windows. Each goes
// through a hook that tests replace, so a modal box or a desktop browser never
// stands in a test's way.
#pragma once

#include <functional>
#include <string>

#include "win32/win32.h"

// The program's skinned message box with OK only, run modally over parent.
void ShowLobbyMessage(HWND parent, const wchar_t* text);
// Tests: receives the text instead of showing the box; null restores the box.
void SetLobbyMessageHook(std::function<void(HWND parent, const std::wstring& text)> hook);

// Opens the address in the desktop's web browser; when it cannot, a message box over
// parent says so.
void OpenOutsideBrowser(const wchar_t* url, HWND parent = nullptr);
// Tests: receives the address instead; null restores the browser.
void SetOutsideBrowserHook(std::function<void(const std::wstring& url)> hook);
