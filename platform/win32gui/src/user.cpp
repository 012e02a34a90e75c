// USER32's visible part on Qt: the host of window records, the Qt-aware loop
// waiter, painting, input state, focus, activation and monitors.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <poll.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "host_widget.h"
#include "icon_store.h"
#include "input_state.h"
#include "richedit_host.h"
#include "win32gui/qt_bridge.h"

namespace winplat {

namespace {

std::unordered_map<HWND, HostWidget*> g_widgets;  // GUI thread only
// Window regions as set, kept for windows that are not on screen yet.
std::unordered_map<HWND, QRegion> g_regions;
// Pictures of layered windows, kept for windows that are not on screen yet.
std::unordered_map<HWND, QImage> g_layered;
HWND g_capture = nullptr;
HWND g_focus = nullptr;
HWND g_active = nullptr;
BYTE g_keys[256] = {0};
thread_local unsigned t_directCalls = 0;

thread_local HWND t_paintHwnd = nullptr;
thread_local HDC t_paintDc = nullptr;
thread_local RECT t_paintRc = {0, 0, 0, 0};

bool IsTopLevel(HWND hwnd) {
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) == 0;
}

QRect RectOf(HWND hwnd) {
    RECT rc{0, 0, 0, 0};
    GetWindowRect(hwnd, &rc);
    return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void ApplyFlags(HostWidget* w, HWND hwnd) {
    LONG ex = GetWindowLongW(hwnd, GWL_EXSTYLE);
    Qt::WindowFlags f = Qt::FramelessWindowHint;
    // An owned window is a dialog of its owner: the window manager keeps it above the
    // owner and gives it no task-bar entry of its own (Qt marks only dialog and tool
    // types transient for their parent).
    f |= (ex & WS_EX_TOOLWINDOW) ? Qt::Tool : GetWindow(hwnd, GW_OWNER) ? Qt::Dialog : Qt::Window;
    if (ex & WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
    if (w->windowFlags() != f) w->setWindowFlags(f);
}

HostWidget* EnsureWidget(HWND hwnd) {
    auto it = g_widgets.find(hwnd);
    if (it != g_widgets.end()) return it->second;
    auto* w = new HostWidget(hwnd);
    ApplyFlags(w, hwnd);
    wchar_t title[512] = {0};
    GetWindowTextW(hwnd, title, 512);
    w->setWindowTitle(QString::fromWCharArray(title));
    w->SetGeometryFromRecord(RectOf(hwnd));
    w->setEnabled(IsWindowEnabled(hwnd) != FALSE);
    auto rgn = g_regions.find(hwnd);
    if (rgn != g_regions.end()) w->SetRegion(rgn->second, true);
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)
        w->setAttribute(Qt::WA_TranslucentBackground);
    auto pic = g_layered.find(hwnd);
    if (pic != g_layered.end()) w->SetLayeredImage(pic->second);
    ApplyWindowIcon(hwnd, w);
    g_widgets[hwnd] = w;
    return w;
}

// The owner's window as the transient parent, set before each show: the owner's widget
// may come after the owned one's, and new flags make a new native window.
void ApplyOwner(HostWidget* w, HWND hwnd) {
    HWND owner = GetWindow(hwnd, GW_OWNER);
    auto ow = owner ? g_widgets.find(owner) : g_widgets.end();
    if (ow == g_widgets.end()) return;
    ow->second->winId();
    w->winId();
    if (w->windowHandle() && ow->second->windowHandle() &&
        w->windowHandle()->transientParent() != ow->second->windowHandle())
        w->windowHandle()->setTransientParent(ow->second->windowHandle());
}

// Windows owned by `hwnd`, directly or further down, that are on screen, owners first.
void CollectOwned(HWND hwnd, std::vector<HostWidget*>& out, int depth = 0) {
    if (depth > 16) return;
    for (const auto& [owned, widget] : g_widgets)
        if (widget->isVisible() && GetWindow(owned, GW_OWNER) == hwnd) {
            out.push_back(widget);
            CollectOwned(owned, out, depth + 1);
        }
}

class QtHost : public WindowHost {
public:
    void CaptionDragRequested(HWND hwnd) override {
        auto it = g_widgets.find(hwnd);
        if (it != g_widgets.end()) it->second->BeginCaptionDrag();
    }
    void WindowDestroyed(HWND hwnd) override {
        if (g_capture == hwnd) g_capture = nullptr;
        if (g_focus == hwnd) g_focus = nullptr;
        if (g_active == hwnd) g_active = nullptr;
        g_regions.erase(hwnd);
        g_layered.erase(hwnd);
        auto it = g_widgets.find(hwnd);
        if (it == g_widgets.end()) return;
        HostWidget* w = it->second;
        g_widgets.erase(it);
        DetachRichEdits(w);
        w->Detach();
        w->hide();
        w->deleteLater();
    }
    void WindowShown(HWND hwnd, bool visible) override {
        if (!IsTopLevel(hwnd)) {
            SyncRichEdits(hwnd);
            return;
        }
        if (!visible) {
            auto it = g_widgets.find(hwnd);
            if (it != g_widgets.end()) it->second->hide();
            return;
        }
        HostWidget* w = EnsureWidget(hwnd);
        ApplyOwner(w, hwnd);
        w->SetGeometryFromRecord(RectOf(hwnd));
        if (IsIconic(hwnd))
            w->showMinimized();
        else
            w->show();
        SyncRichEdits(hwnd);
    }
    void WindowActivateRequested(HWND hwnd) override { ActivateShownWindow(hwnd); }
    void WindowStateChanged(HWND hwnd, int cmd) override {
        auto it = g_widgets.find(hwnd);
        if (it != g_widgets.end()) it->second->ShowRecordState(cmd, RectOf(hwnd));
    }
    void WindowMoved(HWND hwnd, const RECT& rc) override {
        SyncRichEdits(hwnd);
        auto it = g_widgets.find(hwnd);
        if (it == g_widgets.end()) return;
        it->second->SetGeometryFromRecord(
            QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
    }
    void WindowZOrderChanged(HWND hwnd, HWND) override {
        auto it = g_widgets.find(hwnd);
        if (it != g_widgets.end()) RaiseWithOwned(it->second);
    }
    void WindowTextChanged(HWND hwnd) override {
        auto it = g_widgets.find(hwnd);
        if (it == g_widgets.end()) return;
        wchar_t title[512] = {0};
        GetWindowTextW(hwnd, title, 512);
        it->second->setWindowTitle(QString::fromWCharArray(title));
    }
    void WindowIconChanged(HWND hwnd) override {
        auto it = g_widgets.find(hwnd);
        if (it != g_widgets.end()) ApplyWindowIcon(hwnd, it->second);
    }
    void WindowEnabled(HWND hwnd, bool enabled) override {
        auto it = g_widgets.find(hwnd);
        if (it != g_widgets.end()) it->second->setEnabled(enabled);
    }
    void WindowStyleChanged(HWND hwnd) override {
        auto it = g_widgets.find(hwnd);
        if (it == g_widgets.end()) return;
        bool shown = it->second->isVisible();
        ApplyFlags(it->second, hwnd);
        if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)
            it->second->setAttribute(Qt::WA_TranslucentBackground);
        if (shown) it->second->show();
    }
    void WindowRegionChanged(HWND hwnd, HRGN region, bool redraw) override {
        // The region is copied now: the program may delete its handle right away.
        QRegion r = RegionOf(region);
        if (region)
            g_regions[hwnd] = r;
        else
            g_regions.erase(hwnd);
        HostWidget* w = FindHostWidget(hwnd);
        if (!w) return;
        w->SetRegion(r, region != nullptr);
        if (redraw) w->update();
    }
    bool SystemMetric(int index, int* value) override {
        QScreen* s = QGuiApplication::primaryScreen();
        if (!s) return false;
        QRect g = s->geometry(), a = s->availableGeometry();
        switch (index) {
            case SM_CXSCREEN:
            case SM_CXVIRTUALSCREEN:
                *value = g.width();
                return true;
            case SM_CYSCREEN:
            case SM_CYVIRTUALSCREEN:
                *value = g.height();
                return true;
            case SM_CXFULLSCREEN:
            case SM_CXMAXIMIZED:
                *value = a.width();
                return true;
            case SM_CYFULLSCREEN:
            case SM_CYMAXIMIZED:
                *value = a.height();
                return true;
            case SM_CMONITORS:
                *value = static_cast<int>(QGuiApplication::screens().size());
                return true;
            default:
                return false;
        }
    }
};

QtHost* g_host = nullptr;

// Serves the layer's loop and Qt's events on one thread: blocks in Qt's event
// dispatcher while watching the loop's descriptors and time-out.
class QtWaiter : public LoopWaiter {
public:
    QtWaiter() : dispatcher_(QAbstractEventDispatcher::instance(QThread::currentThread())) {}
    void Wait(std::vector<pollfd>& fds, int timeoutMs) override {
        unsigned calls = t_directCalls;
        Serve(fds, timeoutMs);
        // Nothing was posted, but window procedures ran: wake the loop's caller.
        if (calls != t_directCalls) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    void Serve(std::vector<pollfd>& fds, int timeoutMs) {
        if (woken_.exchange(false)) {
            PollNow(fds);
            return;
        }
        const unsigned calls = t_directCalls;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // Widgets of destroyed windows go with deleteLater. Asked for outside any Qt
        // event (a window procedure run by this loop), that delete waits for a loop
        // level Qt never reaches here, since this loop calls processEvents and never
        // exec: each closed window would keep its widget and backing store for good.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // A window procedure that ran (a paint, input) may be what the loop's caller
        // waits for: it looks before this thread blocks.
        if (woken_.exchange(false) || PollNow(fds) > 0 || timeoutMs == 0 || calls != t_directCalls)
            return;
        std::vector<std::unique_ptr<QSocketNotifier>> notifiers;
        for (const pollfd& p : fds) {
            if (p.events & POLLIN)
                notifiers.emplace_back(new QSocketNotifier(p.fd, QSocketNotifier::Read));
            if (p.events & POLLOUT)
                notifiers.emplace_back(new QSocketNotifier(p.fd, QSocketNotifier::Write));
        }
        QTimer timer;
        timer.setSingleShot(true);
        if (timeoutMs > 0) timer.start(timeoutMs);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        notifiers.clear();
        woken_ = false;
        PollNow(fds);
    }
    void Wake() override {
        woken_ = true;
        if (dispatcher_) dispatcher_->wakeUp();
    }

private:
    static int PollNow(std::vector<pollfd>& fds) {
        for (pollfd& p : fds) p.revents = 0;
        if (fds.empty()) return 0;
        return ::poll(fds.data(), fds.size(), 0);
    }
    QAbstractEventDispatcher* dispatcher_;
    std::atomic<bool> woken_{false};
};

thread_local std::unique_ptr<QtWaiter> t_waiter;
// Kept for the life of the process: tearing Qt down during static destruction
// would run after its platform plugin is gone.
QApplication* g_app = nullptr;
int g_argc = 1;
char g_arg0[] = "mivora";
char* g_argv[] = {g_arg0, nullptr};

}  // namespace

HostWidget* FindHostWidget(HWND hwnd) {
    auto it = g_widgets.find(hwnd);
    return it == g_widgets.end() ? nullptr : it->second;
}

void RaiseWithOwned(HostWidget* w) {
    HWND hwnd = w ? w->hwnd() : nullptr;
    if (!hwnd) return;
    w->raise();
    RaiseOwnedAbove(hwnd);
}

void RaiseOwnedAbove(HWND hwnd) {
    std::vector<HostWidget*> above;
    CollectOwned(hwnd, above);
    // Always-on-top windows stay over the rest, as a window manager would keep them.
    if (!(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        for (const auto& [other, widget] : g_widgets)
            if (widget->isVisible() && (GetWindowLongW(other, GWL_EXSTYLE) & WS_EX_TOPMOST))
                above.push_back(widget);
    for (HostWidget* o : above) o->raise();
}

QWidget* WidgetOf(HWND hwnd) {
    return FindHostWidget(hwnd);
}

UINT LayOutBeforePaintMessage() {
    static const UINT id = RegisterWindowMessageW(L"winplat.LayOutBeforePaint");
    return id;
}

QImage GrabWindowImage(HWND hwnd) {
    HostWidget* w = FindHostWidget(hwnd);
    if (!w || !w->isVisible()) return QImage();
    // A layered window's look is its picture, translucency included (a widget grab
    // would lay it on black).
    auto pic = g_layered.find(hwnd);
    if (pic != g_layered.end()) return pic->second.convertToFormat(QImage::Format_ARGB32);
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    // What lies outside the widget's mask is not on screen.
    QRegion r = w->mask();
    if (!r.isEmpty()) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (!r.contains(QPoint(x, y))) img.setPixel(x, y, 0);
    }
    return img;
}

bool GrabWindowToFile(HWND hwnd, const char* path) {
    QImage img = GrabWindowImage(hwnd);
    return !img.isNull() && path && img.save(QString::fromUtf8(path));
}

namespace {

// Qt's own texts in the program's language, except the font styles: the font
// chooser matches a translated style name against the untranslated names the font
// files give, and would lose bold and italic.
class StockDialogTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        static const char* const kStyles[] = {"Normal",      "Regular",    "Bold",   "Demi Bold",
                                              "Medium",      "Black",      "Light",  "Thin",
                                              "Extra Light", "Extra Bold", "Italic", "Oblique"};
        if (context && source && std::strcmp(context, "QFontDatabase") == 0)
            for (const char* style : kStyles)
                if (std::strcmp(source, style) == 0) return QString();
        return QTranslator::translate(context, source, disambiguation, n);
    }
};

}  // namespace

void InstallGui() {
    if (!QCoreApplication::instance()) {
        g_app = new QApplication(g_argc, g_argv);
        QFont f(QStringLiteral("WenQuanYi Micro Hei"));
        f.setPixelSize(12);
        QApplication::setFont(f);
        // Skins, chat lines and saved fonts name the faces of the system they were made
        // on; here those faces do not exist, and without a substitute Qt falls back to a
        // serif font with no CJK glyphs of its own.
        for (const char* face : {"宋体", "新宋体", "SimSun", "NSimSun", "黑体", "SimHei",
                                 "微软雅黑", "Microsoft YaHei", "Tahoma", "Arial", "Verdana"})
            QFont::insertSubstitution(QString::fromUtf8(face), f.family());
        QApplication::setQuitOnLastWindowClosed(false);
        // Qt's stock dialogs (font and colour choosers) speak the program's language.
        auto* translator = new StockDialogTranslator(g_app);
        if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                             QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
        else
            std::fprintf(stderr,
                         "winplatgui: Qt's Chinese translations are missing: stock dialogs stay in "
                         "English\n");
    }
    InstallClickActivation();
    if (!g_host) {
        g_host = new QtHost;
        SetWindowHost(g_host);
        RegisterRichEditClass();
    }
    if (!t_waiter && QThread::currentThread() == QCoreApplication::instance()->thread()) {
        t_waiter.reset(new QtWaiter);
        SetLoopWaiter(t_waiter.get());
    }
}

bool IsGuiInstalled() {
    return g_host != nullptr;
}

BeginPaintScope::BeginPaintScope(HWND hwnd, HDC dc, const RECT& rc)
    : prevHwnd_(t_paintHwnd), prevDc_(t_paintDc), prevRc_(t_paintRc) {
    t_paintHwnd = hwnd;
    t_paintDc = dc;
    t_paintRc = rc;
}
BeginPaintScope::~BeginPaintScope() {
    t_paintHwnd = prevHwnd_;
    t_paintDc = prevDc_;
    t_paintRc = prevRc_;
}

int VirtualKeyOf(const QKeyEvent* e) {
    int k = e->key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return VK_F1 + (k - Qt::Key_F1);
    switch (k) {
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Shift:
            return VK_SHIFT;
        case Qt::Key_Control:
            return VK_CONTROL;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Pause:
            return VK_PAUSE;
        case Qt::Key_CapsLock:
            return VK_CAPITAL;
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Menu:
            return VK_APPS;
        default:
            return 0;
    }
}

void NoteKey(int vk, bool down) {
    if (vk > 0 && vk < 256) g_keys[vk] = down ? 0x80 : 0;
}
void NoteModifiers(Qt::KeyboardModifiers m) {
    g_keys[VK_SHIFT] = (m & Qt::ShiftModifier) ? 0x80 : 0;
    g_keys[VK_CONTROL] = (m & Qt::ControlModifier) ? 0x80 : 0;
    g_keys[VK_MENU] = (m & Qt::AltModifier) ? 0x80 : 0;
}
void NoteMouseButton(Qt::MouseButton b, bool down) {
    int vk = b == Qt::LeftButton     ? VK_LBUTTON
             : b == Qt::RightButton  ? VK_RBUTTON
             : b == Qt::MiddleButton ? VK_MBUTTON
                                     : 0;
    NoteKey(vk, down);
}
void NoteFocus(HWND hwnd) {
    if (g_focus == hwnd) return;
    HWND old = g_focus;
    g_focus = hwnd;
    if (old && IsWindow(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}
void NoteFocusLost(HWND hwnd) {
    if (g_focus != hwnd) return;
    g_focus = nullptr;
    SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
}
void NoteActive(HWND hwnd) {
    g_active = hwnd;
}
void NoteDirectCall() {
    ++t_directCalls;
}
namespace {
HWND g_caretHwnd = nullptr;
POINT g_caretPos = {0, 0};
SIZE g_caretSize = {1, 16};
}  // namespace

bool GetImeCaret(HWND hwnd, POINT* pt) {
    if (!hwnd || hwnd != g_caretHwnd) return false;
    *pt = g_caretPos;
    return true;
}

}  // namespace winplat

using namespace winplat;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL) {
    if (!IsWindow(hwnd)) return FALSE;
    HostWidget* w = FindHostWidget(hwnd);
    if (w) {
        if (rect)
            w->update(
                QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
        else
            w->update();
    }
    return TRUE;
}
BOOL ValidateRect(HWND hwnd, const RECT*) {
    return IsWindow(hwnd);
}
BOOL UpdateWindow(HWND hwnd) {
    HostWidget* w = FindHostWidget(hwnd);
    if (w && w->isVisible()) w->repaint();
    return IsWindow(hwnd);
}
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN, UINT) {
    return InvalidateRect(hwnd, rect, FALSE);
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    if (!ps) return nullptr;
    *ps = PAINTSTRUCT{};
    if (hwnd != t_paintHwnd || !t_paintDc) {
        // Outside of a paint of the layer there is nothing to draw on.
        GetClientRect(hwnd, &ps->rcPaint);
        return nullptr;
    }
    ps->hdc = t_paintDc;
    ps->rcPaint = t_paintRc;
    return t_paintDc;
}
BOOL EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    if (rect) *rect = hwnd == t_paintHwnd ? t_paintRc : RECT{0, 0, 0, 0};
    return hwnd == t_paintHwnd;
}

