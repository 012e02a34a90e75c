// The font chooser of the common dialogs, on QFontDialog: face, size, bold, italic,
// underline and, with CF_EFFECTS, strike-out and a text colour.
#pragma once

#include "win32/base.h"
#include "win32gui/font.h"

#define CF_SCREENFONTS 0x00000001
#define CF_INITTOLOGFONTSTRUCT 0x00000040
#define CF_EFFECTS 0x00000100
#define CF_LIMITSIZE 0x00002000

#define SCREEN_FONTTYPE 0x2000

struct CHOOSEFONTW {
    DWORD lStructSize;
    HWND hwndOwner;
    HDC hDC;
    LPLOGFONTW lpLogFont;
    INT iPointSize;  // tenths of a point, filled on return
    DWORD Flags;
    COLORREF rgbColors;  // in and out with CF_EFFECTS
    LPARAM lCustData;
    void* lpfnHook;  // not supported: hooks are never called
    LPCWSTR lpTemplateName;
    HINSTANCE hInstance;
    LPWSTR lpszStyle;
    WORD nFontType;
    WORD ___MISSING_ALIGNMENT__;
    INT nSizeMin;  // with CF_LIMITSIZE, in points
    INT nSizeMax;
};
typedef CHOOSEFONTW* LPCHOOSEFONTW;
typedef CHOOSEFONTW CHOOSEFONT;

// Modal while the thread keeps serving its messages; the owner is disabled meanwhile.
// TRUE when the person chose a font: the LOGFONT (pixel height at 96 dpi), the point
// size and, with CF_EFFECTS, the colour are filled. FALSE when cancelled or when the
// record is unusable (no LOGFONT, wrong size).
BOOL ChooseFontW(LPCHOOSEFONTW cf);

#define ChooseFont ChooseFontW

namespace winplat {
// Tests answer the font chooser without a person: the hook gets the record as the
// caller filled it, may change it and returns the dialog's result. Null restores the
// on-screen dialog.
void SetChooseFontHook(BOOL (*hook)(LPCHOOSEFONTW cf));
}  // namespace winplat
