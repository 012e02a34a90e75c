// Playing a bought fireworks item once its time has come (room request 105/58).
#include "kernel/CommKernel.h"
#include "kernel/Frame.h"
#include "util/LogPrint.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"

namespace {
// Items and the recipients they go to.
constexpr uint16_t kItemRoomUsers = 209;
constexpr uint16_t kItemRoomManagers = 216;
// Where the recipient ids start.
constexpr size_t kRecipientsAt = 24;
}  // namespace

void CCommKernel::SendMsg_PlayFireworksReq(unsigned roomId, std::map<int, CUserObj*>* users1,
                                           std::map<int, CUserObj*>* users2) {
    if (!m_pData || !m_pData->m_pRoomManager) return;
    CRoomObj* room = m_pData->m_pRoomManager->FindRoom(static_cast<int>(roomId));
    if (!room || room->fireworks.empty()) return;
    const tag_FireworksRecord record = room->fireworks.front();
    if (static_cast<int64_t>(record.playTime) > _time64(nullptr)) return;
    room->fireworks.pop_front();

    const std::map<int, CUserObj*>* users = nullptr;
    if (record.itemId == kItemRoomUsers)
        users = users1;
    else if (record.itemId == kItemRoomManagers)
        users = users2;
    else
        return;  // no other item is queued for playing
    size_t n = users ? users->size() : 0;
    // A frame holds at most 8192 bytes: a list longer than that is cut to what fits,
    // rather than sending a frame the server cannot take.
    const size_t fits = (static_cast<size_t>(comm::kMaxFrameSize) - kRecipientsAt) / 4;
    if (n > fits) {
        __log_print__("tag_fireworks: %u recipients, only the first %u fit one frame\n",
                      static_cast<unsigned>(n), static_cast<unsigned>(fits));
        n = fits;
    }

    comm::FrameBuilder f(comm::kMainRoom, 58, kRecipientsAt + 4 * n);
    f.PutI32(10, CurRoomId());
    f.PutI32(14, LocalUserId());
    f.PutU16(18, record.itemId);
    f.PutU16(20, record.value);
    uint16_t count = 0;
    size_t at = kRecipientsAt;
    if (users) {
        for (const auto& entry : *users) {
            // The local user is left out; the frame keeps its length, zero at the end.
            if (entry.first == LocalUserId()) continue;
            if (count == n) break;
            f.PutI32(at, entry.first);
            at += 4;
            ++count;
        }
    }
    f.PutU16(22, count);
    SendRoom(f.data(), f.size());
}
