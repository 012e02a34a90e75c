#include "dialogs/WndRoomLookme.h"

#include <vector>

#include "controls/CtrlListQunshuaUser.h"
#include "controls/KernelData.h"
#include "kernel/CommKernel.h"
#include "app/SkinFrame.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndRoomLookme",  L"WndRoomLookme.xml", kMsgStandard,
                               ScClose::kWmClose, Lifetime::kModal,     false};

}  // namespace

const SkinWndTraits& CWndRoomLookme::Traits() const {
    return kTraits;
}

void CWndRoomLookme::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    m_pList = dynamic_cast<CCtrlListQunshuaUser*>(Find(L"mvuserlist"));
}

void CWndRoomLookme::FillLookmeList() {
    CCommKernelData* data = KernelData();
    if (!m_pList || !data) return;
    // The map's own pointers may belong to users who have left; only the user
    // manager's objects are alive.
    for (const auto& entry : data->m_FriendMgr.m_mapPrivSpectator)
        if (CUserObj* user = data->m_pUserManager->FindUser(static_cast<int>(entry.first)))
            m_pList->AddUser(user);
}

void CWndRoomLookme::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    const CDuiString& name = sender->GetName();
    if (sender == m_pCloseBtn) {
        Close(1);
    } else if (name == L"btnrefresh") {
        if (m_pList) m_pList->RemoveAll();
        FillLookmeList();
    } else if (name == L"btncloseconnect") {
        CutOffTicked();
    }
}

void CWndRoomLookme::CutOffTicked() {
    CCommKernelData* data = KernelData();
    if (!m_pList || !data) return;
    std::vector<int> ids;
    m_pList->GetCheckedUserIds(ids);
    for (int id : ids) {
        CCommKernel::GetInstance()->SendMsg_RoomConnMediaErr(data->m_nCurRoomId, id);
        m_pList->RemoveUser(id);
        data->m_FriendMgr.ClearPrivSpectator(id);
    }
}
