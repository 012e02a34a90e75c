// The room window's menu commands and the operations behind them: microphone
// requests, target selection, the user lists' upkeep, locating a user, the game.
#include <cstring>
#include <cwchar>
#include <string>

#include "app/ClientApp.h"
#include "app/OutsideOpen.h"
#include "app/LobbyLink.h"
#include "controls/CtrlListFriend.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "room/RoomSession.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"
#include "win32gui/clipboard.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace {

constexpr UINT kFirstCommand = 13908;
constexpr UINT kLastCommand = 13975;
constexpr uint32_t kAnyMicFlags = 0x17;

using roomsession::FindUser;
using roomsession::Me;

// The local user's privilege over a target (or alone when target is null).
bool Allowed(short privilege, CUserObj* target = nullptr) {
    CCommKernelData* data = KernelData();
    if (!data || !data->m_pUserMVManager) return false;
    return target ? data->m_pUserMVManager->CheckPrivilege(privilege, Me(), target)
                  : data->m_pUserMVManager->CheckPrivilege(privilege, Me());
}

bool OnAnyMic(const CUserObj* user) {
    return user && (user->flags & kAnyMicFlags) != 0;
}

// A combo entry (a list label) for a user, found by its tag.
int IndexOfTag(CComboUI* combo, UINT_PTR tag) {
    if (!combo) return -1;
    for (int i = 0; i < combo->GetCount(); ++i)
        if (combo->GetItemAt(i)->GetTag() == tag) return i;
    return -1;
}

void SelectUserIn(CComboUI* combo, CUserObj* user) {
    if (!combo || !user) return;
    int index = IndexOfTag(combo, static_cast<UINT_PTR>(user->userId));
    if (index < 0) {
        auto* item = new CListLabelElementUI;
        item->SetText(winplat::AnsiToWide(user->alias).c_str());
        item->SetTag(static_cast<UINT_PTR>(user->userId));
        combo->Add(item);
        index = combo->GetCount() - 1;
    }
    combo->SelectItem(index);
}

void CopyTextToClipboard(HWND owner, const std::string& text) {
    if (!::OpenClipboard(owner)) return;
    ::EmptyClipboard();
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (mem) {
        if (void* p = ::GlobalLock(mem)) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            ::GlobalUnlock(mem);
            if (!::SetClipboardData(CF_TEXT, mem)) ::GlobalFree(mem);
        } else {
            ::GlobalFree(mem);
        }
    }
    ::CloseClipboard();
}

}  // namespace

LRESULT CWndRoom::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != 0) return 0;
    const UINT id = LOWORD(wParam);
    if (id < kFirstCommand || id > kLastCommand) return 0;
    return RunCommand(static_cast<int>(id)) ? 1 : 0;
}

