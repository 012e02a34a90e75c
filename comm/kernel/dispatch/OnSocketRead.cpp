#include "kernel/CommKernel.h"
#include "kernel/dispatch/Dispatch.h"

// One whole frame of a connection: decoded into the model, then posted to the
// notify window of the connection's server type (none for an unknown connection).
// Every frame is accepted: a refused answer only leaves its trace line.
int CCommKernel::OnSocketRead(void* frame, int length, void* socket) {
    comm::dispatch::Context context;
    context.data = m_pData;
    int type = ServerTypeOf(socket);
    context.serverType = type;
    if (type && m_pNotifyWnds) context.notifyWnd = m_pNotifyWnds[type - 1];
    comm::dispatch::DispatchFrame(context, frame, length);
    return 0;
}
