// Answers about chat lines, gifts, fireworks, seals and money.
#include "kernel/dispatch/Handlers.h"
#include "model/FixedText.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace comm {
namespace dispatch {

namespace {
constexpr size_t kChatHeadSize = 67;
constexpr size_t kChatTextLengthAt = 14;
constexpr size_t kLuckyMultipliersAt = 12;
constexpr size_t kNameWidth = 17;
}  // namespace

bool OnChatMsg(const Context& c, const Payload& p, const AnswerEntry& e) {
    // The head's length word counts the text the windows will read.
    if (!p.Has(kChatHeadSize, p.U16(kChatTextLengthAt))) return false;
    c.PostCopy(e.msg, 0, p);
    return true;
}

bool OnGiftRoll(const Context& c, const Payload& p, const AnswerEntry& e) {
    tag_GiftRollInfo& roll = c.data->m_GiftRollInfo;
    roll.nRoomId = p.I32(0);
    roll.nGiverId = p.I32(4);
    roll.nReceiverId = p.I32(8);
    roll.nGiftId = p.I32(12);
    roll.nCount = p.I32(16);
    roll.bAnonymous = p.U8(22);
    roll.nValue24 = p.I32(24);
    SetFixedFieldText(roll.szGiverAlias, kNameWidth, p.Text(33, kNameWidth).c_str());
    SetFixedFieldText(roll.szReceiverAlias, kNameWidth, p.Text(50, kNameWidth).c_str());
    SetFixedFieldText(roll.szThirdName, kNameWidth, p.Text(67, kNameWidth).c_str());
    c.Post(e.msg, 0, 0);
    return true;
}

bool OnLuckyGift(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (!p.Has(kLuckyMultipliersAt, static_cast<size_t>(p.U16(10)) * 2)) return false;
    c.PostCopy(e.msg, 0, p);
    return true;
}

bool OnFireworksBought(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    if (!room || p.I32(4) != c.LocalUserId()) return true;
    int32_t delay = p.I32(8);
    tag_FireworksRecord record;
    record.roomId = p.I32(0);
    record.userId = p.I32(4);
    record.playTime = AddSeconds(Now(), delay);
    record.itemId = p.U16(12);
    record.value = p.U16(14);
    room->fireworks.push_back(record);
    c.Post(e.msg, W(delay), static_cast<LPARAM>(p.U16(12)));
    return true;
}

bool OnFireworksFailed(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (p.I32(4) == c.LocalUserId()) c.Post(e.msg, W(p.I32(8)), static_cast<LPARAM>(p.I32(12)));
    return true;
}

bool OnFireworksPicked(const Context& c, const Payload& p, const AnswerEntry& e) {
    int me = c.LocalUserId();
    if (c.FindRoom(p.I32(0)) && (p.I32(4) == me || p.I32(28) == me))
        c.PostCopy(e.msg, W(p.I32(0)), p);
    return true;
}

bool OnMyWealth(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (p.I32(4) != c.LocalUserId()) return true;
    c.data->m_LocalUser.money = p.I64(8);
    c.data->m_LocalUser.points = p.I64(16);
    c.Post(e.msg, 0, 0);
    return true;
}

bool OnSendSealFailed(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(4)) && p.I32(0) == c.LocalUserId()) c.Post(e.msg, 0, 0);
    return true;
}

bool OnSeal(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(4));
    if (!room) return true;
    if (CUserObj* user = room->FindUser(p.I32(8))) {
        user->sealId = p.U16(12);
        user->sealExpiry = AddSeconds(Now(), static_cast<int32_t>(p.U16(14)) * 60);
    }
    c.PostCopy(e.msg, 0, p);
    return true;
}

bool OnMoneyTransfer(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0))) c.Post(e.msg, W(p.I32(4)), static_cast<LPARAM>(p.I32(12)));
    return true;
}

}  // namespace dispatch
}  // namespace comm
