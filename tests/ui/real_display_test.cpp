// On a real X display (for instance under xvfb-run with QT_QPA_PLATFORM=xcb and
// MIVORA_REAL_DISPLAY=1), the message box and the font chooser are clicked by a real
// pointer: the X server's events travel through Qt into the window's messages.
// Skipped otherwise.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "dialogs/WndMsgBox.h"
#include "win32gui/commdlg.h"
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

// The font chooser on screen: in the program's language, no dark bar under its
// buttons, and a real click on "确定" answers it.
struct ChooserCheck {
    QString title;
    double darkBelowButtons = 1.0;
    bool clicked = false;
};
ChooserCheck g_chooser;

void CALLBACK DriveChooser(HWND, UINT, UINT_PTR id, DWORD) {
    auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    if (!dlg || !dlg->isVisible() || g_step++ < 10) return;  // let it settle on screen
    KillTimer(nullptr, id);
    auto* box = dlg->findChild<QDialogButtonBox*>();
    QPushButton* ok = box ? box->button(QDialogButtonBox::Ok) : nullptr;
    if (!ok) {
        dlg->reject();
        return;
    }
    g_chooser.title = dlg->windowTitle();
    std::string dir = MIVORA_ARTIFACT_DIR;
    Run({"mkdir", "-p", dir});
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    screen.save(QString::fromStdString(dir + "font-chooser-xvfb.png"));
    // From under the buttons to the dialog's bottom edge, as the X server shows it.
    const QPoint under = box->mapToGlobal(QPoint(0, box->height()));
    const QPoint corner = dlg->mapToGlobal(QPoint(dlg->width(), dlg->height()));
    int dark = 0, all = 0;
    for (int y = under.y(); y < corner.y(); ++y)
        for (int x = dlg->mapToGlobal(QPoint(0, 0)).x(); x < corner.x(); ++x, ++all)
            dark += qGray(screen.pixel(x, y)) < 40;
    g_chooser.darkBelowButtons = all ? double(dark) / all : 0.0;
    const QPoint at = ok->mapToGlobal(ok->rect().center());
    g_chooser.clicked = true;
    Run({"xdotool", "mousemove", std::to_string(at.x()), std::to_string(at.y()), "click", "1"});
}

TEST(RealDisplay, FontChooserSpeaksChineseWithoutABarAndTakesARealClick) {
    const char* want = std::getenv("MIVORA_REAL_DISPLAY");
    if (!want || std::string(want) != "1")
        GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    winplat::InstallGui();
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs the X server's platform (QT_QPA_PLATFORM=xcb)";
    LOGFONTW lf{};
    lf.lfHeight = -16;
    std::wcscpy(lf.lfFaceName, L"WenQuanYi Micro Hei");
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    cf.rgbColors = RGB(0, 0, 0);  // a black swatch once filled the whole row
    g_step = 0;
    g_chooser = {};
    UINT_PTR t = SetTimer(nullptr, 0, 50, DriveChooser);
    // A click that never arrives fails the test instead of leaving the chooser open.
    QTimer::singleShot(30000, [] {
        if (auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) dlg->reject();
    });
    const BOOL answered = ChooseFontW(&cf);
    KillTimer(nullptr, t);
    ASSERT_TRUE(g_chooser.clicked);
    EXPECT_TRUE(answered) << "the real click on 确定 answers the chooser";
    EXPECT_EQ(g_chooser.title, QStringLiteral("选择字体"));
    EXPECT_LT(g_chooser.darkBelowButtons, 0.05) << "a dark bar under the buttons";
}

}  // namespace