bool CWndRoom::RunCommand(int id) {
    CUserObj* sel = FindUser(m_nSelUserId);
    CCommKernel* kernel = CCommKernel::GetInstance();
    const wchar_t* refused = CErrorMessage::m_szErrText[0];
    switch (id) {
        case 13908:
            ShowUserInfoWnd(m_nSelUserId);
            break;
        case 13909:
            CopyUserId(m_nSelUserId);
            break;
        case 13910:
            CopyUserAlias(m_nSelUserId);
            break;
        case 13911:
            InviteUpMic(m_nSelUserId, 1);
            break;
        case 13912:
            InviteUpMic(m_nSelUserId, 2);
            break;
        case 13913:
            InviteDownMic(m_nSelUserId);
            break;
        case 13914:
            if (sel) ConnectUserVideo(sel, true);
            break;
        case 13915:
            if (m_pRoomUserList && sel) m_pRoomUserList->SelectItemByTag(sel);
            break;
        case 13917:
            AppointManager(m_nSelUserId, 1);
            break;
        case 13918:
            AppointManager(m_nSelUserId, 2);
            break;
        case 13919:
            SendMessageW(UM_SHOW_SEAL_WND, static_cast<WPARAM>(m_nSelUserId), 0);
            break;
        case 13920:
            SendMessageW(UM_SHOW_WORD_GIFT_WND, static_cast<WPARAM>(m_nSelUserId), 0);
            break;
        case 13921:
            if (sel && Allowed(PRIV_SEE_USER_IP, sel))
                kernel->SendMsg_SeeUserIpReq(static_cast<unsigned>(m_nSelUserId));
            else
                InsertHintLine(1, 1, refused);
            break;
        case 13922:
        case 13923:
        case 13924:
        case 13925:
        case 13926:
        case 13927: {
            static const int kOps[] = {-1, 1, 2, 3, 4, -2};
            const int occurrence =
                m_pWaitMicList ? m_pWaitMicList->CountUserItemsUpTo(m_nSelUserId, m_nSelItemIndex)
                               : 0;
            OperateWaitMic(m_nSelUserId, occurrence, kOps[id - 13922]);
            break;
        }
        case 13928:
            if (m_pMenuBrowser) m_pMenuBrowser->OnSelectAll();
            break;
        case 13929:
            if (m_pMenuBrowser) m_pMenuBrowser->OnCopy();
            break;
        case 13930:
            if (m_pMenuBrowser) m_pMenuBrowser->Clear();
            break;
        case 13931:
            if (sel && Allowed(PRIV_KICK_OUT, sel)) {
                tag_CMDUserKickoutRoomInfo record;
                std::memset(&record, 0, sizeof record);
                record.roomId = m_nRoomId;
                record.actorId = Me()->userId;
                record.userId = m_nSelUserId;
                kernel->SendMsg_KickoutUserReq(&record);
            } else {
                InsertHintLine(1, 1, refused);
            }
            break;
        case 13932:
        case 13933: {
            // The room black list needs no privilege here: the server decides.
            if (id == 13933 && !Allowed(PRIV_SITE_BLACKLIST)) {
                InsertHintLine(1, 1, refused);
                break;
            }
            tag_CMDThrowUserInfo record{};
            record.roomId = m_nRoomId;
            record.userId = Me()->userId;
            record.targetId = m_nSelUserId;
            record.scope = id == 13932 ? THROW_SCOPE_ROOM : THROW_SCOPE_ALL_ROOMS;
            kernel->SendMsg_AddUserToBlackListReq(&record);
            break;
        }
        case 13938:
        case 13939:
        case 13940:
        case 13941:
        case 13942:
        case 13943:
        case 13944:
        case 13945:
        case 13946:
        case 13947:
            SendQuickPhrase(id - 13938);
            break;
        case 13948:
            if (m_pPubTextOut) m_pPubTextOut->Clear();
            break;
        case 13949:
            if (m_pPrivTextOut) m_pPrivTextOut->Clear();
            break;
        case 13950:
            ShowAutoChatWnd();
            break;
        case 13951:
        case 13952:
        case 13953:
        case 13954:
        case 13955:
        case 13956:
        case 13957:
        case 13958:
        case 13959:
            ToggleSetting(id);
            break;
        case 13960:
            SetPaneMicType(m_nSelPaneIndex, 10);
            break;
        case 13961:
            SetPaneMicType(m_nSelPaneIndex, -1);
            break;
        case 13962:
            SetPaneMicType(m_nSelPaneIndex, -2);
            break;
        case 13966:
            SetPaneMicType(m_nSelPaneIndex, 0);
            break;
        case 13963:
            ExtendPaneMicTime(m_nSelPaneIndex, 10);
            break;
        case 13964:
            InviteDownMic(GetPaneUserId(m_nSelPaneIndex));
            break;
        case 13967: {
            const int paneUser = GetPaneUserId(m_nSelPaneIndex);
            if (paneUser > 0) LocateUser(paneUser);
            break;
        }
        case 13968:
        case 13969:
        case 13970:
            TakeMic(1, id - 13968);
            break;
        case 13971:
            TakeMic(2, 0);
            break;
        case 13972:
            TakeMic(4, 0);
            break;
        case 13973:
            JoinWaitMic();
            break;
        case 13974:
            TakeMic(1, 255);
            break;
        case 13975:
            CancelManager(m_nSelUserId);
            break;
        default:
            // 13916, the input edit menu (13934-13937) and 13965 take default processing.
            return false;
    }
    return true;
}

void CWndRoom::ToggleSetting(int id) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserEnvSetting& env = data->m_UserEnv;
    bool* flag = nullptr;
    switch (id) {
        case 13951:
            flag = &env.m_bShiledPublicChat;
            break;
        case 13952:
            flag = &env.m_bShiledPrivateChat;
            break;
        case 13953:
            flag = &env.m_bShiledInoutMsg;
            break;
        case 13954:
            flag = &env.m_bShiledColorbar;
            break;
        case 13955:
            flag = &env.m_bAnonymity;
            break;
        case 13956:
            flag = &data->GetLocalUser()->forbidCarryToMic;
            break;
        case 13957:
            flag = &env.m_bShiledGiftShow;
            break;
        case 13958:
            flag = &env.m_bShiledGiftEffect;
            break;
        case 13959:
            flag = &env.m_bShiledGiftEffectSound;
            break;
        default:
            return;
    }
    *flag = !*flag;
    if (id == 13956) CCommKernel::GetInstance()->SendMsg_SetForbidInviteUpMicReq();
    if (id == 13958) data->m_PropsTaskMgr.SetShiledPlayFlash(*flag);
    if (id == 13959) data->m_PropsTaskMgr.SetShiledPlayFlashSound(*flag);
    ::CheckMenuItem(m_hMenus[kMenuSettings], static_cast<UINT>(id),
                    *flag ? MF_CHECKED : MF_UNCHECKED);
}

