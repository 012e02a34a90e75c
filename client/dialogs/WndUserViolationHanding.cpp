#include "dialogs/WndUserViolationHanding.h"

#include "app/RoomView.h"
#include "app/SkinFrame.h"
#include "controls/KernelData.h"
#include "kernel/CmdRecords.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"

using namespace DuiLib;

namespace {

const WndUserViolationHanding::Row kHandingRow = {
    {"WndUserViolationHanding", L"WndViolationHanding.xml", kMsgStandard, ScClose::kClose,
     Lifetime::kSelfDeleting, false},
    L"请求已发送！"};
const WndUserViolationHanding::Row kAuthorityRow = {
    {"CWndAuthority", L"WndAuthority.xml", kMsgStandard, ScClose::kClose, Lifetime::kSelfDeleting,
     false},
    L"请求已发送"};

const struct {
    uint8_t bit;
    const wchar_t* name;
} kSanctions[] = {
    {THROW_FORBID_CHAT, L"chkforbidchat"},
    {THROW_KICK_OUT, L"chkickout"},
    {THROW_FREEZE_ACCOUNT, L"chkfreezeaccount"},
    {THROW_FREEZE_PC, L"chkfreezepc"},
};
// Period byte: 1..8 in this order; "permanent" (or nothing chosen) is 0.
const wchar_t* const kPeriods[8] = {L"opttime1", L"opttime2", L"opttime3", L"opttime4",
                                    L"opttime5", L"opttime6", L"opttime7", L"opttime8"};

void Hint(const wchar_t* text) {
    if (IRoomView* room = CurrentRoomView()) room->InsertHintLine(1, 1, text);
}

}  // namespace

WndUserViolationHanding::WndUserViolationHanding(const CUserObj& target)
    : WndUserViolationHanding(target, kHandingRow) {}

WndUserViolationHanding::WndUserViolationHanding(const CUserObj& target, const Row& row)
    : m_row(row),
      m_nTargetId(target.userId),
      m_targetAlias(target.alias),
      m_bTargetChatBanned(target.chatBanned) {}

CWndAuthority::CWndAuthority(const CUserObj& target)
    : WndUserViolationHanding(target, kAuthorityRow) {}

const SkinWndTraits& WndUserViolationHanding::Traits() const {
    return m_row.traits;
}

void WndUserViolationHanding::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    if (CControlUI* c = Find(L"chkforbidchat"))
        if (auto* box = static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")))
            box->SetCheck(m_bTargetChatBanned, false);
}

bool WndUserViolationHanding::IsChosen(const wchar_t* name) const {
    CControlUI* c = Find(name);
    auto* option = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
    return option && option->IsSelected();
}

void WndUserViolationHanding::OnClick(TNotifyUI& msg) {
    if (msg.pSender == m_pCloseBtn)
        Close(1);
    else if (msg.pSender && msg.pSender->GetName() == L"btnOK")
        Submit();
}

void WndUserViolationHanding::Submit() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    tag_CMDThrowUserInfo record{};
    for (const auto& s : kSanctions)
        if (IsChosen(s.name)) record.sanctions |= s.bit;
    if (!record.sanctions) {
        Hint(L"请选择处理方式！");
        return;
    }
    record.scope = IsChosen(L"optallroom") ? THROW_SCOPE_ALL_ROOMS : THROW_SCOPE_ROOM;
    // Every room is the site black list, which the room menu also guards.
    if (record.scope == THROW_SCOPE_ALL_ROOMS &&
        !data->m_pUserMVManager->CheckPrivilege(PRIV_SITE_BLACKLIST, data->GetLocalUser())) {
        Hint(CErrorMessage::m_szErrText[0]);
        return;
    }
    record.period = THROW_PERIOD_FOREVER;
    for (uint8_t i = 0; i < 8; ++i)
        if (IsChosen(kPeriods[i])) record.period = static_cast<uint8_t>(i + 1);
    record.reason = IsChosen(L"optreason2") ? 2 : 1;
    record.roomId = data->m_nCurRoomId;
    record.userId = data->GetLocalUser()->userId;
    record.targetId = m_nTargetId;
    CCommKernel::GetInstance()->SendMsg_AddUserToBlackListReq(&record);
    Hint(m_row.sentHint);
}
