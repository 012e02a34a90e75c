// The room session of the window: entering (InitRoom), stopping (StopAllMedia),
// reconnecting, and the handlers of room notifications that only refresh what the
// window shows of the room and of the local user.
#include <cstdio>
#include <cwchar>
#include <string>

#include "app/ClientApp.h"
#include "app/LobbyLink.h"
#include "app/SkinInk.h"
#include "app/SkinTable.h"
#include "controls/CtrlListFriend.h"
#include "controls/KernelData.h"
#include "controls/RoomCtrlUI.h"
#include "dialogs/WndQunshua.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/RoomMessages.h"
#include "room/WndRoom.h"
#include "services/MyWaveInCtrl.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

// The room's name as the name label ("name(id)") and the window title ("[房间:name]")
// show it.
void ShowRoomName(CControlUI* label, HWND wnd, int roomId) {
    CRoomObj* room = KnownRoom(roomId);
    const std::wstring name = room ? winplat::AnsiToWide(room->roomName) : std::wstring();
    if (label) label->SetText(winplat::FormatText(L"%ls(%d)", name.c_str(), roomId).c_str());
    if (room && wnd) ::SetWindowTextW(wnd, (L"[房间:" + name + L"]").c_str());
}

}  // namespace

void CWndRoom::InitRoom(int roomId) {
    m_nRoomId = roomId;
    m_bLoggedIn = 0;
    m_nReconnectCount = 0;
    ::KillTimer(m_hWnd, kTimerReconnect);
    ::SetTimer(m_hWnd, kTimerRoomPing, 5000, nullptr);
    // The gift-notice timer runs while notices are queued (started by the first).
    ::SetTimer(m_hWnd, kTimerMicCountdown, 500, nullptr);
    ::SetTimer(m_hWnd, kTimerSeals, 2000, nullptr);

    const wchar_t* rowLayout =
        m_nRoomKind == ROOM_KIND_FOUR_LISTS ? L"userlist_2.xml" : L"userlist.xml";
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pWaitMicList, m_pRoomMgrList, m_pOnMicList})
        if (list) list->LoadItemTemplate(rowLayout);

    StartMediaSession();

    if (m_pGiftNoticeQueue) {
        m_pGiftNoticeQueue->Clear();
    } else {
        m_pGiftNoticeQueue = new CGiftNoticeQueue;
        m_pGiftNoticeQueue->SetRoomWnd(this);
    }

    if (m_pGiftUserCombo) m_pGiftUserCombo->RemoveAll();
    if (m_pGiftNumCombo) m_pGiftNumCombo->SelectItem(0);
    if (m_pGiftNumEdit) m_pGiftNumEdit->SetText(L"1");
    if (m_pChatUserCombo) {
        m_pChatUserCombo->RemoveAll();
        auto* everybody = new CListLabelElementUI;
        everybody->SetText(L"所有人");
        everybody->SetTag(0);
        m_pChatUserCombo->Add(everybody);
        m_pChatUserCombo->SelectItem(0);
    }

    // A plain label does not scroll: a timer would only wake the loop ten times a second.
    if (m_pRoomYugao && std::wcscmp(m_pRoomYugao->GetClass(), L"LabelUI") != 0)
        m_pm.SetTimer(m_pRoomYugao, kControlScrollTimer, kNoticeScrollMs);
    ShowRoomName(m_pRoomName, m_hWnd, roomId);
    // The gift strip's timer starts with its first gift (an empty strip has no steps).

    if (CCommKernelData* data = KernelData(); data && data->m_pWaveInCtrl) {
        data->m_pWaveInCtrl->setWaveInDevId(theApp.m_nWaveInDev);
        data->m_pWaveInCtrl->setWaveOutDevId(theApp.m_nWaveOutDev);
    }

    // A gift effect whose player is not there is told in the room, from the player's
    // thread by a message. Set here, not at the first layout: the room's gifts come as
    // soon as it is entered, before its window has been painted. The handler stays
    // until the next room sets its own: once this window is gone, the message goes
    // nowhere.
    if (CCommKernelData* data = KernelData()) {
        const HWND self = m_hWnd;
        data->m_PropsTaskMgr.SetPlayFailedHandler(
            [self] { ::PostMessageW(self, UM_EFFECT_PLAYER_MISSING, 0, 0); });
    }

    if (CCommKernelData* data = KernelData()) {
        m_chatInput.SetTextFont(data->m_szFontName, data->m_nFontSize, data->m_bBold != 0,
                                data->m_bUnderline != 0, data->m_bItalic != 0);
        m_chatInput.SetTextColor(RgbFromColorRef(data->m_crTextColor));
        data->m_UserEnv.m_bMuteSpeak = false;
    }

    if (m_pRoomCtrl) {
        m_pRoomCtrl->ReloadAudioDevice();
        m_pRoomCtrl->RefreshMuteButtons();
        if (m_pRoomCtrl->m_pUpMicBtn) m_pRoomCtrl->m_pUpMicBtn->SetVisible(true);
        if (m_pRoomCtrl->m_pDownMicBtn) m_pRoomCtrl->m_pDownMicBtn->SetVisible(false);
    }

    if (CCommKernelData* data = KernelData()) {
        data->m_FriendMgr.ClearAllClosedFriend();
        std::string folder = winplat::WideToAnsi(data->m_szAppPath);
        if (folder.size() > 63) folder.resize(63);
        data->m_FriendMgr.LoadClosedFriend(&folder[0], data->GetLocalUser()->userId);
    }
}

