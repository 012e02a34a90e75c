// Faults the room window must not have: rows of deleted users, menus and table
// entries that outlive the window, cut balances, foreign pane pointers, and the
// program ending with the media still running.
#include <string>

#include "controls/CtrlListFriend.h"
#include "controls/LuckyMsgBox.h"
#include "kernel/CommKernel.h"
#include "lobby/RoomWindowSeam.h"
#include "model/UserManager.h"
#include "room/VideoMessages.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace roomtest {
namespace {

class FaultsTest : public RoomTest {
protected:
    std::vector<CCtrlListFriend*> Lists() {
        return {room->GetUserList(), room->GetManagerList(), room->GetWaitMicList(),
                room->GetOnMicList()};
    }
    void FillAllFour() {
        for (CCtrlListFriend* list : Lists()) {
            ASSERT_NE(list, nullptr);
            for (int id : {kAlice, kBob}) list->AddUser(d->m_pUserManager->FindUser(id));
            EXPECT_EQ(list->GetCount(), 2);
        }
    }
    // Every row of the four lists clicked, double-clicked and right-clicked.
    void ClickEveryRow() {
        for (CCtrlListFriend* list : Lists()) {
            for (int i = 0; i < list->GetCount(); ++i) {
                for (const wchar_t* type :
                     {DUI_MSGTYPE_ITEMCLICK, DUI_MSGTYPE_ITEMDBCLICK, DUI_MSGTYPE_MENU}) {
                    TNotifyUI msg;
                    msg.sType = type;
                    msg.pSender = list->GetItemAt(i);
                    room->Notify(msg);
                }
            }
            list->RefreshSeals();
        }
    }
};

TEST_F(FaultsTest, AReconnectEmptiesAllFourLists) {
    EnterRoom(31, {Member(kAlice, "alice"), Member(kBob, "bob")});
    FillAllFour();
    room->Reconnect();
    // The kernel deletes the room's users on the rejoin.
    d->m_pUserManager->DelUser(kAlice);
    d->m_pUserManager->DelUser(kBob);
    for (CCtrlListFriend* list : Lists()) EXPECT_EQ(list->GetCount(), 0);
    ClickEveryRow();
    EXPECT_TRUE(openedMenus.empty());
}

TEST_F(FaultsTest, RowsOfADeletedUserAreNeverFollowed) {
    EnterRoom(31, {Member(kAlice, "alice"), Member(kBob, "bob")});
    FillAllFour();
    d->m_pUserManager->DelUser(kAlice);  // still shown: no exit handler ran
    ClickEveryRow();  // the sanitizer build reports any read of alice's freed object
    // A right click still opens its list's menu (by the row's id); its commands find no
    // such user and do nothing.
    EXPECT_EQ(openedMenus.size(), 6u);
    room->m_nSelUserId = kAlice;
    room->SendMessageW(WM_COMMAND, 13913, 0);
    room->SendMessageW(WM_COMMAND, 13910, 0);
}

TEST_F(FaultsTest, LeavingDestroysEveryMenuOnceAndClearsTheTableEntry) {
    EnterRoom(1, {});
    std::vector<HMENU> menus;
    for (int slot = 0; slot < kRoomMenuCount; ++slot)
        if (HMENU m = room->GetMenuHandle(slot)) menus.push_back(m);
    EXPECT_GE(menus.size(), 11u);
    HWND wnd = room->GetHWND();
    HWND banner = room->GetLuckyMsgBox()->GetHWND();
    ASSERT_EQ(CurrentRoomWindow(), static_cast<IRoomWindow*>(room));
    EXPECT_EQ(k->m_pWndTable[2], static_cast<void*>(static_cast<DuiLib::CWindowWnd*>(room)))
        << "the entry holds the window as the chat input reads it";

    // Destroyed other than by the lobby's leave (the entry is not cleared by anyone else).
    ::DestroyWindow(wnd);
    room = nullptr;
    for (HMENU m : menus) EXPECT_FALSE(IsMenu(m));
    EXPECT_EQ(k->m_pWndTable[2], nullptr);
    EXPECT_EQ(CurrentRoomWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(banner));
    EXPECT_FALSE(::KillTimer(wnd, kTimerRoomPing));
}

TEST_F(FaultsTest, BalancesShowWhole) {
    EnterRoom(1, {});
    d->GetLocalUser()->money = 3000000000LL;
    d->GetLocalUser()->points = 12345678901LL;
    room->OnMyWealthChanged();
    EXPECT_EQ(std::wstring(room->GetPaintManager().FindControl(L"sta_nk")->GetText()),
              L"3000000000Z币");
    EXPECT_EQ(std::wstring(room->GetPaintManager().FindControl(L"sta_nb")->GetText()),
              L"12345678901Z豆");
}

TEST_F(FaultsTest, AFramePostWithAForeignPointerIsIgnored) {
    EnterRoom(1, {});
    // Neither a pane nor anything of this window: never followed.
    EXPECT_EQ(room->SendMessageW(UM_VIDEO_FRAME_READY, 0, static_cast<LPARAM>(0x10)), 0);
    EXPECT_EQ(room->SendMessageW(UM_VIDEO_FRAME_READY, 0, 0), 0);
}

TEST_F(FaultsTest, CloseFromTheSystemMenuStopsTheMediaThenEndsTheProgram) {
    EnterRoom(1, {});
    room->SendMessageW(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(room->GetRoomId(), 0) << "media stopped";
    EXPECT_FALSE(::KillTimer(room->GetHWND(), kTimerRoomPing)) << "keep-alive stopped";
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(::IsWindow(room->GetHWND())) << "no exit request, the window stays";
}

}  // namespace
}  // namespace roomtest
