// What the local user asks for in the room: microphones, the queue, managers, gifts
// from the gift panel, colour strips, quick phrases, collecting the room, and the
// dialogs that belong to the room.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogs/CaitiaoManager.h"
#include "catalogs/GiftManager.h"
#include "controls/ChatRecord.h"
#include "dialogs/WndGiftInfo.h"
#include "dialogs/WndQunshua.h"
#include "dialogs/WndQunshuaOK.h"
#include "dialogs/WndSendGonggao.h"
#include "dialogs/WndSendLaba.h"
#include "dialogs/WndSendWordGift.h"
#include "kernel/CommKernel.h"
#include "kernel/dispatch/Dispatch.h"
#include "model/PrivilegeIds.h"
#include "room/RoomSession.h"
#include "room/WndRoom.h"
#include "util/ErrorMessage.h"
#include "win32/clock.h"
#include "win32/text.h"

using namespace DuiLib;
using namespace roomsession;

namespace {

const wchar_t kGuestHint[] = L"您目前的身份是游客，请注册后重新登录。";
const wchar_t kNoMoneyHint[] = L"您的余额不足，请去充值！";
constexpr int64_t kMaxGiftTotal = 1000000000;
constexpr int kFireworksKindBig = 6;
constexpr int kFireworksKindSmall = 7;
constexpr uint8_t kChatKindStrip = 13;
constexpr DWORD kStripIntervalMs = 1000;
constexpr int kCountdownPanes = 3;

// The last colour strip of the program; 0 before the first.
DWORD g_lastStripTick = 0;
bool g_stripSent = false;

void RefusePrivilege(CWndRoom& room) {
    room.InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
}

int SelectedTag(CComboUI* combo) {
    if (!combo) return 0;
    const int sel = combo->GetCurSel();
    CControlUI* item = sel >= 0 ? combo->GetItemAt(sel) : nullptr;
    return item ? static_cast<int>(item->GetTag()) : 0;
}

}  // namespace

// ----- Microphones

void CWndRoom::TakeMic(int kind, int index) {
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room) return;
    if (kind == 1 && (room->roomFlags & ROOM_FLAG_PUBLIC_MICS_CLOSED)) {
        InsertHintLine(1, 1, L"房间关闭了公麦,请求上公麦失败！");
        return;
    }
    if (kind == 2 && (room->roomFlags & ROOM_FLAG_PRIVATE_MICS_CLOSED)) {
        InsertHintLine(1, 1, L"房间关闭了私麦,请求上私麦失败！");
        return;
    }
    if (kind == 4 && (room->roomFlags & ROOM_FLAG_PRIVATE_MICS_CLOSED)) {
        InsertHintLine(1, 1, L"房间关闭了密麦,请求上密麦失败！");
        return;
    }
    const short privilege = kind == 1   ? PRIV_ASK_PUBLIC_MIC
                            : kind == 2 ? PRIV_ASK_PRIVATE_MIC
                            : kind == 4 ? PRIV_ASK_SECRET_MIC
                                        : 0;
    if (!privilege) return;
    if (!Allowed(privilege)) {
        RefusePrivilege(*this);
        return;
    }
    BuildCaptureGraphs();
    RequestMyMic(kind, index);
}

void CWndRoom::JoinWaitMic() {
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room) return;
    if (!(room->roomFlags & ROOM_FLAG_WAIT_MIC_OPEN)) {
        InsertHintLine(1, 1, L"房间关闭了排麦模式,请求排麦失败！");
        return;
    }
    if (!Allowed(PRIV_JOIN_WAIT_MIC)) {
        RefusePrivilege(*this);
        return;
    }
    CCommKernel::GetInstance()->SendMsg_UpWaitMicReq(static_cast<unsigned>(m_nRoomId),
                                                     static_cast<unsigned>(Me()->userId));
}

void CWndRoom::OperateWaitMic(int userId, int occurrence, int operation) {
    if (!FindRoom(m_nRoomId)) return;
    if (!Allowed(PRIV_WAIT_MIC_OPERATION)) {
        RefusePrivilege(*this);
        return;
    }
    tag_CMDOperateWaitMic record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.userId = Me()->userId;
    record.targetId = userId;
    record.position = occurrence;
    record.operation = static_cast<int16_t>(operation);
    CCommKernel::GetInstance()->SendMsg_OperateWaitMicIndxReq(&record);
}

