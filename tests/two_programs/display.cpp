#include "display.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace twoprograms {
namespace {

std::string Xdotool(const std::string& display, const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Capture(argv, {{"DISPLAY", display}});
}

// xdotool's window search. It ends with 1 both when no window matched and when a
// window it was looking at went away under it (an X error): a search that found
// nothing is made again, so a window closing elsewhere does not hide the others.
std::string Search(const std::string& display, const std::string& titlePattern) {
    std::string out;
    for (int attempt = 0; attempt < 3; ++attempt) {
        int status = -1;
        out = Capture({"xdotool", "search", "--onlyvisible", "--name", titlePattern},
                      {{"DISPLAY", display}}, &status);
        if (status == 0) break;
    }
    return out;
}

}  // namespace

std::unique_ptr<Display> Display::StartVirtual(const std::string& log) {
    auto display = std::make_unique<Display>(std::string());
    display->m_server = std::make_unique<Child>();
    // -displayfd 1: the number it chose, on its standard output once it listens.
    if (!display->m_server->Start(
            {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {},
            log))
        return display;
    std::string number;
    WaitFor(
        [&] {
            std::istringstream lines(ReadFile(log));
            for (std::string line; std::getline(lines, line);) {
                if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos &&
                    lines.good()) {
                    number = line;
                    return true;
                }
            }
            return !display->m_server->Running();
        },
        std::chrono::seconds(30));
    if (!number.empty()) display->m_name = ":" + number;
    return display;
}

unsigned long Display::FindWindow(const std::string& titlePattern) const {
    const std::string out = Search(m_name, titlePattern);
    return std::strtoul(out.c_str(), nullptr, 10);
}

unsigned long Display::WaitWindow(const std::string& titlePattern, int seconds) const {
    unsigned long window = 0;
    WaitFor([&] { return (window = FindWindow(titlePattern)) != 0; },
            std::chrono::seconds(seconds));
    return window && WaitPlaced(window) ? window : 0;
}

bool Display::WaitGone(const std::string& titlePattern, int seconds) const {
    return WaitFor([&] { return FindWindow(titlePattern) == 0; }, std::chrono::seconds(seconds));
}

std::vector<unsigned long> Display::VisibleWindows() const {
    std::istringstream out(Search(m_name, ""));
    std::vector<unsigned long> windows;
    for (unsigned long w; out >> w;) windows.push_back(w);
    return windows;
}

unsigned long Display::WaitNewWindow(const std::vector<unsigned long>& before, int seconds) const {
    unsigned long found = 0;
    WaitFor(
        [&] {
            for (unsigned long w : VisibleWindows())
                if (std::find(before.begin(), before.end(), w) == before.end()) {
                    found = w;
                    return true;
                }
            return false;
        },
        std::chrono::seconds(seconds));
    return found && WaitPlaced(found) ? found : 0;
}

bool Display::WaitPlaced(unsigned long window) const {
    constexpr int kSameLooks = 4;
    QRect last;
    int same = 0;
    return WaitFor(
        [&] {
            const QRect now = Geometry(window);
            same = !now.isEmpty() && now == last ? same + 1 : 0;
            last = now;
            return same >= kSameLooks;
        },
        std::chrono::seconds(15));
}

bool Display::Shown(unsigned long window) const {
    const std::vector<unsigned long> shown = VisibleWindows();
    return std::find(shown.begin(), shown.end(), window) != shown.end();
}

QRect Display::Geometry(unsigned long window) const {
    const std::string out =
        Xdotool(m_name, {"getwindowgeometry", "--shell", std::to_string(window)});
    int x = 0, y = 0, w = 0, h = 0;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") x = value;
        if (key == "Y") y = value;
        if (key == "WIDTH") w = value;
        if (key == "HEIGHT") h = value;
    }
    return w > 0 && h > 0 ? QRect(x, y, w, h) : QRect();
}

void Display::Click(int x, int y, int button) const {
    Xdotool(m_name,
            {"mousemove", std::to_string(x), std::to_string(y), "click", std::to_string(button)});
}

