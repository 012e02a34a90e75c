// Installed code pages.
#pragma once

#include "win32/base.h"

// TRUE when text in `codePage` can be converted here.
BOOL IsValidCodePage(UINT codePage);

namespace winplat {

// Tests: make a code page count as missing (or installed again).
void SetCodePageInstalled(UINT codePage, bool installed);

}  // namespace winplat
