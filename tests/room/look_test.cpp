// What a person sees of a room: kind 1 and kind 31 windows with members, saved as
// screenshots, their row names compared with renders of the same text; on a real X
// display a pointer's right click on a member opens the member menu.
#include <QColor>
#include <QImage>

#include <cstdlib>
#include <string>

#include "app/SkinTable.h"
#include "controls/CtrlListFriend.h"
#include "model/UserManager.h"
#include "lobby_fixture.h"
#include "real_display.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"

using namespace DuiLib;
namespace rd = realdisplay;

namespace roomtest {
namespace {

class LookTest : public RoomTest {
protected:
    void Open(int kind) {
        EnterRoom(kind,
                  {Member(kAlice, winplat::WideToAnsi(L"爱丽丝")), Member(kBob, "bob_the_singer"),
                   Member(1234567, winplat::WideToAnsi(L"歌手小王"))});
        d->GetLocalUser()->money = 3000000000LL;
        d->GetLocalUser()->points = 520;
        room->UpdateMyInfo();
        room->FillAllUserList();
        for (int id : {kAlice, 1234567})
            room->GetWaitMicList()->AddUser(d->m_pUserManager->FindUser(id));
        room->UpdateUserListCounts();
        room->InsertHintLine(1, 1, L"正在与房间建立连接...");
        room->ShowWindow(true, true);
        LayOut(room->GetHWND(), room->GetPaintManager());
        PumpPending();
    }
    // Every row's name as drawn matches the name rendered alone.
    void ExpectRowNamesDrawn() {
        CCtrlListFriend* list = room->GetUserList();
        ASSERT_GT(list->GetCount(), 0);
        for (int i = 0; i < list->GetCount(); ++i) {
            CControlUI* part =
                room->GetPaintManager().FindSubControlByName(list->GetItemAt(i), L"calias");
            auto* label = part ? static_cast<CLabelUI*>(part->GetInterface(L"Label")) : nullptr;
            ASSERT_NE(label, nullptr);
            if (IsRectEmpty(&label->GetPos())) continue;  // scrolled out of view
            const std::wstring name(label->GetText());
            const QImage shot = ShotOf(room->GetHWND(), label);
            const QColor bg = shot.pixelColor(0, 0);
            EXPECT_GT(InkMatch(shot, RenderLabel(room->GetPaintManager(), label, name.c_str(),
                                                 false, bg)),
                      0.9)
                << winplat::WideToUtf8(name);
            EXPECT_LT(InkMatch(shot, RenderLabel(room->GetPaintManager(), label, L"另一个名字",
                                                 false, bg)),
                      0.7);
        }
    }
};

TEST_F(LookTest, KindOneWithMembers) {
    Open(1);
    EXPECT_FALSE(SaveShot(room->GetHWND(), "room_kind1").empty());
    ExpectRowNamesDrawn();
}

TEST_F(LookTest, KindThirtyOneWithMembers) {
    Open(31);
    EXPECT_FALSE(SaveShot(room->GetHWND(), "room_kind31").empty());
    ExpectRowNamesDrawn();
}

// The count box beside the count edit is a drop-down button: its arrow and nothing of
// the chosen count, which the edit shows (a "1" cut to a stray tick otherwise), in
// every room layout.
TEST_F(LookTest, CountBoxShowsItsArrowAndNoCutText) {
    for (int kind : {1, 2, 31}) {
        SCOPED_TRACE(kind);
        Open(kind);
        auto* combo = static_cast<CComboUI*>(
            room->GetPaintManager().FindControl(L"giftnumcombo")->GetInterface(L"Combo"));
        ASSERT_NE(combo, nullptr);
        ASSERT_GE(combo->GetCurSel(), 0);
        ASSERT_FALSE(std::wstring(combo->GetText()).empty());
        ASSERT_TRUE(WaitRelaidOut(room->GetHWND(), combo));
        const QImage shot = ShotOf(room->GetHWND(), combo);
        ASSERT_FALSE(shot.isNull());
        const QColor ground = shot.pixelColor(shot.width() / 2, 2);
        // Dark pixels inside the border, left of the arrow and on it.
        int beside = 0, arrow = 0;
        for (int y = 2; y < shot.height() - 2; ++y)
            for (int x = 2; x < shot.width() - 2; ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (std::abs(c.lightness() - ground.lightness()) < 60) continue;
                ++(x < shot.width() - 16 ? beside : arrow);
            }
        EXPECT_EQ(beside, 0) << "ink left of the arrow";
        EXPECT_GT(arrow, 0) << "no arrow";
        shot.save(QString::fromUtf8(MIVORA_ARTIFACT_DIR) +
                  QStringLiteral("room_count_box_%1.png").arg(kind));
        CloseRoomWindow();
    }
}

// A skin change recolours the room's title bar and border with the chat views, for
// every room layout; the pixel is clear of the bar's labels and buttons.
TEST_F(LookTest, TitleBarTakesTheSkinsDarkColour) {
    const int before = g_pCurSkin->id;
    for (int kind : {1, 2, 31}) {
        SCOPED_TRACE(kind);
        Open(kind);
        CControlUI* title = room->GetPaintManager().FindControl(L"roomtitle");
        ASSERT_NE(title, nullptr);
        for (int id : {6, 19, 24}) {
            SCOPED_TRACE(id);
            SelectSkin(id);
            room->ApplySkinColors(g_pCurSkin);
            LayOut(room->GetHWND(), room->GetPaintManager());
            const QImage shot = ShotOf(room->GetHWND(), title);
            ASSERT_FALSE(shot.isNull());
            EXPECT_EQ(shot.pixelColor(3, shot.height() / 2).name(),
                      QColor::fromRgba(FindSkin(id)->crDark).name());
            EXPECT_EQ(room->GetPaintManager().FindControl(L"winBG")->GetBorderColor(),
                      FindSkin(id)->crDark);
        }
        CloseRoomWindow();
    }
    SelectSkin(before);
}

TEST_F(LookTest, ARealRightClickOnAMemberOpensTheMemberMenu) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    Open(1);
    CCtrlListFriend* list = room->GetUserList();
    ASSERT_GT(list->GetCount(), 1);
    CControlUI* row = list->GetItemAt(1);
    ASSERT_TRUE(
        Pump([&] { return rd::OnScreen(room->GetHWND()) && !IsRectEmpty(&row->GetPos()); }));
    openedMenus.clear();
    ASSERT_EQ(rd::ClickControl(room->GetHWND(), row, 3), 0);
    ASSERT_TRUE(Pump([&] { return !openedMenus.empty(); }, 5000));
    EXPECT_EQ(openedMenus[0], room->GetMenuHandle(kMenuListUser));
    EXPECT_EQ(room->GetSelectedUserId(), list->GetRowUserId(row));
    // What the X server shows with the menu open, for a person to look at.
    rd::SettleScreen();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "room_member_menu_xvfb");
}

}  // namespace
}  // namespace roomtest
