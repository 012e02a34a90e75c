// Answers shorter than their layout, or whose counts and lengths do not fit the
// frame: nothing changes, nothing is posted, one trace line each.
#include "dispatch_fixture.h"
#include "kernel/Notifications.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace dispatchtest {
namespace {

namespace answers = testsupport::answers;
using answers::kLogonMain;
using answers::kRoomMain;
using answers::Shortened;
using answers::Words;
using testsupport::ServerSet;

// A payload of `size` bytes that starts with the room and the local user's id.
Bytes Padded(uint16_t mainCmd, uint16_t subCmd, size_t size) {
    answers::Payload p(size < 8 ? 8 : size);
    p.i32(0, kRoom).i32(4, kMe).resize(size);
    return answers::Frame(mainCmd, subCmd, p);
}

// The frame with the payload's int32 or u16 at `at` replaced.
Bytes WithI32(const Bytes& frame, size_t at, int32_t v) {
    Bytes out = frame;
    for (int i = 0; i < 4; ++i)
        out[10 + at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    return out;
}
Bytes WithU16(const Bytes& frame, size_t at, uint16_t v) {
    Bytes out = frame;
    out[10 + at] = static_cast<uint8_t>(v);
    out[10 + at + 1] = static_cast<uint8_t>(v >> 8);
    return out;
}

// A frame of `length` bytes (header cut short when below 10).
Bytes Raw(uint32_t length) {
    Bytes out(length, 0);
    for (int i = 0; i < 4 && i < static_cast<int>(length); ++i)
        out[i] = static_cast<uint8_t>(length >> (8 * i));
    if (length > 7) out[6] = 105;
    return out;
}

struct Case {
    const char* name;
    ServerSet::Kind server;
    Bytes frame;
};

class Malformed : public SessionTest {};

TEST_F(Malformed, ShortAndInconsistentAnswersAreRefused) {
    answers::UserEntry a, b;
    a.userId = 701;
    b.userId = 702;
    a.roomId = b.roomId = kRoom;
    answers::JoinRoom join;
    join.roomId = kOtherRoom;
    answers::ChatLine chat;
    chat.roomId = kRoom;
    chat.text = "hi there";
    answers::RoomBaseInfo info;
    info.roomId = kRoom;
    answers::RoomGroup group{50, 0, 1, 1, 0, "g", "http://g/"};
    const Bytes list = answers::UserListAnswer({a, b});
    const Bytes mics = answers::PublicMicsAnswer({{1, 1, 701, 5}, {2, 1, 702, 5}});
    const Bytes queue = answers::WaitMicListAnswer({701, 702});
    const Bytes privileges = answers::PrivilegeListAnswer({{4, 1, 1, 0}, {5, 1, 1, 0}});
    const Bytes text = answers::RoomTextAnswer(kRoom, 0, "notice");
    const Bytes chatFrame = answers::ChatLineAnswer(chat);
    const Bytes lucky = answers::LuckyGiftAnswer(kRoom, kUserA, 12, {10, 50});

    const std::vector<Case> cases = {
        // Logon server.
        {"103/4", ServerSet::kLogon, Shortened(answers::LogonFailedAnswer(1, 2, 3), 1)},
        {"103/5", ServerSet::kLogon, Shortened(answers::LogonOkAnswer({}), 1)},
        {"103/7 last entry cut", ServerSet::kLogon, Shortened(privileges, 1)},
        {"103/7 count beyond the frame", ServerSet::kLogon, WithU16(privileges, 0, 0xFFFF)},
        {"103/17 without its address", ServerSet::kLogon,
         Shortened(answers::RoomGroupAnswer(group), 10)},
        {"103/121", ServerSet::kLogon, Padded(kLogonMain, 121, 13)},
        {"103/123", ServerSet::kLogon, Padded(kLogonMain, 123, 7)},
        // Room server.
        {"105/26", ServerSet::kRoom, Padded(kRoomMain, 26, 11)},
        {"105/27", ServerSet::kRoom, Shortened(answers::JoinRoomAnswer(join), 1)},
        {"105/30 last entry cut", ServerSet::kRoom, Shortened(list, 1)},
        {"105/30 count 3 with two entries", ServerSet::kRoom, WithI32(list, 0, 3)},
        {"105/30 huge count", ServerSet::kRoom, WithI32(list, 0, 0x7FFFFFFF)},
        {"105/32", ServerSet::kRoom, Shortened(answers::UserEnterAnswer(a), 1)},
        {"105/33 last entry cut", ServerSet::kRoom, Shortened(mics, 1)},
        {"105/33 negative count", ServerSet::kRoom, WithI32(mics, 0, -1)},
        {"105/36", ServerSet::kRoom, Shortened(Words(kRoomMain, 36, {kUserA, kRoom}), 1)},
        {"105/39", ServerSet::kRoom, Shortened(answers::KickedOutAnswer(kRoom, 1, kUserA, 0), 1)},
        {"105/41", ServerSet::kRoom,
         Shortened(answers::GiftRollAnswer(kRoom, 1, 2, 3, 4, 0, 0, "a", "b", "c"), 1)},
        {"105/42 last id cut", ServerSet::kRoom, Shortened(queue, 1)},
        {"105/42 negative count", ServerSet::kRoom, WithI32(queue, 0, -2)},
        {"105/45 text cut", ServerSet::kRoom, Shortened(chatFrame, 1)},
        {"105/45 length beyond the frame", ServerSet::kRoom, WithU16(chatFrame, 14, 1000)},
        {"105/45 head cut", ServerSet::kRoom, Padded(kRoomMain, 45, 66)},
        {"105/48", ServerSet::kRoom, Padded(kRoomMain, 48, 3)},
        {"105/49", ServerSet::kRoom, Padded(kRoomMain, 49, 83)},
        {"105/55", ServerSet::kRoom,
         Shortened(answers::FireworksBoughtAnswer(kRoom, kMe, 30, 209, 1), 1)},
        {"105/56", ServerSet::kRoom, Padded(kRoomMain, 56, 15)},
        {"105/57", ServerSet::kRoom, Padded(kRoomMain, 57, 35)},
        {"105/59", ServerSet::kRoom, Padded(kRoomMain, 59, 11)},
        {"105/60 multipliers cut", ServerSet::kRoom, Shortened(lucky, 1)},
        {"105/60 count beyond the frame", ServerSet::kRoom, WithU16(lucky, 10, 100)},
        {"105/61 without its text", ServerSet::kRoom, Padded(kRoomMain, 61, 4)},
        {"105/62", ServerSet::kRoom, Shortened(answers::WealthAnswer(kRoom, kMe, 1, 2), 1)},
        {"105/63 without its join text", ServerSet::kRoom,
         Shortened(answers::RoomBaseInfoAnswer(info), 17)},
        {"105/66 without its address list", ServerSet::kRoom, Padded(kRoomMain, 66, 8)},
        {"105/67 text cut", ServerSet::kRoom, Shortened(text, 1)},
        {"105/67 length beyond the frame", ServerSet::kRoom, WithU16(text, 5, 300)},
        {"105/68", ServerSet::kRoom, Padded(kRoomMain, 68, 7)},
        {"105/69", ServerSet::kRoom, Padded(kRoomMain, 69, 12)},
        {"105/70", ServerSet::kRoom, Padded(kRoomMain, 70, 11)},
        {"105/71", ServerSet::kRoom, Padded(kRoomMain, 71, 11)},
        {"105/74", ServerSet::kRoom, Padded(kRoomMain, 74, 3)},
        {"105/75", ServerSet::kRoom, Padded(kRoomMain, 75, 14)},
        {"105/83", ServerSet::kRoom, Shortened(answers::UserAliasAnswer(kRoom, kUserA, 1, "x"), 1)},
        {"105/86", ServerSet::kRoom,
         Shortened(answers::UserPriorityAnswer(kRoom, 1, kUserA, 1, 1), 1)},
        {"105/88 without its address text", ServerSet::kRoom, Padded(kRoomMain, 88, 12)},
        {"105/92", ServerSet::kRoom, Padded(kRoomMain, 92, 12)},
        {"105/94", ServerSet::kRoom, Padded(kRoomMain, 94, 7)},
        {"105/95", ServerSet::kRoom, Shortened(answers::SealAnswer(1, kRoom, kUserA, 1, 1), 1)},
        {"105/102", ServerSet::kRoom,
         Shortened(answers::PublicMicChangedAnswer(kRoom, 1, 1, 2, 1, kUserA, 1), 1)},
        {"105/104", ServerSet::kRoom, Padded(kRoomMain, 104, 7)},
        {"105/105", ServerSet::kRoom, Padded(kRoomMain, 105, 7)},
        {"105/107", ServerSet::kRoom, Padded(kRoomMain, 107, 7)},
        {"105/108", ServerSet::kRoom, Padded(kRoomMain, 108, 17)},
        {"105/113", ServerSet::kRoom, Padded(kRoomMain, 113, 7)},
        {"105/115", ServerSet::kRoom, Padded(kRoomMain, 115, 7)},
        {"105/117", ServerSet::kRoom, Padded(kRoomMain, 117, 7)},
        {"105/121", ServerSet::kRoom, Padded(kRoomMain, 121, 13)},
        {"105/129", ServerSet::kRoom, Padded(kRoomMain, 129, 15)},
        {"105/132", ServerSet::kRoom, Padded(kRoomMain, 132, 15)},
        {"105/135", ServerSet::kRoom, Padded(kRoomMain, 135, 11)},
        {"105/137", ServerSet::kRoom, Padded(kRoomMain, 137, 57)},
        {"105/138", ServerSet::kRoom, Padded(kRoomMain, 138, 57)},
        {"105/144", ServerSet::kRoom, Padded(kRoomMain, 144, 15)},
        // Frames that cannot even hold their header.
        {"5-byte frame", ServerSet::kRoom, Raw(5)},
        {"9-byte frame", ServerSet::kRoom, Raw(9)},
    };

    EnterRoom();
    ConnectLogon();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string before = ModelDigest(d);
        auto posted = Play(c.server, {c.frame});
        EXPECT_TRUE(posted.empty());
        EXPECT_EQ(ModelDigest(d), before);
        EXPECT_EQ(TakeDispatchTraces(), 1);
        FreeCopies();
    }
    // Both connections are still up and in step.
    EXPECT_TRUE(k->IsConnected(SERVER_TYPE_ROOM));
    EXPECT_TRUE(k->IsConnected(SERVER_TYPE_LOGON));
}

TEST_F(Malformed, FieldsFilledToTheirEndStayBounded) {
    EnterRoom();
    answers::UserEntry u;
    u.userId = 703;
    u.roomId = kRoom;
    u.alias = std::string(17, 'q');  // no NUL in the field
    answers::Payload p = answers::UserEntryPayload(u);
    // The entry is the whole frame: the alias runs to the last byte.
    auto posted = PlayRoom({answers::Frame(kRoomMain, 32, p)});
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(d->m_pUserManager->FindUser(703)->alias, std::string(17, 'q'));
    // The copy for the window ends with a NUL after the payload.
    EXPECT_EQ(reinterpret_cast<const char*>(posted[0].lParam)[84], 0);
}

}  // namespace
}  // namespace dispatchtest
