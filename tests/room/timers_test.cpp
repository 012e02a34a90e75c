// The room window's timers on the manual clock: the keep-alive and seal expiry.
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

class TimersTest : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        winplat::InstallManualClock(kStart);
    }
    void TearDown() override {
        RoomTest::TearDown();
        winplat::RemoveManualClock();
    }
    void Advance(uint64_t ms) {
        winplat::AdvanceManualClock(ms);
        PumpPending();
    }
    int Pings() {
        int n = 0;
        for (const SentFrame& f : TakeSent(true))
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
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() > sentSeen; }));
    EXPECT_EQ(Pings(), 1);
    Advance(5000);
    ASSERT_TRUE(Pump([&] { return servers.room().ReceivedCount() > sentSeen; }));
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
                return room->GetPaintManager()
                    .FindSubControlByName(list->GetItemAt(i), L"seal")
                    ->GetBkImage();
        return L"?";
    };
    EXPECT_EQ(sealOfAlice(), L"../Seal/3_a.png");
    Advance(2000);  // one tick of the seal timer, past the seal's end
    EXPECT_EQ(sealOfAlice(), L"");
}

}  // namespace
}  // namespace roomtest
