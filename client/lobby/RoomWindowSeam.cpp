#include "lobby/RoomWindowSeam.h"

#include "kernel/CommKernel.h"

namespace {
RoomWindowFactory g_roomFactory = nullptr;
}

IRoomWindow* NewRoomWindow() {
    return g_roomFactory ? g_roomFactory() : CreateRoomWindowObject();
}

RoomWindowFactory SetRoomWindowFactory(RoomWindowFactory factory) {
    RoomWindowFactory previous = g_roomFactory;
    g_roomFactory = factory;
    return previous;
}

IRoomWindow* CurrentRoomWindow() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel || !kernel->m_pWndTable) return nullptr;
    return static_cast<IRoomWindow*>(kernel->m_pWndTable[2]);
}

void SetCurrentRoomWindow(IRoomWindow* room) {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (kernel && kernel->m_pWndTable) kernel->m_pWndTable[2] = room;
}