HWND SetCapture(HWND hwnd) {
    HWND old = g_capture;
    g_capture = IsWindow(hwnd) ? hwnd : nullptr;
    if (old && old != g_capture && IsWindow(old))
        SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(g_capture));
    return old;
}
BOOL ReleaseCapture() {
    HWND old = g_capture;
    g_capture = nullptr;
    if (old && IsWindow(old)) SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}
HWND GetCapture() {
    return g_capture;
}

HWND SetFocus(HWND hwnd) {
    HWND old = g_focus;
    if (!hwnd) {
        if (old) NoteFocusLost(old);
        return old;
    }
    if (!IsWindow(hwnd)) return nullptr;
    HostWidget* w = FindHostWidget(GetAncestor(hwnd, GA_ROOT) ? GetAncestor(hwnd, GA_ROOT) : hwnd);
    if (w && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
    NoteFocus(hwnd);
    FocusRichEdit(hwnd);
    return old;
}
HWND GetFocus() {
    return g_focus;
}

HWND SetActiveWindow(HWND hwnd) {
    HWND old = g_active;
    HostWidget* w = FindHostWidget(hwnd);
    if (w && w->isVisible()) w->activateWindow();
    if (IsWindow(hwnd)) g_active = hwnd;
    return old;
}
HWND GetActiveWindow() {
    return g_active;
}
BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    HostWidget* w = FindHostWidget(hwnd);
    if (w && w->isVisible()) {
        RaiseWithOwned(w);
        w->activateWindow();
    }
    g_active = hwnd;
    return TRUE;
}
HWND GetForegroundWindow() {
    return g_active;
}
BOOL BringWindowToTop(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    HostWidget* w = FindHostWidget(hwnd);
    if (w) RaiseWithOwned(w);
    return TRUE;
}
BOOL FlashWindow(HWND hwnd, BOOL) {
    HostWidget* w = FindHostWidget(hwnd);
    if (w) QApplication::alert(w);
    return IsWindow(hwnd);
}

