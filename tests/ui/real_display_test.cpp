// On a real X display (for instance under xvfb-run with QT_QPA_PLATFORM=xcb and
// MIVORA_REAL_DISPLAY=1), the message box is clicked by a real pointer: the X
// server's events travel through Qt into the window's messages. Skipped otherwise.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/WndMsgBox.h"
#include "ui_fixture.h"

extern char** environ;

using namespace DuiLib;

namespace {

int Run(std::initializer_list<std::string> args) {
    std::vector<char*> argv;
    std::vector<std::string> copy(args);
    for (auto& a : copy) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CWndMsgBox* g_box = nullptr;
int g_step = 0;

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_box || !IsWindow(g_box->GetHWND())) return;
    CControlUI* ok = g_box->GetPaintManager().FindControl(L"okbtn");
    if (!ok || IsRectEmpty(&ok->GetPos())) return;
    if (g_step++ < 5) return;  // let the window settle on screen
    KillTimer(nullptr, id);
    RECT rc = ok->GetPos();
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ClientToScreen(g_box->GetHWND(), &pt);
    std::string dir = MIVORA_ARTIFACT_DIR;
    Run({"mkdir", "-p", dir});
    // What the X server shows, read back from it.
    QGuiApplication::primaryScreen()->grabWindow(0).save(
        QString::fromStdString(dir + "msgbox-xvfb.png"));
    Run({"xdotool", "mousemove", std::to_string(pt.x), std::to_string(pt.y), "click", "1"});
}

TEST(RealDisplay, MessageBoxAnswersARealClick) {
    const char* want = std::getenv("MIVORA_REAL_DISPLAY");
    if (!want || std::string(want) != "1")
        GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    winplat::InstallGui();
    CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
    CWndMsgBox box;
    box.SetText(L"真实显示器上的消息框");
    g_box = &box;
    UINT_PTR t = SetTimer(nullptr, 0, 50, Drive);
    UINT r = box.DoModal(nullptr);
    KillTimer(nullptr, t);
    g_box = nullptr;
    EXPECT_EQ(r, static_cast<UINT>(IDOK));
}

}  // namespace
