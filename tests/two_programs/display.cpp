#include "display.h"

#include <algorithm>
#include <sstream>

namespace twoprograms {
namespace {

std::string Xdotool(const std::string& display, const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Capture(argv, {{"DISPLAY", display}});
}

}  // namespace

std::unique_ptr<Display> Display::StartVirtual(const std::string& log) {
    auto display = std::make_unique<Display>(std::string());
    display->m_server = std::make_unique<Child>();
    // -displayfd 1: the number it chose, on its standard output once it listens.
    if (!display->m_server->Start({"Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24",
                                   "-nolisten", "tcp"},
                                  {}, log))
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
    const std::string out = Xdotool(m_name, {"search", "--onlyvisible", "--name", titlePattern});
    return std::strtoul(out.c_str(), nullptr, 10);
}

unsigned long Display::WaitWindow(const std::string& titlePattern, int seconds) const {
    unsigned long window = 0;
    WaitFor([&] { return (window = FindWindow(titlePattern)) != 0; }, std::chrono::seconds(seconds));
    return window;
}

bool Display::WaitGone(const std::string& titlePattern, int seconds) const {
    return WaitFor([&] { return FindWindow(titlePattern) == 0; }, std::chrono::seconds(seconds));
}

std::vector<unsigned long> Display::VisibleWindows() const {
    std::istringstream out(Xdotool(m_name, {"search", "--onlyvisible", "--name", ""}));
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
    return found;
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
    Xdotool(m_name, {"mousemove", std::to_string(x), std::to_string(y), "click",
                     std::to_string(button)});
}

std::string Display::KeyboardFocus() const {
    int status = -1;
    std::string out = Capture({"xdotool", "getwindowfocus", "-f", "getwindowname"},
                              {{"DISPLAY", m_name}}, &status);
    return status == 0 ? out : "none (" + std::to_string(status) + ")";
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

}  // namespace twoprograms
