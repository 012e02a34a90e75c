#include "controls/WndShadow.h"

#include <algorithm>
#include <cmath>

namespace {
const wchar_t* kShadowClass = L"WndShadow";
}

std::map<HWND, CWndShadow*>& CWndShadow::Shadows() {
    static std::map<HWND, CWndShadow*> shadows;
    return shadows;
}

CWndShadow::CWndShadow() = default;

CWndShadow::~CWndShadow() {
    if (m_hParent && m_OriParentProc && IsWindow(m_hParent)) {
        SetWindowLongPtrW(m_hParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OriParentProc));
        Shadows().erase(m_hParent);
    }
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
}

bool CWndShadow::Initialize(HINSTANCE hInstance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(hInstance, kShadowClass, &wc)) return true;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kShadowClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void CWndShadow::Create(HWND hParentWnd) {
    if (!IsWindow(hParentWnd) || m_hWnd) return;
    Initialize(nullptr);
    m_hWnd =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW, kShadowClass, nullptr,
                        WS_POPUP, CW_USEDEFAULT, 0, 0, 0, hParentWnd, nullptr, nullptr, nullptr);
    if (!m_hWnd) return;
    m_hParent = hParentWnd;
    m_Status = SS_ENABLED;
    Shadows()[hParentWnd] = this;
    m_OriParentProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hParentWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc)));
    Show(hParentWnd);
}

bool CWndShadow::SetSize(int NewSize) {
    if (NewSize > 20 || NewSize < -20) return false;
    m_nSize = static_cast<signed char>(NewSize);
    if (m_Status & SS_VISABLE) Update(m_hParent);
    return true;
}
bool CWndShadow::SetSharpness(unsigned int NewSharpness) {
    if (NewSharpness > 20) return false;
    m_nSharpness = static_cast<unsigned char>(NewSharpness);
    if (m_Status & SS_VISABLE) Update(m_hParent);
    return true;
}
bool CWndShadow::SetDarkness(unsigned int NewDarkness) {
    if (NewDarkness > 255) return false;
    m_nDarkness = static_cast<unsigned char>(NewDarkness);
    if (m_Status & SS_VISABLE) Update(m_hParent);
    return true;
}
bool CWndShadow::SetPosition(int NewXOffset, int NewYOffset) {
    if (NewXOffset > 20 || NewXOffset < -20 || NewYOffset > 20 || NewYOffset < -20) return false;
    m_nxOffset = static_cast<signed char>(NewXOffset);
    m_nyOffset = static_cast<signed char>(NewYOffset);
    if (m_Status & SS_VISABLE) Update(m_hParent);
    return true;
}
bool CWndShadow::SetColor(COLORREF NewColor) {
    m_Color = NewColor;
    if (m_Status & SS_VISABLE) Update(m_hParent);
    return true;
}

