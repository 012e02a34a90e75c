// Each seeded account, logged on and in the open room, is allowed by the program's
// edition rules what the README's seed table says: the rules rank by the user level
// the world gives and the room role it names.
#include <memory>

#include "app/Kelt58UserMVDelegate.h"
#include "model/UserMVManager.h"
#include "session/CommKernelData.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

// The privileges the room window asks before it sends.
constexpr short kPublicMic = 18;
constexpr short kVipMic = 19;
constexpr short kPrivateChat = 4;
constexpr short kLoudspeaker = 5;
constexpr short kAnnouncement = 17;
constexpr short kQueue = 34;
// The room settings ("管理") open with any of these.
constexpr short kSettings[] = {23, 16, 28};

TEST_F(WorldTest, SeededAccountsMayDoWhatTheReadmeSays) {
    const struct {
        const char* who;
        int userId;
        const char* password;
        int roomId;
        bool member;  // private chat, the VIP microphone
        bool speaks;  // a public microphone, the queue, the loudspeaker
        bool announces;
        bool settings;
    } cases[] = {
        {"the owner of 1001", LocalWorld::kMemberId, "111111", LocalWorld::kOpenRoom, true, true,
         true, true},
        {"its manager", LocalWorld::kManagerId, "444444", LocalWorld::kOpenRoom, true, true, true,
         false},
        {"the owner of 1001 in another room", LocalWorld::kMemberId, "111111",
         LocalWorld::kResidentRoom, true, true, false, false},
        {"a registered user", LocalWorld::kUserId, "222222", LocalWorld::kOpenRoom, false, true,
         false, false},
        {"a guest", 0, "", LocalWorld::kOpenRoom, false, false, false, false},
    };
    CKelt58UserMVDelegate edition;
    struct Restore {
        CUserMVManager* rights;
        ~Restore() { rights->SetDelegate(nullptr); }
    } restore{d->m_pUserMVManager};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        ASSERT_TRUE(KernelLogon(c.userId, c.password));
        d->m_pUserMVManager->SetDelegate(&edition);
        ASSERT_TRUE(KernelJoin(c.roomId));
        CUserMVManager& rights = *d->m_pUserMVManager;
        CUserObj* me = d->GetLocalUser();
        EXPECT_EQ(rights.CheckPrivilege(kPrivateChat, me), c.member);
        EXPECT_EQ(rights.CheckPrivilege(kVipMic, me), c.member);
        EXPECT_EQ(rights.CheckPrivilege(kPublicMic, me), c.speaks);
        EXPECT_EQ(rights.CheckPrivilege(kQueue, me), c.speaks);
        EXPECT_EQ(rights.CheckPrivilege(kLoudspeaker, me), c.speaks);
        EXPECT_EQ(rights.CheckPrivilege(kAnnouncement, me), c.announces);
        bool settings = false;
        for (short id : kSettings) settings |= rights.CheckPrivilege(id, me);
        EXPECT_EQ(settings, c.settings);
        k->SendMsg_ExitRoomReq(c.roomId);
        k->DisconnectServer(SERVER_TYPE_ROOM);
        kerneltest::EmptyModel(d);
    }
}

}  // namespace
}  // namespace worldtest