void CWndRoom::SetPaneMicType(int pane, int micType) {
    if (!FindRoom(m_nRoomId)) return;
    if (!Allowed(PRIV_PUBLIC_MIC_STATE)) {
        RefusePrivilege(*this);
        return;
    }
    if (pane < 0) return;
    tag_CMDChangePubMicStateReq record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.userId = Me()->userId;
    record.micIndex = static_cast<uint8_t>(pane);
    record.operation = 1;
    record.value = static_cast<int16_t>(micType);
    CCommKernel::GetInstance()->SendMsg_ChangePubMicStateReq(&record);
}

void CWndRoom::PutUserOnPubMic(int pane, int userId) {
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room) return;
    if (!Allowed(PRIV_ROOM_OP_STATUS)) {
        RefusePrivilege(*this);
        return;
    }
    // The record names the member in 16 bits; a larger id cannot be sent.
    if (pane < 0 || pane >= ROOM_PUBLIC_MIC_COUNT || userId <= 0 || userId > INT16_MAX) return;
    if (room->pubMics[pane].userId == userId) return;
    tag_CMDChangePubMicStateReq record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.userId = Me()->userId;
    record.micIndex = static_cast<uint8_t>(pane);
    record.operation = 2;
    record.value = static_cast<int16_t>(userId);
    CCommKernel::GetInstance()->SendMsg_ChangePubMicStateReq(&record);
}

void CWndRoom::ExtendPaneMicTime(int pane, int minutes) {
    // An untimed microphone (unlimited, manager's, closed) has no time to extend: the
    // request would make it a timed one.
    if (!PaneMicTimed(pane)) return;
    SetPaneMicType(pane, minutes);
}

bool CWndRoom::PaneMicTimed(int pane) const {
    const CRoomObj* room = FindRoom(m_nRoomId);
    return room && pane >= 0 && pane < ROOM_PUBLIC_MIC_COUNT && room->pubMics[pane].micType > 0;
}

void CWndRoom::MicCountdownTick() {
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!m_bLoggedIn || !room) return;
    const int32_t now = comm::dispatch::Now();
    const int myId = Me()->userId;
    for (int i = 0; i < kCountdownPanes; ++i) {
        const tag_PubMicInfo& mic = room->pubMics[i];
        wchar_t text[32] = {};
        if (mic.userId != 0 && mic.micType > 0) {
            const int64_t left = static_cast<int64_t>(mic.micTime) + mic.startTime - now;
            const int64_t shown = left > 0 ? left : 0;
            std::swprintf(text, 32, L"%02d:%02d", static_cast<int>(shown / 60),
                          static_cast<int>(shown % 60));
            SetPubMicTitle(i, text);
            // One leave request per turn: the answer takes longer than a tick.
            if (left <= 0 && mic.userId == myId && m_micLeaveAsked[i] != mic.startTime) {
                m_micLeaveAsked[i] = mic.startTime;
                LeaveMyMic();
            }
        } else if (mic.userId == 0 && mic.micType > 0) {
            std::swprintf(text, 32, L"%02d:00", static_cast<int>(mic.micType));
            SetPubMicTitle(i, text);
        }
    }
}

// ----- Managers

void CWndRoom::AppointManager(int userId, int kind) {
    CRoomObj* room = FindRoom(m_nRoomId);
    CUserObj* target = room ? room->FindUser(userId) : nullptr;
    if (!target || (kind != 1 && kind != 2)) return;
    if (target->levels[0] < 2) {
        InsertHintLine(1, 1, L"游客和注册用户不能任命为管理员或临时管理员！");
        return;
    }
    const int level = target->GetRoomMgrLevel();
    const bool already = kind == 1 ? (level != 0 && level != 4 && level != 10) : level != 0;
    if (already) {
        InsertHintLine(1, 1, L"对方已经是房间管理员,不能再次被任命！");
        return;
    }
    if (!Allowed(kind == 1 ? PRIV_APPOINT_MANAGER : PRIV_APPOINT_TEMP_MANAGER)) {
        RefusePrivilege(*this);
        return;
    }
    tag_CMDUserPriority record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.userId = Me()->userId;
    record.targetId = userId;
    record.operation = 1;
    record.kind = static_cast<uint8_t>(kind);
    CCommKernel::GetInstance()->SendMsg_SetUserPriorityReq(&record);
    InsertHintLine(1, 1, L"任命管理员请求已发出，等待服务器响应");
}

