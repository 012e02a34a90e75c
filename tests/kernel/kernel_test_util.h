// Shared pieces of the kernel tests: a window that records what is posted to it,
// and pumping the real message loop until a condition holds.
#pragma once

#include <functional>
#include <vector>

#include "TcpStandIn.h"
#include "win32/win32.h"

class CCommKernelData;

namespace kerneltest {

struct Posted {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// A window that keeps every message at or above WM_USER it receives.
class RecorderWindow {
public:
    RecorderWindow();
    ~RecorderWindow();
    HWND hwnd() const { return m_hwnd; }
    std::vector<Posted>& posted() { return m_posted; }
    // Every message posted before this call has been handled when it returns.
    void Drain();

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
    std::vector<Posted> m_posted;
    bool m_sentinelSeen = false;
};

// The process's threads without Qt's global pool, which starts threads of its own
// (image scaling on a loaded machine) and keeps them idle for a while.
int ThreadCount();

// Whether a notification carries a heap copy in lParam (freed by its receiver).
bool CarriesCopy(UINT msg);

// Empties the session's model, as a new process has it: no users, no rooms, no
// privileges, no current room, a blank local user (registered nowhere).
void EmptyModel(CCommKernelData* d);

// Runs the loop until `done` holds (bounded); true when it did.
bool Pump(const std::function<bool()>& done, int timeoutMs = 10000);

// Runs the loop until every byte the client has written on its connection of
// `serverType` has reached `server` (the client's sends are synchronous, so after an
// action this is everything it sent). True when it did.
bool SettleSent(testsupport::TcpStandIn& server, int serverType);

}  // namespace kerneltest
