// The room window's timers on the manual clock: the keep-alive, seal expiry and the
// reconnect cycle.
#include <ctime>
#include <string>

#include "controls/CtrlListFriend.h"
#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"

using namespace DuiLib;

namespace roomtest {
namespace {

constexpr int64_t kStart = 1700000000;
const wchar_t kRetrying[] = L"您与房间服务器异常断开正在尝试重新连接，请稍后......";

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class TimersTest : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        winplat::InstallManualClock(kStart);
    }
    void TearDown() override {
        RoomTest::TearDown();
        winplat::RemoveManualClock();
        k->m_pWndTable[1] = nullptr;
    }
    void Advance(uint64_t ms) {
        winplat::AdvanceManualClock(ms);
        PumpPending();
    }
    int Pings() {
        int n = 0;
        for (const SentFrame& f : TakeSent())
            if (f.mainCmd == 105 && f.subCmd == 2) ++n;
        return n;
    }
};

TEST_F(TimersTest, PingsTheRoomEveryFiveSeconds) {
    EnterRoom(1, {});
    Advance(4999);
    Pump([] { return false; }, 50);
    EXPECT_EQ(Pings(), 0);
    Advance(1);
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() > sentSeen; }, 2000));
    EXPECT_EQ(Pings(), 1);
    Advance(5000);
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() > sentSeen; }, 2000));
    EXPECT_EQ(Pings(), 1);
}

TEST_F(TimersTest, AnExpiredSealGoesWithinOneTick) {
    auto alice = Member(kAlice, "alice");
    alice.sealId = 3;
    alice.sealExpiry = static_cast<int32_t>(kStart + 1);
    EnterRoom(1, {alice});
    room->FillAllUserList();
    CCtrlListFriend* list = room->GetUserList();
    ASSERT_EQ(list->GetCount(), 2);
    auto sealOfAlice = [&]() -> std::wstring {
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetRowUserId(list->GetItemAt(i)) == kAlice)
                return room->GetPaintManager().FindSubControlByName(list->GetItemAt(i), L"seal")->GetBkImage();
        return L"?";
    };
    EXPECT_EQ(sealOfAlice(), L"../Seal/3_a.png");
    Advance(2000);  // one tick of the seal timer, past the seal's end
    EXPECT_EQ(sealOfAlice(), L"");
}

TEST_F(TimersTest, ReconnectsEveryTwentySecondsAtMostTwentyTimes) {
    EnterRoom(1, {});
    int lobbyStandIn = 0;
    k->m_pWndTable[1] = &lobbyStandIn;  // a lobby to rejoin through

    servers.room().CloseConnection();
    ASSERT_TRUE(kerneltest::Pump([&] {
        for (const auto& p : notify.posted())
            if (p.msg == UM_SERVER_DISCONNECTED) return true;
        return false;
    }));
    room->OnRoomDisconnected();  // the lobby's relay
    EXPECT_EQ(Count(PrivateText(), L"房间断开连接"), 1u);
    EXPECT_EQ(Count(PrivateText(), kRetrying), 1u);
    EXPECT_EQ(room->GetRoomId(), 0) << "the media stop with the first attempt";

    for (int i = 0; i < 25; ++i) Advance(20000);
    EXPECT_EQ(Count(PrivateText(), kRetrying), 20u);
    EXPECT_EQ(room->GetReconnectCount(), 21) << "the 21st attempt gives up and sets no timer";

    room->InitRoom(kRoom);  // a rejoin that succeeded
    EXPECT_EQ(room->GetReconnectCount(), 0);
}

TEST_F(TimersTest, TheReconnectTimerOutlivesTheMediaStop) {
    EnterRoom(1, {});
    int lobbyStandIn = 0;
    k->m_pWndTable[1] = &lobbyStandIn;
    room->Reconnect();
    EXPECT_EQ(room->GetReconnectCount(), 1);
    room->StopAllMedia();
    Advance(20000);
    EXPECT_EQ(room->GetReconnectCount(), 2);
    room->InitRoom(kRoom);  // kills the reconnect timer
    Advance(20000);
    EXPECT_EQ(room->GetReconnectCount(), 0);
}

}  // namespace
}  // namespace roomtest
