#include "controls/LuckyMsgBox.h"

#include <cstdlib>
#include <vector>

#include "controls/WindowClassTable.h"
#include "util/LogPrint.h"

using namespace DuiLib;

namespace {

const uint32_t kLineMs = 2000;
const uint32_t kScrollMs = 1000;
const wchar_t kPrizeIcon[] = L"icon_500.png";
// Three minutes of showing: a win of many multipliers (a server may send thousands a
// frame) would otherwise queue days of banner and the memory that holds it.
constexpr size_t kMaxQueuedLines = 3 * 60 * 1000 / kLineMs;

// The class's row in the window class table.
const WindowClassInfo* Row() {
    static const WindowClassInfo* row = FindWindowClassInfo("CLuckyMsgBox");
    return row;
}

// A w x h 32-bit top-down DIB selected into a new memory DC.
struct Layer {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;

    Layer(int w, int h) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        if (dc && bmp) old = SelectObject(dc, bmp);
    }
    ~Layer() {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bmp) DeleteObject(bmp);
    }
    bool ok() const { return dc && bmp && bits; }
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;
};

}  // namespace

CLuckyMsgBox::CLuckyMsgBox() = default;

LPCTSTR CLuckyMsgBox::GetWindowClassName() const {
    return Row() ? Row()->className : L"UILuckyMsgBox";
}

UINT CLuckyMsgBox::GetClassStyle() const {
    return Row() ? Row()->classStyle : (CS_VREDRAW | CS_HREDRAW);
}

void CLuckyMsgBox::OnFinalMessage(HWND) {
    // The box is destroyed with its owner window; the owner must not keep its address.
    if (m_ppOwnerSlot && *m_ppOwnerSlot == this) *m_ppOwnerSlot = nullptr;
    delete this;
}

void CLuckyMsgBox::SaveBasePos() {
    RECT rc;
    if (!::GetWindowRect(m_hWnd, &rc)) return;
    m_ptBase = POINT{rc.left, rc.top};
}

void CLuckyMsgBox::Show(LPCTSTR text) {
    if (m_lines.size() >= kMaxQueuedLines) {
        if (!m_bDropping)
            __log_print__(
                "tag_room: the lucky-win box holds %zu lines; further lines are "
                "dropped until some have shown\n",
                m_lines.size());
        m_bDropping = true;
        return;
    }
    m_bDropping = false;
    tagLuckyLineInfo line{0, text ? text : L"", false};
    line.bShake = line.strText.Find(kPrizeIcon) >= 0;
    m_lines.push_back(line);
    ::KillTimer(m_hWnd, kRepaintTimer);
    ::KillTimer(m_hWnd, kShakeTimer);
    ::SetTimer(m_hWnd, kRepaintTimer, 40, nullptr);
    if (line.bShake) ::SetTimer(m_hWnd, kShakeTimer, 60, nullptr);
    SaveBasePos();
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

LRESULT CLuckyMsgBox::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_CREATE:
            m_pm.Init(m_hWnd);
            m_pm.SetDefaultFont(L"宋体", 14, true, false, false);
            m_pm.SetDefaultSelectedBkColor(0xFF00FF);
            m_bgImage.strImage = L"bg_winning.png";
            break;
        case WM_DESTROY:
            ::KillTimer(m_hWnd, kRepaintTimer);
            ::KillTimer(m_hWnd, kShakeTimer);
            break;
        case WM_TIMER:
            if (wParam == kRepaintTimer) {
                if (!::IsIconic(m_hWnd) && ::IsWindowVisible(m_hWnd)) Paint();
            } else if (wParam == kShakeTimer) {
                Shake();
            }
            break;
        default:
            break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CLuckyMsgBox::Shake() {
    RECT rc;
    if (!::GetWindowRect(m_hWnd, &rc)) return;
    if (rc.right - rc.left <= 0 || rc.bottom - rc.top <= 0) return;
    ::SetWindowPos(m_hWnd, nullptr, m_ptBase.x + std::rand() % 10 - 10,
                   m_ptBase.y + std::rand() % 10 - 10, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLuckyMsgBox::Paint() {
    const uint32_t now = ::GetTickCount();
    RECT rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    const int w = rcClient.right - rcClient.left;
    const int h = rcClient.bottom - rcClient.top;

    int y = 0;
    while (!m_lines.empty()) {
        tagLuckyLineInfo& front = m_lines.front();
        if (front.dwExpire == 0) {
            front.dwExpire = now + kLineMs;
            if (front.dwExpire == 0) front.dwExpire = 1;  // 0 means "not started"
        }
        // Signed difference: the tick count wraps after 49 days.
        const int32_t remaining = static_cast<int32_t>(front.dwExpire - now);
        if (remaining < 0) {
            m_lines.pop_front();
            continue;
        }
        if (static_cast<uint32_t>(remaining) < kScrollMs)
            y = static_cast<int>(remaining / static_cast<double>(kScrollMs) * kLineHeight) -
                kLineHeight;
        break;
    }
    if (m_lines.empty()) {
        ::KillTimer(m_hWnd, kRepaintTimer);
        ::KillTimer(m_hWnd, kShakeTimer);
        ::ShowWindow(m_hWnd, SW_HIDE);
        return;
    }
    if (w <= 0 || h <= 0) return;

    Layer bg(w, h);
    if (!bg.ok()) return;
    CRenderEngine::DrawImageString(bg.dc, &m_pm, rcClient, rcClient, m_bgImage.strImage);

    Layer text(w, h);
    if (!text.ok()) return;
    const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::copy(bg.bits, bg.bits + pixels, text.bits);
    for (const tagLuckyLineInfo& line : m_lines) {
        if (y >= rcClient.bottom) break;
        RECT rc{rcClient.left + 30, y, rcClient.right, y + h};
        int links = 0;
        CRenderEngine::DrawHtmlText(text.dc, &m_pm, rc, line.strText, 0xFF000000, nullptr, nullptr,
                                    links, DT_VCENTER);
        y += kLineHeight;
    }

    // The picture's own alpha shapes the banner; the text only colours it.
    for (size_t i = 0; i < pixels; ++i)
        bg.bits[i] = (bg.bits[i] & 0xFF000000u) | (text.bits[i] & 0x00FFFFFFu);

    RECT rcWnd;
    ::GetWindowRect(m_hWnd, &rcWnd);
    POINT dst{rcWnd.left, rcWnd.top};
    SIZE size{w, h};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, nullptr, &dst, &size, bg.dc, &src, 0, &blend, ULW_ALPHA);
}