void CWndRoom::StopAllMedia() {
    m_nRoomId = 0;
    m_bLoggedIn = 0;
    m_bLoginFlag2 = 0;
    // The reconnect timer (306) keeps running: a reconnection continues after the stop.
    for (UINT id : {kTimerRoomPing, kTimerGiftNotice, kTimerMicCountdown, kTimerFireworks,
                    kTimerSeals, kTimerGroupGift})
        ::KillTimer(m_hWnd, id);
    m_pm.RemoveAllTimers();

    StopMediaSession();
    if (CCommKernelData* data = KernelData()) {
        data->m_UserEnv.m_bInitVideoCap = false;
        data->m_UserEnv.m_bInitAudioCap = false;
        data->m_UserEnv.m_bLocalPreview = false;
        data->m_UserEnv.m_bMuteMic = true;
    }

    if (m_pGiftNoticeQueue) {
        m_pGiftNoticeQueue->Clear();
        delete m_pGiftNoticeQueue;
        m_pGiftNoticeQueue = nullptr;
    }
    if (m_pFlyGiftRace) {
        if (auto* race =
                static_cast<CFlyGiftLabelUI*>(m_pFlyGiftRace->GetInterface(L"FlyGiftLabel")))
            race->Clear();
        else
            m_pFlyGiftRace->SetText(L"");
    }
    m_groupGiftQueue.clear();
    // All four lists: the kernel deletes the room's users on a reconnect, and a row
    // left behind in any of them would show a deleted user.
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pWaitMicList, m_pRoomMgrList, m_pOnMicList})
        if (list) list->RemoveAll();
    m_announcedIds.clear();
    CloseAllUserVideoWnds();
}

void CWndRoom::OnRoomDisconnected() {
    InsertHintLine(1, 1, L"房间断开连接");
    Reconnect();
}

void CWndRoom::Reconnect() {
    ::KillTimer(m_hWnd, kTimerReconnect);
    CCommKernel::GetInstance()->DisconnectServer(static_cast<_eServerType>(3));
    if (++m_nReconnectCount > kRoomMaxReconnects) return;
    StopAllMedia();
    InsertHintLine(1, 1, L"您与房间服务器异常断开正在尝试重新连接，请稍后......");
    if (!HasLobbyWindow()) return;
    LobbyRejoinRoom();
    ::SetTimer(m_hWnd, kTimerReconnect, 20000, nullptr);
}

