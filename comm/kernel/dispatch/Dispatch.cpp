#include "kernel/dispatch/Dispatch.h"

#include <algorithm>
#include <iterator>

#include "kernel/NotificationCopy.h"
#include "kernel/Notifications.h"
#include "kernel/dispatch/Handlers.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

namespace comm {
namespace dispatch {

namespace {

constexpr uint16_t kMainLogon = 103;
constexpr uint16_t kMainRoom = 105;
constexpr int kHeaderSize = 10;

// Every answer the client decodes with the bytes its fixed part needs. The layouts
// of answers that are only copied for the windows are the fields those windows read
// (mostly the request records the servers echo). A text that ends the layout needs at
// least its first byte: an answer without it is short, not one with an empty text.
const AnswerEntry kAnswers[] = {
    // Logon server.
    {kMainLogon, 4, 12, UM_LOGON_FAILED, OnLogonFailed},
    {kMainLogon, 5, 80, UM_LOGON_OK, OnLogonOk},
    {kMainLogon, 7, 2, 0, OnPrivilegeList},  // + 10 per entry
    {kMainLogon, 9, 0, UM_ROOM_GROUP_LIST_END, OnRoomGroupListEnd},
    {kMainLogon, 17, 38, 0, OnRoomGroup},  // name at 20, address at 37
    {kMainLogon, 119, 0, UM_SET_USER_PROFILE_RESP, PostCopy0},
    {kMainLogon, 121, 14, UM_SET_USER_PWD_RESP, PostCopy0},  // id, int, result, flag, text
    {kMainLogon, 123, 8, UM_MV_ZHINGXING_RESP, OnMvZhingxingResp},
    {kMainLogon, 125, 0, UM_MV_KUXIN_RESP, PostCopy0},
    // Room server: join, room information, texts and media.
    {kMainRoom, 26, 12, UM_JOIN_ROOM_FAILED, PostCopy0},  // code is the third int
    {kMainRoom, 27, 291, UM_JOIN_ROOM_OK, OnJoinRoom},
    {kMainRoom, 31, 0, UM_ROOM_USER_LIST_END, OnUserListEnd},
    {kMainRoom, 63, 69, UM_ROOM_INFO_CHANGED, OnRoomBaseInfo},  // name field to 68, text
    {kMainRoom, 66, 9, UM_ROOM_MEDIA_CHANGED, OnRoomMedia},     // the list from 8
    {kMainRoom, 67, 7, UM_ROOM_NOTICE_TEXT, OnRoomText},        // + text length
    {kMainRoom, 68, 8, UM_ROOM_ATTR_CHANGED, OnRoomAttr},
    {kMainRoom, 113, 8, UM_SET_ROOM_INFO_RESP, PostResultIfRoom0},
    {kMainRoom, 115, 8, UM_SET_ROOM_OP_STATUS_RESP, PostResultIfRoom0},
    {kMainRoom, 117, 8, UM_SET_ROOM_NOTICE_RESP, PostResultIfRoom0},
    {kMainRoom, 132, 16, 0, OnWaitMicLimits},
    // Users.
    {kMainRoom, 30, 4, UM_ROOM_USER_LIST, OnUserList},  // + 84 per entry
    {kMainRoom, 32, 84, UM_USER_ENTER_ROOM, OnUserEnter},
    {kMainRoom, 36, 8, UM_USER_EXIT_ROOM, OnUserExit},
    {kMainRoom, 39, 17, UM_USER_KICKED_OUT, OnUserKickedOut},  // room, actor, user, reason, byte
    {kMainRoom, 69, 13, UM_CONN_MEDIA_REQ, PostCopyIfRoom0},   // room, requester, target, op
    {kMainRoom, 70, 12, UM_CONN_MEDIA_RESP, PostCopyIfRoom0},
    {kMainRoom, 71, 12, UM_CONN_MEDIA_ERR, PostCopyIfRoom0},
    {kMainRoom, 83, 29, UM_USER_ALIAS_CHANGED, OnUserAlias},  // room, user, face, alias
    {kMainRoom, 86, 14, UM_USER_PRIORITY_CHANGED, OnUserPriority},
    {kMainRoom, 88, 13, UM_SEE_USER_IP_RESP, OnSeeUserIp},       // address text from 12
    {kMainRoom, 92, 13, UM_THROW_USER_NOTIFY, PostCopyIfRoom0},  // room, manager, user, kind
    {kMainRoom, 135, 12, UM_FORBID_INVITE_UP_MIC_RESP, OnForbidInviteUpMic},
    // Microphones and the wait queue.
    {kMainRoom, 33, 4, UM_PUBLIC_MIC_INFO, OnPublicMics},         // + 10 per entry
    {kMainRoom, 42, 4, UM_WAIT_MIC_LIST_CHANGED, OnWaitMicList},  // + 4 per id
    {kMainRoom, 74, 4, UM_MIC_STATE_FAILED, PostCopyIfRoom0},
    {kMainRoom, 75, 15, UM_MIC_STATE_CHANGED, PostCopyIfRoom0},  // the microphone record
    {kMainRoom, 102, 18, UM_PUBLIC_MIC_CHANGED, OnPublicMicChanged},
    {kMainRoom, 104, 8, UM_UP_WAIT_MIC_OK, OnUpWaitMic},
    {kMainRoom, 105, 8, UM_UP_WAIT_MIC_LIMIT_EXCEEDED, OnUpWaitMic},
    {kMainRoom, 107, 8, UM_OPERATE_WAIT_MIC_RESP, OnOperateWaitMicResp},
    {kMainRoom, 108, 18, UM_WAIT_MIC_INDEX_CHANGED, OnWaitMicIndex},  // the queue record
    // Chat, gifts, fireworks, seals, money.
    {kMainRoom, 45, 67, UM_ROOM_CHAT_MSG, OnChatMsg},  // + text length
    {kMainRoom, 41, 84, UM_GIFT_ROLL_INFO, OnGiftRoll},
    {kMainRoom, 48, 4, UM_TRADE_GIFT_FAILED, PostCopy0},
    {kMainRoom, 49, 84, UM_TRADE_GIFT_NOTIFY, PostCopy0},  // three names to 84
    {kMainRoom, 55, 16, UM_TRADE_FIREWORKS_OK, OnFireworksBought},
    {kMainRoom, 56, 16, UM_TRADE_FIREWORKS_FAILED, OnFireworksFailed},
    {kMainRoom, 57, 36, UM_FIREWORKS_PICKED, OnFireworksPicked},  // gift id at 32
    {kMainRoom, 59, 12, UM_PLAY_FIREWORKS_NOTIFY, PostCopyRoom0},
    {kMainRoom, 60, 12, UM_LUCKY_GIFT_REWARD, OnLuckyGift},  // + 2 per multiplier
    {kMainRoom, 61, 5, UM_LOUDSPEAKER_MSG, PostCopy0},       // kind, then the text
    {kMainRoom, 62, 24, UM_MY_WEALTH_CHANGED, OnMyWealth},
    {kMainRoom, 94, 8, UM_SEND_SEAL_FAILED, OnSendSealFailed},
    {kMainRoom, 95, 16, UM_SEAL_NOTIFY, OnSeal},
    {kMainRoom, 121, 14, UM_SET_USER_PWD_RESP, PostCopy0},
    {kMainRoom, 128, 0, UM_MONEY_OP_FAILED, PostNothing},
    {kMainRoom, 129, 16, UM_MONEY_TRANSFER_NOTIFY, OnMoneyTransfer},
    {kMainRoom, 137, 58, UM_SIEGE_STATE, PostCopy0},  // the siege block
    {kMainRoom, 138, 58, UM_SIEGE_STATE, PostCopy0},
    {kMainRoom, 144, 16, UM_OPEN_CHEST_RESP, PostCopy0},  // prize value at 14
};

// What handlers post besides (or, with a row's 0, instead of) their row's notification:
// the public microphone's index with its change (105/102), the wait-queue limit as the
// local user's own setting or another's (105/132).
const UINT kAlsoPosted[] = {UM_PUBLIC_MIC_INFO, UM_WAIT_MIC_LIMIT_SET_OK,
                            UM_WAIT_MIC_LIMIT_CHANGED};

bool ModelReady(const CCommKernelData* d) {
    return d && d->m_pUserManager && d->m_pRoomManager && d->m_pRoomGroupManager &&
           d->m_pUserMVManager;
}

}  // namespace

const AnswerEntry* FindAnswer(uint16_t mainCmd, uint16_t subCmd) {
    for (const AnswerEntry& e : kAnswers)
        if (e.mainCmd == mainCmd && e.subCmd == subCmd) return &e;
    return nullptr;
}

const std::vector<AnswerEntry>& AnswerTable() {
    static const std::vector<AnswerEntry> table(std::begin(kAnswers), std::end(kAnswers));
    return table;
}

const std::vector<UINT>& PostedNotifications() {
    static const std::vector<UINT> ids = [] {
        std::vector<UINT> v(std::begin(kAlsoPosted), std::end(kAlsoPosted));
        for (const AnswerEntry& e : kAnswers)
            if (e.msg != 0 && std::find(v.begin(), v.end(), e.msg) == v.end()) v.push_back(e.msg);
        return v;
    }();
    return ids;
}

bool DispatchFrame(const Context& context, const void* frame, int length) {
    if (!frame || length < kHeaderSize) {
        __log_print__("tag_dispatch: frame of %d bytes has no room for its header", length);
        return false;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(frame);
    uint16_t mainCmd = static_cast<uint16_t>(bytes[6] | bytes[7] << 8);
    uint16_t subCmd = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    const AnswerEntry* entry = FindAnswer(mainCmd, subCmd);
    if (!entry) return true;  // ignored
    if (!ModelReady(context.data)) {
        __log_print__("tag_dispatch: answer %d/%d before the session state was set up", mainCmd,
                      subCmd);
        return false;
    }
    Payload payload(bytes + kHeaderSize, static_cast<size_t>(length - kHeaderSize));
    if (payload.Size() < entry->minPayload || !entry->handler(context, payload, *entry)) {
        __log_print__("tag_dispatch: answer %d/%d refused: %d payload bytes do not fit its layout",
                      mainCmd, subCmd, static_cast<int>(payload.Size()));
        return false;
    }
    return true;
}

int32_t Now() {
    return static_cast<int32_t>(_time64(nullptr));
}

void Context::Post(UINT msg, WPARAM wParam, LPARAM lParam) const {
    if (!notifyWnd) return;
    (post ? post : PostMessageW)(notifyWnd, msg, wParam, lParam);
}

void Context::PostCopy(UINT msg, WPARAM wParam, const Payload& payload) const {
    if (!notifyWnd) return;
    PostArray(msg, wParam, payload.Copy());
}

void Context::PostArray(UINT msg, WPARAM wParam, char* array) const {
    // Receivers free copies by the message id: one posted under another id would leak.
    if (!NotificationCarriesCopy(msg)) {
        __log_print__("tag_dispatch: notification %u carries no copy; not posted\n", msg);
        delete[] array;
        return;
    }
    if (!notifyWnd) {
        delete[] array;
        return;
    }
    // A window that is gone would never free it.
    if (!(post ? post : PostMessageW)(notifyWnd, msg, wParam, reinterpret_cast<LPARAM>(array)))
        delete[] array;
}

int Context::LocalUserId() const {
    return data ? data->m_LocalUser.userId : 0;
}

int Context::CurRoomId() const {
    return data ? data->m_nCurRoomId : 0;
}

CUserObj* Context::LocalUser() const {
    return data ? &data->m_LocalUser : nullptr;
}

CRoomObj* Context::FindRoom(int id) const {
    return data && data->m_pRoomManager ? data->m_pRoomManager->FindRoom(id) : nullptr;
}

CRoomObj* Context::CurrentRoom() const {
    return FindRoom(CurRoomId());
}

// Posting only.

bool PostNothing(const Context& c, const Payload&, const AnswerEntry& e) {
    c.Post(e.msg, 0, 0);
    return true;
}

bool PostCopy0(const Context& c, const Payload& p, const AnswerEntry& e) {
    c.PostCopy(e.msg, 0, p);
    return true;
}

bool PostCopyRoom0(const Context& c, const Payload& p, const AnswerEntry& e) {
    c.PostCopy(e.msg, W(p.I32(0)), p);
    return true;
}

bool PostCopyIfRoom0(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0))) c.PostCopy(e.msg, W(p.I32(0)), p);
    return true;
}

bool PostResultIfRoom0(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (c.FindRoom(p.I32(0))) c.Post(e.msg, W(p.I32(0)), static_cast<LPARAM>(p.I32(4)));
    return true;
}

}  // namespace dispatch
}  // namespace comm
