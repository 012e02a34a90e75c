// GDI subset: device contexts handed out while a window paints, regions, and the
// DrawText style flags.
#pragma once

#include "win32/base.h"

#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800
#define DT_END_ELLIPSIS 0x00008000
#define DT_PATH_ELLIPSIS 0x00004000
#define DT_WORD_ELLIPSIS 0x00040000

#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define ERROR_REGION 0
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

#define ULW_COLORKEY 0x00000001
#define ULW_ALPHA 0x00000002
#define ULW_OPAQUE 0x00000004
#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

struct BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
};

// Regions (rectangles and rounded rectangles); the window layer uses them as masks.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rc);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int widthEllipse,
                        int heightEllipse);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
BOOL PtInRegion(HRGN rgn, int x, int y);
int GetRgnBox(HRGN rgn, LPRECT rc);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL DeleteObject(HGDIOBJ obj);

// Rectangle arithmetic of USER32.
BOOL SetRect(LPRECT rc, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rc);
BOOL CopyRect(LPRECT dst, const RECT* src);
BOOL IsRectEmpty(const RECT* rc);
BOOL PtInRect(const RECT* rc, POINT pt);
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL OffsetRect(LPRECT rc, int dx, int dy);
BOOL InflateRect(LPRECT rc, int dx, int dy);
BOOL EqualRect(const RECT* a, const RECT* b);

// 32-bit DIB sections, memory device contexts and layered windows (per-pixel alpha).
#define BI_RGB 0L
#define DIB_RGB_COLORS 0

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: bottom-up rows
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
typedef BITMAPINFO* LPBITMAPINFO;

// Only 32 bits per pixel, uncompressed; the bits live until DeleteObject.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
// A memory DC draws into the DIB selected into it (the user-interface library's
// drawing helpers take it like a window's DC).
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
// Shows the bitmap selected into src (premultiplied 0xAARRGGBB) as the window's whole
// look, at dst with size; only ULW_ALPHA with per-pixel alpha is carried.
BOOL UpdateLayeredWindow(HWND hwnd, HDC dst, POINT* pptDst, SIZE* psize, HDC src, POINT* pptSrc,
                         COLORREF key, BLENDFUNCTION* blend, DWORD flags);
// Copies the window's region into rgn (which must exist): ERROR_REGION when it has none.
int GetWindowRgn(HWND hwnd, HRGN rgn);
