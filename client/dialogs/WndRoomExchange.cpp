#include "dialogs/WndRoomExchange.h"

#include "app/RoomView.h"
#include "app/SkinFrame.h"
#include "controls/KernelData.h"
#include "dialogs/AdminInput.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndRoomExchange", L"WndRoomExchange.xml",  kMsgStandard,
                               ScClose::kClose,    Lifetime::kSelfDeleting, false};

constexpr int64_t kMaxAmount = 100000000;
constexpr uint8_t kOpTransferCoins = 3;
constexpr uint8_t kOpExchangePoints = 4;

const wchar_t kBadAmount[] = L"输入数目错误!";
const wchar_t kBadId[] = L"输入id错误!";

// The typed amount when it is a whole number 1..100000000 within the balance. Read
// in 64 bits and narrowed only once accepted, so the amount sent is the one typed.
bool AcceptAmount(const std::wstring& text, int64_t balance, int32_t& amount) {
    int64_t value = 0;
    if (!admininput::ParseCount(text, value) || value < 1 || value > kMaxAmount || value > balance)
        return false;
    amount = static_cast<int32_t>(value);
    return true;
}

void Send(int32_t target, int32_t amount, uint8_t operation) {
    CCommKernelData* data = KernelData();
    tag_CMDMoneyAndPointOp op{};
    op.roomId = data->m_nCurRoomId;
    op.userId = data->GetLocalUser()->userId;
    op.targetId = target;
    op.amount = amount;
    op.operation = operation;
    CCommKernel::GetInstance()->SendMsg_MoneyAndPointOpReq(&op);
}

void Hint(const wchar_t* text) {
    if (IRoomView* room = CurrentRoomView()) room->InsertHintLine(1, 1, text);
}

}  // namespace

const SkinWndTraits& CWndRoomExchange::Traits() const {
    return kTraits;
}

std::wstring CWndRoomExchange::TextOf(const wchar_t* name) const {
    CControlUI* c = Find(name);
    return c ? std::wstring(c->GetText().GetData()) : std::wstring();
}

void CWndRoomExchange::SetTextOf(const wchar_t* name, const wchar_t* text) {
    if (CControlUI* c = Find(name)) c->SetText(text);
}

void CWndRoomExchange::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    if (CControlUI* c = Find(L"switch"))
        m_pSwitch = static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout"));
    ShowBalances();
    if (CCommKernelData* data = KernelData())
        SetTextOf(L"edtjifenshu", std::to_wstring(data->GetLocalUser()->points).c_str());
}

void CWndRoomExchange::ShowBalances() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    const CUserObj& me = *data->GetLocalUser();
    SetTextOf(L"labjifenshu", std::to_wstring(me.points).c_str());
    SetTextOf(L"labjinbishu", std::to_wstring(me.money).c_str());
}

LRESULT CWndRoomExchange::HandleExtraMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) {
    if (uMsg != UM_REFRESH_BALANCE) {
        bHandled = FALSE;
        return 0;
    }
    ShowBalances();
    return 0;
}

void CWndRoomExchange::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    const CDuiString& name = sender->GetName();
    if (m_pSwitch && name == L"swexchange" && m_pSwitch->GetCurSel() != 0)
        m_pSwitch->SelectItem(0);
    else if (m_pSwitch && name == L"swtransfer" && m_pSwitch->GetCurSel() != 1)
        m_pSwitch->SelectItem(1);
    if (sender == m_pCloseBtn)
        Close(1);
    else if (name == L"btnSubmitExchange")
        Exchange();
    else if (name == L"btnSubmitTransfer")
        Transfer();
}

void CWndRoomExchange::OnNotify(TNotifyUI& msg) {
    if (msg.sType != DUI_MSGTYPE_TEXTCHANGED || !msg.pSender) return;
    // Editing a field clears its error.
    static const struct {
        const wchar_t* edit;
        const wchar_t* label;
    } kPairs[] = {{L"edtjifenshu", L"labjifenError"},
                  {L"edtZhuanRuID", L"labUserIDError"},
                  {L"edtZhuanRushu", L"labJinBiError"}};
    for (const auto& p : kPairs)
        if (msg.pSender->GetName() == p.edit) SetTextOf(p.label, L"");
}

void CWndRoomExchange::Exchange() {
    if (!LocalUserAllowed(PRIV_EXCHANGE_FIRST)) {
        SetTextOf(L"labjifenError", L"您没有做够权限!");
        return;
    }
    int32_t amount = 0;
    if (!AcceptAmount(TextOf(L"edtjifenshu"), KernelData()->GetLocalUser()->points, amount)) {
        SetTextOf(L"labjifenError", kBadAmount);
        return;
    }
    Send(0, amount, kOpExchangePoints);
    Hint(L"兑换请求已发送！");
}

void CWndRoomExchange::Transfer() {
    if (!LocalUserAllowed(PRIV_EXCHANGE_SECOND)) {
        SetTextOf(L"labJinBiError", L"您没有足够权限!");
        return;
    }
    const CUserObj& me = *KernelData()->GetLocalUser();
    int32_t target = 0;
    if (!admininput::ParseUserId(TextOf(L"edtZhuanRuID"), false, target) || target == me.userId) {
        SetTextOf(L"labUserIDError", kBadId);
        return;
    }
    int32_t amount = 0;
    if (!AcceptAmount(TextOf(L"edtZhuanRushu"), me.money, amount)) {
        SetTextOf(L"labJinBiError", kBadAmount);
        return;
    }
    Send(target, amount, kOpTransferCoins);
    Hint(L"转帐请求已发送！");
}
