// On a real X display (for instance under xvfb-run with QT_QPA_PLATFORM=xcb and
// MIVORA_REAL_DISPLAY=1), the message box and the font chooser are clicked by a real
// pointer: the X server's events travel through Qt into the window's messages.
// Skipped otherwise.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>

#include <cwchar>

#include "dialogs/WndMsgBox.h"
#include "real_display.h"
#include "win32gui/commdlg.h"
#include "ui_fixture.h"

using namespace DuiLib;
namespace rd = realdisplay;

namespace {

CWndMsgBox* g_box = nullptr;
int g_step = 0;

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_box || !IsWindow(g_box->GetHWND())) return;
    CControlUI* ok = g_box->GetPaintManager().FindControl(L"okbtn");
    if (!ok || IsRectEmpty(&ok->GetPos())) return;
    if (g_step++ < 5) return;  // let the window settle on screen
    KillTimer(nullptr, id);
    // What the X server shows, read back from it.
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "msgbox-xvfb");
    rd::ClickControl(g_box->GetHWND(), ok);
}

TEST(RealDisplay, MessageBoxAnswersARealClick) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
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
    const QImage screen = rd::GrabScreen(MIVORA_ARTIFACT_DIR, "font-chooser-xvfb");
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
    rd::ClickScreen(POINT{at.x(), at.y()});
}

TEST(RealDisplay, FontChooserSpeaksChineseWithoutABarAndTakesARealClick) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
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
        if (auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget()))
            dlg->reject();
    });
    const BOOL answered = ChooseFontW(&cf);
    KillTimer(nullptr, t);
    ASSERT_TRUE(g_chooser.clicked);
    EXPECT_TRUE(answered) << "the real click on 确定 answers the chooser";
    EXPECT_EQ(g_chooser.title, QStringLiteral("选择字体"));
    EXPECT_LT(g_chooser.darkBelowButtons, 0.05) << "a dark bar under the buttons";
}

}  // namespace
