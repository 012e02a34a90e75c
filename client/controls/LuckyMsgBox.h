// The lucky-win banner above the room's chat: a borderless per-pixel-alpha window
// showing queued lines of formatted text over a background picture. Each line stays
// two seconds, scrolling up out of view in its last; a line with the large prize icon
// shakes the banner. It holds a few minutes of lines; further ones are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>

#include "fenlo/UIlib.h"

// The banner's background picture (an image attribute string).
struct tagTImageObject {
    DuiLib::CDuiString strImage;
};

struct tagLuckyLineInfo {
    uint32_t dwExpire;           // GetTickCount when the line goes; 0 until it reaches the front
    DuiLib::CDuiString strText;  // the library's text markup
    bool bShake;
};

class CLuckyMsgBox : public DuiLib::CWindowWnd {
public:
    static const UINT kRepaintTimer = 9000;
    static const UINT kShakeTimer = 9001;
    static const int kLineHeight = 34;

    CLuckyMsgBox();

    // Queues a line and shows the banner without activating it; a line that would
    // show only minutes from now is dropped.
    void Show(LPCTSTR text);
    // The lines queued, the one showing included.
    size_t QueuedLines() const { return m_lines.size(); }
    // Keeps the window's current left and top as the place the shake moves around.
    void SaveBasePos();
    // The owner's member that points to the box; cleared when the box goes.
    void SetOwnerSlot(CLuckyMsgBox** slot) { m_ppOwnerSlot = slot; }

protected:
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void Paint();
    void Shake();

    DuiLib::CPaintManagerUI m_pm;
    tagTImageObject m_bgImage;
    POINT m_ptBase{0, 0};
    std::list<tagLuckyLineInfo> m_lines;
    CLuckyMsgBox** m_ppOwnerSlot = nullptr;
    bool m_bDropping = false;  // lines are being dropped: traced once until one fits again
};
