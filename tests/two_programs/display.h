// One X display of the two-program test, seen and driven from outside as a person
// would: windows found by title, a real pointer and keyboard (xdotool), the whole
// screen read back (tools/screengrab).
#pragma once

#include <QImage>
#include <QRect>

#include <memory>
#include <string>
#include <vector>

#include "picture_difference.h"
#include "processes.h"

namespace twoprograms {

class Display {
public:
    // The display `name` (":N") someone else runs.
    explicit Display(std::string name) : m_name(std::move(name)) {}
    // A virtual display of our own (Xvfb picks a free number); Name() is empty when
    // it did not start.
    static std::unique_ptr<Display> StartVirtual(const std::string& log);

    const std::string& Name() const { return m_name; }

    // The first visible window whose title matches the regular expression; 0 if none.
    unsigned long FindWindow(const std::string& titlePattern) const;
    // Waits (bounded) until such a window shows and holds its place (a window may be
    // mapped where it was made and moved right after); 0 if none did.
    unsigned long WaitWindow(const std::string& titlePattern, int seconds = 30) const;
    bool WaitGone(const std::string& titlePattern, int seconds = 30) const;
    // Every visible window, and the first one shown since `before` (a menu, a box),
    // once it holds its place; 0 when none showed within the bound.
    std::vector<unsigned long> VisibleWindows() const;
    unsigned long WaitNewWindow(const std::vector<unsigned long>& before, int seconds = 15) const;
    // Waits (bounded) until the window's place is the same over several looks.
    bool WaitPlaced(unsigned long window) const;
    // Whether the window is on the screen (mapped); a closed window may only be hidden.
    bool Shown(unsigned long window) const;
    // The window's place on the screen; empty when it is gone.
    QRect Geometry(unsigned long window) const;

    // The window's title (its X name property); empty when it is gone.
    std::string Title(unsigned long window) const;
    // The window that holds the keyboard focus (X input focus); 0 when none.
    unsigned long FocusedWindow() const;
    // Its title, or "none", for failure messages.
    std::string KeyboardFocus() const;
    // Starts a window manager (openbox) on this display and waits until it manages
    // it; false (with the reason in `why`) when there is none or it did not start.
    bool StartWindowManager(const std::string& log, std::string& why);
    // True when openbox is installed.
    static bool HasWindowManager();
    // Asks the window manager to activate the window, as a task bar does.
    void Activate(unsigned long window) const;
    void Click(int x, int y, int button = 1) const;
    void MoveTo(int x, int y) const;
    void Type(const std::string& text) const;
    void Key(const std::string& keys) const;

    // The whole screen now, saved as `file` (a PNG); null when it could not be read.
    QImage Grab(const std::string& file) const;

private:
    std::string m_name;
    std::unique_ptr<Child> m_server;
    std::unique_ptr<Child> m_windowManager;
};

// Pixels of `area` clearly darker than a light page: the ink of text on it.
int InkIn(const QImage& shot, const QRect& area);
// How many columns of the area hold a dark pixel.
int InkColumnsIn(const QImage& shot, const QRect& area);
using picture::Difference;
// The width of the ink of `text` drawn in the skin's face at `pixels`.
int TextWidth(const std::string& text, int pixels, bool bold = false);
// From the first to the last column of the area that holds a dark pixel; 0 when none.
int InkWidthIn(const QImage& shot, const QRect& area);

}  // namespace twoprograms
