// The "received" lines of a room's gifts, written into its public chat one line per
// step (the room window's 60 ms timer), each notice as often as the gift's count, up to the
// largest count the room window offers.
#pragma once

#include <list>

#include "fenlo/UIlib.h"
#include "win32/cstring.h"

// One received-gift notice; owned by the queue once pushed.
struct tagGiftNoticeInfo {
    tagGiftNoticeInfo() : strHead(L""), strGiftName(L""), strTail(L"") {}
    CString strHead;      // start of the line, built by the room window
    CString strGiftName;  // the gift's name as shown
    CString strTail;      // end of the line
    int nUserId = 0;      // the receiver, whose running count is shown
    int nGiftId = 0;
    int nTotal = 0;      // lines to show: the number of gifts given
    int nShown = 0;      // lines shown so far
    int nBaseCount = 0;  // where the count starts when the room keeps none yet
};

// What the queue reads of the room window it writes into: the room id (0 while it
// has no room), the public chat view (null while it has none) and the largest gift
// count the window offers to send. The room window provides them; the queue does not
// own it.
class IGiftNoticeRoomWnd {
public:
    virtual int GetRoomId() = 0;
    virtual DuiLib::CWebBrowserUI* GetPubChatView() = 0;
    // A notice of up to this many gifts writes a line per gift; one of more (the count
    // comes from the wire) writes this many, the last bringing the count to the total.
    virtual int GetLargestGiftCount() = 0;

protected:
    ~IGiftNoticeRoomWnd() = default;
};

class CGiftNoticeQueue {
public:
    CGiftNoticeQueue() = default;
    ~CGiftNoticeQueue();
    CGiftNoticeQueue(const CGiftNoticeQueue&) = delete;
    CGiftNoticeQueue& operator=(const CGiftNoticeQueue&) = delete;

    void SetRoomWnd(IGiftNoticeRoomWnd* wnd) { m_pRoomWnd = wnd; }
    // Appends at the back and takes the record; null is ignored. A record beyond a few
    // minutes of notices is deleted instead.
    void Push(tagGiftNoticeInfo* info);
    // Deletes every queued record.
    void Clear();
    // Writes the front notice's next line and queues it again until it has been
    // shown as often as its total says.
    void ShowNext();

    int GetCount() const { return static_cast<int>(m_list.size()); }

private:
    std::list<tagGiftNoticeInfo*> m_list;  // front = next to show
    IGiftNoticeRoomWnd* m_pRoomWnd = nullptr;
    bool m_bDropping = false;  // records are being dropped: traced once until one fits again
};
