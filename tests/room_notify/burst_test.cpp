// Bursts: several answers in one read of the room connection. The kernel applies all of
// them to the model before the lobby relays the first notification, so the room window
// handles "B enters" after A's departure already deleted A. Nothing the window does
// then may read a user object the kernel deleted; the delegate below fails the test
// when the edition is asked about one (the sanitizer build also catches any other read).
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "controls/CtrlListFriend.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "notify_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"

namespace roomtest {
namespace {

constexpr int kOtherRoom = 77;

// Ranks sort the lists (managers first); every question names a user the user manager
// still holds, or the test fails without reading the object.
class LiveUsersOnly : public IUserMVManagerDelegate {
public:
    explicit LiveUsersOnly(CCommKernelData* data) : m_data(data) {}
    bool CheckPrivilege(short, CUserObj* user, int* handled) override {
        Check(user);
        return *handled = 1, true;
    }
    bool CheckPrivilege(short, CUserObj* a, CUserObj* b, int* handled) override {
        Check(a);
        Check(b);
        return *handled = 1, true;
    }
    int GetUserFinalLevel(CUserObj* user, int*) override {
        Check(user);
        return 0;
    }
    int GetUserSortId(CUserObj* user, int* handled) override {
        if (!Check(user)) return 0;
        *handled = 1;
        const int rank = user->GetRoomMgrLevel();
        return rank == 0 ? 10 : rank;
    }
    int staleReads = 0;

private:
    bool Check(CUserObj* user) {
        if (!user || user == &m_data->m_LocalUser) return true;
        for (const auto& entry : m_data->m_pUserManager->users)
            if (entry.second == user) return true;
        ++staleReads;
        return false;
    }
    CCommKernelData* m_data;
};

class BurstTest : public NotifyTest {
protected:
    static std::set<int> Listed(CCtrlListFriend* list) {
        const std::vector<int> rows = Rows(list);
        return std::set<int>(rows.begin(), rows.end());
    }
    static answers::ChatLine ChatFrom(int sender, const char* text) {
        answers::ChatLine c;
        c.roomId = kRoom;
        c.senderId = sender;
        c.senderAlias = "alice";
        c.text = text;
        return c;
    }
};

TEST_F(BurstTest, NoHandlerReadsAUserTheSameReadDeleted) {
    answers::LogonOk logon;
    logon.userId = kAlice;
    answers::Siege siege;
    siege.lordId = kAlice;
    // A manager: her sorted inserts meet the row of Alice, the other manager.
    answers::UserEntry carol = Member(kCarol, "carol");
    carol.roomMgrLevel = 3;
    struct Case {
        const char* what;
        std::vector<Bytes> burst;
        std::set<int> members;  // the member list after the burst
        bool aliceKept;
    } cases[] = {
        {"an arrival, then a departure",
         {answers::UserEnterAnswer(carol), answers::UserExitAnswer(kRoom, kAlice)},
         {kMe, kBob, kCarol},
         false},
        {"an arrival, then a put-out",
         {answers::UserEnterAnswer(carol), answers::KickedOutAnswer(kRoom, kMe, kAlice, 1)},
         {kMe, kBob, kCarol},
         false},
        {"the leaver's microphone, rank, chat and castle around his departure",
         {answers::MicStateAnswer(kRoom, kAlice, kAlice, 1, 0),
          answers::ChatLineAnswer(ChatFrom(kAlice, "before")),
          answers::UserPriorityAnswer(kRoom, kMe, kAlice, 1, 2),
          answers::UserExitAnswer(kRoom, kAlice), answers::UserEnterAnswer(carol),
          answers::MicStateAnswer(kRoom, kAlice, kAlice, 0, 255),
          answers::ChatLineAnswer(ChatFrom(kAlice, "after")),
          answers::UserPriorityAnswer(kRoom, kMe, kAlice, 2, 1), answers::SiegeAnswer(siege),
          answers::MicStateAnswer(kRoom, kCarol, kCarol, 1, 1)},
         {kMe, kBob, kCarol},
         false},
        {"one who came and went in the same read",
         {answers::UserEnterAnswer(carol), answers::UserExitAnswer(kRoom, kCarol),
          answers::UserPriorityAnswer(kRoom, kMe, kBob, 1, 1)},
         {kMe, kAlice, kBob},
         true},
        {"a departure naming another room",
         {answers::UserExitAnswer(kOtherRoom, kAlice), answers::UserEnterAnswer(carol)},
         {kMe, kAlice, kBob, kCarol},
         true},
        {"a logon answer and a refusal on the room connection",
         {answers::LogonOkAnswer(logon), answers::LogonFailedAnswer(104, 0, 0),
          answers::UserEnterAnswer(carol)},
         {kMe, kAlice, kBob, kCarol},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiveUsersOnly delegate(d);
        IUserMVManagerDelegate* const before = d->m_pUserMVManager->delegate;
        d->m_pUserMVManager->SetDelegate(&delegate);
        answers::UserEntry alice = Member(kAlice, "alice");
        alice.roomMgrLevel = 3;  // in the sorted manager list too
        Join(1, {alice, Member(kBob, "bob")});
        ASSERT_EQ(Listed(room->GetManagerList()), std::set<int>{kAlice});

        Play(c.burst);
        EXPECT_EQ(Listed(room->GetUserList()), c.members);
        EXPECT_EQ(Listed(room->GetManagerList()).count(kAlice), c.aliceKept ? 1u : 0u);
        EXPECT_EQ(Listed(room->GetOnMicList()).count(kAlice), 0u);
        EXPECT_EQ(User(kAlice) != nullptr, c.aliceKept);
        EXPECT_EQ(d->m_LocalUser.userId, kMe);
        // A later sorted insert and the seal timer go over every row again.
        Play({answers::UserEnterAnswer(Member(kCarol + 1, "dave"))});
        for (CCtrlListFriend* list : {room->GetUserList(), room->GetManagerList()})
            list->RefreshSeals();
        EXPECT_EQ(delegate.staleReads, 0);

        d->m_pUserMVManager->SetDelegate(before);
        lobby->LeaveCurrentRoom();
        PumpPending();
    }
}

}  // namespace
}  // namespace roomtest
