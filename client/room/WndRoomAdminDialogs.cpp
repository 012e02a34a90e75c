// Openers of the room's administration dialogs: room settings, exchange and
// transfer, the private spectators, sanctions and the user card.
#include "dialogs/WndRoomExchange.h"
#include "dialogs/WndRoomLookme.h"
#include "dialogs/WndRoomSetting.h"
#include "dialogs/WndUserInfo.h"
#include "dialogs/WndUserViolationHanding.h"
#include "kernel/CommKernel.h"
#include "model/UserManager.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

namespace {

CUserObj* FindRoomUser(int userId) {
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    return data ? data->m_pUserManager->FindUser(userId) : nullptr;
}

}  // namespace

void CWndRoom::ShowRoomSettingWnd() {
    OpenSelfDeleting(m_pWndRoomSetting, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

void CWndRoom::ShowExchangeWnd() {
    OpenSelfDeleting(m_pWndExchange, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

void CWndRoom::RefreshExchangeBalance() {
    if (m_pWndExchange) ::PostMessageW(m_pWndExchange->GetHWND(), UM_REFRESH_BALANCE, 0, 0);
}

void CWndRoom::ShowViolationWnd(int userId) {
    if (m_pWndViolation) {
        m_pWndViolation->ShowWindow(true, true);
        return;
    }
    CUserObj* target = FindRoomUser(userId);
    if (!target) return;
    auto* wnd = new WndUserViolationHanding(*target);
    wnd->SetOwnerSlot(&m_pWndViolation);
    m_pWndViolation = wnd;
    if (!wnd->Create(m_hWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
        // Nothing will delete a window that never existed.
        if (m_pWndViolation == wnd) {
            m_pWndViolation = nullptr;
            delete wnd;
        }
        return;
    }
    wnd->CenterWindow();
    wnd->ShowWindow(true, true);
}

void CWndRoom::ShowLookMeWnd() {
    CWndRoomLookme wnd;
    if (!wnd.Create(m_hWnd, L"", WS_POPUP, 0, 0, 0, 0, 0)) return;
    wnd.FillLookmeList();
    wnd.CenterWindow();
    wnd.ShowModal();
}

void CWndRoom::ShowUserInfoWnd(int userId) {
    CUserObj* shown = FindRoomUser(userId);
    if (!shown) return;
    CWndUserInfo wnd;
    wnd.SetUser(shown);
    if (!wnd.Create(m_hWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) return;
    m_pWndUserInfo = &wnd;
    wnd.CenterWindow();
    wnd.ShowModal();
    m_pWndUserInfo = nullptr;
}
