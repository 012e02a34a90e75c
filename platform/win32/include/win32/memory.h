// Global memory blocks: the handles the clipboard takes and gives.
#pragma once

#include "win32/base.h"

typedef HANDLE HGLOBAL;

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

// A block of `bytes` (zero-filled with GMEM_ZEROINIT); null when it cannot be had.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// The block's memory; null for a handle that is not a live block.
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
SIZE_T GlobalSize(HGLOBAL mem);
// Null on success, else the handle.
HGLOBAL GlobalFree(HGLOBAL mem);
