// On a real X display (xvfb-run with QT_QPA_PLATFORM=xcb and MIVORA_REAL_DISPLAY=1):
// text typed into the new-password edit by the X server's keyboard shows as asterisks
// on the screen. Skipped otherwise.
#include <QImage>

#include "dialogs/WndUserSetting.h"
#include "dialogs_fixture.h"
#include "real_display.h"

using namespace DuiLib;
namespace rd = realdisplay;

namespace {

class RealDisplayTest : public DialogTest {};

TEST_F(RealDisplayTest, TypedPasswordShowsOnlyAsterisks) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    CWndUserSetting* wnd = new CWndUserSetting;
    wnd->SetOwnerSlot(&wnd);
    ASSERT_TRUE(wnd->Create(nullptr, L"个人设置", 0x86880000, 0, 0, 0, 0, 0));
    wnd->CenterWindow();
    wnd->ShowWindow(true, true);
    wnd->ShowPage(4);
    auto* edit = static_cast<CEditUI*>(wnd->GetPaintManager().FindControl(L"edt_usernewpwd"));
    ASSERT_TRUE(Pump([&] {
        InvalidateRect(wnd->GetHWND(), nullptr, FALSE);
        return !IsRectEmpty(&edit->GetPos());
    }));
    ASSERT_TRUE(Pump([&] { return rd::OnScreen(wnd->GetHWND()); }));
    RECT rc = edit->GetPos();
    rd::ClickControl(wnd->GetHWND(), edit);
    ASSERT_TRUE(Pump([&] { return edit->IsFocused(); }));
    rd::TypeText("abc123");
    ASSERT_TRUE(Pump([&] { return edit->GetText() == L"abc123"; }));

    POINT origin{rc.left, rc.top};
    ClientToScreen(wnd->GetHWND(), &origin);
    auto screen = [&](const char* file) {
        Pump([] { return false; }, 300);
        QImage all = rd::GrabScreen();
        QImage crop =
            all.copy(origin.x + 1, origin.y + 1, rc.right - rc.left - 14, rc.bottom - rc.top - 2)
                .convertToFormat(QImage::Format_ARGB32);
        crop.save(QString(MIVORA_ARTIFACT_DIR) + file);
        return crop;
    };
    // The caret is left of the text's end either way; compare with the focus elsewhere.
    SetFocus(nullptr);
    wnd->GetPaintManager().SetFocus(nullptr);
    edit->Invalidate();
    QImage typed = screen("password_xvfb.png");
    edit->SetPasswordMode(false);
    edit->SetText(L"******");
    edit->Invalidate();
    QImage stars = screen("password_xvfb_stars.png");
    edit->SetText(L"abc123");
    edit->Invalidate();
    QImage plain = screen("password_xvfb_plain.png");
    EXPECT_GT(PictureMatch(typed, 0, 0, stars), 0.95);
    EXPECT_LT(PictureMatch(typed, 0, 0, plain), 0.8);
    DestroyWindow(wnd->GetHWND());
}

}  // namespace
