// What of the lobby's message table (LobbyRelay.cpp) others need: the notifications its
// rows relay to the room window, which a test ties to the kernel's lists, and the
// freeing of the join posts the lobby owns when it goes.
#pragma once

#include <vector>

#include "win32/win32.h"

// The notifications of the relay rows: those whose lParam is handed on as the payload
// copy, and those handed on as values or with nothing.
const std::vector<UINT>& RelayedPayloadNotifications();
const std::vector<UINT>& RelayedValueNotifications();

// Deletes the blocks of the join posts (a room link's, the finder's) still queued for
// the lobby: it calls this as it goes, before its queue is dropped unread.
void FreePendingJoinPosts(HWND lobby);