void CWndShadow::Show(HWND hParent) {
    m_Status &= SS_ENABLED;
    if ((m_Status & SS_ENABLED) && IsWindowVisible(hParent) && !IsIconic(hParent) &&
        !IsZoomed(hParent)) {
        m_Status |= SS_VISABLE | SS_PARENTVISIBLE;
        ShowWindow(m_hWnd, SW_SHOWNA);
        Update(hParent);
    } else {
        if (IsWindowVisible(hParent)) m_Status |= SS_PARENTVISIBLE;
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CWndShadow::MakeShadow(std::vector<UINT>& bits, int* width, int* height, HRGN parentRegion,
                            int pw, int ph) const {
    const int size = m_nSize;
    const int W = pw + 2 * size, H = ph + 2 * size;
    *width = std::max(0, W);
    *height = std::max(0, H);
    bits.assign(static_cast<size_t>(*width) * static_cast<size_t>(*height), 0u);
    if (W <= 0 || H <= 0 || pw <= 0 || ph <= 0) return;

    // Row extents of the parent's shape, found from both sides.
    std::vector<int> left(static_cast<size_t>(ph), -1), right(static_cast<size_t>(ph), -2);
    for (int y = 0; y < ph; ++y) {
        int l = 0, r = pw - 1;
        if (parentRegion) {
            while (l < pw && !PtInRegion(parentRegion, l, y)) ++l;
            while (r >= l && !PtInRegion(parentRegion, r, y)) --r;
        }
        if (l <= r) {
            left[static_cast<size_t>(y)] = l;
            right[static_cast<size_t>(y)] = r;
        }
    }
    std::vector<int> shapeLeft = left, shapeRight = right;
    // A sharper shadow than it is wide starts inside the shape: shrink by one pixel a pass.
    for (int pass = 0; pass < m_nSharpness - size; ++pass) {
        std::vector<int> nl(left.size(), -1), nr(right.size(), -2);
        for (int y = 0; y < ph; ++y) {
            int l = left[static_cast<size_t>(y)], r = right[static_cast<size_t>(y)];
            for (int dy = -1; dy <= 1; dy += 2) {
                int yy = y + dy;
                if (yy < 0 || yy >= ph) {
                    l = 1;
                    r = 0;
                    break;
                }
                l = std::max(l, left[static_cast<size_t>(yy)]);
                r = std::min(r, right[static_cast<size_t>(yy)]);
            }
            if (l + 1 <= r - 1) {
                nl[static_cast<size_t>(y)] = l + 1;
                nr[static_cast<size_t>(y)] = r - 1;
            }
        }
        left.swap(nl);
        right.swap(nr);
    }

    // The kernel stamped along the outline.
    const int k = std::max<int>(size, m_nSharpness);
    const double centre = std::max(size - static_cast<int>(m_nSharpness), 0);
    const int ks = 2 * k + 1;
    std::vector<BYTE> kernel(static_cast<size_t>(ks) * static_cast<size_t>(ks), 0);
    for (int y = 0; y < ks; ++y) {
        for (int x = 0; x < ks; ++x) {
            double d = std::hypot(x - k, y - k);
            double a = 0;
            if (d <= centre)
                a = m_nDarkness;
            else if (d <= k)
                a = (1.0 - (d - centre) / (m_nSharpness + 1)) * m_nDarkness;
            kernel[static_cast<size_t>(y * ks + x)] = static_cast<BYTE>(std::clamp(a, 0.0, 255.0));
        }
    }
    std::vector<BYTE> alpha(bits.size(), 0);
    auto put = [&](int x, int y, BYTE a) {
        if (x < 0 || y < 0 || x >= W || y >= H) return;
        BYTE& v = alpha[static_cast<size_t>(y) * static_cast<size_t>(W) + static_cast<size_t>(x)];
        v = std::max(v, a);
    };
    auto inside = [&](int x, int y) {
        return y >= 0 && y < ph && x >= left[static_cast<size_t>(y)] &&
               x <= right[static_cast<size_t>(y)];
    };
    for (int y = 0; y < ph; ++y) {
        for (int x = left[static_cast<size_t>(y)]; x <= right[static_cast<size_t>(y)] && x >= 0;
             ++x) {
            bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (!edge) {
                put(x + size, y + size, m_nDarkness);
                continue;
            }
            for (int ky = 0; ky < ks; ++ky)
                for (int kx = 0; kx < ks; ++kx)
                    put(x + size + kx - k, y + size + ky - k,
                        kernel[static_cast<size_t>(ky * ks + kx)]);
        }
    }
    // Where the parent itself lies over the shadow nothing is drawn.
    for (int y = 0; y < ph; ++y) {
        for (int x = shapeLeft[static_cast<size_t>(y)];
             x <= shapeRight[static_cast<size_t>(y)] && x >= 0; ++x) {
            int bx = x + size - m_nxOffset, by = y + size - m_nyOffset;
            if (bx >= 0 && by >= 0 && bx < W && by < H)
                alpha[static_cast<size_t>(by) * static_cast<size_t>(W) + static_cast<size_t>(bx)] =
                    0;
        }
    }
    const UINT r = GetRValue(m_Color), g = GetGValue(m_Color), b = GetBValue(m_Color);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            UINT a =
                alpha[static_cast<size_t>(y) * static_cast<size_t>(W) + static_cast<size_t>(x)];
            UINT px = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
            // Bottom-up rows.
            bits[static_cast<size_t>(H - 1 - y) * static_cast<size_t>(W) + static_cast<size_t>(x)] =
                px;
        }
    }
}

