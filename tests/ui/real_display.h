// Helpers of the tests that run on a real X display (xvfb-run, QT_QPA_PLATFORM=xcb,
// MIVORA_REAL_DISPLAY=1): a real pointer and keyboard through xdotool, and what the X
// server shows, read back from it.
#pragma once

#include <QImage>
#include <QRect>

#include <string>
#include <vector>

#include "fenlo/UIlib.h"
#include "picture_difference.h"

namespace realdisplay {

// True when the tests may use the display (MIVORA_REAL_DISPLAY=1).
bool Wanted();
// True when the window is shown and the X server exposed it.
bool OnScreen(HWND hwnd);
// Runs a program (xdotool ...) and returns its exit status (-1 when it did not run).
int RunTool(std::vector<std::string> args);
// Moves the X pointer to a screen point and clicks button 1 (left) or 3 (right); the
// tool's exit status.
int ClickScreen(POINT pt, int button = 1);
// Clicks the middle of a control of a window; the tool's exit status.
int ClickControl(HWND hwnd, DuiLib::CControlUI* control, int button = 1);
// Types text on the X keyboard where the focus is, `delayMs` between keys; the tool's
// exit status.
int TypeText(const std::string& text, int delayMs = 20);
// The whole screen as the X server has it.
QImage GrabScreen();
// The same, saved under the artifact folder as name.png.
QImage GrabScreen(const char* artifactDir, const char* name);
// Runs the loop until what the X server shows holds still (the same picture over
// several grabs some tens of milliseconds apart): what the program drew has reached
// the screen. False when it kept changing for `timeoutMs`.
bool SettleScreen(int timeoutMs = 5000);
// The bound for a test that cannot go on before the screen holds still: a loaded
// sanitizer run takes longer than 5 s to map and draw a window under a window manager.
constexpr int kLoadedSettleMs = 20000;
// A control's rectangle in screen coordinates.
QRect ScreenRectOf(HWND hwnd, DuiLib::CControlUI* control);
using picture::Difference;

// What the X server keeps of the windows: ids are X window ids.
// The X window of a window's widget (0 when it has none yet).
unsigned XWindowOf(HWND hwnd);
// Whether the X server has the window where the program believes it is (a move the
// program asked for may not have reached the server yet).
bool PlaceAgreed(HWND hwnd);
// The child of the root that holds an X window (the window manager's frame, or the
// window itself on a bare server).
unsigned TopFrameOf(unsigned xwindow);
// Whether the frame of `upper` is stacked above the frame of `lower` among the root's
// children, as the X server has them now.
bool StackedAbove(HWND upper, HWND lower);
// The names of the atoms a property holds (_NET_WM_WINDOW_TYPE, _NET_WM_STATE).
std::vector<std::string> AtomNames(unsigned xwindow, const char* property);
// The windows a property of type WINDOW holds (WM_TRANSIENT_FOR, _NET_CLIENT_LIST on
// the root).
std::vector<unsigned> WindowList(unsigned xwindow, const char* property);
unsigned RootWindow();
// Asks the window manager, as a pager would, to add or remove states of a window
// (_NET_WM_STATE_MAXIMIZED_VERT and _HORZ); false without a connection.
bool RequestNetWmState(unsigned xwindow, bool add, const char* first, const char* second);

// A window manager (openbox) run on the display for the life of the object.
class WindowManager {
public:
    WindowManager() = default;
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    // Starts it and waits until it manages the screen (it names itself on the root);
    // false with `why` set when it is missing or did not come up.
    bool Start(std::string* why);

private:
    int pid_ = -1;
};

}  // namespace realdisplay
