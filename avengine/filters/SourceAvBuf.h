// Head of a capture chain: decouples the capture device's thread from the chain
// with a queue and a thread of its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "filters/AVBaseFilter.h"
#include "filters/AVSample.h"

namespace RAVO {

class CSourceAvBuf : public CAVBaseFilter {
public:
    CSourceAvBuf();
    ~CSourceAvBuf() override;
    // -1 when started; else starts the queue thread; 0.
    int start() override;
    // -1 when already stopping; else stops and waits for the queue thread; 0.
    int stop() override;
    // Queues a copy for the queue thread.
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    // Passes the sample on only while the share flag is set.
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    void set_sharedata(int on) { m_share = on; }
    int is_sharedata() const { return m_share; }
    int is_started() const { return m_started; }
    size_t queued();

protected:
    static DWORD WINAPI queueThreadProc(LPVOID self);
    void queueLoop();

public:
    std::atomic<int> m_share;
    std::atomic<int> m_quit;
    std::atomic<int> m_started;
    std::deque<std::unique_ptr<AVSample>> m_queue;
    HANDLE m_thread;
    CRITICAL_SECTION m_queueLock;

private:
    // The queue thread sleeps until a sample is queued or stop().
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_pending = false;  // under m_wakeLock
};

}  // namespace RAVO
