// Helpers of the picker tests: notifications recorded with the hover payload copied
// while it is valid, mouse input posted in client coordinates, and a skin folder of
// the test's own for item layouts that differ from the shipped ones.
#pragma once

#include <string>
#include <vector>

#include "fenlo/UIlib.h"
#include "ui_fixture.h"

struct RecordedNotify {
    std::wstring type;
    DuiLib::CControlUI* sender = nullptr;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int hover[3] = {0, 0, 0};  // the three integers of "mouseenter"
};

class NotifyRecorder : public DuiLib::INotifyUI {
public:
    void Notify(DuiLib::TNotifyUI& msg) override;
    // The recorded notifications of one type.
    std::vector<RecordedNotify> Of(const wchar_t* type) const;
    void Clear() { all.clear(); }

    std::vector<RecordedNotify> all;
};

// Lays the window out (its first paint) and waits until the control has a position.
bool WaitForLayout(HWND hwnd, DuiLib::CControlUI* control);
POINT CentreOf(DuiLib::CControlUI* control);
// Posts the message with the point in client coordinates, then runs the loop.
void MouseAt(HWND hwnd, UINT msg, POINT pt);
// The wheel carries screen coordinates.
void WheelAt(HWND hwnd, POINT clientPt, int delta);

// A temporary resource folder holding the given files; the shipped skin folder is
// the resource path again when it goes.
class ScratchSkin {
public:
    ScratchSkin();
    ~ScratchSkin();
    void Write(const std::string& name, const std::string& text);

private:
    std::string m_dir;
};
