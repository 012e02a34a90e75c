#include "dialogs/WndQunshua.h"

#include <set>

#include "app/SkinTable.h"
#include "controls/CtrlListQunshuaUser.h"
#include "controls/KernelData.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndQunshua",     L"WndQunshua.xml",       kMsgStandard,
                               ScClose::kWmClose, Lifetime::kSelfDeleting, false};

}  // namespace

const SkinWndTraits& CWndQunshua::Traits() const {
    return kTraits;
}

void CWndQunshua::InitWindow() {
    CSkinWnd::InitWindow();
    m_pUserList = dynamic_cast<CCtrlListQunshuaUser*>(Find(L"mvuserlist"));
    m_pSelAll = dynamic_cast<CCheckBoxUI*>(Find(L"chkselall"));
    m_pType = dynamic_cast<CComboUI*>(Find(L"combotype"));
    SetBkImage();
}

void CWndQunshua::SetBkImage() {
    if (m_pWinBG && g_pCurSkin && g_pCurSkin->szBkImage)
        m_pWinBG->SetBkImage(g_pCurSkin->szBkImage);
}

void CWndQunshua::FillUserList(int type) {
    CRoomObj* room = CurrentRoom();
    if (!room || !m_pUserList) return;
    CCommKernelData* data = KernelData();
    const int myId = data ? data->GetLocalUser()->userId : 0;
    if (type == 1) {
        std::set<int> listed;
        for (int id : *room->GetWaitMicUserIds())
            if (CUserObj* user = id != myId ? room->FindUser(id) : nullptr)
                if (listed.insert(id).second) m_pUserList->AddUser(user);
        return;
    }
    for (auto& entry : *room->GetUsers()) {
        CUserObj* user = entry.second;
        // The sender is no recipient: a gift to oneself is refused, yet would be charged.
        if (!user || user->userId == myId) continue;
        const bool wanted = type == 0   ? user->levels[0] > 1
                            : type == 2 ? (user->flags & USER_FLAG_PUBLIC_MIC) != 0
                            : type == 3 ? user->GetRoomMgrLevel() > 0
                                        : false;
        if (wanted) m_pUserList->AddUser(user);
    }
}

int CWndQunshua::GetCheckedCount() {
    return m_pUserList ? m_pUserList->GetCheckedCount() : 0;
}

int CWndQunshua::GetCheckedUserIds(std::vector<int>& ids) {
    return m_pUserList ? m_pUserList->GetCheckedUserIds(ids) : static_cast<int>(ids.size());
}

void CWndQunshua::RemoveUser(int userId) {
    if (m_pUserList) m_pUserList->RemoveUser(userId);
}

void CWndQunshua::OnClick(TNotifyUI& msg) {
    if (msg.pSender == m_pCloseBtn) {
        Close(1);
    } else if (msg.pSender == m_pSelAll && m_pSelAll && m_pUserList) {
        // The click arrives before the box toggles itself.
        m_pUserList->SetAllChecked(!m_pSelAll->GetCheck());
    }
}

void CWndQunshua::OnNotify(TNotifyUI& msg) {
    if (msg.pSender == m_pType && m_pType && msg.sType == DUI_MSGTYPE_ITEMSELECT && m_pUserList) {
        m_pUserList->RemoveAll();
        FillUserList(m_pType->GetCurSel());
    }
}
