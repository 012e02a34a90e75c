// Decoding of the servers' answers: each answer is checked against its layout,
// applied to the model, and only then posted as one notification to the notify
// window of the connection it came on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/dispatch/Payload.h"
#include "win32/win32.h"

class CCommKernelData;
class CRoomObj;
class CUserObj;

namespace comm {
namespace dispatch {

// How notifications leave the dispatch; PostMessageW unless a test says otherwise.
using PostFn = BOOL (*)(HWND, UINT, WPARAM, LPARAM);

struct Context {
    CCommKernelData* data = nullptr;
    HWND notifyWnd = nullptr;  // null: the model changes, nothing is posted
    PostFn post = nullptr;     // null: PostMessageW
    int serverType = 0;        // the connection's server type; 0 when unknown

    void Post(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // Posts a heap copy of the payload; the copy is freed again when it cannot be
    // posted, and not made at all without a notify window.
    void PostCopy(UINT msg, WPARAM wParam, const Payload& payload) const;
    // Posts an array the caller made with new[]; takes it over.
    void PostArray(UINT msg, WPARAM wParam, char* array) const;

    int LocalUserId() const;
    int CurRoomId() const;
    CUserObj* LocalUser() const;
    CRoomObj* FindRoom(int id) const;
    CRoomObj* CurrentRoom() const;
};

struct AnswerEntry;
// Applies an answer whose fixed part is already known to fit; false refuses it as
// inconsistent (counts, lengths), before anything was changed.
using AnswerHandler = bool (*)(const Context&, const Payload&, const AnswerEntry&);

struct AnswerEntry {
    uint16_t mainCmd;
    uint16_t subCmd;
    uint16_t minPayload;  // bytes the fixed part of the layout needs
    UINT msg;             // the notification, for the handlers that only post
    AnswerHandler handler;
};

// The entry of (main, sub), or null for an answer that is ignored.
const AnswerEntry* FindAnswer(uint16_t mainCmd, uint16_t subCmd);

// Every answer the client decodes, in the table's order.
const std::vector<AnswerEntry>& AnswerTable();
// Every notification the answers post: the rows' own and those a handler posts
// besides or instead of its row's, each once.
const std::vector<UINT>& PostedNotifications();

// One whole frame (header included). Returns false when it was refused as short or
// inconsistent (one trace line, nothing changed, nothing posted); ignored commands
// count as accepted.
bool DispatchFrame(const Context& context, const void* frame, int length);

// Seconds since 1970 on the layer's clock.
int32_t Now();
// A 32-bit time plus seconds from the network, wrapping like the 32-bit field it is
// stored in instead of overflowing.
inline int32_t AddSeconds(int32_t time, int32_t seconds) {
    return static_cast<int32_t>(static_cast<uint32_t>(time) + static_cast<uint32_t>(seconds));
}

}  // namespace dispatch
}  // namespace comm
