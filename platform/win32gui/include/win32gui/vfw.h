// DrawDib of Video for Windows: 24- and 32-bit uncompressed DIBs drawn, stretched,
// onto a device context handed out while a window paints.
#pragma once

#include "win32gui/gdi.h"

MIVORA_DECLARE_HANDLE(HDRAWDIB);

#define DDF_SAME_HDC 0x0002
#define DDF_SAME_DRAW 0x0004
#define DDF_NOTKEYFRAME 0x0008
#define DDF_HALFTONE 0x1000

HDRAWDIB DrawDibOpen();
BOOL DrawDibClose(HDRAWDIB hdd);
// Draws the source rectangle (xSrc, ySrc, dxSrc, dySrc; -1 sizes take the whole picture,
// y counted from the top of the picture as shown) of the DIB into the destination
// rectangle; -1 destination sizes take the source size. The bits must hold the whole
// picture: width x |height| pixels, rows padded to 4 bytes. FALSE for an unknown handle,
// a DC without painter or a format other than 24/32-bit BI_RGB.
BOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* lpbi, const void* bits, int xSrc, int ySrc, int dxSrc,
                 int dySrc, UINT flags);
