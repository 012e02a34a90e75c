// A room window that records what the lobby asks of it, for the lobby's tests.
#pragma once

#include <string>
#include <vector>

#include "lobby/RoomWindowSeam.h"
#include "ui_fixture.h"

class CRecordingRoom : public CTestWnd, public IRoomWindow {
public:
    CRecordingRoom();
    ~CRecordingRoom() override;

    // Every call, in order, e.g. "InitRoom 1001" (kept after the window is gone).
    static std::vector<std::string>& Calls();
    // How many recording rooms exist now.
    static int& Alive();
    // Installs the factory that makes these; returns the one it replaced.
    static RoomWindowFactory Install();

    DuiLib::CWindowWnd* Window() override { return this; }
    int GetRoomId() override { return m_roomId; }
    void SetRoomKind(int kind) override { Log("SetRoomKind", kind); }
    void InitRoom(int roomId) override {
        m_roomId = roomId;
        Log("InitRoom", roomId);
    }
    void InsertHintLine(int, int, const wchar_t* text) override;
    void StopAllMedia() override {
        m_roomId = 0;
        Log("StopAllMedia");
    }
    void ApplySkinColors(const tagSkinInfo*) override { Log("ApplySkinColors"); }
    void UpdateMyInfo() override { Log("UpdateMyInfo"); }

    void OnRoomDisconnected() override { Log("OnRoomDisconnected"); }
    void OnUserEnterRoom(CUserObj* user) override;
    void OnRoomUserListEnd() override { Log("OnRoomUserListEnd"); }
    void OnWaitMicListChanged() override { Log("OnWaitMicListChanged"); }
    void OnPubMicInfoChanged(int index) override { Log("OnPubMicInfoChanged", index); }
    void OnRoomNoticeText(int index, const wchar_t* text) override;
    void OnUserKickedOut(int actor, int target, int reason, int flag) override;
    void OnUserExitRoom(int userId) override { Log("OnUserExitRoom", userId); }
    void OnUserMicStateChanged(const char*) override { Log("OnUserMicStateChanged"); }
    void OnMicStateFailed(const char*) override { Log("OnMicStateFailed"); }
    void OnRoomChatMsg(tag_CMDRoomChatMsg* record, int flag) override;
    void OnTradeGiftFailed(const char*) override { Log("OnTradeGiftFailed"); }
    void OnTradeGiftNotify(const char*) override { Log("OnTradeGiftNotify"); }
    void OnMyWealthChanged() override { Log("OnMyWealthChanged"); }
    void OnLoudspeakerMsg(const char*) override { Log("OnLoudspeakerMsg"); }
    void OnLuckyGiftReward(const char*) override { Log("OnLuckyGiftReward"); }
    void OnGiftRollNotify() override { Log("OnGiftRollNotify"); }
    void OnRoomAttrChanged() override { Log("OnRoomAttrChanged"); }
    void OnRoomInfoChanged() override { Log("OnRoomInfoChanged"); }
    void OnWaitMicIndexChanged(const char*) override { Log("OnWaitMicIndexChanged"); }
    void OnUserBanned(const char*) override { Log("OnUserBanned"); }
    void OnUserPriorityChanged(const char*) override { Log("OnUserPriorityChanged"); }
    void OnMicTypeChanged(const char*) override { Log("OnMicTypeChanged"); }
    void OnSetRoomNoticeResp(int r) override { Log("OnSetRoomNoticeResp", r); }
    void OnSetRoomInfoResp(int r) override { Log("OnSetRoomInfoResp", r); }
    void OnSetRoomOpStatusResp(int r) override { Log("OnSetRoomOpStatusResp", r); }
    void OnSetUserPwdResp(int r) override { Log("OnSetUserPwdResp", r); }
    void OnUserAliasChanged(int id) override { Log("OnUserAliasChanged", id); }
    void OnMoneyTransferNotify(int a, int b) override { Log2("OnMoneyTransferNotify", a, b); }
    void OnMoneyOpFailed() override { Log("OnMoneyOpFailed"); }
    void OnRoomMediaChanged() override { Log("OnRoomMediaChanged"); }
    void OnFireworksPicked(const char*) override { Log("OnFireworksPicked"); }
    void OnTradeFireworksFailed(int a, int b) override { Log2("OnTradeFireworksFailed", a, b); }
    void OnPlayFireworksNotify(const char*) override { Log("OnPlayFireworksNotify"); }
    void OnWaitMicLimitSetOk() override { Log("OnWaitMicLimitSetOk"); }
    void OnWaitMicLimitChanged() override { Log("OnWaitMicLimitChanged"); }
    void OnUpWaitMicOk() override { Log("OnUpWaitMicOk"); }
    void OnOperateWaitMicResp(int r) override { Log("OnOperateWaitMicResp", r); }
    void OnSealNotify(const char*) override { Log("OnSealNotify"); }
    void OnSendSealFailed() override { Log("OnSendSealFailed"); }
    void OnTradeFireworksOk(int a, int b) override { Log2("OnTradeFireworksOk", a, b); }
    void OnUpWaitMicLimitExceeded() override { Log("OnUpWaitMicLimitExceeded"); }
    void OnSeeUserIpResp(const char*) override { Log("OnSeeUserIpResp"); }
    void OnForbidInviteUpMicResp(int s) override { Log("OnForbidInviteUpMicResp", s); }
    void ReloadAudioDevice() override { Log("ReloadAudioDevice"); }
    void OnSiegeStateChanged(const char*) override { Log("OnSiegeStateChanged"); }
    void OnOpenChestResp(const char*) override { Log("OnOpenChestResp"); }
    void OnConnMediaRequest(const char*) override { Log("OnConnMediaRequest"); }
    void OnConnMediaResp(const char*) override { Log("OnConnMediaResp"); }
    void OnConnMediaErr(const char*) override { Log("OnConnMediaErr"); }

private:
    static void Log(const char* what);
    static void Log(const char* what, int value);
    static void Log2(const char* what, int a, int b);
    int m_roomId = 0;
};

// The calls that start with `prefix`.
std::vector<std::string> CallsStarting(const std::string& prefix);
