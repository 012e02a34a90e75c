// Openers of the room's dialogs and what they answer.
#include <cstring>

#include "app/LobbyLink.h"
#include "controls/KernelData.h"
#include "dialogs/WndBaoxiangOpen.h"
#include "dialogs/WndGetPaid.h"
#include "dialogs/WndGiftInfo.h"
#include "dialogs/WndIconHelp.h"
#include "dialogs/WndMyAccount.h"
#include "dialogs/WndQunshua.h"
#include "dialogs/WndRoomAudioSetting3.h"
#include "dialogs/WndRoomAutoChat.h"
#include "dialogs/WndSendWordGift.h"
#include "dialogs/WndUserSeal.h"
#include "lobby/RoomEntryDialogs.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

void CWndRoom::ShowSkinChooser() {
    LobbyShowSkinChooser();
}

void CWndRoom::ShowPersonalSettings() {
    LobbyShowPersonalSettings();
}

void CWndRoom::ShowAudioSettingWnd() {
    if (OpenSelfDeleting(m_pWndAudioSetting, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW))
        m_pWndAudioSetting->SetApplyAvModuleConfig([this] { return ApplyAvModuleConfig(); });
}

void CWndRoom::ShowNetworkChoose() {
    CCommKernelData* data = KernelData();
    if (!data || m_bNetChooseOpen) return;
    const int before = data->m_UserEnv.m_nNetType;
    m_bNetChooseOpen = true;
    {
        CWndNetworkChoose chooser;
        if (chooser.Create(m_hWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
            chooser.CenterWindow();
            chooser.ShowModal();
        }
    }
    m_bNetChooseOpen = false;
    // A new carrier means the other media address of this room.
    if (data->m_UserEnv.m_nNetType != before) ApplyMediaAddress();
}

void CWndRoom::ShowSealWnd(int userId) {
    if (m_pWndUserSeal) return;
    auto* picker = new CWndUserSeal;
    picker->SetOwnerSlot(&m_pWndUserSeal);
    m_pWndUserSeal = picker;
    if (!picker->Create(m_hWnd, L"", WS_POPUP, 0, 0, 0, 0, 0)) {
        if (m_pWndUserSeal == picker) {
            m_pWndUserSeal = nullptr;
            delete picker;
        }
        return;
    }
    picker->SetTargetUserId(userId);
    picker->CenterWindow();
    picker->ShowModal();
}

void CWndRoom::ShowBaoxiangOpenWnd() {
    OpenSelfDeleting(m_pWndBaoxiangOpen, m_hWnd, ReuseAction::kShowAndForeground);
}

void CWndRoom::OnOpenChestResp(const char* payload) {
    if (!m_pWndBaoxiangOpen || !payload) return;
    m_pWndBaoxiangOpen->ShowWindow(true, true);
    ::SetForegroundWindow(m_pWndBaoxiangOpen->GetHWND());
    const auto byteAt = [payload](size_t at) {
        return static_cast<int>(static_cast<signed char>(payload[at]));
    };
    const int freeOpens = byteAt(12);
    if (payload[0] != 0) {
        m_pWndBaoxiangOpen->OnOpenFailed(0, freeOpens);
        return;
    }
    int16_t prize = 0;
    std::memcpy(&prize, payload + 14, sizeof prize);
    // The 16-bit field is the prize's index (its value comes from the window's table).
    m_pWndBaoxiangOpen->ShowResult(byteAt(13), prize, freeOpens);
}

void CWndRoom::DestroyChildWindows() {
    // Each window clears its own slot as it goes.
    if (m_pWndUserSeal && ::IsWindow(m_pWndUserSeal->GetHWND()))
        ::DestroyWindow(m_pWndUserSeal->GetHWND());
    if (m_pWndBaoxiangOpen && ::IsWindow(m_pWndBaoxiangOpen->GetHWND()))
        ::DestroyWindow(m_pWndBaoxiangOpen->GetHWND());
    if (m_pWndSendWordGift && ::IsWindow(m_pWndSendWordGift->GetHWND()))
        ::DestroyWindow(m_pWndSendWordGift->GetHWND());
    if (m_pWndQunshua && ::IsWindow(m_pWndQunshua->GetHWND()))
        ::DestroyWindow(m_pWndQunshua->GetHWND());
    if (m_pWndGiftInfo && ::IsWindow(m_pWndGiftInfo->GetHWND()))
        ::DestroyWindow(m_pWndGiftInfo->GetHWND());
    // It calls back into this window.
    if (m_pWndAudioSetting && ::IsWindow(m_pWndAudioSetting->GetHWND()))
        ::DestroyWindow(m_pWndAudioSetting->GetHWND());
}

// The web pages and the auto-chat settings of the room: one window each, owned by
// the room; its slot is cleared when the window goes.
void CWndRoom::ShowIconHelpWnd() {
    OpenSelfDeleting(m_pWndIconHelp, m_hWnd, ReuseAction::kNothing, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowGetPaidWnd() {
    OpenSelfDeleting(m_pWndGetPaid, m_hWnd, ReuseAction::kNothing, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowAutoChatWnd() {
    OpenSelfDeleting(m_pWndAutoChat, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowAccountWnd() {
    CCommKernelData* data = KernelData();
    if (!data || data->GetLocalUser()->levels[0] <= 1) {
        InsertHintLine(1, 1, L"您目前的身份是游客，请注册后重新登录。");
        return;
    }
    OpenSelfDeleting(m_pWndMyAccount, m_hWnd, ReuseAction::kShowAndForeground);
}
