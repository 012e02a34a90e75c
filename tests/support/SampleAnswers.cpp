#include "SampleAnswers.h"

namespace testsupport::answers {

std::vector<Bytes> SampleAnswers() {
    UserEntry a, b, me;
    a.userId = kSampleUserA;
    b.userId = kSampleUserB;
    me.userId = kSampleMe;
    a.roomId = b.roomId = me.roomId = kSampleRoom;
    a.alias = "a";
    JoinRoom join;
    join.userId = kSampleMe;
    join.roomId = kSampleRoom;
    join.roomName = "room";
    join.siegeLordId = kSampleUserA;
    ChatLine chat;
    chat.roomId = kSampleRoom;
    chat.text = "<b>hello</b>";
    LogonOk ok;
    ok.userId = kSampleMe;
    ok.alias = "me";
    const int room = kSampleRoom;
    return {
        LogonOkAnswer(ok),
        LogonFailedAnswer(3, 0, 0),
        PrivilegeListAnswer({{4, 1, 1, 2}, {108, 2, 3, 4}}),
        RoomGroupAnswer({1, 0, 2, 1, 0, "g", "x"}),
        RoomGroupAnswer({2, 1, 2, 1, 0, "h", "y"}),
        RoomGroupListEndAnswer(),
        JoinRoomAnswer(join),
        UserListAnswer({a, b, me}),
        UserEnterAnswer(a),
        UserListEndAnswer(),
        PublicMicsAnswer({{1, 1, kSampleUserA, 3}, {9, 2, kSampleUserB, 3}}),
        WaitMicListAnswer({kSampleUserA, kSampleUserB}),
        PublicMicChangedAnswer(room, kSampleUserB, 3, 2, 1, kSampleUserA, 4),
        ChatLineAnswer(chat),
        RoomTextAnswer(room, 1, "text"),
        RoomMediaAnswer(room, "1.1.1.1:1;2.2.2.2:2"),
        UserAliasAnswer(room, kSampleUserA, 3, "a"),
        UserPriorityAnswer(room, kSampleUserB, kSampleUserA, 1, 2),
        GiftRollAnswer(room, 1, 2, 3, 4, 0, 0, "a", "b", "c"),
        FireworksBoughtAnswer(room, kSampleMe, 1, 209, 1),
        SealAnswer(1, room, kSampleUserA, 1, 1),
        WealthAnswer(room, kSampleMe, 1, 1),
        LuckyGiftAnswer(room, kSampleUserA, 1, {10}),
        KickedOutAnswer(room, kSampleUserB, kSampleUserA, 1),
        // The same user leaving this room and another one.
        Words(kRoomMain, 36, {kSampleUserB, room}),
        Words(kRoomMain, 36, {kSampleUserA, kSampleOtherRoom}),
    };
}

}  // namespace testsupport::answers
