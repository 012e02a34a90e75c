// The step every web-page window shares when it opens: its browser control, its
// background and the page; and the configuration the page addresses come from.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CGLobalConfigFile;

// Gives "winBG" the current skin's frame; finds the browser control `browserName`;
// makes `handler` its event handler when one is given; navigates to `address`. Returns the browser
// control, or null when the layout has none (then nothing is opened).
DuiLib::CWebBrowserUI* OpenWebFrame(CSkinWnd& wnd, const wchar_t* browserName,
                                    DuiLib::CWebBrowserEventHandler* handler,
                                    const std::wstring& address);

// The loaded global configuration (an empty one before the kernel has its data).
const CGLobalConfigFile& GlobalConfig();

// True when `url` starts with `prefix`, ignoring case: a link command counts only there.
bool StartsWithNoCase(const std::wstring& url, const wchar_t* prefix);
