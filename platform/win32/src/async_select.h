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
void CollectSocketPollSet(DWORD threadId, std::vector<pollfd>& fds);
// Posts the messages for the ready entries of a set made by CollectSocketPollSet.
void HandleSocketPoll(DWORD threadId, const std::vector<pollfd>& fds);
// Re-enables FD_READ / FD_ACCEPT once their message has been handled.
void SocketMessageDispatched(const MSG& msg);
// closesocket: the selection of the socket ends.
void CancelSocketSelection(int socket);
// A send of this thread would have blocked: FD_WRITE once the socket can take data.
void ArmWriteNotifications(DWORD threadId);

}  // namespace winplat
