#include "real_display.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "win32/loop.h"
#include "win32gui/qt_bridge.h"

extern char** environ;

namespace realdisplay {

bool Wanted() {
    const char* want = std::getenv("MIVORA_REAL_DISPLAY");
    return want && std::string(want) == "1";
}

bool OnScreen(HWND hwnd) {
    QWidget* w = winplat::WidgetOf(hwnd);
    return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}

int RunTool(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ClickScreen(POINT pt, int button) {
    return RunTool({"xdotool", "mousemove", std::to_string(pt.x), std::to_string(pt.y), "click",
                    std::to_string(button)});
}

int TypeText(const std::string& text, int delayMs) {
    return RunTool({"xdotool", "type", "--delay", std::to_string(delayMs), text});
}

namespace {

bool LaidOutForItsSize(HWND hwnd, DuiLib::CControlUI* control) {
    DuiLib::CPaintManagerUI* pm = control ? control->GetManager() : nullptr;
    DuiLib::CControlUI* root = pm ? pm->GetRoot() : nullptr;
    if (!root) return true;  // nothing to compare with
    RECT client{};
    GetClientRect(hwnd, &client);
    const RECT& laid = root->GetPos();
    return laid.right - laid.left == client.right - client.left &&
           laid.bottom - laid.top == client.bottom - client.top;
}

}  // namespace

QRect ScreenRectOf(HWND hwnd, DuiLib::CControlUI* control) {
    RECT rc = control->GetPos();
    POINT tl{rc.left, rc.top};
    ClientToScreen(hwnd, &tl);
    return QRect(tl.x, tl.y, rc.right - rc.left, rc.bottom - rc.top);
}

int ClickControl(HWND hwnd, DuiLib::CControlUI* control, int button) {
    // The point comes from where the program believes its window is; a loaded X server
    // may not have moved it there yet, and the click would land on whatever lies there.
    // Nor may the controls be laid out yet for a size the window just took (a maximise
    // at start-up), and the point would be a place of the old layout.
    // A control added a moment ago has no place at all until the next paint.
    winplat::PumpMessagesUntil(
        [&] {
            return !IsRectEmpty(&control->GetPos()) && PlaceAgreed(hwnd) &&
                   LaidOutForItsSize(hwnd, control);
        },
        5000);
    const QRect r = ScreenRectOf(hwnd, control);
    return ClickScreen(POINT{r.center().x(), r.center().y()}, button);
}

QImage GrabScreen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

QImage GrabScreen(const char* artifactDir, const char* name) {
    QImage shot = GrabScreen();
    QDir().mkpath(QString::fromUtf8(artifactDir));
    shot.save(QString::fromUtf8(artifactDir) + QString::fromUtf8(name) + QStringLiteral(".png"));
    return shot;
}

bool SettleScreen(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    // A grab costs milliseconds: one every so often, not one per message handled.
    constexpr auto kBetweenGrabs = std::chrono::milliseconds(25);
    constexpr int kStillGrabs = 4;
    QImage last;
    int still = 0;
    Clock::time_point next = Clock::now();
    return winplat::PumpMessagesUntil(
        [&] {
            if (Clock::now() < next) return false;
            next = Clock::now() + kBetweenGrabs;
            QImage now = GrabScreen();
            still = !last.isNull() && now == last ? still + 1 : 0;
            last = std::move(now);
            return still >= kStillGrabs;
        },
        timeoutMs);
}

namespace {

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The 32-bit items of a property (atoms or windows); empty when it is not set.
std::vector<uint32_t> Items(unsigned xwindow, const char* property) {
    xcb_connection_t* c = Connection();
    if (!c || !xwindow) return {};
    const auto cookie =
        xcb_get_property(c, 0, xwindow, Atom(c, property), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) return {};
    const auto* items = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::vector<uint32_t>(items, items + std::max(count, 0));
}

struct Tree {
    unsigned parent = 0;
    std::vector<unsigned> children;  // bottom to top
};

Tree QueryTree(unsigned xwindow) {
    Tree t;
    xcb_connection_t* c = Connection();
    if (!c) return t;
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> reply(
        xcb_query_tree_reply(c, xcb_query_tree(c, xwindow), nullptr), &std::free);
    if (!reply) return t;
    t.parent = reply->parent;
    const xcb_window_t* kids = xcb_query_tree_children(reply.get());
    t.children.assign(kids, kids + xcb_query_tree_children_length(reply.get()));
    return t;
}

}  // namespace

unsigned RootWindow() {
    xcb_connection_t* c = Connection();
    if (!c) return 0;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return screen ? screen->root : 0;
}

unsigned XWindowOf(HWND hwnd) {
    QWidget* w = winplat::WidgetOf(hwnd);
    return w && w->windowHandle() ? static_cast<unsigned>(w->windowHandle()->winId()) : 0;
}

bool PlaceAgreed(HWND hwnd) {
    QWidget* w = winplat::WidgetOf(hwnd);
    xcb_connection_t* c = Connection();
    const unsigned xwindow = XWindowOf(hwnd);
    if (!w || !c || !xwindow) return false;
    std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> reply(
        xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, xwindow, RootWindow(), 0, 0), nullptr),
        &std::free);
    return reply && QPoint(reply->dst_x, reply->dst_y) == w->window()->mapToGlobal(QPoint(0, 0));
}

