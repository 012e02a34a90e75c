// The message box: modal results, the button modes, a missing control, and what a
// person sees (a screenshot compared with a render of the same text).
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <functional>

#include "dialogs/WndMsgBox.h"
#include "drawn_text.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

// What the test does once the modal box is on screen and laid out.
CWndMsgBox* g_box = nullptr;
std::function<void(CWndMsgBox&)> g_action;

void CALLBACK WhenShown(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_box || !IsWindow(g_box->GetHWND())) return;
    CControlUI* root = g_box->GetPaintManager().GetRoot();
    if (!root || IsRectEmpty(&root->GetPos())) {
        InvalidateRect(g_box->GetHWND(), nullptr, FALSE);
        return;  // not laid out yet: the next tick
    }
    KillTimer(nullptr, id);
    if (g_action) g_action(*g_box);
}

UINT RunBox(CWndMsgBox& box, std::function<void(CWndMsgBox&)> action, HWND parent = nullptr) {
    g_box = &box;
    g_action = std::move(action);
    UINT_PTR timer = SetTimer(nullptr, 0, 10, WhenShown);
    UINT result = box.DoModal(parent);
    KillTimer(nullptr, timer);
    g_box = nullptr;
    g_action = nullptr;
    return result;
}

void Click(CWndMsgBox& box, const wchar_t* name) {
    CControlUI* c = box.GetPaintManager().FindControl(name);
    ASSERT_NE(c, nullptr) << "no control " << name;
    ASSERT_TRUE(c->IsVisible());
    RECT rc = c->GetPos();
    ClickAt(box.GetHWND(), POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

class MsgBoxTest : public UiTest {};

TEST_F(MsgBoxTest, ModalResultIsOneForOkAndTwoForCancelOrClose) {
    struct Case {
        int buttons;  // -1: SetButtons not called
        const wchar_t* press;
        UINT expected;
    } cases[] = {
        {-1, L"okbtn", IDOK},       {1, L"okbtn", IDOK},     {1, L"cancelbtn", IDCANCEL},
        {0, L"closebtn", IDCANCEL}, {-1, nullptr, IDCANCEL},  // Alt+F4: the default processing
                                                              // destroys it
    };
    for (const Case& c : cases) {
        CWndMsgBox box;
        box.SetText(L"确认退出吗？");
        if (c.buttons >= 0) box.SetButtons(c.buttons);
        bool cancelShown = false;
        UINT r = RunBox(box, [&](CWndMsgBox& b) {
            CControlUI* cancel = b.GetPaintManager().FindControl(L"cancelbtn");
            cancelShown = cancel && cancel->IsVisible();
            if (c.press)
                Click(b, c.press);
            else
                PostMessageW(b.GetHWND(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
        });
        EXPECT_EQ(r, c.expected) << (c.press ? "press" : "alt+f4");
        EXPECT_EQ(cancelShown, c.buttons == 1) << "only mode 1 shows Cancel";
        EXPECT_FALSE(IsWindow(box.GetHWND()));
    }
}

TEST_F(MsgBoxTest, OwnerIsDisabledWhileTheBoxRuns) {
    CTestWnd owner(L"<Window size=\"400,300\"><VerticalLayout bkcolor=\"#FFEEEEEE\" /></Window>");
    ASSERT_TRUE(owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    CWndMsgBox box;
    box.SetText(L"请稍候");
    bool disabledMeanwhile = false;
    UINT r = RunBox(
        box,
        [&](CWndMsgBox& b) {
            disabledMeanwhile = !IsWindowEnabled(owner.GetHWND());
            Click(b, L"okbtn");
        },
        owner.GetHWND());
    EXPECT_EQ(r, static_cast<UINT>(IDOK));
    EXPECT_TRUE(disabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(owner.GetHWND()));
}

TEST_F(MsgBoxTest, ALayoutWithoutItsControlsStillRuns) {
    // A skin folder whose box has no label and no Cancel button.
    QString dir = QDir::tempPath() + QStringLiteral("/mivora-skin-%1/").arg(getpid());
    QDir().mkpath(dir);
    QFile f(dir + QStringLiteral("WndMsgBox1.xml"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "<Window size=\"200,100\"><VerticalLayout><Button name=\"okbtn\" "
        "/></VerticalLayout></Window>");
    f.close();
    CPaintManagerUI::SetResourcePath(dir.toStdWString().c_str());
    CWndMsgBox box;
    box.SetText(L"没有标签");
    box.SetButtons(1);
    UINT r = RunBox(box, [](CWndMsgBox& b) { Click(b, L"okbtn"); });
    EXPECT_EQ(r, static_cast<UINT>(IDOK));
    QDir(dir).removeRecursively();
}

TEST_F(MsgBoxTest, ScreenshotShowsTheText) {
    const wchar_t* text = L"网络连接已断开，请检查网络后重试。";
    CWndMsgBox box;
    box.SetText(text);
    QImage shot;
    double match = 0, other = 0;
    RunBox(box, [&](CWndMsgBox& b) {
        shot = winplat::GrabWindowImage(b.GetHWND());
        auto* tip = static_cast<CLabelUI*>(b.GetPaintManager().FindControl(L"tip"));
        ASSERT_NE(tip, nullptr);
        RECT rc = tip->GetPos();
        QImage crop = shot.copy(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        match = InkMatch(crop, RenderLabel(b.GetPaintManager(), tip, text, false, Qt::white),
                         qRgb(255, 255, 255), 40);
        other = InkMatch(crop,
                         RenderLabel(b.GetPaintManager(), tip, L"用户名或密码错误，请重新输入。",
                                     false, Qt::white),
                         qRgb(255, 255, 255), 40);
        Click(b, L"okbtn");
    });
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "msgbox.png")));
    EXPECT_GT(match, 0.95) << "the box shows its text as rendered";
    EXPECT_LT(other, 0.7) << "another text does not match the screenshot";
}

}  // namespace
