#include "app/GiftNoticeQueue.h"

#include "controls/HtmlText.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

namespace {
// A notice writes at most this many lines, one per gift; a larger count (it comes
// from the wire) ends with one line for every gift left, so a single notice cannot
// hold the chat for longer than a few seconds.
constexpr int kMaxLinesPerNotice = 50;
}  // namespace

CGiftNoticeQueue::~CGiftNoticeQueue() {
    Clear();
}

void CGiftNoticeQueue::Push(tagGiftNoticeInfo* info) {
    if (info) m_list.push_back(info);
}

void CGiftNoticeQueue::Clear() {
    for (tagGiftNoticeInfo* info : m_list) delete info;
    m_list.clear();
}

void CGiftNoticeQueue::ShowNext() {
    if (!m_pRoomWnd || m_list.empty()) return;
    int roomId = m_pRoomWnd->GetRoomId();
    if (roomId == 0) return;
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    if (!data || !data->m_pRoomManager) return;
    CRoomObj* room = data->m_pRoomManager->FindRoom(roomId);
    if (!room) return;

    tagGiftNoticeInfo* info = m_list.front();
    m_list.pop_front();
    if (info->nShown >= info->nTotal) {
        delete info;
        return;
    }
    DuiLib::CWebBrowserUI* view = m_pRoomWnd->GetPubChatView();
    if (data->m_UserEnv.m_bShiledGiftShow) {
        // Gift lines shielded: the notice is told once, without its count.
        CString line = info->strHead + info->strTail;
        if (view) view->WriteBlock(line, 0);
        delete info;
        return;
    }
    int count = room->GetUserGiftCount(info->nUserId, info->nGiftId, info->nBaseCount);
    if (count == -1) {
        delete info;
        return;
    }
    ++info->nShown;
    if (info->nTotal > kMaxLinesPerNotice && info->nShown >= kMaxLinesPerNotice) {
        // The last line stands for the rest: the count jumps to the total.
        const uint32_t rest = static_cast<uint32_t>(info->nTotal - info->nShown);
        count = static_cast<int>(static_cast<uint32_t>(count) + rest);  // wraps like the room's
        if (CUserObj* user = room->FindUser(info->nUserId)) user->giftCounts[info->nGiftId] = count;
        info->nShown = info->nTotal;
    }
    CString received;
    // The caption is a catalog name and goes into the page as text; head and tail are
    // the room window's own markup.
    std::wstring caption = HtmlText::Escape(info->strGiftName.GetString());
    received.Format(L"已收到 %d %s", count, caption.c_str());
    CString line = info->strHead + L"," + received + info->strTail;
    if (view) view->WriteBlock(line, 0);
    m_list.push_back(info);
}
