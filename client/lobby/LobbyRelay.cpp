// The lobby's message table for the kernel's notifications: what the lobby does
// itself, and which room-window handler each room notification is relayed to. A
// payload copy in lParam belongs to the lobby's message handler, which frees it after
// the handling (comm::NotificationCopy); the relay and the handlers never keep it.
#include "lobby/LobbyRelay.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <vector>

#include "controls/KernelData.h"
#include "dialogs/DialogMessages.h"
#include "kernel/CommKernel.h"
#include "lobby/AnsiText.h"
#include "lobby/JoinOtherRoom.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/WndLobby.h"
#include "model/FixedText.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

namespace {

using NoArg = void (IRoomWindow::*)();
using IntArg = void (IRoomWindow::*)(int);
using TwoArgs = void (IRoomWindow::*)(int, int);
using PayloadArg = void (IRoomWindow::*)(const char*);

// What a handler takes from the message.
enum class From { kLParam, kWParam };

struct NoArgRow {
    UINT msg;
    NoArg handler;
};
struct IntRow {
    UINT msg;
    From from;
    IntArg handler;
};
struct TwoArgRow {
    UINT msg;
    TwoArgs handler;  // (wParam, lParam)
};
struct PayloadRow {
    UINT msg;
    PayloadArg handler;  // lParam is the payload
};

const NoArgRow kNoArgRows[] = {
    {UM_ROOM_USER_LIST_END, &IRoomWindow::OnRoomUserListEnd},
    {UM_WAIT_MIC_LIST_CHANGED, &IRoomWindow::OnWaitMicListChanged},
    {UM_MY_WEALTH_CHANGED, &IRoomWindow::OnMyWealthChanged},
    {UM_GIFT_ROLL_INFO, &IRoomWindow::OnGiftRollNotify},
    {UM_ROOM_ATTR_CHANGED, &IRoomWindow::OnRoomAttrChanged},
    {UM_ROOM_INFO_CHANGED, &IRoomWindow::OnRoomInfoChanged},
    {UM_MONEY_OP_FAILED, &IRoomWindow::OnMoneyOpFailed},
    {UM_ROOM_MEDIA_CHANGED, &IRoomWindow::OnRoomMediaChanged},
    {UM_WAIT_MIC_LIMIT_SET_OK, &IRoomWindow::OnWaitMicLimitSetOk},
    {UM_WAIT_MIC_LIMIT_CHANGED, &IRoomWindow::OnWaitMicLimitChanged},
    {UM_UP_WAIT_MIC_OK, &IRoomWindow::OnUpWaitMicOk},
    {UM_SEND_SEAL_FAILED, &IRoomWindow::OnSendSealFailed},
    {UM_UP_WAIT_MIC_LIMIT_EXCEEDED, &IRoomWindow::OnUpWaitMicLimitExceeded},
    {UM_RELOAD_AUDIO_DEVICE, &IRoomWindow::ReloadAudioDevice},
};

const IntRow kIntRows[] = {
    {UM_PUBLIC_MIC_INFO, From::kLParam, &IRoomWindow::OnPubMicInfoChanged},
    {UM_SET_ROOM_NOTICE_RESP, From::kLParam, &IRoomWindow::OnSetRoomNoticeResp},
    {UM_SET_ROOM_INFO_RESP, From::kLParam, &IRoomWindow::OnSetRoomInfoResp},
    {UM_SET_ROOM_OP_STATUS_RESP, From::kLParam, &IRoomWindow::OnSetRoomOpStatusResp},
    {UM_USER_ALIAS_CHANGED, From::kWParam, &IRoomWindow::OnUserAliasChanged},
    {UM_OPERATE_WAIT_MIC_RESP, From::kLParam, &IRoomWindow::OnOperateWaitMicResp},
    {UM_FORBID_INVITE_UP_MIC_RESP, From::kLParam, &IRoomWindow::OnForbidInviteUpMicResp},
};

const TwoArgRow kTwoArgRows[] = {
    {UM_MONEY_TRANSFER_NOTIFY, &IRoomWindow::OnMoneyTransferNotify},
    {UM_TRADE_FIREWORKS_FAILED, &IRoomWindow::OnTradeFireworksFailed},
    {UM_TRADE_FIREWORKS_OK, &IRoomWindow::OnTradeFireworksOk},
};

const PayloadRow kPayloadRows[] = {
    {UM_MIC_STATE_CHANGED, &IRoomWindow::OnUserMicStateChanged},
    {UM_MIC_STATE_FAILED, &IRoomWindow::OnMicStateFailed},
    {UM_TRADE_GIFT_FAILED, &IRoomWindow::OnTradeGiftFailed},
    {UM_TRADE_GIFT_NOTIFY, &IRoomWindow::OnTradeGiftNotify},
    {UM_LOUDSPEAKER_MSG, &IRoomWindow::OnLoudspeakerMsg},
    {UM_LUCKY_GIFT_REWARD, &IRoomWindow::OnLuckyGiftReward},
    {UM_WAIT_MIC_INDEX_CHANGED, &IRoomWindow::OnWaitMicIndexChanged},
    {UM_THROW_USER_NOTIFY, &IRoomWindow::OnUserBanned},
    {UM_USER_PRIORITY_CHANGED, &IRoomWindow::OnUserPriorityChanged},
    {UM_PUBLIC_MIC_CHANGED, &IRoomWindow::OnMicTypeChanged},
    {UM_FIREWORKS_PICKED, &IRoomWindow::OnFireworksPicked},
    {UM_PLAY_FIREWORKS_NOTIFY, &IRoomWindow::OnPlayFireworksNotify},
    {UM_SEAL_NOTIFY, &IRoomWindow::OnSealNotify},
    {UM_SEE_USER_IP_RESP, &IRoomWindow::OnSeeUserIpResp},
    {UM_SIEGE_STATE, &IRoomWindow::OnSiegeStateChanged},
    {UM_OPEN_CHEST_RESP, &IRoomWindow::OnOpenChestResp},
    {UM_CONN_MEDIA_REQ, &IRoomWindow::OnConnMediaRequest},
    {UM_CONN_MEDIA_RESP, &IRoomWindow::OnConnMediaResp},
    {UM_CONN_MEDIA_ERR, &IRoomWindow::OnConnMediaErr},
    {UM_MV_KUXIN_RESP, nullptr},  // freed only
};

// The size of one entry of the room's user list.
constexpr size_t kUserEntrySize = 84;

template <class Row, size_t N>
void AppendMessages(std::vector<UINT>& ids, const Row (&rows)[N]) {
    for (const Row& row : rows) ids.push_back(row.msg);
}

int32_t ReadI32(const char* payload, size_t offset) {
    int32_t v = 0;
    std::memcpy(&v, payload + offset, sizeof(v));
    return v;
}

}  // namespace

