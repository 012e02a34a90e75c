// A room window for tests of the windows around it: an IRoomWindow whose window is a
// given CWindowWnd, whose room id is set by the test, and which records its hint lines.
// Every notification handler does nothing.
#pragma once

#include <string>
#include <vector>

#include "fenlo/UIlib.h"
#include "lobby/RoomWindowSeam.h"

class RoomWindowDouble : public IRoomWindow {
public:
    explicit RoomWindowDouble(DuiLib::CWindowWnd* window = nullptr) : window_(window) {}

    DuiLib::CWindowWnd* Window() override { return window_; }
    int GetRoomId() override { return roomId; }
    void InsertHintLine(int target, int kind, const wchar_t* text) override {
        if (target == 1 && kind == 1 && text) hints.emplace_back(text);
    }

    int roomId = 0;
    std::vector<std::wstring> hints;

    void SetRoomKind(int) override {}
    void InitRoom(int) override {}
    void StopAllMedia() override {}
    void ApplySkinColors(const tagSkinInfo*) override {}
    void UpdateMyInfo() override {}
    void OnRoomDisconnected() override {}
    void OnUserEnterRoom(CUserObj*) override {}
    void OnRoomUserListEnd() override {}
    void OnWaitMicListChanged() override {}
    void OnPubMicInfoChanged(int) override {}
    void OnRoomNoticeText(int, const wchar_t*) override {}
    void OnUserKickedOut(int, int, int, int) override {}
    void OnUserExitRoom(int) override {}
    void OnUserMicStateChanged(const char*) override {}
    void OnMicStateFailed(const char*) override {}
    void OnRoomChatMsg(tag_CMDRoomChatMsg*, int) override {}
    void OnTradeGiftFailed(const char*) override {}
    void OnTradeGiftNotify(const char*) override {}
    void OnMyWealthChanged() override {}
    void OnLoudspeakerMsg(const char*) override {}
    void OnLuckyGiftReward(const char*) override {}
    void OnGiftRollNotify() override {}
    void OnRoomAttrChanged() override {}
    void OnRoomInfoChanged() override {}
    void OnWaitMicIndexChanged(const char*) override {}
    void OnUserBanned(const char*) override {}
    void OnUserPriorityChanged(const char*) override {}
    void OnMicTypeChanged(const char*) override {}
    void OnSetRoomNoticeResp(int) override {}
    void OnSetRoomInfoResp(int) override {}
    void OnSetRoomOpStatusResp(int) override {}
    void OnSetUserPwdResp(int) override {}
    void OnUserAliasChanged(int) override {}
    void OnMoneyTransferNotify(int, int) override {}
    void OnMoneyOpFailed() override {}
    void OnRoomMediaChanged() override {}
    void OnFireworksPicked(const char*) override {}
    void OnTradeFireworksFailed(int, int) override {}
    void OnPlayFireworksNotify(const char*) override {}
    void OnWaitMicLimitSetOk() override {}
    void OnWaitMicLimitChanged() override {}
    void OnUpWaitMicOk() override {}
    void OnOperateWaitMicResp(int) override {}
    void OnSealNotify(const char*) override {}
    void OnSendSealFailed() override {}
    void OnTradeFireworksOk(int, int) override {}
    void OnUpWaitMicLimitExceeded() override {}
    void OnSeeUserIpResp(const char*) override {}
    void OnForbidInviteUpMicResp(int) override {}
    void ReloadAudioDevice() override {}
    void OnSiegeStateChanged(const char*) override {}
    void OnOpenChestResp(const char*) override {}
    void OnConnMediaRequest(const char*) override {}
    void OnConnMediaResp(const char*) override {}
    void OnConnMediaErr(const char*) override {}

private:
    DuiLib::CWindowWnd* window_;
};
