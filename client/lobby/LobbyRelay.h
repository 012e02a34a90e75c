// What of the lobby's message table (LobbyRelay.cpp) others need: the freeing of the
// join posts the lobby owns when it goes.
#pragma once

#include "win32/win32.h"

// Deletes the blocks of the join posts (a room link's, the finder's) still queued for
// the lobby: it calls this as it goes, before its queue is dropped unread.
void FreePendingJoinPosts(HWND lobby);