SHORT GetKeyState(int vk) {
    return vk > 0 && vk < 256 && (g_keys[vk] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}
SHORT GetAsyncKeyState(int vk) {
    return GetKeyState(vk);
}
BOOL GetCursorPos(LPPOINT pt) {
    if (!pt) return FALSE;
    QPoint p = QCoreApplication::instance() ? QCursor::pos() : QPoint();
    pt->x = p.x();
    pt->y = p.y();
    return TRUE;
}
BOOL SetCursorPos(int x, int y) {
    if (QCoreApplication::instance()) QCursor::setPos(x, y);
    return TRUE;
}
HCURSOR SetCursor(HCURSOR c) {
    return c;
}

namespace {
// Monitor handles are the screen index + 1.
QScreen* ScreenOf(HMONITOR m) {
    if (!QCoreApplication::instance()) return nullptr;
    auto list = QGuiApplication::screens();
    intptr_t i = reinterpret_cast<intptr_t>(m) - 1;
    return i >= 0 && i < list.size() ? list[static_cast<int>(i)] : nullptr;
}
HMONITOR HandleOf(QScreen* s) {
    auto list = QGuiApplication::screens();
    int i = static_cast<int>(list.indexOf(s));
    return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(i < 0 ? 1 : i + 1));
}
}  // namespace

