// WSAAsyncSelect's side of the message loop: which sockets a thread's loop
// waits for, and turning their readiness into posted messages.
#pragma once

#include <poll.h>

#include <vector>

#include "win32/messages.h"

namespace winplat {

bool ThreadHasSelections(DWORD threadId);
// The descriptors (and events) the thread's loop waits for now. Events that
// need no waiting (a connect that already completed) are posted here.
// Returns the longest the loop may wait before looking again (-1: no limit):
// a socket selected before its connect started has nothing to poll yet, and
// its connect may start on another thread.
int CollectSocketPollSet(DWORD threadId, std::vector<pollfd>& fds);
// Posts the messages for the ready entries of a set made by CollectSocketPollSet.
void HandleSocketPoll(DWORD threadId, const std::vector<pollfd>& fds);
// Re-enables FD_READ / FD_ACCEPT once their message has been handled.
void SocketMessageDispatched(const MSG& msg);
// closesocket: the selection of the socket ends, and its messages still in the
// queue go too: the descriptor number is reused at once by the next socket,
// which must not get the old socket's FD_READ or FD_CLOSE.
void CancelSocketSelection(int socket, bool dropQueued = false);
// A send may have blocked: FD_WRITE once the sockets with unsent data, or
// written to since their last FD_WRITE (the peer may have emptied them since),
// can take data again. (The code does not tell which socket it was, nor whether
// it was a send: an extra FD_WRITE is harmless, a missing one would stall a sender.)
void ArmWriteNotifications();

}  // namespace winplat
