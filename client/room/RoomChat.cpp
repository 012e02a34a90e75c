// Chat lines of the room window: page heads of the chat views, the line builders the
// other room lines use, and the lines of received and echoed chat records.
#include <string>

#include "controls/KernelData.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "room/ChatLines.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

void CWndRoom::GetChatPageHead(CDuiString& head, CWebBrowserUI* pWeb) {
    if (!pWeb) return;
    const std::wstring text = ChatLines::PageHead(pWeb->GetName().GetData());
    if (!text.empty()) head = text.c_str();
}

void CWndRoom::FormatTimeSpan(time_t t, std::wstring& out) {
    out = ChatLines::TimeSpan(t);
}

void CWndRoom::FormatUserLink(int userId, CUserObj* user, const char* name, bool isMe,
                              std::wstring& out) {
    out += ChatLines::UserLink(userId, user, name ? std::string(name) : std::string(), isMe);
}

void CWndRoom::FormatAnonymousLink(std::wstring& out) {
    out += ChatLines::AnonymousLink();
}

void CWndRoom::FormatChatText(const wchar_t* text, std::wstring& out) {
    out.clear();
    if (!text || !*text) return;
    out = ChatLines::ChatText(text);
}

void CWndRoom::WriteEntranceBanner(int car, CUserObj* user) {
    if (!m_pPubTextOut || !user) return;
    m_pPubTextOut->WriteBlock(ChatLines::EntranceBanner(car, user).c_str(), 0);
}

void CWndRoom::OnRoomChatMsg(tag_CMDRoomChatMsg* record, int localEcho) {
    CCommKernelData* data = KernelData();
    if (!record || !data) return;
    CRoomObj* room = data->m_pRoomManager ? data->m_pRoomManager->FindRoom(m_nRoomId) : nullptr;
    CUserObj* me = data->GetLocalUser();

    ChatLines::RecordView v;
    v.record = record;
    v.sender = room ? room->FindUser(record->senderId) : nullptr;
    v.target = room ? room->FindUser(record->targetId) : nullptr;
    v.myId = me->userId;
    v.localEcho = localEcho != 0;
    v.shieldPublic = data->m_UserEnv.m_bShiledPublicChat;
    v.shieldPrivate = data->m_UserEnv.m_bShiledPrivateChat;
    v.shieldCheers = data->m_UserEnv.m_bShiledColorbar;
    v.hasPrivateView = m_pPrivTextOut != nullptr;
    v.now = time(nullptr);
    const ChatLines::RenderedLine line = ChatLines::RenderRecord(v);

    CWebBrowserUI* view = nullptr;
    switch (line.view) {
        case ChatLines::ChatView::kPublic:
            view = m_pPubTextOut;
            break;
        case ChatLines::ChatView::kPrivate:
            view = m_pPrivTextOut;
            break;
        case ChatLines::ChatView::kLoudspeaker:
            view = m_pLabaZone;
            break;
        case ChatLines::ChatView::kNone:
            break;
    }
    if (view && !line.html.empty()) view->WriteBlock(line.html.c_str(), 0);
    if (line.autoReply && data->m_UserEnv.m_bAutoReplay && data->m_UserEnv.m_szAutoReply[0])
        SendChatMsg(11, record->senderId, data->m_UserEnv.m_szAutoReply);
    if (line.flash && ::IsWindow(m_hWnd)) ::FlashWindow(m_hWnd, TRUE);
}