// ---------------------------------------------------------------------------
// Microphones

void CWndRoom::SendMicState(int targetId, int kind, int index) {
    tag_CMDUserMicState record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.actorId = Me() ? Me()->userId : 0;
    record.targetId = targetId;
    record.kind = static_cast<int16_t>(kind);
    record.micIndex = static_cast<uint8_t>(index);
    CCommKernel::GetInstance()->SendMsg_SetMicStateReq(&record);
}

void CWndRoom::InviteDownMic(int userId) {
    CRoomObj* room = KnownRoom(m_nRoomId);
    CUserObj* user = room ? room->FindUser(userId) : nullptr;
    if (!user) return;
    if (!Allowed(PRIV_INVITE_TO_PUBLIC_MIC, user)) {
        InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
        return;
    }
    if (OnAnyMic(user))
        SendMicState(userId, 0, 255);
    else
        InsertHintLine(1, 1, L"对方不在麦上,无法邀请下麦！");
}

void CWndRoom::InviteUpMic(int userId, int kind) {
    CRoomObj* room = KnownRoom(m_nRoomId);
    CUserObj* user = room ? room->FindUser(userId) : nullptr;
    if (!user) return;
    if (user->forbidCarryToMic) {
        InsertHintLine(1, 1, L"对方启用禁止被报上麦功能！");
        return;
    }
    if (!Allowed(PRIV_INVITE_TO_PUBLIC_MIC, user)) {
        InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
        return;
    }
    if (OnAnyMic(user)) {
        InsertHintLine(1, 1, L"对方已经上了公麦或私麦，不能接受邀请上公麦！");
        return;
    }
    SendMicState(userId, kind, 255);
}

void CWndRoom::LeaveMyMic() {
    CUserObj* me = Me();
    if (!OnAnyMic(me)) {
        InsertHintLine(1, 1, L"你当前不在任何麦上,操作直接返回！");
        return;
    }
    SendMicState(me->userId, 0, 255);
}

void CWndRoom::RequestMyMic(int kind, int index) {
    CUserObj* me = Me();
    if (!me) return;
    if (OnAnyMic(me)) {
        InsertHintLine(1, 1, L"已经在麦上,操作直接返回！");
        return;
    }
    SendMicState(me->userId, kind, index);
}

void CWndRoom::ConnectUserVideo(CUserObj* user, bool hintWhenNotPrivate) {
    if (!user) return;
    // His window is open already: no privilege hint and no second request.
    const bool privateMic = user->flags & (USER_FLAG_VIP_MIC | USER_FLAG_SECRET_MIC);
    if (privateMic && HasUserVideoWnd(user->userId)) return;
    if (user->flags & USER_FLAG_VIP_MIC) {
        if (Allowed(PRIV_VIP_MIC_VIDEO))
            OpenUserVideoWnd(user, false);
        else
            InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
    } else if (user->flags & USER_FLAG_SECRET_MIC) {
        OpenUserVideoWnd(user, true);
    } else if (hintWhenNotPrivate) {
        InsertHintLine(1, 1, L"用户不在私密麦上,不能连接视频！");
    }
}

// ---------------------------------------------------------------------------
// Targets and lists

void CWndRoom::SelectChatTarget(CUserObj* user) {
    SelectUserIn(m_pChatUserCombo, user);
}

void CWndRoom::SelectGiftTarget(CUserObj* user) {
    SelectUserIn(m_pGiftUserCombo, user);
}

void CWndRoom::RemoveChatTarget(int userId) {
    const int index = IndexOfTag(m_pChatUserCombo, static_cast<UINT_PTR>(userId));
    if (index < 0 || userId == 0) return;
    const bool selected = m_pChatUserCombo->GetCurSel() == index;
    m_pChatUserCombo->RemoveAt(index);
    if (selected) m_pChatUserCombo->SelectItem(0);
}

