#include "ui_fixture.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "win32/loop.h"
#include "win32gui/qt_bridge.h"

void UiTest::SetUp() {
    winplat::InstallGui();
    DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
}

void UiTest::TearDown() {
    PumpPending();
    // A quit message left by a test must not reach the next one.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

bool Pump(std::function<bool()> done, int timeoutMs) {
    return winplat::PumpMessagesUntil(std::move(done), timeoutMs);
}

void PumpPending() {
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool WaitRelaidOut(HWND hwnd, DuiLib::CControlUI* control) {
    if (!control || !control->GetManager()) return false;
    DuiLib::CPaintManagerUI* pm = control->GetManager();
    return Pump([&] {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
        DuiLib::CControlUI* root = pm->GetRoot();
        RECT client{};
        GetClientRect(hwnd, &client);
        if (!root || !EqualRect(&root->GetPos(), &client)) return false;
        for (DuiLib::CControlUI* c = control; c; c = c->GetParent())
            if (c->IsUpdateNeeded()) return false;
        return !IsRectEmpty(&control->GetPos());
    });
}

void ClickAt(HWND hwnd, POINT pt) {
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

void QtClickAt(HWND hwnd, POINT pt, bool right) {
    QWidget* host = winplat::WidgetOf(hwnd);
    ASSERT_NE(host, nullptr) << "the window is not shown";
    // A click activates its window (the window manager's part on a real display).
    if (!host->isActiveWindow()) {
        host->activateWindow();
        Pump([&] { return host->isActiveWindow(); }, 2000);
    }
    QWidget* target = host->childAt(pt.x, pt.y);
    if (!target) target = host;
    QPoint local = target->mapFrom(host, QPoint(pt.x, pt.y));
    QTest::mouseClick(target, right ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier, local);
    if (right) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, local, target->mapToGlobal(local));
        QApplication::sendEvent(target, &menu);
    }
}

void ClickControl(HWND hwnd, DuiLib::CControlUI* control) {
    ASSERT_NE(control, nullptr);
    // Positions are known once the window has been laid out (its first paint).
    InvalidateRect(hwnd, nullptr, FALSE);
    Pump([&] { return !IsRectEmpty(&control->GetPos()); }, 10000);
    RECT rc = control->GetPos();
    ClickAt(hwnd, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

// Fontconfig keeps a cache for the life of the process, and on a real display Qt's
// desktop services keep a D-Bus connection's buffer; the leak checker of the sanitizer
// build is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libQt6Gui.so\nleak:libdbus-1.so\n";
}

// Tab or Shift+Tab as the display delivers it (Shift+Tab comes as Backtab with Shift),
// to the widget that has the keyboard; Shift stays held until the window has the key.
void TabKey(HWND hwnd, bool back) {
    QWidget* host = winplat::WidgetOf(hwnd);
    ASSERT_NE(host, nullptr);
    QWidget* to = host->focusWidget() ? host->focusWidget() : host;
    const Qt::Key key = back ? Qt::Key_Backtab : Qt::Key_Tab;
    const Qt::KeyboardModifiers mods = back ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, mods, QStringLiteral("\t"));
    QApplication::sendEvent(to, &press);
    PumpPending();
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(to, &release);
    QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(to, &shiftUp);
    PumpPending();
}