HMONITOR MonitorFromPoint(POINT pt, DWORD flags) {
    if (!QCoreApplication::instance()) return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(1));
    QScreen* s = QGuiApplication::screenAt(QPoint(pt.x, pt.y));
    if (!s) {
        if (flags == MONITOR_DEFAULTTONULL) return nullptr;
        s = QGuiApplication::primaryScreen();
    }
    return s ? HandleOf(s) : nullptr;
}
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
    RECT rc{0, 0, 0, 0};
    if (!GetWindowRect(hwnd, &rc))
        return flags == MONITOR_DEFAULTTONULL
                   ? nullptr
                   : reinterpret_cast<HMONITOR>(static_cast<intptr_t>(1));
    POINT c{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    return MonitorFromPoint(c, flags);
}
BOOL GetMonitorInfoW(HMONITOR m, LPMONITORINFO info) {
    if (!info) return FALSE;
    QScreen* s = ScreenOf(m);
    QRect g(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    QRect a = g;
    if (s) {
        g = s->geometry();
        a = s->availableGeometry();
    } else if (reinterpret_cast<intptr_t>(m) != 1) {
        return FALSE;
    }
    info->rcMonitor = RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    info->rcWork = RECT{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
    info->dwFlags = (!s || s == QGuiApplication::primaryScreen()) ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
BOOL SystemParametersInfoW(UINT action, UINT, LPVOID pv, UINT) {
    if (action != SPI_GETWORKAREA || !pv) return FALSE;
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    POINT origin{0, 0};
    if (!GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &mi)) return FALSE;
    *static_cast<RECT*>(pv) = mi.rcWork;
    return TRUE;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
    auto it = g_regions.find(hwnd);
    if (!IsWindow(hwnd) || it == g_regions.end()) return ERROR_REGION;
    if (!SetRegionOf(rgn, it->second)) return ERROR_REGION;
    if (it->second.isEmpty()) return NULLREGION;
    return it->second.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HDC GetDC(HWND) {
    // Drawing happens in WM_PAINT; outside of it a memory context stands in.
    return CreateCompatibleDC(nullptr);
}
int ReleaseDC(HWND, HDC dc) {
    return DeleteDC(dc);
}

BOOL UpdateLayeredWindow(HWND hwnd, HDC, POINT* pptDst, SIZE* psize, HDC src, POINT* pptSrc,
                         COLORREF, BLENDFUNCTION* blend, DWORD flags) {
    if (!IsWindow(hwnd) || !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED)) return FALSE;
    if (!(flags & ULW_ALPHA) || !blend) return FALSE;
    QImage img = SelectedBitmapImage(src);
    if (img.isNull()) return FALSE;
    int sx = pptSrc ? pptSrc->x : 0, sy = pptSrc ? pptSrc->y : 0;
    int w = psize ? psize->cx : img.width() - sx, h = psize ? psize->cy : img.height() - sy;
    img = img.copy(sx, sy, w, h);
    if (blend->SourceConstantAlpha != 255) {
        QImage faded(img.size(), QImage::Format_ARGB32_Premultiplied);
        faded.fill(Qt::transparent);
        QPainter p(&faded);
        p.setOpacity(blend->SourceConstantAlpha / 255.0);
        p.drawImage(0, 0, img);
        p.end();
        img = faded;
    }
    UINT swp = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!pptDst) swp |= SWP_NOMOVE;
    if (!psize) swp |= SWP_NOSIZE;
    SetWindowPos(hwnd, nullptr, pptDst ? pptDst->x : 0, pptDst ? pptDst->y : 0, w, h, swp);
    g_layered[hwnd] = img;
    if (HostWidget* widget = FindHostWidget(hwnd)) widget->SetLayeredImage(img);
    return TRUE;
}

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
    if (!IsWindow(hwnd)) return FALSE;
    g_caretHwnd = hwnd;
    g_caretSize = SIZE{width > 0 ? width : 1, height > 0 ? height : 16};
    return TRUE;
}
BOOL DestroyCaret() {
    g_caretHwnd = nullptr;
    return TRUE;
}
BOOL SetCaretPos(int x, int y) {
    if (!g_caretHwnd) return FALSE;
    bool moved = g_caretPos.x != x || g_caretPos.y != y;
    g_caretPos = POINT{x, y};
    // The input method asks again for where to put its list.
    if (moved && QGuiApplication::inputMethod())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    return TRUE;
}
BOOL GetCaretPos(LPPOINT pt) {
    if (!pt || !g_caretHwnd) return FALSE;
    *pt = g_caretPos;
    return TRUE;
}
