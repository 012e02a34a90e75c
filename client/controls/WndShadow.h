// A layered drop-shadow window that follows a parent window. The program carries it
// although none of its windows makes one.
#pragma once

#include <map>
#include <vector>

#include "fenlo/UIlib.h"

class CWndShadow {
public:
    CWndShadow();
    ~CWndShadow();

    // Registers the shadow's window class once per process.
    static bool Initialize(HINSTANCE hInstance);
    // Creates the shadow of hParentWnd and subclasses the parent.
    void Create(HWND hParentWnd);

    bool SetSize(int NewSize = 0);                             // -20..20
    bool SetSharpness(unsigned int NewSharpness = 5);          // 0..20
    bool SetDarkness(unsigned int NewDarkness = 200);          // 0..255
    bool SetPosition(int NewXOffset = 5, int NewYOffset = 5);  // -20..20
    bool SetColor(COLORREF NewColor = 0);

    HWND GetHWND() const { return m_hWnd; }

    // The shadow's picture for a parent of the given size and region (null: the
    // rectangle): width and height of the parent plus twice the size, bottom-up rows
    // of premultiplied 0xAARRGGBB.
    void MakeShadow(std::vector<UINT>& bits, int* width, int* height, HRGN parentRegion,
                    int parentWidth, int parentHeight) const;

private:
    enum State : BYTE {
        SS_ENABLED = 1,
        SS_VISABLE = 1 << 1,
        SS_PARENTVISIBLE = 1 << 2,
    };

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void Update(HWND hParent);
    void Show(HWND hParent);

    static std::map<HWND, CWndShadow*>& Shadows();

    HWND m_hWnd = nullptr;
    HWND m_hParent = nullptr;
    WNDPROC m_OriParentProc = nullptr;
    BYTE m_Status = 0;
    unsigned char m_nDarkness = 150;
    unsigned char m_nSharpness = 5;
    signed char m_nSize = 0;
    signed char m_nxOffset = 5;
    signed char m_nyOffset = 5;
    LPARAM m_WndSize = 0;
    bool m_bUpdate = false;
    COLORREF m_Color = RGB(0, 0, 0);
};
