#include "app/GiftNoticeQueue.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

namespace {
// Every notice takes at least one step of the room window's 60 ms timer: more than
// three minutes of them queued is a flood of gift answers, not a room's gifts, and
// each record holds its line's markup.
constexpr size_t kMaxQueuedNotices = 3 * 60 * 1000 / 60;
}  // namespace

CGiftNoticeQueue::~CGiftNoticeQueue() {
    Clear();
}

void CGiftNoticeQueue::Push(tagGiftNoticeInfo* info) {
    if (!info) return;
    if (m_list.size() >= kMaxQueuedNotices) {
        if (!m_bDropping)
            __log_print__(
                "tag_room: %zu gift notices queued; further ones are dropped until some "
                "have been shown\n",
                m_list.size());
        m_bDropping = true;
        delete info;
        return;
    }
    m_bDropping = false;
    m_list.push_back(info);
}

void CGiftNoticeQueue::Clear() {
    for (tagGiftNoticeInfo* info : m_list) delete info;
    m_list.clear();
}

void CGiftNoticeQueue::ShowNext() {
    if (!m_pRoomWnd || m_list.empty()) return;
    int roomId = m_pRoomWnd->GetRoomId();
    if (roomId == 0) return;
    CCommKernelData* data = KernelData();
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
    int64_t shown = count;
    // Every count the window offers is told line by line; a larger one (it comes from
    // the wire) would hold the chat for hours, so its last line stands for the rest.
    const int bound = std::max(1, m_pRoomWnd->GetLargestGiftCount());
    if (info->nTotal > bound && info->nShown >= bound) {
        shown += int64_t{info->nTotal} - info->nShown;  // past 32 bits for a huge count
        // The room keeps 32 bits: it holds at the largest rather than turn negative.
        const int kept = static_cast<int>(std::clamp<int64_t>(
            shown, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        if (CUserObj* user = room->FindUser(info->nUserId)) user->giftCounts[info->nGiftId] = kept;
        info->nShown = info->nTotal;
    }
    CString received;
    // The caption is a catalog name and goes into the page as text; head and tail are
    // the room window's own markup.
    std::wstring caption = HtmlText::Escape(info->strGiftName.GetString());
    received.Format(L"已收到 %lld %s", static_cast<long long>(shown), caption.c_str());
    CString line = info->strHead + L"," + received + info->strTail;
    if (view) view->WriteBlock(line, 0);
    m_list.push_back(info);
}