void CWndRoom::CancelManager(int userId) {
    CRoomObj* room = FindRoom(m_nRoomId);
    CUserObj* target = room ? room->FindUser(userId) : nullptr;
    if (!target) return;
    const int level = target->GetRoomMgrLevel();
    if (level != ROOM_MGR_MANAGER && level != ROOM_MGR_TEMP_MANAGER) {
        InsertHintLine(1, 1, L"对方不是正管或临管,不能卸除管理员权限！");
        return;
    }
    tag_CMDUserPriority record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.userId = Me()->userId;
    record.targetId = userId;
    record.operation = 2;
    record.kind = level == ROOM_MGR_MANAGER ? 1 : 2;
    CCommKernel::GetInstance()->SendMsg_SetUserPriorityReq(&record);
}

// ----- Gifts

int64_t CWndRoom::ReadGiftCount() const {
    if (!m_pGiftNumEdit) return 0;
    const std::wstring text = m_pGiftNumEdit->GetText().GetData();
    size_t at = 0;
    while (at < text.size() && (text[at] == L' ' || text[at] == L'\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) negative = text[at++] == L'-';
    int64_t value = 0;
    bool digits = false;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        digits = true;
        value = value * 10 + (text[at] - L'0');
        if (value > INT32_MAX) return negative ? 0 : -1;
    }
    if (!digits || negative) return 0;
    return value;
}

void CWndRoom::OnGiftItemClick(int giftId) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserObj* me = data->GetLocalUser();
    if (me->levels[0] <= 1) {
        InsertHintLine(1, 1, kGuestHint);
        return;
    }
    if (giftId < 1) return;
    tag_GiftItemInfo* gift =
        data->m_pGiftManager ? data->m_pGiftManager->FindGiftItem(giftId) : nullptr;
    if (!gift) {
        InsertHintLine(1, 1, L"礼物选择错误，请联系运维人员解决！");
        return;
    }
    const int64_t typed = ReadGiftCount();
    if (typed == 0) {
        InsertHintLine(1, 1, L"请选择赠送数量！");
        return;
    }
    // The count list goes back to its first entry with the edit, or picking the same
    // count again would not reach the edit.
    if (m_pGiftNumCombo) m_pGiftNumCombo->SelectItem(0);
    if (m_pGiftNumEdit) m_pGiftNumEdit->SetText(L"1");
    // A count past 32 bits cannot go on the wire; it is over the limit anyway.
    const int64_t total = typed < 0 ? kMaxGiftTotal + 1 : static_cast<int64_t>(gift->price) * typed;
    if (total > kMaxGiftTotal) {
        InsertHintLine(1, 1, L"你送出的礼物总金额超过系统限制，赠送失败！");
        return;
    }
    const int count = static_cast<int>(typed);
    if (m_pWndQunshua) {
        SendGroupGift(giftId, count);
        return;
    }
    if (me->money < total) {
        InsertHintLine(1, 1, kNoMoneyHint);
        return;
    }
    if (gift->giftValue1 == kFireworksKindBig || gift->giftValue1 == kFireworksKindSmall) {
        CCommKernel::GetInstance()->SendMsg_TradeFireworksReq(giftId, count);
        return;
    }
    const int targetId = SelectedTag(m_pGiftUserCombo);
    if (targetId <= 0) {
        InsertHintLine(1, 1, L"请选择赠送用户！");
        return;
    }
    CRoomObj* room = FindRoom(m_nRoomId);
    CUserObj* target = room ? room->FindUser(targetId) : nullptr;
    if (!target) {
        InsertHintLine(1, 1, L"对方已经离开房间！");
        return;
    }
    if (targetId == me->userId) {
        InsertHintLine(1, 1, L"请选择赠送用户，不能自己赠送给自己！");
        return;
    }
    if (target->levels[0] <= 1) {
        InsertHintLine(1, 1, L"不能向游客赠送礼物！");
        return;
    }
    SendTradeGift(targetId, target->alias, giftId, count, nullptr);
}

