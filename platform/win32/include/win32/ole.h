// OLE and COM start-up, and loading of system libraries: they have no meaning
// here and succeed without doing anything.
#pragma once

#include "win32/base.h"

HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
void CoUninitialize();
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_MULTITHREADED 0x0

#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L

// The rich-edit libraries ("Riched20.dll", "Msftedit.dll", "Riched32.dll", any
// case, with or without folder) give a module handle of the layer, because the
// rich-edit window class is provided by the user-interface layer. Other names:
// null with ERROR_MOD_NOT_FOUND.
HMODULE LoadLibraryW(LPCWSTR name);
HMODULE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HMODULE module);
#define LoadLibrary LoadLibraryW
