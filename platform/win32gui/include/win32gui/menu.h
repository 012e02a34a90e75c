// Popup menus (shown with QMenu) and the message box (QMessageBox).
#pragma once

#include "win32/win32.h"

#define MF_STRING 0x00000000L
#define MF_ENABLED 0x00000000L
#define MF_UNCHECKED 0x00000000L
#define MF_BYCOMMAND 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_CHECKED 0x00000008L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_OWNERDRAW 0x00000100L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_DEFAULT 0x00001000L

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON2 0x00000100L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TOPMOST 0x00040000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

HMENU CreatePopupMenu();
HMENU CreateMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idNewItem, LPCWSTR text);
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idNewItem, LPCWSTR text);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT idCheckItem, UINT check);
BOOL EnableMenuItem(HMENU menu, UINT idEnableItem, UINT enable);
// The item's MF_ flags (checked, grayed, disabled, separator, popup); -1 when none.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
// Copies the item's text (at most size - 1 characters); its length, 0 when none.
int GetMenuStringW(HMENU menu, UINT idItem, LPWSTR out, int size, UINT flags);
// Shows the menu at x,y (screen) and waits while the thread keeps serving its
// messages. With TPM_RETURNCMD the chosen id is returned (0 for none); otherwise
// the choice is posted to owner as WM_COMMAND and the result is non-zero.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect);
// Modal while the thread keeps serving its messages; the owner is disabled meanwhile.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

#define AppendMenu AppendMenuW
#define GetMenuString GetMenuStringW
#define InsertMenu InsertMenuW
#define MessageBox MessageBoxW

namespace winplat {

// Tests answer menus and message boxes without a person: the hook gets the menu
// (or the message box text and type) and returns the choice (an id, 0 for none; a
// message box result). Null restores the on-screen behaviour.
void SetPopupMenuHook(UINT_PTR (*hook)(HMENU menu));
// The same with what TrackPopupMenu was given: its flags and the point (screen).
// While set it is asked instead of the hook above.
void SetPopupMenuTrackHook(UINT_PTR (*hook)(HMENU menu, UINT flags, int x, int y));
void SetMessageBoxHook(int (*hook)(LPCWSTR text, LPCWSTR caption, UINT type));

// Top-left corner of a popup menu of width x height that TrackPopupMenu shows at the
// point (x, y) with `flags`, inside the work area: aligned to the point as the flags ask;
// a menu that does not fit on the asked side of the point opens on the other side, and
// what still does not fit is pushed inside the area.
POINT PopupMenuOrigin(POINT at, SIZE menu, UINT flags, const RECT& workArea);

}  // namespace winplat
