// The kernel's hidden window: socket events of the connections arrive here.
#pragma once

#include "win32/win32.h"

class CCommKernel;

class CCommWnd {
public:
    CCommWnd();
    ~CCommWnd();

    // Registers the class and creates the window once; true when it exists.
    bool Create(HINSTANCE instance, CCommKernel* kernel);

    HWND m_hWnd;
    HINSTANCE m_hInstance;
    wchar_t m_szClassName[32];
    CCommKernel* m_pKernel;

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
};