unsigned TopFrameOf(unsigned xwindow) {
    const unsigned root = RootWindow();
    for (int depth = 0; xwindow && depth < 16; ++depth) {
        const unsigned parent = QueryTree(xwindow).parent;
        if (parent == root || !parent) return parent ? xwindow : 0;
        xwindow = parent;
    }
    return 0;
}

bool StackedAbove(HWND upper, HWND lower) {
    const unsigned a = TopFrameOf(XWindowOf(upper)), b = TopFrameOf(XWindowOf(lower));
    if (!a || !b || a == b) return false;
    const std::vector<unsigned> order = QueryTree(RootWindow()).children;
    const auto at = std::find(order.begin(), order.end(), a);
    const auto bt = std::find(order.begin(), order.end(), b);
    return at != order.end() && bt != order.end() && at > bt;
}

std::vector<std::string> AtomNames(unsigned xwindow, const char* property) {
    std::vector<std::string> names;
    xcb_connection_t* c = Connection();
    for (uint32_t atom : Items(xwindow, property)) {
        std::unique_ptr<xcb_get_atom_name_reply_t, decltype(&std::free)> reply(
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr), &std::free);
        if (reply)
            names.emplace_back(xcb_get_atom_name_name(reply.get()),
                               static_cast<size_t>(xcb_get_atom_name_name_length(reply.get())));
    }
    return names;
}

std::vector<unsigned> WindowList(unsigned xwindow, const char* property) {
    const std::vector<uint32_t> items = Items(xwindow, property);
    return std::vector<unsigned>(items.begin(), items.end());
}

bool RequestNetWmState(unsigned xwindow, bool add, const char* first, const char* second) {
    xcb_connection_t* c = Connection();
    const unsigned root = RootWindow();
    if (!c || !root || !xwindow) return false;
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = xwindow;
    m.type = Atom(c, "_NET_WM_STATE");
    m.data.data32[0] = add ? 1 : 0;
    m.data.data32[1] = Atom(c, first);
    m.data.data32[2] = second ? Atom(c, second) : 0;
    m.data.data32[3] = 2;  // from a pager
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
    xcb_flush(c);
    return true;
}

WindowManager::~WindowManager() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

bool WindowManager::Start(std::string* why) {
    char program[] = "openbox";
    char noSession[] = "--sm-disable";
    char* argv[] = {program, noSession, nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        if (why) *why = "openbox is not installed (scripts/install-deps.sh installs it)";
        return false;
    }
    pid_ = pid;
    // openbox names its check window on the root early and reads its settings and theme
    // after: it manages windows once a window of ours mapped now shows in its list.
    xcb_connection_t* c = Connection();
    if (!c) {
        if (why) *why = "no X connection";
        return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t probe = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 8, 8, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const bool up = winplat::PumpMessagesUntil(
        [&] {
            const std::vector<unsigned> check =
                WindowList(RootWindow(), "_NET_SUPPORTING_WM_CHECK");
            if (check.empty() || check[0] == 0) return false;
            xcb_map_window(c, probe);
            xcb_flush(c);
            const std::vector<unsigned> clients = WindowList(RootWindow(), "_NET_CLIENT_LIST");
            return std::find(clients.begin(), clients.end(), probe) != clients.end();
        },
        30000);
    xcb_destroy_window(c, probe);
    xcb_flush(c);
    if (!up && why) *why = "openbox did not take over the screen";
    return up;
}

}  // namespace realdisplay
