// Openers of the room's dialogs and what they answer.
#include <cstring>

#include "dialogs/WndBaoxiangOpen.h"
#include "dialogs/WndGiftInfo.h"
#include "dialogs/WndQunshua.h"
#include "dialogs/WndRoomAudioSetting3.h"
#include "dialogs/WndSendWordGift.h"
#include "dialogs/WndUserSeal.h"
#include "room/LobbyLink.h"
#include "room/WndRoom.h"

void CWndRoom::ShowSkinChooser() {
    LobbyShowSkinChooser();
}

void CWndRoom::ShowPersonalSettings() {
    LobbyShowPersonalSettings();
}

void CWndRoom::ShowAudioSettingWnd() {
    OpenSelfDeleting(m_pWndAudioSetting, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

// The dialog issues fill these; until a dialog exists its slot stays null.
void CWndRoom::ShowUserInfoWnd(int) {}
void CWndRoom::ShowIconHelpWnd() {}
void CWndRoom::ShowNetworkChoose() {}
void CWndRoom::ShowViolationWnd(int) {}
void CWndRoom::ShowGetPaidWnd() {}
void CWndRoom::ShowAutoChatWnd() {}
void CWndRoom::ShowExchangeWnd() {}

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
}
