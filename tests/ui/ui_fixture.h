// Shared set-up of the user-interface tests: the Qt layer offscreen, the skin
// folder of the source tree, and small helpers to drive windows by messages.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controls/SkinWnd.h"
#include "fenlo/UIlib.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Runs the thread's loop until done() holds (bounded).
bool Pump(std::function<bool()> done, int timeoutMs = 10000);
// Runs the loop for whatever is pending now.
void PumpPending();
// Repaints `hwnd` until its layout is current for `control` (after a resize, or rows
// shown or hidden): the root fills the client area and nothing from the control up
// waits for an update. True when it is.
bool WaitRelaidOut(HWND hwnd, DuiLib::CControlUI* control);
// Button down and up at the centre of a control, as the layer posts them.
void ClickControl(HWND hwnd, DuiLib::CControlUI* control);
void ClickAt(HWND hwnd, POINT pt);
// A mouse click as Qt delivers one from the display: to the widget under the point of
// the window's client area (a text view shown over a control, or the window itself).
void QtClickAt(HWND hwnd, POINT pt, bool right = false);
// Tab (or Shift+Tab with back) as the display delivers it, to the widget with the keyboard.
void TabKey(HWND hwnd, bool back = false);

// A skinned window whose layout is given as text (the builder takes either).
class CTestWnd : public CSkinWnd {
public:
    CTestWnd(std::wstring layout, UINT messages = kMsgStandard, ScClose sc = ScClose::kClose,
             Lifetime lifetime = Lifetime::kStack)
        : m_layout(std::move(layout)) {
        m_traits = SkinWndTraits{"CWndTest", m_layout.c_str(), messages, sc, lifetime, false};
    }
    ~CTestWnd() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    const SkinWndTraits& Traits() const override { return m_traits; }
    LPCTSTR GetWindowClassName() const override { return L"UITestFrame"; }

    std::function<void(DuiLib::TNotifyUI&)> onNotify;
    std::function<LRESULT(UINT, WPARAM, LPARAM, BOOL&)> onExtra;
    int prepared = 0;

protected:
    void OnPrepare() override { ++prepared; }
    void OnClick(DuiLib::TNotifyUI& msg) override {
        if (onNotify) onNotify(msg);
        CSkinWnd::OnClick(msg);
    }
    void OnNotify(DuiLib::TNotifyUI& msg) override {
        if (onNotify) onNotify(msg);
    }
    LRESULT HandleExtraMessage(UINT m, WPARAM w, LPARAM l, BOOL& handled) override {
        if (onExtra) return onExtra(m, w, l, handled);
        handled = FALSE;
        return 0;
    }

private:
    std::wstring m_layout;
    SkinWndTraits m_traits;
};
