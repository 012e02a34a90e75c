// libFuzzer entry for the dispatch: every input is one frame handed to
// OnSocketRead on the room connection, against one session state that lives for
// the whole run.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/CommKernel.h"
#include "kernel/TMLSocket.h"
#include "session/CommKernelData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CCommKernel* k = [] {
        CCommKernel* kernel = CCommKernel::GetInstance();
        kernel->init(nullptr);
        kernel->m_pData->init();
        kernel->m_pData->m_LocalUser.userId = 1001;
        return kernel;
    }();
    if (size == 0 || size > 8192) return 0;
    // The receive loop hands over a copy inside its own buffer; so do we, so that a
    // read past the frame is seen.
    std::vector<uint8_t> frame(data, data + size);
    void* socket = &k->m_pSockets[size % 3];
    k->OnSocketRead(frame.data(), static_cast<int>(frame.size()), socket);
    return 0;
}
