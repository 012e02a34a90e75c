// Answers to the room administration requests and to the private video connection
// requests of the local user.
#include <cstdio>
#include <string>

#include "facade/Strevo.h"
#include "kernel/CommKernel.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/NotifyPayload.h"
#include "room/UserVideoWndMgr.h"
#include "room/RoomSession.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

using roomsession::FindRoom;

namespace {

constexpr uint16_t kSeeUserIpAnswer = 88;
constexpr uint16_t kConnMediaRespAnswer = 70;
constexpr uint16_t kConnMediaErrAnswer = 71;

// One text for result 0, another for the rest.
void HintByResult(CWndRoom& room, int result, const wchar_t* ok, const wchar_t* failed) {
    room.InsertHintLine(1, 1, result == 0 ? ok : failed);
}

}  // namespace

void CWndRoom::OnSetRoomNoticeResp(int result) {
    HintByResult(*this, result, L"修改房间公告成功!", L"修改房间公告失败!");
}

void CWndRoom::OnSetRoomInfoResp(int result) {
    HintByResult(*this, result, L"修改房间信息成功!", L"修改房间信息失败!");
}

void CWndRoom::OnSetRoomOpStatusResp(int result) {
    HintByResult(*this, result, L"修改房间运行状态成功!", L"修改房间运行状态失败!");
}

void CWndRoom::OnOperateWaitMicResp(int result) {
    HintByResult(*this, result, L"操作成功！", L"操作失败！");
}

void CWndRoom::OnSetUserPwdResp(int result) {
    HintByResult(*this, result, L"密码修改成功!", L"密码修改失败!");
}

void CWndRoom::OnForbidInviteUpMicResp(int state) {
    InsertHintLine(1, 1, state != 0 ? L"开启防抱麦功能成功!" : L"取消防抱麦功能成功!");
}

void CWndRoom::OnUpWaitMicLimitExceeded() {
    InsertHintLine(1, 1, L"超出排麦限制次数,排麦失败！");
}

void CWndRoom::OnUpWaitMicOk() {
    InsertHintLine(1, 1, L"排麦成功！");
}

void CWndRoom::OnWaitMicLimitChanged() {
    InsertHintLine(1, 1, L"房间排麦人数限制更新！");
}

void CWndRoom::OnWaitMicLimitSetOk() {
    InsertHintLine(1, 1, L"修改成功！");
}

void CWndRoom::OnSeeUserIpResp(const char* payload) {
    const NotifyPayload p(payload, kSeeUserIpAnswer);
    if (!p.Valid()) return;
    const std::wstring address = winplat::AnsiToWide(p.TailText(12));
    InsertHintLine(
        1, 1, winplat::FormatText(L"用户 %d 的IP地址为: %ls", p.I32(8), address.c_str()).c_str());
}

void CWndRoom::OnConnMediaResp(const char* payload) {
    const NotifyPayload p(payload, kConnMediaRespAnswer);
    CCommKernelData* data = KernelData();
    if (!p.Valid() || !data || p.I32(4) != data->GetLocalUser()->userId) return;
    const int userId = p.I32(8);
    CUserObj* user = KnownUser(userId);
    const std::wstring alias = user ? winplat::AnsiToWide(user->alias) : std::wstring();
    if (!user) {
        InsertHintLine(1, 1, (alias + L" 不在线,不能连接视频!").c_str());
    } else if (user->flags & USER_FLAG_PUBLIC_MIC) {
        // His picture is on a public pane already.
    } else if (user->flags & USER_FLAG_VIP_MIC) {
        if (HasUserVideoWnd(userId)) return;
        OpenUserVideoWnd(user, false);
        InsertHintLine(1, 1, (alias + L" 同意了你的连接!").c_str());
    } else if (user->flags & USER_FLAG_SECRET_MIC) {
        if (HasUserVideoWnd(userId)) {
            if (!m_pStrevo) return;
            m_pStrevo->addVideoStream(userId);
            m_pStrevo->addAudioStream(userId);
            m_pStrevo->subcribeVideoStream(userId);
            m_pStrevo->subcribeAudioStream(userId);
        } else {
            // Nobody would see the accepted connection: it is closed again.
            SendConnMediaClose(userId);
        }
    } else {
        InsertHintLine(1, 1, (alias + L" 不在麦上,不能连接视频!").c_str());
    }
}

void CWndRoom::OnConnMediaErr(const char* payload) {
    const NotifyPayload p(payload, kConnMediaErrAnswer);
    if (!p.Valid()) return;
    const int userId = p.I32(8);
    CUserObj* user = KnownUser(userId);
    if (!user || !HasUserVideoWnd(userId)) return;
    if (!(user->flags & (USER_FLAG_VIP_MIC | USER_FLAG_SECRET_MIC | USER_FLAG_OTHER_MIC))) return;
    CloseUserMedia(userId);
    InsertHintLine(1, 1, (winplat::AnsiToWide(user->alias) + L" 拒绝了你的连接!").c_str());
}

bool CWndRoom::HasUserVideoWnd(int userId) const {
    return m_pUserVideoWndMgr && m_pUserVideoWndMgr->HasWnd(userId);
}
