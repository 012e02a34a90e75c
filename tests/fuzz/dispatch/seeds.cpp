// Seeds of the dispatch target: one well-formed answer of each kind the room and
// logon connections carry, as the stand-in servers write them.
#include "Answers.h"
#include "SeedWriter.h"

namespace answers = testsupport::answers;

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    constexpr int kMe = 1001, kRoom = 88, kOtherRoom = 77, kUserA = 501, kUserB = 502;
    answers::UserEntry a, b, me;
    a.userId = kUserA;
    b.userId = kUserB;
    me.userId = kMe;
    a.roomId = b.roomId = me.roomId = kRoom;
    a.alias = "a";
    answers::JoinRoom join;
    join.userId = kMe;
    join.roomId = kRoom;
    join.roomName = "room";
    join.siegeLordId = kUserA;
    answers::ChatLine chat;
    chat.roomId = kRoom;
    chat.text = "<b>hello</b>";
    answers::LogonOk ok;
    ok.userId = kMe;
    ok.alias = "me";
    for (const auto& frame : {
             answers::LogonOkAnswer(ok),
             answers::LogonFailedAnswer(3, 0, 0),
             answers::PrivilegeListAnswer({{4, 1, 1, 2}, {108, 2, 3, 4}}),
             answers::RoomGroupAnswer({1, 0, 2, 1, 0, "g", "x"}),
             answers::RoomGroupListEndAnswer(),
             answers::JoinRoomAnswer(join),
             answers::UserListAnswer({a, b, me}),
             answers::UserEnterAnswer(a),
             answers::UserListEndAnswer(),
             answers::PublicMicsAnswer({{1, 1, kUserA, 3}, {9, 2, kUserB, 3}}),
             answers::WaitMicListAnswer({kUserA, kUserB}),
             answers::PublicMicChangedAnswer(kRoom, kUserB, 3, 2, 1, kUserA, 4),
             answers::ChatLineAnswer(chat),
             answers::RoomTextAnswer(kRoom, 1, "text"),
             answers::RoomMediaAnswer(kRoom, "1.1.1.1:1;2.2.2.2:2"),
             answers::UserAliasAnswer(kRoom, kUserA, 3, "a"),
             answers::UserPriorityAnswer(kRoom, kUserB, kUserA, 1, 2),
             answers::GiftRollAnswer(kRoom, 1, 2, 3, 4, 0, 0, "a", "b", "c"),
             answers::FireworksBoughtAnswer(kRoom, kMe, 1, 209, 1),
             answers::SealAnswer(1, kRoom, kUserA, 1, 1),
             answers::WealthAnswer(kRoom, kMe, 1, 1),
             answers::LuckyGiftAnswer(kRoom, kUserA, 1, {10}),
             answers::KickedOutAnswer(kRoom, kUserB, kUserA, 1),
             answers::Words(answers::kRoomMain, 36, {kUserB, kRoom}),
             answers::Words(answers::kRoomMain, 36, {kUserA, kOtherRoom}),
         })
        seeds.Add(frame);
    return 0;
}
