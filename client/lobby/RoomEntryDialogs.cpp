#include "lobby/RoomEntryDialogs.h"

#include <cstring>

#include "controls/KernelData.h"
#include "lobby/AnsiText.h"
#include "app/SkinFrame.h"
#include "lobby/WndLobby.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const UINT kEntryMessages = kMsgCreate | kMsgSize | kMsgGetMinMaxInfo | kMsgNcCalcSize |
                            kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate;

const SkinWndTraits kWaitTraits = {"CWndWaitJoinRoom", L"WinWaitJoin.xml",      kEntryMessages,
                                   ScClose::kDefault,  Lifetime::kSelfDeleting, false};
const SkinWndTraits kPwdTraits = {"CWndRoomPwd",   L"WndRoomInputPWD.xml", kMsgStandard,
                                  ScClose::kClose, Lifetime::kModal,       false};
const SkinWndTraits kNetTraits = {"CWndNetworkChoose", L"WndRoomNetChoose.xml", kMsgStandard,
                                  ScClose::kClose,     Lifetime::kModal,        false};

// The room password field keeps 16 bytes and its NUL.
constexpr size_t kRoomPasswordBytes = 16;

}  // namespace

std::string RoomPasswordField(const wchar_t* typed, UINT codePage) {
    return AnsiPrefix(typed, codePage, kRoomPasswordBytes);
}

const SkinWndTraits& CWndWaitJoinRoom::Traits() const {
    return kWaitTraits;
}

void CWndWaitJoinRoom::OnClick(TNotifyUI&) {}

const SkinWndTraits& CWndRoomPwd::Traits() const {
    return kPwdTraits;
}

void CWndRoomPwd::InitWindow() {
    CSkinWnd::InitWindow();
    m_pPwdEdit = Find(L"edtpwd");
    m_pOkBtn = Find(L"btnOK");
    m_pCancelBtn = Find(L"btnCancel");
    ApplySkinFrame(m_pWinBG);
}

void CWndRoomPwd::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pCloseBtn || msg.pSender == m_pCancelBtn)
        Close(1);
    else if (msg.pSender == m_pOkBtn)
        Submit();
}

void CWndRoomPwd::Submit() {
    CCommKernelData* data = KernelData();
    if (data) {
        tag_JoinRoomUserData* join = data->GetCurJoinRoomUserData();
        std::string pwd = RoomPasswordField(m_pPwdEdit ? m_pPwdEdit->GetText().GetData() : L"",
                                            static_cast<UINT>(data->GetCodePage()));
        std::memset(join->szPassword, 0, sizeof(join->szPassword));
        std::memcpy(join->szPassword, pwd.data(), pwd.size());
    }
    if (CWndLobby* lobby = CWndLobby::Current()) lobby->SendJoinRoomReq();
    Close(1);
}

const SkinWndTraits& CWndNetworkChoose::Traits() const {
    return kNetTraits;
}

const wchar_t* CWndNetworkChoose::CurrentNetText(int choice) {
    switch (choice) {
        case 0:
            return L"当前使用网络:中国电信";
        case 1:
            return L"当前使用网络:中国联通";
        case 2:
            return L"当前使用网络:中国移动";
        default:
            return L"当前使用网络:未知网络";
    }
}

void CWndNetworkChoose::InitWindow() {
    CSkinWnd::InitWindow();
    m_pOptDianXin = static_cast<COptionUI*>(Find(L"optDianXin"));
    m_pOptLianTong = static_cast<COptionUI*>(Find(L"optLianTong"));
    if (m_pOptDianXin && !m_pOptDianXin->GetInterface(L"Option")) m_pOptDianXin = nullptr;
    if (m_pOptLianTong && !m_pOptLianTong->GetInterface(L"Option")) m_pOptLianTong = nullptr;
    m_pChooseBtn = Find(L"btnchoose");
    m_pExitBtn = Find(L"btnexit");
    m_pCurNet = Find(L"curnet");
    ShowCurrent();
    CCommKernelData* data = KernelData();
    int choice = data ? data->m_UserEnv.m_nNetType : -1;
    if (choice == 0 && m_pOptDianXin) m_pOptDianXin->Selected(true, false);
    if (choice == 1 && m_pOptLianTong) m_pOptLianTong->Selected(true, false);
    ApplySkinFrame(m_pWinBG);
}

void CWndNetworkChoose::ShowCurrent() {
    CCommKernelData* data = KernelData();
    if (m_pCurNet) m_pCurNet->SetText(CurrentNetText(data ? data->m_UserEnv.m_nNetType : -1));
}

void CWndNetworkChoose::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pCloseBtn || msg.pSender == m_pExitBtn)
        Close(1);
    else if (msg.pSender == m_pChooseBtn)
        Apply();
}

void CWndNetworkChoose::Apply() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    if (m_pOptDianXin && m_pOptDianXin->IsSelected())
        data->m_UserEnv.m_nNetType = 0;
    else if (m_pOptLianTong && m_pOptLianTong->IsSelected())
        data->m_UserEnv.m_nNetType = 1;
    ShowCurrent();
}
