// The castle siege of a room: the block the server sends, the lord's and lady's
// badges in the user lists, and the strip that tells who holds the castle and for how
// long.
#include "controls/CtrlListFriend.h"
#include "kernel/CommKernel.h"
#include "kernel/dispatch/Dispatch.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "room/NotifyLines.h"
#include "room/NotifyPayload.h"
#include "room/RoomSession.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32/clock.h"

using namespace DuiLib;

using roomsession::FindRoom;

namespace {

constexpr uint16_t kSiegeAnswer = 137;
// The strip's one-second rewrite while the castle is held.
constexpr UINT_PTR kSiegeStripTimer = 320;

void CALLBACK SiegeStripTick(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    CWndRoom* room = GetRegisteredRoomWindow();
    if (!room || room->GetHWND() != hwnd) {
        ::KillTimer(hwnd, id);
        return;
    }
    room->RedrawSiegeStrip();
}

bool Held(const tag_SiegeInfo& siege) {
    return siege.lordId != 0 && siege.ladyId != 0;
}

}  // namespace

void CWndRoom::OnSiegeStateChanged(const char* payload) {
    const NotifyPayload p(payload, kSiegeAnswer);
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!p.Valid() || !room) return;
    // The holders before the block is overwritten.
    const int oldLord = Held(room->siege) ? room->siege.lordId : 0;
    const int oldLady = Held(room->siege) ? room->siege.ladyId : 0;
    StoreSiegeBlock(&room->siege, p.Bytes(), p.Size());
    RedrawSiegeStrip();

    // A block that names nobody (or only one of the two) leaves the castle vacant.
    const int newLord = Held(room->siege) ? room->siege.lordId : 0;
    const int newLady = Held(room->siege) ? room->siege.ladyId : 0;
    const struct {
        int id;
        uint32_t clear;
        uint32_t set;
    } changes[] = {
        {oldLord, oldLord != newLord ? USER_FLAG_CASTLE_LORD : 0u, 0u},
        {oldLady, oldLady != newLady ? USER_FLAG_CASTLE_LADY : 0u, 0u},
        {newLord, 0u, USER_FLAG_CASTLE_LORD},
        {newLady, 0u, USER_FLAG_CASTLE_LADY},
    };
    for (const auto& c : changes) {
        CUserObj* user = c.id ? room->FindUser(c.id) : nullptr;
        if (!user) continue;
        const uint32_t before = user->flags;
        user->flags = (user->flags & ~c.clear) | c.set;
        if (user->flags != before) ResortUserRows(user);
    }
}

void CWndRoom::RedrawSiegeStrip() {
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room || !m_pSiegeTextOut) {
        ::KillTimer(m_hWnd, kSiegeStripTimer);
        return;
    }
    m_pSiegeTextOut->Clear();
    m_pSiegeTextOut->WriteBlock(NotifyLines::SiegeStrip(room->siege, _time64(nullptr)).c_str(), 0);
    if (Held(room->siege))
        ::SetTimer(m_hWnd, kSiegeStripTimer, 1000, SiegeStripTick);
    else
        ::KillTimer(m_hWnd, kSiegeStripTimer);
}