void CWndRoom::SendGroupGift(int giftId, int count) {
    CCommKernelData* data = KernelData();
    if (!m_pWndQunshua || !data) return;
    CUserObj* me = data->GetLocalUser();
    if (me->levels[0] <= 1) {
        InsertHintLine(1, 1, kGuestHint);
        return;
    }
    if (me->levels[0] == 2) {
        InsertHintLine(1, 1, L"注册用户不能使用群刷功能，请去办理VIP或高级会员！");
        return;
    }
    tag_GiftItemInfo* gift =
        data->m_pGiftManager ? data->m_pGiftManager->FindGiftItem(giftId) : nullptr;
    if (!gift || count <= 0) return;
    // The recipients are read before the confirmation runs: the chooser may go meanwhile.
    std::vector<int> ids;
    m_pWndQunshua->GetCheckedUserIds(ids);
    if (ids.empty()) {
        InsertHintLine(1, 1, L"请选择群送赠送用户！");
        return;
    }
    const HWND self = m_hWnd;
    const int roomId = m_nRoomId;
    if (m_pWndQunshua->GetHWND()) ::EnableWindow(m_pWndQunshua->GetHWND(), FALSE);
    CWndQunshuaOK box;
    box.Create(self, L"", 0x96C80000, 0, 0, 0, 0, 0);
    box.SetGiftInfo(giftId, gift->price, count, static_cast<int>(ids.size()));
    box.CenterWindow();
    const UINT answer = box.ShowModal();
    // The room window may have gone while the box ran: only its handle is safe to test.
    if (!::IsWindow(self) || GetRegisteredRoomWindow() != this) return;
    if (m_pWndQunshua && m_pWndQunshua->GetHWND()) ::EnableWindow(m_pWndQunshua->GetHWND(), TRUE);
    if (data->m_nCurRoomId != roomId || m_nRoomId != roomId) return;
    CRoomObj* room = FindRoom(roomId);
    if (!room) return;
    // Only members are charged: recipients who left meanwhile drop out.
    std::vector<int> members;
    for (int id : ids)
        if (room->FindUser(id)) members.push_back(id);
    const int64_t total =
        static_cast<int64_t>(gift->price) * count * static_cast<int64_t>(members.size());
    if (me->money < total) {
        InsertHintLine(1, 1, kNoMoneyHint);
        return;
    }
    if (answer != 1 || members.empty()) return;
    for (int id : members) m_groupGiftQueue.push_back({giftId, count, id});
    ::SetTimer(m_hWnd, kTimerGroupGift, 100, nullptr);
}

void CWndRoom::DropGroupGiftRecipient(int userId) {
    if (m_pWndQunshua) m_pWndQunshua->RemoveUser(userId);
}

void CWndRoom::SendCaitiao(int targetId, int stripId) {
    CCommKernelData* data = KernelData();
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!data || !room) return;
    if (stripId == -1) {
        const int count = data->m_pCaitiaoManager ? data->m_pCaitiaoManager->GetCaitiaoCount() : 0;
        if (count <= 0) return;  // no strips loaded: nothing to pick from
        stripId = std::rand() % count;
    }
    const DWORD now = ::GetTickCount();
    if (g_stripSent && now - g_lastStripTick <= kStripIntervalMs) {
        InsertHintLine(1, 1, L"您刷的太快了,请稍等再刷！");
        return;
    }
    g_stripSent = true;
    g_lastStripTick = now;
    CUserObj* me = data->GetLocalUser();
    ChatRecordFields fields;
    fields.roomId = m_nRoomId;
    fields.sender = me;
    fields.targetId = targetId;
    fields.kind = kChatKindStrip;
    fields.roomName = room->roomName;
    if (CUserObj* target = room->FindUser(targetId)) fields.targetAlias = target->alias;
    if (targetId == me->userId) {
        InsertHintLine(1, 1, L"不能对自己聊天!");
        return;
    }
    tag_CMDRoomChatMsg record;
    if (!FillChatRecord(record, fields, std::to_wstring(stripId))) return;
    CCommKernel::GetInstance()->SendMsg_RoomChatReq(&record);
    OnRoomChatMsg(&record, 1);
}

