// The clipboard, text only: CF_TEXT in the ANSI code page, on the desktop's clipboard.
#pragma once

#include "win32/win32.h"

#define CF_TEXT 1
#define CF_UNICODETEXT 13

// False while it is open (this thread or another caller has not closed it).
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Only while open.
BOOL EmptyClipboard();
// CF_TEXT: the block's text up to its first NUL (or its end) becomes the clipboard's
// text; the clipboard takes the block (freed here). Null when not open or another
// format, and the caller keeps the block.
HANDLE SetClipboardData(UINT format, HANDLE mem);
// CF_TEXT: a block with the clipboard's text in the ANSI code page, NUL-terminated,
// owned by the clipboard (valid until the next call or EmptyClipboard). Null when not
// open, another format, or no text.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
