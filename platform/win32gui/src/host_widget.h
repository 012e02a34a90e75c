// The frameless Qt window that shows one top-level window of the layer, and the
// host that keeps these in step with the window records.
#pragma once

#include <QWidget>

#include "win32gui/user.h"

namespace winplat {

class HostWidget : public QWidget {
public:
    explicit HostWidget(HWND hwnd);
    HWND hwnd() const { return hwnd_; }
    void Detach() { hwnd_ = nullptr; }
    // Geometry changes that come from the record are not sent back to it.
    void SetGeometryFromRecord(const QRect& r);
    void SetRegion(const QRegion& region, bool hasRegion);
    // A layered window shows this picture instead of painting through WM_PAINT.
    void SetLayeredImage(const QImage& image);
    // Moves the window with the pointer from the last left press until the release
    // (the system move where the platform has one).
    void BeginCaptionDrag();
    // The record was minimised, maximised or restored (SW_MINIMIZE, SW_MAXIMIZE,
    // SW_RESTORE) and now has `rect`: the window and the window manager follow.
    void ShowRecordState(int showCommand, const QRect& rect);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery q) const override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    LPARAM ClientPoint(const QPointF& p) const;
    WPARAM MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) const;
    LRESULT HitTest(const QPointF& global);
    void Key(QKeyEvent* e, bool down);
    // The window's state changed on screen (the window manager, a task bar): the
    // record's minimised and maximised bits follow, with the WM_SIZE that tells it.
    void FollowWindowState();

    HWND hwnd_;
    QImage layered_;
    bool syncing_ = false;
    // Set while the window takes the record's state, and while the record takes the
    // window's: neither change is handed back.
    bool applyingState_ = false;
    // Set while the record takes the window's state: its rectangle for that state is
    // not given to the window, whose own comes from the window manager.
    bool followingState_ = false;
    // A move or resize done here when the platform has no system move (offscreen).
    int dragCode_ = 0;
    QPoint dragStart_;
    QRect dragGeometry_;
    QPoint lastLeftPress_;
    bool leftDown_ = false;
};

// Top-level widget of a window, or null.
HostWidget* FindHostWidget(HWND hwnd);

// Brings a window forward with the windows it owns above it, and the always-on-top
// windows above those: a bare X server has no window manager to keep them there.
void RaiseWithOwned(HostWidget* w);
// Only the owned and always-on-top windows, when the window itself came forward.
void RaiseOwnedAbove(HWND hwnd);

// Activation as Windows gives it where no window manager does: a press into a window of
// the program activates it (installed once with the application), and so does showing a
// window with an activating command.
void InstallClickActivation();
void ActivateShownWindow(HWND hwnd);

// Waits in the thread's loop until done holds (modal dialogs of the layer); a quit
// message ends the wait and stays pending for the outer loop.
void RunLoopUntil(const bool& done);

}  // namespace winplat
