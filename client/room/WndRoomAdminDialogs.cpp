// Openers of the room's administration dialogs: room settings, exchange and
// transfer, the private spectators, sanctions and the user card.
#include "controls/KernelData.h"
#include "dialogs/WndRoomExchange.h"
#include "dialogs/WndRoomLookme.h"
#include "dialogs/WndRoomSetting.h"
#include "dialogs/WndUserInfo.h"
#include "dialogs/WndUserViolationHanding.h"
#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"

namespace {

CUserObj* FindRoomUser(int userId) {
    CCommKernelData* data = KernelData();
    return data ? data->m_pUserManager->FindUser(userId) : nullptr;
}

}  // namespace

void CWndRoom::ShowRoomSettingWnd() {
    CCommKernelData* data = KernelData();
    CUserObj* me = data ? data->GetLocalUser() : nullptr;
    CUserMVManager* rights = data ? data->m_pUserMVManager : nullptr;
    // Any of these opens the room settings.
    if (!rights || !(rights->CheckPrivilege(PRIV_ROOM_BASE_INFO, me) ||
                     rights->CheckPrivilege(PRIV_ROOM_OP_STATUS, me) ||
                     rights->CheckPrivilege(PRIV_ROOM_CREATOR, me))) {
        InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
        return;
    }
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
    if (m_pWndLookme) return;
    CCommKernelData* data = KernelData();
    if (!data || !(data->GetLocalUser()->flags & (USER_FLAG_VIP_MIC | USER_FLAG_SECRET_MIC))) {
        InsertHintLine(1, 1, L"您没有在私麦或密麦上,无法使用此功能！");
        return;
    }
    CWndRoomLookme wnd;
    if (!wnd.Create(m_hWnd, L"", WS_POPUP, 0, 0, 0, 0, 0)) return;
    // Filled once created: the list exists only then.
    wnd.FillLookmeList();
    wnd.CenterWindow();
    m_pWndLookme = &wnd;
    wnd.ShowModal();
    m_pWndLookme = nullptr;
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
