#include "app/GiftNoticeQueue.h"

#include "controls/HtmlText.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"

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
    CString received;
    // The caption is a catalog name and goes into the page as text; head and tail are
    // the room window's own markup.
    std::wstring caption = HtmlText::Escape(info->strGiftName.GetString());
    received.Format(L"已收到 %d %s", count, caption.c_str());
    CString line = info->strHead + L"," + received + info->strTail;
    if (view) view->WriteBlock(line, 0);
    m_list.push_back(info);
}
