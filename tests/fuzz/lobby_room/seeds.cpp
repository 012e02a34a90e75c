// Seeds of the lobby and room window target: short scenes of well-formed answers on
// the room connection (and the logon's main command), as the stand-in servers write
// them, in the target's input form.
#include <initializer_list>
#include <vector>

#include "Answers.h"
#include "SeedWriter.h"

namespace answers = testsupport::answers;
using testsupport::Bytes;

namespace {

constexpr int kMe = 1001, kRoom = 88, kOther = 77, kA = 501, kB = 502, kC = 503, kNew = 600;

// One frame of a whole answer: connection (2: the room's), main command pick (0:
// the room's, 200: the logon's), sub command, then the payload with its length.
void Append(Bytes& input, const Bytes& frame) {
    const uint16_t main = static_cast<uint16_t>(frame[6] | frame[7] << 8);
    const size_t payload = frame.size() - 10;
    input.push_back(2);
    input.push_back(main == answers::kRoomMain ? 0 : 200);
    input.push_back(frame[8]);
    input.push_back(static_cast<uint8_t>(payload));
    input.push_back(static_cast<uint8_t>(payload >> 8));
    input.insert(input.end(), frame.begin() + 10, frame.end());
}

Bytes Scene(std::initializer_list<Bytes> frames) {
    Bytes input;
    for (const Bytes& f : frames) Append(input, f);
    return input;
}

answers::UserEntry Entry(int id) {
    answers::UserEntry u;
    u.userId = id;
    u.roomId = kRoom;
    u.alias = "new";
    return u;
}

}  // namespace

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    answers::ChatLine chat;
    chat.roomId = kRoom;
    chat.senderId = kA;
    chat.senderAlias = "a";
    chat.text = "<b>hello</b> <a href=\"http://example.com/\">x</a>";
    answers::Gift gift;
    gift.roomId = kRoom;
    gift.giverId = kA;
    gift.receiverId = kB;
    gift.giftId = 1;
    gift.count = 3;
    gift.giver = "a";
    gift.receiver = "b";
    answers::Siege siege;
    siege.lordId = kA;
    siege.ladyId = kB;
    siege.lordAlias = "a";
    answers::JoinRoom join;
    join.userId = kMe;
    join.roomId = kRoom;
    join.roomName = "again";
    // Answers as large as the target takes: a list of 48 entries, a win of 2042
    // multipliers, gifts of the largest counts with bases near the 32-bit end.
    std::vector<answers::UserEntry> crowd;
    for (int i = 0; i < 48; ++i) crowd.push_back(Entry(kNew + i));
    crowd[7].roomId = kOther;
    std::vector<int16_t> wins(2042, 10);
    wins[3] = 500;
    wins[5] = 0;
    answers::Gift huge = gift;
    huge.count = 2147483647;
    huge.baseCount = 1;
    answers::Gift offered = gift;
    offered.count = 1314;
    offered.receiverId = kMe;
    offered.baseCount = 2147483000;
    for (const Bytes& scene : {
             Scene({answers::UserListAnswer(crowd), answers::UserListAnswer(crowd),
                    answers::UserListEndAnswer()}),
             Scene({answers::LuckyGiftAnswer(kRoom, kA, 2, wins),
                    answers::LuckyGiftAnswer(kRoom, kMe, 2, wins)}),
             Scene({answers::GiftAnswer(huge), answers::GiftAnswer(offered),
                    answers::GiftAnswer(huge)}),
             // Someone enters while a listed member leaves, is put out, changes.
             Scene({answers::UserEnterAnswer(Entry(kNew)), answers::UserExitAnswer(kRoom, kA),
                    answers::MicStateAnswer(kRoom, kA, kA, 1, 0)}),
             Scene({answers::UserEnterAnswer(Entry(kNew)),
                    answers::KickedOutAnswer(kRoom, kB, kC, 1),
                    answers::UserPriorityAnswer(kRoom, kB, kNew, 1, 2)}),
             Scene({answers::KickedOutAnswer(kRoom, kA, kMe, 1)}),
             Scene({answers::ChatLineAnswer(chat), answers::UserExitAnswer(kRoom, kA),
                    answers::ChatLineAnswer(chat)}),
             Scene({answers::PublicMicChangedAnswer(kRoom, kA, 2, 1, 1, kC, 4),
                    answers::WaitMicListAnswer({kA, kB, kNew}),
                    answers::UpWaitMicAnswer(44, kRoom, kB)}),
             Scene({answers::GiftAnswer(gift), answers::LuckyGiftAnswer(kRoom, kA, 1, {10, 2}),
                    answers::GiftRollAnswer(kRoom, kA, kB, 1, 3, 0, 0, "a", "b", "c")}),
             Scene({answers::SiegeAnswer(siege), answers::SealAnswer(kA, kRoom, kB, 1, 1),
                    answers::WealthAnswer(kRoom, kMe, 10, 20)}),
             Scene({answers::ConnMediaReqAnswer(kRoom, kA, kMe, 1),
                    answers::ConnMediaErrAnswer(kRoom, kMe, kC),
                    answers::ConnMediaRespAnswer(kRoom, kMe, kB)}),
             Scene({answers::RoomTextAnswer(kRoom, 1, "notice"),
                    answers::RoomMediaAnswer(kRoom, "127.0.0.1:9;127.0.0.1:10"),
                    answers::LoudspeakerAnswer(2, "speaker")}),
             Scene({answers::UserAliasAnswer(kRoom, kA, 3, "renamed"),
                    answers::ThrowUserAnswer(kRoom, kB, kA, 1),
                    answers::ForbidInviteAnswer(kRoom, kA, 1)}),
             Scene({answers::JoinRoomAnswer(join), answers::UserListAnswer({Entry(kNew)}),
                    answers::UserListEndAnswer()}),
             Scene({answers::Words(answers::kRoomMain, 36, {kA, kOther}),
                    answers::UserEnterAnswer(Entry(kNew))}),
             Scene({answers::SetUserProfileAnswer(kMe, 0), answers::PasswordAnswer(kMe, 0, 1, "pw"),
                    answers::MoneyTransferAnswer(kRoom, kA, 5)}),
         })
        seeds.Add(scene);
    return 0;
}
