// Named sections (file mappings of the paging file) on POSIX shared memory, made
// for the owner only (mode 0600). The section goes away when the handle of the
// process that created it is closed.
#pragma once

#include "win32/base.h"

#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define FILE_MAP_ALL_ACCESS 0x000F001F

// Only the paging file (INVALID_HANDLE_VALUE) is supported. An existing section of
// that name is opened (GetLastError gives ERROR_ALREADY_EXISTS); null on failure.
HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect,
                          DWORD sizeHigh, DWORD sizeLow, LPCSTR name);
// Null when the section does not exist.
HANDLE OpenFileMappingA(DWORD access, BOOL inherit, LPCSTR name);
// bytes 0 maps the whole section.
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                     SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID address);

namespace winplat {

// Sections are named "/mivora-<uid>-<space>-<name>": tests that run side by side
// give each process its own space so they never meet in one section. Default "".
void SetSectionNamespace(const char* space);

}  // namespace winplat
