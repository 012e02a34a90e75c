// Answers about the public microphones and the wait-microphone queue.
#include "kernel/dispatch/Handlers.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"

namespace comm {
namespace dispatch {

namespace {
constexpr size_t kMicEntrySize = 10;
constexpr size_t kWaitMicIdSize = 4;
}  // namespace

bool OnPublicMics(const Context& c, const Payload& p, const AnswerEntry& e) {
    int32_t count = p.I32(0);
    if (count < 0 || !p.Has(4, static_cast<size_t>(count) * kMicEntrySize)) return false;
    CRoomObj* room = c.CurrentRoom();
    if (!room) return true;
    for (int32_t n = 0; n < count; ++n) {
        size_t at = 4 + static_cast<size_t>(n) * kMicEntrySize;
        int index = p.U16(at);
        if (index >= ROOM_PUBLIC_MIC_COUNT) continue;
        tag_PubMicInfo& mic = room->pubMics[index];
        mic.userId = p.I32(at + 4);
        mic.micTime = static_cast<int16_t>(p.U16(at + 8));
        mic.micType = static_cast<int16_t>(p.U16(at + 2));
        mic.startTime = Now();
        c.Post(e.msg, W(c.CurRoomId()), static_cast<LPARAM>(index));
    }
    return true;
}

bool OnWaitMicList(const Context& c, const Payload& p, const AnswerEntry& e) {
    int32_t count = p.I32(0);
    if (count < 0 || !p.Has(4, static_cast<size_t>(count) * kWaitMicIdSize)) return false;
    CRoomObj* room = c.CurrentRoom();
    if (!room) return true;
    room->ClearPaiMicData();
    std::vector<int>* queue = room->GetWaitMicUserIds();
    for (int32_t n = 0; n < count; ++n) queue->push_back(p.I32(4 + static_cast<size_t>(n) * 4));
    c.Post(e.msg, W(c.CurRoomId()), 0);
    return true;
}

bool OnPublicMicChanged(const Context& c, const Payload& p, const AnswerEntry& e) {
    CRoomObj* room = c.FindRoom(p.I32(0));
    int index = p.U8(8);
    if (!room || index >= ROOM_PUBLIC_MIC_COUNT) return true;
    tag_PubMicInfo& mic = room->pubMics[index];
    mic.userId = p.I32(12);
    mic.micTime = static_cast<int16_t>(p.U16(16));
    mic.startTime = Now();
    if (p.U8(9) == 2) mic.micType = static_cast<int16_t>(p.U16(10));
    c.Post(UM_PUBLIC_MIC_INFO, W(p.I32(0)), static_cast<LPARAM>(index));
    c.PostCopy(e.msg, W(p.I32(0)), p);
    return true;
}

bool OnUpWaitMic(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0)) && p.I32(4) == c.LocalUserId()) c.Post(e.msg, 0, 0);
    return true;
}

bool OnOperateWaitMicResp(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0))) c.Post(e.msg, 0, static_cast<LPARAM>(p.I32(4)));
    return true;
}

bool OnWaitMicIndex(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0)) && p.I32(8) == c.LocalUserId()) c.PostCopy(e.msg, 0, p);
    return true;
}

}  // namespace dispatch
}  // namespace comm
