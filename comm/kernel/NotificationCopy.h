// Which of the kernel's notifications carry a heap copy in lParam, and an owner for
// that copy: a notify window holds one for every message it receives, so a copy is
// freed exactly once whether a handler read it, ignored it, or the message was not
// expected on that connection at all.
#pragma once

#include <vector>

#include "win32/win32.h"

namespace comm {

// The notifications the kernel posts with a copy it made with new[], and the test for
// one of them.
const std::vector<UINT>& CopyCarryingNotifications();
bool NotificationCarriesCopy(UINT msg);

// The ids FreePendingCopies takes from a going window's queue, first and last: every
// notification of the kernel lies within.
struct NotificationRange {
    UINT first;
    UINT last;
};
NotificationRange PendingCopyRange();

// Frees the copies of the kernel's notifications still queued for `wnd`: a window that
// goes calls it as it ends (its queued messages go with it, unread). A program message
// of its own inside the range is dropped too: its owner frees what it carries first.
void FreePendingCopies(HWND wnd);

class NotificationCopy {
public:
    // Takes over lParam when `msg` carries a copy; any other message is left alone.
    NotificationCopy(UINT msg, LPARAM lParam);
    ~NotificationCopy();
    NotificationCopy(const NotificationCopy&) = delete;
    NotificationCopy& operator=(const NotificationCopy&) = delete;

    // The copy (null when the message carries none); still owned here.
    char* get() const { return m_copy; }
    // Gives the copy up to a receiver that frees it itself.
    char* release();

private:
    char* m_copy = nullptr;
};

}  // namespace comm
