// Which top-level window is the active one, kept the way Windows keeps it: a click
// into a window of the program brings it forward and activates it, and showing a window
// with an activating command activates it. A window manager does the same on its own;
// without one (a bare X server) nothing else would, and windows that hide when they lose
// activation (the emoticon picker) would never hear of it.
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "host_widget.h"

namespace winplat {

namespace {

bool TakesActivation(HostWidget* w) {
    HWND hwnd = w ? w->hwnd() : nullptr;
    if (!hwnd || !w->isVisible() || !w->isEnabled()) return false;
    return !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
}

class ClickActivation : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // A press goes to the widget under the pointer: the window itself or a text view
        // shown inside it.
        auto* host = widget ? dynamic_cast<HostWidget*>(widget->window()) : nullptr;
        if (!host || !TakesActivation(host)) return false;
        // The clicked window comes forward, the windows it owns still above it.
        RaiseWithOwned(host);
        if (!host->isActiveWindow()) SetActiveWindow(host->hwnd());
        return false;
    }
};

}  // namespace

void InstallClickActivation() {
    static ClickActivation* filter = nullptr;
    if (filter || !qApp) return;
    filter = new ClickActivation;
    qApp->installEventFilter(filter);
}

void ActivateShownWindow(HWND hwnd) {
    if (TakesActivation(FindHostWidget(hwnd))) SetActiveWindow(hwnd);
}

}  // namespace winplat