const std::vector<UINT>& RelayedPayloadNotifications() {
    static const std::vector<UINT> ids = [] {
        std::vector<UINT> v;
        AppendMessages(v, kPayloadRows);
        return v;
    }();
    return ids;
}

const std::vector<UINT>& RelayedValueNotifications() {
    static const std::vector<UINT> ids = [] {
        std::vector<UINT> v;
        AppendMessages(v, kNoArgRows);
        AppendMessages(v, kIntRows);
        AppendMessages(v, kTwoArgRows);
        return v;
    }();
    return ids;
}

void FreePendingJoinPosts(HWND lobby) {
    if (!lobby) return;
    MSG msg;
    while (::PeekMessageW(&msg, lobby, UM_JOIN_OTHER_ROOM, UM_JOIN_OTHER_ROOM, PM_REMOVE))
        delete reinterpret_cast<tagJoinOtherRoom*>(msg.lParam);
    while (::PeekMessageW(&msg, lobby, UM_FINDER_JOIN_ROOM, UM_FINDER_JOIN_ROOM, PM_REMOVE))
        delete reinterpret_cast<tagJoinRoomPost*>(msg.lParam);
}

bool CWndLobby::RelayRoomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    IRoomWindow* room = CurrentRoomWindow();
    char* payload = reinterpret_cast<char*>(lParam);

    for (const NoArgRow& row : kNoArgRows)
        if (row.msg == uMsg) {
            if (room) (room->*row.handler)();
            return true;
        }
    for (const IntRow& row : kIntRows)
        if (row.msg == uMsg) {
            int value = static_cast<int>(row.from == From::kLParam ? lParam : wParam);
            if (room) (room->*row.handler)(value);
            return true;
        }
    for (const TwoArgRow& row : kTwoArgRows)
        if (row.msg == uMsg) {
            if (room) (room->*row.handler)(static_cast<int>(wParam), static_cast<int>(lParam));
            return true;
        }
    for (const PayloadRow& row : kPayloadRows)
        if (row.msg == uMsg) {
            if (room && row.handler && payload) (room->*row.handler)(payload);
            return true;
        }

    switch (uMsg) {
        case UM_SERVER_CONNECTED:
            LobbyTrace("connect server succeeded! eventId=%d\n", static_cast<int>(wParam));
            return true;
        case UM_SERVER_DISCONNECTED:
            LobbyTrace("server disconnected! eventId=%d\n", static_cast<int>(wParam));
            if (wParam == SERVER_TYPE_ROOM && room) room->OnRoomDisconnected();
            return true;
        case UM_SERVER_CONNECT_ERROR:
            LobbyTrace("connect server error! eventId=%d\n", static_cast<int>(wParam));
            if (wParam == SERVER_TYPE_ROOM) OnJoinConnectError();
            return true;
        case UM_JOIN_ROOM_OK: {
            OnJoinOk(static_cast<int>(wParam), payload);
            return true;
        }
        case UM_JOIN_ROOM_FAILED: {
            OnJoinFailed(payload);
            return true;
        }
        case UM_ROOM_USER_LIST: {
            if (!room || !payload) return true;
            int32_t count = ReadI32(payload, 0);
            for (int32_t i = 0; i < count; ++i) {
                size_t at = 4 + static_cast<size_t>(i) * kUserEntrySize;
                if (CUserObj* user = KnownUser(ReadI32(payload, at))) room->OnUserEnterRoom(user);
            }
            return true;
        }
        case UM_USER_ENTER_ROOM: {
            if (room && payload)
                if (CUserObj* user = KnownUser(ReadI32(payload, 0))) room->OnUserEnterRoom(user);
            return true;
        }
        case UM_ROOM_NOTICE_TEXT: {
            if (!room) return true;
            CRoomObj* r = KnownRoom(room->GetRoomId());
            int index = static_cast<int>(lParam);
            if (!r || index < 0 || index >= ROOM_TEXT_COUNT) return true;
            std::wstring text = WideFromAnsi(r->roomTexts[index], KernelCodePage());
            room->OnRoomNoticeText(index, text.c_str());
            return true;
        }
        case UM_USER_KICKED_OUT: {
            OnKickedOut(payload);
            return true;
        }
        case UM_USER_EXIT_ROOM: {
            CCommKernelData* data = KernelData();
            if (!room || !payload || !data) return true;
            int userId = ReadI32(payload, 0);
            if (userId != data->GetLocalUser()->userId) room->OnUserExitRoom(userId);
            return true;
        }
        case UM_ROOM_CHAT_MSG: {
            if (room && payload)
                room->OnRoomChatMsg(reinterpret_cast<tag_CMDRoomChatMsg*>(payload), 0);
            return true;
        }
        case UM_SET_USER_PROFILE_RESP: {
            OnProfileAnswer(payload);
            return true;
        }
        case UM_SET_USER_PWD_RESP: {
            OnPasswordAnswer(payload);
            return true;
        }
        case UM_MV_ZHINGXING_RESP:
        case 11080:
            return true;
        case UM_JOIN_OTHER_ROOM: {
            auto* block = reinterpret_cast<tagJoinOtherRoom*>(lParam);
            if (block) {
                // The gate address is wide text, read within its field.
                std::wstring gate(block->szGateAddr,
                                  wcsnlen(block->szGateAddr, std::size(block->szGateAddr)));
                delete block;
                JoinRoom(static_cast<int>(wParam), 1, gate.c_str());
            }
            return true;
        }
        case UM_FINDER_JOIN_ROOM: {
            auto* block = reinterpret_cast<tagJoinRoomPost*>(lParam);
            if (block) {
                tagJoinRoomPost copy = *block;
                delete block;
                copy.szGateAddr[127] = L'\0';
                JoinRoom(copy.nRoomId, copy.nFlag, copy.szGateAddr);
            }
            return true;
        }
        default:
            return false;
    }
}