void CWndRoom::RemoveGiftTarget(int userId) {
    const int index = IndexOfTag(m_pGiftUserCombo, static_cast<UINT_PTR>(userId));
    if (index >= 0) m_pGiftUserCombo->RemoveAt(index);
}

void CWndRoom::RemoveUserEverywhere(int userId) {
    CloseMicPane(userId);
    CloseUserMedia(userId);
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList, m_pWaitMicList, m_pOnMicList})
        if (list) list->RemoveUser(userId, 0);
    RemoveGiftTarget(userId);
    RemoveChatTarget(userId);
    DropGroupGiftRecipient(userId);
    UpdateUserListCounts();
}

void CWndRoom::UpdateUserListCounts() {
    const struct {
        CControlUI* tab;
        CCtrlListFriend* list;
        const wchar_t* format;
    } captions[] = {
        {m_pMgrUserSel, m_pRoomMgrList, L"管理/%d"},
        {m_pAllUserSel, m_pRoomUserList, L"全部/%d"},
        {m_pApcUserSel, m_pWaitMicList, L"麦序/%d"},
        {m_pOnMicUserSel, m_pOnMicList, L"VIP麦/%d"},
    };
    for (const auto& c : captions) {
        if (!c.tab) continue;
        c.tab->SetText(winplat::FormatText(c.format, c.list ? c.list->GetCount() : 0).c_str());
    }
}

void CWndRoom::FillAllUserList() {
    CRoomObj* room = KnownRoom(m_nRoomId);
    if (room && m_pRoomUserList)
        for (const auto& member : *room->GetUsers()) m_pRoomUserList->AddUser(member.second);
    UpdateUserListCounts();
}

void CWndRoom::LocateUser(int userId) {
    if (!m_pRoomUserList) return;
    CRoomObj* room = KnownRoom(m_nRoomId);
    CUserObj* user = room && userId != 0 ? room->FindUser(userId) : nullptr;
    if (!user) user = Me();
    m_pRoomUserList->SelectItemByTag(user);
}

void CWndRoom::CopyUserId(int userId) {
    if (userId <= 0) return;
    CopyTextToClipboard(m_hWnd, std::to_string(userId));
}

void CWndRoom::CopyUserAlias(int userId) {
    CUserObj* user = FindUser(userId);
    if (userId <= 0 || !user) return;
    CopyTextToClipboard(m_hWnd, user->alias);
}

void CWndRoom::ShowUserListTab(int tab) {
    CCtrlListFriend* lists[] = {m_pRoomMgrList, m_pRoomUserList, m_pWaitMicList, m_pOnMicList};
    if (m_nRoomKind == ROOM_KIND_STANDARD) {
        if (tab > 1) return;
        for (int i = 0; i < 2; ++i)
            if (lists[i]) lists[i]->SetVisible(false);
    } else if (m_nRoomKind == ROOM_KIND_FOUR_LISTS) {
        for (CCtrlListFriend* list : lists)
            if (list) list->SetVisible(false);
    } else {
        return;
    }
    if (tab >= 0 && tab < 4 && lists[tab]) lists[tab]->SetVisible(true);
}

void CWndRoom::ShowUserListTab2(int tab) {
    if (m_pWaitMicList) m_pWaitMicList->SetVisible(tab == 0);
    if (m_pOnMicList) m_pOnMicList->SetVisible(tab == 1);
}

void CWndRoom::ShowGiftGroup(int group) {
    for (int i = 0; i < 4; ++i)
        if (m_pGiftList[i]) m_pGiftList[i]->SetVisible(i == group);
}

void CWndRoom::ToggleWaitMicPane() {
    if (!m_pWaitMicPane) return;
    m_pWaitMicPane->SetFixedHeight(m_pWaitMicPane->GetFixedHeight() == 24 ? 150 : 24);
}

void CWndRoom::LeaveRoomToLobby() {
    LobbyLeaveRoomAndShow();
}

void CWndRoom::OnSelectTargetUser(int userId) {
    if (userId <= 0) return;
    CRoomObj* room = KnownRoom(m_nRoomId);
    CUserObj* user = room ? room->FindUser(userId) : nullptr;
    if (!user) return;
    SelectGiftTarget(user);
    SelectChatTarget(user);
}

void CWndRoom::LaunchGame() {
    // The same program, token and account as the application starts it.
    theApp.StartGameProgram(
        [this](const std::wstring& text) { InsertHintLine(1, 1, text.c_str()); });
}

void CWndRoom::OpenPage(const wchar_t* address) {
    OpenWebPage(address, m_hWnd,
                [this](const std::wstring& text) { InsertHintLine(1, 1, text.c_str()); });
}