void CWndShadow::Update(HWND hParent) {
    if (!m_hWnd || !IsWindow(hParent)) return;
    RECT rc;
    GetWindowRect(hParent, &rc);
    int pw = rc.right - rc.left, ph = rc.bottom - rc.top;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    bool hasRegion = GetWindowRgn(hParent, rgn) != ERROR_REGION;
    std::vector<UINT> pixels;
    int w = 0, h = 0;
    MakeShadow(pixels, &w, &h, hasRegion ? rgn : nullptr, pw, ph);
    DeleteObject(rgn);
    if (w <= 0 || h <= 0) return;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) return;
    std::copy(pixels.begin(), pixels.end(), static_cast<UINT*>(bits));
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    POINT dst{rc.left + m_nxOffset - m_nSize, rc.top + m_nyOffset - m_nSize};
    POINT src{0, 0};
    SIZE sz{w, h};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    MoveWindow(m_hWnd, dst.x, dst.y, w, h, FALSE);
    UpdateLayeredWindow(m_hWnd, nullptr, &dst, &sz, mem, &src, 0, &blend, ULW_ALPHA);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
}

LRESULT CALLBACK CWndShadow::ParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto it = Shadows().find(hwnd);
    if (it == Shadows().end()) return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    CWndShadow* s = it->second;
    WNDPROC previous = s->m_OriParentProc;
    switch (uMsg) {
        case WM_MOVE:
            if (s->m_Status & SS_VISABLE) {
                RECT rc;
                GetWindowRect(hwnd, &rc);
                SetWindowPos(s->m_hWnd, nullptr, rc.left + s->m_nxOffset - s->m_nSize,
                             rc.top + s->m_nyOffset - s->m_nSize, 0, 0,
                             SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
            }
            break;
        case WM_SIZE:
            if (s->m_Status & SS_ENABLED) {
                if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
                    ShowWindow(s->m_hWnd, SW_HIDE);
                    s->m_Status &= ~SS_VISABLE;
                } else if (s->m_Status & SS_PARENTVISIBLE) {
                    // Growing waits for the parent's paint so the new size is drawn once.
                    if (LOWORD(lParam) > LOWORD(s->m_WndSize) ||
                        HIWORD(lParam) > HIWORD(s->m_WndSize))
                        s->m_bUpdate = true;
                    else
                        s->Update(hwnd);
                    if (!(s->m_Status & SS_VISABLE)) {
                        ShowWindow(s->m_hWnd, SW_SHOWNA);
                        s->m_Status |= SS_VISABLE;
                    }
                }
                s->m_WndSize = lParam;
            }
            break;
        case WM_PAINT:
            if (s->m_bUpdate) {
                s->Update(hwnd);
                s->m_bUpdate = false;
            }
            break;
        case WM_SHOWWINDOW:
            if (s->m_Status & SS_ENABLED) {
                if (!wParam) {
                    ShowWindow(s->m_hWnd, SW_HIDE);
                    s->m_Status &= ~(SS_VISABLE | SS_PARENTVISIBLE);
                } else if (!(s->m_Status & SS_PARENTVISIBLE)) {
                    s->m_bUpdate = true;
                    ShowWindow(s->m_hWnd, SW_SHOWNA);
                    s->m_Status |= SS_VISABLE | SS_PARENTVISIBLE;
                }
            }
            break;
        case WM_EXITSIZEMOVE:
            if (s->m_Status & SS_VISABLE) s->Update(hwnd);
            break;
        case WM_DESTROY:
            if (s->m_hWnd && IsWindow(s->m_hWnd)) DestroyWindow(s->m_hWnd);
            s->m_hWnd = nullptr;
            break;
        case WM_NCDESTROY:
            Shadows().erase(it);
            s->m_hParent = nullptr;
            s->m_OriParentProc = nullptr;
            break;
        default:
            break;
    }
    return CallWindowProcW(previous, hwnd, uMsg, wParam, lParam);
}
