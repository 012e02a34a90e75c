#include "app/RoomView.h"

#include "controls/REWindowWnd.h"
#include "kernel/CommKernel.h"

namespace {
// The view registered last and what entry 2 was given for it.
IRoomView* g_current = nullptr;
void* g_currentEntry = nullptr;
}  // namespace

IRoomView* CurrentRoomView() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel || !kernel->m_pWndTable) return nullptr;
    void* entry = kernel->m_pWndTable[2];
    // Only pointers are compared: a window gone from the entry is never followed.
    if (!entry || entry != g_currentEntry) return nullptr;
    return g_current;
}

void SetCurrentRoomView(IRoomView* room) {
    CCommKernel* kernel = CCommKernel::GetInstance();
    DuiLib::CWindowWnd* wnd = room ? room->Window() : nullptr;
    g_current = room;
    // A stand-in without a window is registered as itself.
    g_currentEntry = wnd ? static_cast<void*>(wnd) : static_cast<void*>(room);
    if (kernel && kernel->m_pWndTable) kernel->m_pWndTable[2] = g_currentEntry;
    SetChatInputRoomWindow(wnd);
}
