// Drawing helpers of the library: colours, images (with the image attribute string),
// plain text and the library's small text markup.
#pragma once

#include "fenlo/UIManager.h"

namespace DuiLib {

class CRenderEngine {
public:
    static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
    static void DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                             int nSteps);
    static void DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor);
    static void DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor);
    static void DrawRoundRect(HDC hDC, const RECT& rc, int width, int height, int nSize,
                              DWORD dwPenColor);
    static void FillRoundRect(HDC hDC, const RECT& rc, int width, int height, DWORD color);

    // Draws a picture described by the image attribute string: a bare file name, or
    // "file='a.png' source='l,t,r,b' dest='l,t,r,b' corner='l,t,r,b' fade='n'
    // xtiled='true' ytiled='true' hole='true'"; pStrModify adds or overrides keys.
    static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem,
                                const RECT& rcPaint, LPCTSTR pStrImage,
                                LPCTSTR pStrModify = nullptr);
    static void DrawImage(HDC hDC, const TImageInfo* image, const RECT& rc, const RECT& rcPaint,
                          const RECT& rcBmpPart, const RECT& rcCorners, bool alphaChannel,
                          BYTE uFade = 255, bool hole = false, bool xtiled = false,
                          bool ytiled = false);

    // Plain text with DT_* styles; DT_CALCRECT returns the needed rectangle in rc.
    static void DrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText,
                         DWORD dwTextColor, int iFont, UINT uStyle);
    // Text with the library's markup (angle or curly brackets): <b>..</b> bold,
    // <u>..</u> underline, <i>..</i> italic, <i image n m> picture (frame m of n),
    // <c #RRGGBB>..</c> colour, <a target>..</a> link, <f n>..</f> font, <x n> skip n
    // pixels, <n> new line, <p> paragraph. Link rectangles and targets are returned up
    // to nLinkRects entries; nLinkRects is set to how many were filled.
    static void DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, LPCTSTR pstrText,
                             DWORD dwTextColor, RECT* pLinks, CDuiString* sLinks, int& nLinkRects,
                             UINT uStyle);
    static SIZE GetTextSize(HDC hDC, CPaintManagerUI* pManager, LPCTSTR pstrText, int iFont,
                            UINT uStyle);
};

}  // namespace DuiLib
