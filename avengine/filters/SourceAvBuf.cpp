#include "filters/SourceAvBuf.h"

namespace RAVO {

CSourceAvBuf::CSourceAvBuf() : m_share(0), m_quit(1), m_started(0), m_thread(nullptr) {
    InitializeCriticalSection(&m_queueLock);
}

CSourceAvBuf::~CSourceAvBuf() {
    CSourceAvBuf::stop();
    m_queue.clear();
    DeleteCriticalSection(&m_queueLock);
}

int CSourceAvBuf::start() {
    if (m_started) return -1;
    m_started = 1;
    m_quit = 0;
    m_thread = CreateThread(nullptr, 0, queueThreadProc, this, 0, nullptr);
    return 0;
}

int CSourceAvBuf::stop() {
    if (m_quit) return -1;
    {
        std::lock_guard<std::mutex> hold(m_wakeLock);
        m_quit = 1;
    }
    m_wake.notify_all();
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    m_started = 0;
    return 0;
}

int CSourceAvBuf::in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    std::unique_ptr<AVSample> s(new AVSample(id, type, ts, data, len, p1, p2));
    {
        CAutoLock lock(&m_queueLock);
        m_queue.push_back(std::move(s));
    }
    {
        std::lock_guard<std::mutex> hold(m_wakeLock);
        m_pending = true;
    }
    m_wake.notify_one();
    return 0;
}

int CSourceAvBuf::out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    if (!m_share) return 0;
    return fan_out(id, type, ts, data, len, p1, p2);
}

size_t CSourceAvBuf::queued() {
    CAutoLock lock(&m_queueLock);
    return m_queue.size();
}

DWORD WINAPI CSourceAvBuf::queueThreadProc(LPVOID self) {
    static_cast<CSourceAvBuf*>(self)->queueLoop();
    return 0;
}

void CSourceAvBuf::queueLoop() {
    while (!m_quit) {
        std::unique_ptr<AVSample> s;
        {
            std::lock_guard<std::mutex> hold(m_wakeLock);
            m_pending = false;
        }
        {
            CAutoLock lock(&m_queueLock);
            if (!m_queue.empty()) {
                s = std::move(m_queue.front());
                m_queue.pop_front();
            }
        }
        if (!s) {
            std::unique_lock<std::mutex> hold(m_wakeLock);
            m_wake.wait(hold, [this] { return m_pending || m_quit.load() != 0; });
            continue;
        }
        if (s->len > 0 && s->data)
            out_sample(s->id, s->type, s->ts, s->data.get(), s->len, s->p1, s->p2);
    }
}

}  // namespace RAVO