std::string Display::Title(unsigned long window) const {
    std::string out = Xdotool(m_name, {"getwindowname", std::to_string(window)});
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

unsigned long Display::FocusedWindow() const {
    int status = -1;
    // -f: the window X gives the focus to, even when xdotool would not call it a
    // top-level one.
    const std::string out =
        Capture({"xdotool", "getwindowfocus", "-f"}, {{"DISPLAY", m_name}}, &status);
    return status == 0 ? std::strtoul(out.c_str(), nullptr, 10) : 0;
}

std::string Display::KeyboardFocus() const {
    const unsigned long window = FocusedWindow();
    return window ? Title(window) + " (" + std::to_string(window) + ")" : "none";
}

bool Display::StartWindowManager(const std::string& log, std::string& why) {
    if (!HasWindowManager()) {
        why = "openbox is not installed (scripts/install-deps.sh installs it)";
        return false;
    }
    // An openbox that ends at once (it has on a loaded machine, saying nothing) is
    // started again, a few times, before the display is taken for one it cannot manage.
    constexpr int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        m_windowManager = std::make_unique<Child>();
        if (!m_windowManager->Start({"openbox", "--sm-disable"}, {{"DISPLAY", m_name}}, log)) {
            why = "openbox did not start";
            continue;
        }
        // A window manager that took the display says so on the root window.
        const bool managing = WaitFor(
            [&] {
                const std::string out =
                    Capture({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, {{"DISPLAY", m_name}});
                return out.find("window id") != std::string::npos || !m_windowManager->Running();
            },
            std::chrono::seconds(30));
        if (managing && m_windowManager->Running()) return true;
        why = "openbox did not take the display (try " + std::to_string(attempt) + " of " +
              std::to_string(kTries) + "): " + ReadFile(log);
    }
    return false;
}

bool Display::HasWindowManager() {
    return !Capture({"sh", "-c", "command -v openbox"}).empty();
}

void Display::Activate(unsigned long window) const {
    Xdotool(m_name, {"windowactivate", std::to_string(window)});
}

void Display::MoveTo(int x, int y) const {
    Xdotool(m_name, {"mousemove", std::to_string(x), std::to_string(y)});
}

void Display::Type(const std::string& text) const {
    Xdotool(m_name, {"type", "--delay", "30", text});
}

void Display::Key(const std::string& keys) const {
    Xdotool(m_name, {"key", keys});
}

QImage Display::Grab(const std::string& file) const {
    int status = -1;
    // The grabber is a tool, not what is tested: in the sanitizer build the leaks of
    // the X libraries it loads would fail it at exit and lose the picture.
    Capture({MIVORA_BINARY_DIR "/tools/screengrab", file},
            {{"DISPLAY", m_name}, {"QT_QPA_PLATFORM", "xcb"}, {"ASAN_OPTIONS", "detect_leaks=0"}},
            &status);
    if (status != 0) return QImage();
    return QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
}

int InkIn(const QImage& shot, const QRect& area) {
    const QRect in = area.intersected(shot.rect());
    int ink = 0;
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x) {
            const QRgb p = shot.pixel(x, y);
            ink += qRed(p) + qGreen(p) + qBlue(p) < 450;
        }
    return ink;
}

int InkColumnsIn(const QImage& shot, const QRect& area) {
    const QRect in = area.intersected(shot.rect());
    int columns = 0;
    for (int x = in.left(); x <= in.right(); ++x)
        for (int y = in.top(); y <= in.bottom(); ++y)
            if (InkIn(shot, QRect(x, y, 1, 1))) {
                ++columns;
                break;
            }
    return columns;
}

int TextWidth(const std::string& text, int pixels, bool bold) {
    // The fonts need an application object; the test has none of its own.
    static int argc = 3;
    static char arg0[] = "test", arg1[] = "-platform", arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    static QGuiApplication fonts(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return QFontMetrics(font).tightBoundingRect(QString::fromStdString(text)).width();
}

int InkWidthIn(const QImage& shot, const QRect& area) {
    const QRect in = area.intersected(shot.rect());
    int first = -1, last = -1;
    for (int x = in.left(); x <= in.right(); ++x)
        for (int y = in.top(); y <= in.bottom(); ++y)
            if (InkIn(shot, QRect(x, y, 1, 1))) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

}  // namespace twoprograms
