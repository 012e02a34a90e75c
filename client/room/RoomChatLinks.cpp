// Link commands of the room's chat views: a click on a link the program wrote (a user,
// a microphone, a welcome, a private video answer, a thank-you, another room) runs
// its command; web links open in the desktop browser.
#include <cwchar>
#include <string>

#include "app/TrustedGates.h"
#include "controls/ChatRecord.h"
#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "controls/RoomLink.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "room/ChatLinks.h"
#include "lobby/JoinOtherRoom.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"

using namespace DuiLib;

namespace {

constexpr int kLobbyWndEntry = 1;
const wchar_t kUserGone[] = L"用户已经离开房间！";

// The lobby window registered in the kernel's window table, or null.
HWND LobbyWindow() {
    CCommKernel* k = CCommKernel::GetInstance();
    if (!k || !k->m_pWndTable || !k->m_pWndTable[kLobbyWndEntry]) return nullptr;
    return static_cast<CWindowWnd*>(k->m_pWndTable[kLobbyWndEntry])->GetHWND();
}

}  // namespace

void CWndRoom::BeforeNavigate2(CWebBrowserUI*, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                               bool& cancel) {
    if (!url) return;
    const ChatLink link = ParseChatLink(url);
    if (link.kind == ChatLinkKind::kNone) return;
    cancel = true;
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserObj* me = data->GetLocalUser();
    CCommKernel* kernel = CCommKernel::GetInstance();
    switch (link.kind) {
        case ChatLinkKind::kWeb:
            // The chat view keeps its page; the address opens in the desktop browser.
            OpenPage(url);
            break;
        case ChatLinkKind::kUser: {
            CRoomObj* room =
                data->m_pRoomManager ? data->m_pRoomManager->FindRoom(m_nRoomId) : nullptr;
            if (CUserObj* user = room ? room->FindUser(link.id) : nullptr) {
                SelectGiftTarget(user);
                SelectChatTarget(user);
            }
            break;
        }
        case ChatLinkKind::kRoom: {
            if (link.id == m_nRoomId) break;
            // A chat line is written by a peer: it may name only a gate already trusted,
            // or a click would send the password to the peer's server.
            const auto gate = ParseRoomGateList(link.text);
            if (!gate || !AcceptRoomLink(RoomLink{link.id, *gate}, L"", "room")) {
                InsertHintLine(1, 1, kUnknownGateHint);
                break;
            }
            const std::wstring question = winplat::FormatText(L"你是否要进入%d房间?", link.id);
            // The join follows only a Yes: one click on a pasted link must not move anybody.
            if (::MessageBoxW(m_hWnd, question.c_str(), L"提示:", MB_YESNO | MB_ICONQUESTION) !=
                IDYES)
                break;
            HWND lobby = LobbyWindow();
            if (!lobby) break;
            auto* block = new tagJoinOtherRoom{};
            block->nRoomId = link.id;
            gate->text.copy(block->szGateAddr, kRoomLinkGateChars);
            if (!::PostMessageW(lobby, UM_JOIN_OTHER_ROOM, static_cast<WPARAM>(link.id),
                                reinterpret_cast<LPARAM>(block)))
                delete block;
            break;
        }
        case ChatLinkKind::kVipMic: {
            if (link.id == me->userId) break;
            CUserObj* user = KnownUser(link.id);
            if (!user || !(user->flags & USER_FLAG_VIP_MIC)) {
                InsertHintLine(1, 1, L"用户没有上VIP私麦,不能连接视频！");
            } else if (HasUserVideoWnd(user->userId)) {
                // His window is open already: nothing to ask for.
            } else if (data->m_pUserMVManager &&
                       data->m_pUserMVManager->CheckPrivilege(PRIV_VIP_MIC_VIDEO, me)) {
                OpenUserVideoWnd(user, false);
            } else {
                InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
            }
            break;
        }
        case ChatLinkKind::kSecretMic: {
            if (link.id == me->userId) break;
            CUserObj* user = KnownUser(link.id);
            if (!user || !(user->flags & USER_FLAG_SECRET_MIC))
                InsertHintLine(1, 1, L"用户没有上密麦,不能连接视频！");
            else
                OpenUserVideoWnd(user, true);
            break;
        }
        case ChatLinkKind::kWelcome: {
            if (link.id == me->userId) break;
            if (!KnownUser(link.id)) {
                InsertHintLine(1, 1, kUserGone);
                break;
            }
            SendChatMsg(15, link.id, data->m_UserEnv.m_szAutoWelcome);
            break;
        }
        case ChatLinkKind::kAcceptConnect:
        case ChatLinkKind::kRefuseConnect: {
            CUserObj* user = KnownUser(link.id);
            if (!user || !(me->flags & USER_FLAG_SECRET_MIC)) {
                InsertHintLine(1, 1, kUserGone);
                break;
            }
            if (link.kind == ChatLinkKind::kAcceptConnect) {
                data->m_FriendMgr.AddPrivSpectator(link.id, user);
                kernel->SendMsg_RoomConnMediaResp(m_nRoomId, link.id);
            } else {
                kernel->SendMsg_RoomConnMediaErr(m_nRoomId, link.id);
            }
            break;
        }
        case ChatLinkKind::kThank:
            SendThankLine(link.text);
            break;
        case ChatLinkKind::kEnterRoom:
        case ChatLinkKind::kIgnored:
        case ChatLinkKind::kNone:
            break;
    }
}

void CWndRoom::SendThankLine(const std::wstring& text) {
    CCommKernelData* data = KernelData();
    if (!data || text.empty()) return;
    ChatRecordFields fields;
    fields.roomId = m_nRoomId;
    fields.sender = data->GetLocalUser();
    fields.kind = 1;
    if (data->m_pRoomManager)
        if (CRoomObj* room = data->m_pRoomManager->FindRoom(m_nRoomId))
            fields.roomName = room->roomName;
    // The text came through a link address: it is text, not markup.
    tag_CMDRoomChatMsg record;
    if (!FillChatRecord(record, fields, HtmlText::EscapeChat(text))) {
        InsertHintLine(1, 1, kChatTooLongHint);
        return;
    }
    CCommKernel::GetInstance()->SendMsg_RoomChatReq(&record);
}