// The base information may carry a new name: the label and the title follow it.
void CWndRoom::OnRoomInfoChanged() {
    ShowRoomName(m_pRoomName, m_hWnd, m_nRoomId);
}

// The attribute word is read when chat is sent.
void CWndRoom::OnRoomAttrChanged() {}

void CWndRoom::ReloadAudioDevice() {
    if (m_pRoomCtrl) m_pRoomCtrl->ReloadAudioDevice();
}

void CWndRoom::OnMyWealthChanged() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    const CUserObj* me = data->GetLocalUser();
    // Balances are 64-bit: shown whole, never cut to their low half.
    std::wstring text;
    if (m_pStaNk) {
        text = winplat::FormatText(L"%lldZ币", static_cast<long long>(me->money));
        m_pStaNk->SetText(text.c_str());
    }
    if (m_pStaNb) {
        text = winplat::FormatText(L"%lldZ豆", static_cast<long long>(me->points));
        m_pStaNb->SetText(text.c_str());
    }
}

void CWndRoom::UpdateMyInfo() {
    OnMyWealthChanged();
    CCommKernelData* data = KernelData();
    if (!data) return;
    const CUserObj* me = data->GetLocalUser();
    if (m_pMySettingBtn) {
        if (auto* button = static_cast<CButtonUI*>(m_pMySettingBtn->GetInterface(L"Button")))
            button->SetForeImage(
                winplat::FormatText(L"file='Face/36/%d.png' dest='2,2,38,38'", me->faceId).c_str());
    }
    if (m_pMyUserAlias) m_pMyUserAlias->SetText(winplat::AnsiToWide(me->alias).c_str());
    if (m_pMyUserId) {
        m_pMyUserId->SetText(winplat::FormatText(L"(%d)", me->userId).c_str());
    }
}

void CWndRoom::OnWaitMicListChanged() {
    if (!m_pWaitMicList) return;
    m_pWaitMicList->RemoveAll();
    CRoomObj* room = KnownRoom(m_nRoomId);
    CCommKernelData* data = KernelData();
    if (room && data && data->m_pUserManager) {
        for (int id : *room->GetWaitMicUserIds())
            if (CUserObj* user = data->m_pUserManager->FindUser(id)) m_pWaitMicList->AddUser(user);
    }
    UpdateUserListCounts();
    if (room && room->GetWaitMicCount() > 0) {
        InsertHintLine(
            1, 1,
            winplat::FormatText(L"排麦列表更新了！当前排麦人数 %d人", room->GetWaitMicCount())
                .c_str());
    }
}

void CWndRoom::ApplySkinColors(const tagSkinInfo* skin) {
    if (!skin) skin = g_pCurSkin;
    if (!skin) return;
    if (m_pWinBGCtl && skin->szBkImage) m_pWinBGCtl->SetBkImage(skin->szBkImage);
    // The title bar is taller than the frame image's header band, so it paints the
    // skin's dark colour itself, as does the window's border.
    if (CControlUI* title = Find(L"roomtitle")) title->SetBkColor(skin->crDark);
    if (m_pWinBGCtl) m_pWinBGCtl->SetBorderColor(skin->crDark);
    for (CWebBrowserUI* web : {m_pPubTextOut, m_pPrivTextOut, m_pSiegeTextOut})
        if (web) web->SetBkground(skin->crLight1);
    if (m_pZjZone) m_pZjZone->SetBkColor(skin->crLight1);
    if (m_pLabaZone) m_pLabaZone->SetBkground(skin->crLight2);
    if (m_pRoomYugao) m_pRoomYugao->SetBkColor(skin->crLight2);
    // The gift strip runs over the title bar: its text must read on the dark colour.
    if (auto* strip = dynamic_cast<CLabelUI*>(m_pFlyGiftRace))
        strip->SetTextColor(ReadableInk(m_dwGiftStripInk, skin->crDark));
    if (m_pWndQunshua) m_pWndQunshua->SetBkImage();
}

void CWndRoom::OnWindowInit() {
    SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    UpdateMyInfo();
    ApplySkinColors(nullptr);
    FillGiftPane();
}
