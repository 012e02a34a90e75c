#include "real_display.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
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

QRect ScreenRectOf(HWND hwnd, DuiLib::CControlUI* control) {
    RECT rc = control->GetPos();
    POINT tl{rc.left, rc.top};
    ClientToScreen(hwnd, &tl);
    return QRect(tl.x, tl.y, rc.right - rc.left, rc.bottom - rc.top);
}

int ClickControl(HWND hwnd, DuiLib::CControlUI* control, int button) {
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

double Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 1.0;
    long differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 32 || std::abs(qGreen(p) - qGreen(q)) > 32 ||
                std::abs(qBlue(p) - qBlue(q)) > 32)
                ++differ;
        }
    return static_cast<double>(differ) / (static_cast<double>(a.width()) * a.height());
}

}  // namespace realdisplay
