// The window messages of the program and the kernel's notifications share the lobby
// and the room window as receivers: two of them with one value would reach the
// handler of the other, with the other's payload.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/ClientApp.h"
#include "app/RoomView.h"
#include "controls/REWindowWnd.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/WndRoomExchange.h"
#include "kernel/KernelDefs.h"
#include "kernel/Notifications.h"
#include "lobby/JoinOtherRoom.h"
#include "lobby/LogonCheck.h"
#include "lobby/WndLobby.h"
#include "room/RoomMessages.h"
#include "room/VideoMessages.h"

namespace {

#define ID(name) \
    { #name, name }
const struct {
    const char* name;
    UINT id;
} kMessages[] = {
    // The kernel's sockets and notifications.
    ID(UM_SOCKET_LOGON),
    ID(UM_SOCKET_LOBBY),
    ID(UM_SOCKET_ROOM),
    ID(UM_SERVER_CONNECTED),
    ID(UM_SERVER_DISCONNECTED),
    ID(UM_SERVER_CONNECT_ERROR),
    ID(UM_LOGON_OK),
    ID(UM_LOGON_FAILED),
    ID(UM_ROOM_GROUP_LIST_END),
    ID(UM_JOIN_ROOM_OK),
    ID(UM_JOIN_ROOM_FAILED),
    ID(UM_ROOM_USER_LIST),
    ID(UM_ROOM_USER_LIST_END),
    ID(UM_USER_ENTER_ROOM),
    ID(UM_WAIT_MIC_LIST_CHANGED),
    ID(UM_PUBLIC_MIC_INFO),
    ID(UM_ROOM_NOTICE_TEXT),
    ID(UM_USER_KICKED_OUT),
    ID(UM_USER_EXIT_ROOM),
    ID(UM_MIC_STATE_CHANGED),
    ID(UM_MIC_STATE_FAILED),
    ID(UM_ROOM_CHAT_MSG),
    ID(UM_TRADE_GIFT_FAILED),
    ID(UM_TRADE_GIFT_NOTIFY),
    ID(UM_MY_WEALTH_CHANGED),
    ID(UM_LOUDSPEAKER_MSG),
    ID(UM_LUCKY_GIFT_REWARD),
    ID(UM_GIFT_ROLL_INFO),
    ID(UM_ROOM_ATTR_CHANGED),
    ID(UM_ROOM_INFO_CHANGED),
    ID(UM_WAIT_MIC_INDEX_CHANGED),
    ID(UM_THROW_USER_NOTIFY),
    ID(UM_USER_PRIORITY_CHANGED),
    ID(UM_PUBLIC_MIC_CHANGED),
    ID(UM_SET_ROOM_NOTICE_RESP),
    ID(UM_SET_ROOM_INFO_RESP),
    ID(UM_SET_ROOM_OP_STATUS_RESP),
    ID(UM_SET_USER_PROFILE_RESP),
    ID(UM_SET_USER_PWD_RESP),
    ID(UM_MV_ZHINGXING_RESP),
    ID(UM_MV_KUXIN_RESP),
    ID(UM_USER_ALIAS_CHANGED),
    ID(UM_MONEY_TRANSFER_NOTIFY),
    ID(UM_MONEY_OP_FAILED),
    ID(UM_ROOM_MEDIA_CHANGED),
    ID(UM_FIREWORKS_PICKED),
    ID(UM_TRADE_FIREWORKS_FAILED),
    ID(UM_PLAY_FIREWORKS_NOTIFY),
    ID(UM_WAIT_MIC_LIMIT_SET_OK),
    ID(UM_WAIT_MIC_LIMIT_CHANGED),
    ID(UM_UP_WAIT_MIC_OK),
    ID(UM_OPERATE_WAIT_MIC_RESP),
    ID(UM_SEAL_NOTIFY),
    ID(UM_SEND_SEAL_FAILED),
    ID(UM_TRADE_FIREWORKS_OK),
    ID(UM_UP_WAIT_MIC_LIMIT_EXCEEDED),
    ID(UM_SEE_USER_IP_RESP),
    ID(UM_FORBID_INVITE_UP_MIC_RESP),
    ID(UM_SIEGE_STATE),
    ID(UM_OPEN_CHEST_RESP),
    ID(UM_CONN_MEDIA_REQ),
    ID(UM_CONN_MEDIA_RESP),
    ID(UM_CONN_MEDIA_ERR),
    // The program's own, floor by floor.
    ID(UM_CHAT_INPUT_ENTER),
    ID(UM_GAME_LINK_CLOSE),
    ID(UM_SEAL_CHOSEN),
    ID(UM_AUDIO_DEVICE_CHANGED),
    ID(UM_FINDER_JOIN_ROOM),
    ID(UM_REFRESH_BALANCE),
    ID(UM_JOIN_OTHER_ROOM),
    ID(UM_LOGON_CHECK_STAGE),
    ID(UM_RELOAD_AUDIO_DEVICE),
    ID(UM_TRAY_NOTIFY),
    ID(UM_SHOW_SEAL_WND),
    ID(UM_SHOW_WORD_GIFT_WND),
    ID(UM_EFFECT_PLAYER_MISSING),
    ID(UM_OWNER_MOVED),
    ID(UM_VIDEO_FRAME_READY),
    ID(UM_PANE_QUICK_GIFT),
    ID(UM_POPUP_VIDEO_CLOSED),
    ID(UM_MUTE_USER_AUDIO),
    ID(UM_MUTE_USER_VIDEO),
    ID(UM_SELECT_TARGET_USER),
};
#undef ID

TEST(MessageIds, NoTwoShareAValue) {
    std::map<UINT, std::string> seen;
    for (const auto& m : kMessages) {
        auto [at, fresh] = seen.emplace(m.id, m.name);
        EXPECT_TRUE(fresh) << m.name << " and " << at->second << " are both " << m.id;
    }
}

}  // namespace
