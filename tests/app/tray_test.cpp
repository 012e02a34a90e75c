// The lobby's tray icon: tip, removal, clicks and the menu.
#include "app/ClientApp.h"
#include "app/TrayIcon.h"
#include "app_fixture.h"
#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"
#include "win32gui/menu.h"
#include "win32gui/shell.h"

using namespace DuiLib;

namespace {

constexpr UINT kTrayNotify = 12137;
constexpr UINT kMenuCommand = 13430;

struct MenuCall {
    HMENU menu = nullptr;
    UINT flags = 0;
    int x = -1, y = -1;
    int count = 0;
};
MenuCall g_menu;

UINT_PTR AnswerMenu(HMENU menu, UINT flags, int x, int y) {
    g_menu.menu = menu;
    g_menu.flags = flags;
    g_menu.x = x;
    g_menu.y = y;
    ++g_menu.count;
    return kMenuCommand;
}

class TrayTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        g_menu = MenuCall{};
        winplat::SetPopupMenuTrackHook(AnswerMenu);
        menu_ = CreatePopupMenu();
        AppendMenuW(menu_, MF_STRING, kMenuCommand, L"退出");
        wnd_ = std::make_unique<CTestWnd>(
            L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\"/></Window>");
        wnd_->onExtra = [this](UINT m, WPARAM w, LPARAM l, BOOL& handled) -> LRESULT {
            handled = TRUE;
            if (m == kTrayNotify)
                tray_.OnTrayMessage(w, l);
            else if (m == WM_COMMAND)
                commands_.push_back(LOWORD(w));
            else
                handled = FALSE;
            return 0;
        };
        ASSERT_NE(wnd_->Create(nullptr, L"lobby", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 200),
                  nullptr);
        user_ = CCommKernel::GetInstance()->m_pData->GetLocalUser();
        user_->userId = 80012;
        user_->alias = "\xC0\xCF\xCD\xF5";  // "老王" in GBK
    }
    void TearDown() override {
        tray_.Remove();
        winplat::SetPopupMenuTrackHook(nullptr);
        wnd_.reset();
        DestroyMenu(menu_);
        user_->alias.clear();
        AppTest::TearDown();
    }
    UINT IconId() const { return static_cast<UINT>(reinterpret_cast<uintptr_t>(menu_)); }

    HMENU menu_ = nullptr;
    std::unique_ptr<CTestWnd> wnd_;
    CTrayIcon tray_;
    CUserObj* user_ = nullptr;
    std::vector<WORD> commands_;
};

TEST_F(TrayTest, AddShowsTheTipAndRemoveTwiceDoesNothingMore) {
    ASSERT_TRUE(tray_.Add(&menu_, wnd_.get(), kTrayNotify, L"unused", L"unused", nullptr));
    EXPECT_EQ(tray_.m_nid.cbSize, 952u);
    auto icons = winplat::TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].hwnd, wnd_->GetHWND());
    EXPECT_EQ(icons[0].id, IconId());
    EXPECT_EQ(icons[0].callbackMessage, kTrayNotify);
    EXPECT_EQ(icons[0].tip, L"Mivora-老王(80012)");

    tray_.Remove();
    EXPECT_TRUE(winplat::TrayIcons().empty());
    EXPECT_FALSE(tray_.m_bAdded);
    tray_.Remove();
    EXPECT_TRUE(winplat::TrayIcons().empty());
}

TEST_F(TrayTest, ALongAliasIsCutToTheTipField) {
    user_->alias = std::string(300, 'a');
    ASSERT_TRUE(tray_.Add(&menu_, wnd_.get(), kTrayNotify, nullptr, nullptr, nullptr));
    auto icons = winplat::TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].tip.size(), 127u);
    EXPECT_EQ(icons[0].tip.compare(0, 9, L"Mivora-aa"), 0);
}

TEST_F(TrayTest, LeftClickTogglesTheWindowAndAForeignIdIsIgnored) {
    ASSERT_TRUE(tray_.Add(&menu_, wnd_.get(), kTrayNotify, nullptr, nullptr, nullptr));
    HWND hwnd = wnd_->GetHWND();
    ASSERT_TRUE(IsWindowVisible(hwnd));

    tray_.OnTrayMessage(IconId() + 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(hwnd));

    ASSERT_TRUE(winplat::ClickTrayIcon(hwnd, IconId(), false));
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    ASSERT_TRUE(winplat::ClickTrayIcon(hwnd, IconId(), false));
    PumpPending();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(g_menu.count, 0);
}

TEST_F(TrayTest, RightButtonUpOpensTheMenuAtTheCursorAndTheCommandReachesTheWindow) {
    ASSERT_TRUE(tray_.Add(&menu_, wnd_.get(), kTrayNotify, nullptr, nullptr, nullptr));
    SetCursorPos(410, 330);
    POINT cursor{};
    GetCursorPos(&cursor);

    ASSERT_TRUE(winplat::ClickTrayIcon(wnd_->GetHWND(), IconId(), true));
    Pump([&] { return !commands_.empty(); });
    ASSERT_EQ(g_menu.count, 1);
    EXPECT_EQ(g_menu.menu, menu_);
    EXPECT_TRUE(g_menu.flags & TPM_BOTTOMALIGN);
    EXPECT_EQ(g_menu.x, cursor.x);
    EXPECT_EQ(g_menu.y, cursor.y);
    ASSERT_EQ(commands_.size(), 1u);
    EXPECT_EQ(commands_[0], kMenuCommand);

    // A foreign id opens nothing.
    tray_.OnTrayMessage(IconId() + 1, WM_RBUTTONUP);
    EXPECT_EQ(g_menu.count, 1);
}

}  // namespace
