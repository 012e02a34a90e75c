// Logical fonts: the stock GUI font, fonts made from a LOGFONT, and reading a font's
// LOGFONT back. A font handle only carries its description; windows that take one
// with WM_SETFONT draw with the matching Qt font.
#pragma once

#include "win32/base.h"

#define LF_FACESIZE 32

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define GB2312_CHARSET 134

#define DEFAULT_GUI_FONT 17

struct LOGFONTW {
    LONG lfHeight;  // negative: character height in pixels
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
typedef LOGFONTW* LPLOGFONTW;
typedef LOGFONTW LOGFONT;

// Only DEFAULT_GUI_FONT is known; other indexes give null.
HGDIOBJ GetStockObject(int index);
HFONT CreateFontIndirectW(const LOGFONTW* lf);
// For a font: copies its LOGFONTW (at most size bytes) and returns the bytes copied;
// 0 for anything else.
int GetObjectW(HGDIOBJ obj, int size, LPVOID out);

#define CreateFontIndirect CreateFontIndirectW
#define GetObject GetObjectW

namespace winplat {
// The description of a font handle (the stock font included); false for others.
bool FontDescription(HFONT font, LOGFONTW* out);
// Frees a font made by CreateFontIndirectW (DeleteObject); false when obj is none.
bool DeleteFontObject(HGDIOBJ obj);
}  // namespace winplat
