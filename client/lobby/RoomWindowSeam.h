// What the lobby needs of the room window: the handlers it relays room notifications
// to, the calls it makes around joining and leaving, and a factory. The room window
// class implements this interface; the program's wiring installs its factory at
// start-up (program/ProgramWiring.cpp) and tests put a recording double there.
// What the windows below the lobby need of the room (its window, room id, hint line)
// is the part in app/RoomView.h; the registration is that one too (kernel window table
// entry 2), and the lobby reaches the room through `CurrentRoomWindow`, never by
// casting the entry.
//
// Payload handlers receive the kernel's heap copy of the answer (lParam); it belongs to
// the lobby, which frees it after the call. A handler never frees or keeps it.
#pragma once

#include "app/RoomView.h"
#include "kernel/CmdRecords.h"
#include "win32/win32.h"

class CUserObj;
struct tagSkinInfo;

class IRoomWindow : public IRoomView {
public:
    // Set before the window is created: 1, 2 or 31 (the room record's kind).
    virtual void SetRoomKind(int kind) = 0;
    // Enters the room; called again on the same window by a rejoin.
    virtual void InitRoom(int roomId) = 0;
    virtual void StopAllMedia() = 0;
    virtual void ApplySkinColors(const tagSkinInfo* skin) = 0;
    virtual void UpdateMyInfo() = 0;

    // Room notifications relayed by the lobby.
    virtual void OnRoomDisconnected() = 0;
    virtual void OnUserEnterRoom(CUserObj* user) = 0;
    virtual void OnRoomUserListEnd() = 0;
    virtual void OnWaitMicListChanged() = 0;
    virtual void OnPubMicInfoChanged(int index) = 0;
    virtual void OnRoomNoticeText(int index, const wchar_t* text) = 0;
    virtual void OnUserKickedOut(int actorId, int targetId, int reason, int flag) = 0;
    virtual void OnUserExitRoom(int userId) = 0;
    virtual void OnUserMicStateChanged(const char* payload) = 0;
    virtual void OnMicStateFailed(const char* payload) = 0;
    virtual void OnRoomChatMsg(tag_CMDRoomChatMsg* record, int flag) = 0;
    virtual void OnTradeGiftFailed(const char* payload) = 0;
    virtual void OnTradeGiftNotify(const char* payload) = 0;
    virtual void OnMyWealthChanged() = 0;
    virtual void OnLoudspeakerMsg(const char* payload) = 0;
    virtual void OnLuckyGiftReward(const char* payload) = 0;
    virtual void OnGiftRollNotify() = 0;
    virtual void OnRoomAttrChanged() = 0;
    virtual void OnRoomInfoChanged() = 0;
    virtual void OnWaitMicIndexChanged(const char* payload) = 0;
    virtual void OnUserBanned(const char* payload) = 0;
    virtual void OnUserPriorityChanged(const char* payload) = 0;
    virtual void OnMicTypeChanged(const char* payload) = 0;
    virtual void OnSetRoomNoticeResp(int result) = 0;
    virtual void OnSetRoomInfoResp(int result) = 0;
    virtual void OnSetRoomOpStatusResp(int result) = 0;
    virtual void OnSetUserPwdResp(int result) = 0;
    virtual void OnUserAliasChanged(int userId) = 0;
    virtual void OnMoneyTransferNotify(int senderId, int amount) = 0;
    virtual void OnMoneyOpFailed() = 0;
    virtual void OnRoomMediaChanged() = 0;
    virtual void OnFireworksPicked(const char* payload) = 0;
    virtual void OnTradeFireworksFailed(int code, int value) = 0;
    virtual void OnPlayFireworksNotify(const char* payload) = 0;
    virtual void OnWaitMicLimitSetOk() = 0;
    virtual void OnWaitMicLimitChanged() = 0;
    virtual void OnUpWaitMicOk() = 0;
    virtual void OnOperateWaitMicResp(int result) = 0;
    virtual void OnSealNotify(const char* payload) = 0;
    virtual void OnSendSealFailed() = 0;
    virtual void OnTradeFireworksOk(int delaySeconds, int fireworksId) = 0;
    virtual void OnUpWaitMicLimitExceeded() = 0;
    virtual void OnSeeUserIpResp(const char* payload) = 0;
    virtual void OnForbidInviteUpMicResp(int state) = 0;
    virtual void ReloadAudioDevice() = 0;
    virtual void OnSiegeStateChanged(const char* payload) = 0;
    virtual void OnOpenChestResp(const char* payload) = 0;
    virtual void OnConnMediaRequest(const char* payload) = 0;
    virtual void OnConnMediaResp(const char* payload) = 0;
    virtual void OnConnMediaErr(const char* payload) = 0;
};

// Makes a new, not yet created room window object. A null result makes the join
// answer close the room connection.
using RoomWindowFactory = IRoomWindow* (*)();
// What the lobby calls: the installed factory's window, null without one.
IRoomWindow* NewRoomWindow();
// Replaces the factory (null removes it). Returns the previous one.
RoomWindowFactory SetRoomWindowFactory(RoomWindowFactory factory);

// The room window registered as entry 2 of the kernel's window table, or null.
IRoomWindow* CurrentRoomWindow();
// Registers it as the room view (SetCurrentRoomView; null clears entry 2).
void SetCurrentRoomWindow(IRoomWindow* room);