void CWndRoom::ShowGiftTip(bool show, int giftId, int x, int y) {
    if (!show) {
        if (m_pWndGiftInfo && ::IsWindowVisible(m_pWndGiftInfo->GetHWND()))
            m_pWndGiftInfo->ShowWindow(false, false);
        return;
    }
    if (!m_pWndGiftInfo) {
        auto* tip = new CWndGiftInfo;
        if (!tip->Create(m_hWnd, L"", 0x86000000, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
            delete tip;
            return;
        }
        m_pWndGiftInfo = tip;
        tip->SetOwnerSlot(&m_pWndGiftInfo);
    }
    HWND tip = m_pWndGiftInfo->GetHWND();
    ::SetWindowPos(tip, nullptr, x - 218, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_pWndGiftInfo->ShowGift(giftId);
    if (::IsWindowVisible(tip))
        m_pWndGiftInfo->KillHideTimer();
    else
        m_pWndGiftInfo->ShowWindow(true, false);
    ::SetWindowPos(tip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ----- Chat

void CWndRoom::SendQuickPhrase(int index) {
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room || index < 0 || static_cast<size_t>(index) >= m_quickPhrases.m_list.size()) return;
    const int targetId = SelectedTag(m_pChatUserCombo);
    auto* privCheck = static_cast<CCheckBoxUI*>(m_pm.FindControl(L"privchatcheck"));
    const bool priv = targetId != 0 && privCheck && privCheck->GetCheck();
    if (priv && (room->roomFlags & ROOM_FLAG_PRIVATE_CHAT_CLOSED)) {
        InsertHintLine(1, 1, L"当前房间关闭了私聊！");
        return;
    }
    if (room->roomFlags & ROOM_FLAG_PUBLIC_CHAT_CLOSED) {
        InsertHintLine(1, 1, L"当前房间关闭了公聊！");
        return;
    }
    if (Me()->chatBanned) {
        InsertHintLine(1, 1, L"您己被禁止发言，请与管理员联系！");
        return;
    }
    SendChatMsg(priv ? 15 : 0, targetId, m_quickPhrases.m_list[static_cast<size_t>(index)].c_str());
}

// ----- Room and dialogs

void CWndRoom::CollectRoom() {
    if (!FindRoom(m_nRoomId)) return;
    if (MyLevel() <= 1) {
        InsertHintLine(1, 1, kGuestHint);
        return;
    }
    tag_CMDFavoriteRoomReq record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.userId = Me()->userId;
    CCommKernel::GetInstance()->SendMsg_CollectRoomReq(&record);
    InsertHintLine(1, 1, L"收藏房间成功！");
}

void CWndRoom::ShowTopUpHint() {
    InsertHintLine(1, 1, L"亲，自动冲值尚未开通，请找房间里面找“售”标志的销售人员购买点卡哦！");
}

void CWndRoom::ShowLabaWnd() {
    if (!Allowed(PRIV_LOUDSPEAKER)) {
        RefusePrivilege(*this);
        return;
    }
    OpenChatSender(m_pWndSendLaba, m_hWnd);
}

void CWndRoom::ShowGonggaoWnd() {
    if (!Allowed(PRIV_ANNOUNCEMENT)) {
        RefusePrivilege(*this);
        return;
    }
    OpenChatSender(m_pWndSendGonggao, m_hWnd);
}

void CWndRoom::ShowGroupGiftWnd() {
    if (m_pWndQunshua) {
        m_pWndQunshua->ShowWindow(true, true);
        ::SetForegroundWindow(m_pWndQunshua->GetHWND());
        return;
    }
    auto* chooser = new CWndQunshua;
    chooser->SetOwnerSlot(&m_pWndQunshua);
    m_pWndQunshua = chooser;
    if (!chooser->Create(m_hWnd, L"", WS_POPUP, 0, 0, 0, 0, 0)) {
        if (m_pWndQunshua == chooser) {
            m_pWndQunshua = nullptr;
            delete chooser;
        }
        return;
    }
    chooser->FillUserList(0);
    RECT rc{};
    ::GetWindowRect(m_hWnd, &rc);
    ::SetWindowPos(chooser->GetHWND(), nullptr, rc.right - 510, rc.top + 220, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
    chooser->ShowWindow(true, true);
}

// ----- Messages of the room's own dialogs and panes

void CWndRoom::OnSealChosen(int userId, int sealId) {
    SendSealReq(userId, sealId);
}

void CWndRoom::OnShowWordGiftWnd(int userId) {
    CUserObj* user = FindUser(userId);
    if (!user || m_pWndSendWordGift) return;
    auto* dialog = new CWndSendWordGift;
    dialog->SetOwnerSlot(&m_pWndSendWordGift);
    m_pWndSendWordGift = dialog;
    if (!dialog->Create(m_hWnd, L"", WS_POPUP, 0, 0, 0, 0, 0)) {
        if (m_pWndSendWordGift == dialog) {
            m_pWndSendWordGift = nullptr;
            delete dialog;
        }
        return;
    }
    dialog->CenterWindow();
    dialog->SetTargetUserId(userId);
    dialog->SetTargetName(winplat::AnsiToWide(user->alias).c_str());
    dialog->SetSender([this](int targetId, int giftId, int count, const char* words) {
        SendGiftWithWords(targetId, giftId, count, words);
    });
    dialog->ShowModal();
}

// A private video window closing (its button or Alt+F4): its member's media ends and the
// window goes; the local user leaves his microphone as well.
void CWndRoom::OnPopupVideoClosed(int userId, LPARAM) {
    CCommKernelData* data = KernelData();
    if (data && userId == data->GetLocalUser()->userId) LeaveMyMic();
    CloseUserMedia(userId);
}
