#include "streams/StreamManagers.h"

#include "rtp/RTPDefs.h"
#include "util/AVLogger.h"

namespace RAVO {

namespace {

const int kFrameHeader = 8;  // u16 width, u16 height, u32 key flag

// What a stream may queue for its decoder, whatever the network delivers: the decode
// thread takes one frame per pass, so anything beyond is late already. Audio drops
// its oldest frame (1 s of 20 ms frames kept); video starts again at the next key
// frame, as after a loss (2 s at 15 frames a second, and a byte bound for big ones).
const size_t kMaxQueuedAudio = 50;
const size_t kMaxQueuedVideo = 30;
const size_t kMaxQueuedVideoBytes = 8u << 20;

uint16_t headerU16(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

}  // namespace

// ---- CAudioStream ----

CAudioStream::CAudioStream()
    : m_manager(nullptr), m_id(0), m_mute(0), m_waveOut(new CWaveOutPlay()) {}

CAudioStream::~CAudioStream() {
    CAudioStream::clear();
    CAudioStream::uninit();
    delete m_waveOut;
}

int CAudioStream::in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    if (m_mute) return 0;
    while (m_queue.size() >= kMaxQueuedAudio) m_queue.pop_front();
    m_queue.emplace_back(new AVSample(id, type, ts, data, len, p1, p2));
    return 0;
}

int CAudioStream::out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    if (m_manager) m_manager->out_sample(id, type, ts, data, len, p1, p2);
    if (m_waveOut) m_waveOut->Write(len, data);
    return 0;
}

int CAudioStream::init() {
    m_decoder.DecodeInit(48000, 2);
    m_waveOut->SetFormat(48000, 2, 16, 1920);
    m_waveOut->Open();
    return 0;
}

int CAudioStream::proc_sample() {
    while (!m_queue.empty()) {
        std::unique_ptr<AVSample> s = std::move(m_queue.front());
        m_queue.pop_front();
        if (m_mute) continue;
        int result = m_decoder.Decode(s->data.get(), s->len);
        if (result > 0) out_sample(s->id, s->type, s->ts, m_decoder.outBuffer, result, 0, 0);
        return 1;
    }
    return 0;
}

int CAudioStream::uninit() {
    if (m_decoder.opened) m_decoder.DecodeClose();
    if (m_waveOut) m_waveOut->Close();
    return 0;
}

int CAudioStream::clear() {
    m_queue.clear();
    return 0;
}

// ---- CVideoStream ----

CVideoStream::CVideoStream() : m_manager(nullptr), m_id(0), m_waitForIDR(1), m_mute(0) {}

CVideoStream::~CVideoStream() {
    CVideoStream::clear();
    CVideoStream::uninit();
}

int CVideoStream::in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    if (m_mute) return 0;
    std::unique_ptr<AVSample> sample(new AVSample(id, type, ts, data, len, p1, p2));
    const size_t bytes = static_cast<size_t>(sample->len);
    if (m_queue.size() >= kMaxQueuedVideo || m_queuedBytes + bytes > kMaxQueuedVideoBytes) {
        // Frames decode only in order from a key frame: a gap means waiting for the next.
        CVideoStream::clear();
        m_waitForIDR = 1;
    }
    m_queue.push_back(std::move(sample));
    m_queuedBytes += bytes;
    return 0;
}

int CVideoStream::out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    if (m_manager) m_manager->out_sample(id, type, ts, data, len, p1, p2);
    return 0;
}

int CVideoStream::init() {
    m_decoder.DecodeInit(1);
    return 0;
}

int CVideoStream::proc_sample() {
    while (!m_queue.empty()) {
        std::unique_ptr<AVSample> s = std::move(m_queue.front());
        m_queue.pop_front();
        m_queuedBytes -= static_cast<size_t>(s->len);
        SYSTEMTIME t;
        GetLocalTime(&t);
        if (s->p1 == 1) {
            AV_LOG(
                "%d:%d:%d [videoDecoder:%d] video-frame find loss-flag, then set waitforIDR=1.\n",
                t.wHour, t.wMinute, t.wSecond, m_id);
            m_waitForIDR = 1;
        }
        // A frame too short for its header is no frame.
        if (s->len < kFrameHeader || !s->data) continue;
        const char* d = s->data.get();
        const int width = headerU16(d);
        const int height = headerU16(d + 2);
        const uint32_t key = RtpGetU32LE(d + 4);
        if (m_mute || (m_waitForIDR && key == 0)) continue;
        m_waitForIDR = 0;
        AV_LOG("%d:%d:%d [videoDecoder:%d] video-frame begin decoder,ts=%d, len=%d. \n", t.wHour,
               t.wMinute, t.wSecond, m_id, static_cast<int>(s->ts), s->len);
        int result = m_decoder.Decode(d + kFrameHeader, s->len - kFrameHeader, width, height);
        AV_LOG("%d:%d:%d [videoDecoder:%d] video-frame end decoder, outlen=%d. \n", t.wHour,
               t.wMinute, t.wSecond, m_id, result);
        if (result > 0)
            out_sample(s->id, s->type, s->ts, m_decoder.outBuffer, result, width, height);
        return 1;
    }
    return 0;
}

int CVideoStream::uninit() {
    if (m_decoder.opened) m_decoder.DecodeClose();
    return 0;
}

int CVideoStream::clear() {
    m_queue.clear();
    m_queuedBytes = 0;
    return 0;
}

// ---- managers ----

template <class Stream>
CStreamManagerT<Stream>::CStreamManagerT(DWORD passMs)
    : m_quit(1), m_thread(nullptr), m_muteAll(0), m_passMs(passMs) {
    InitializeCriticalSection(&m_mapLock);
}

template <class Stream>
CStreamManagerT<Stream>::~CStreamManagerT() {
    DeleteCriticalSection(&m_mapLock);
}

template <class Stream>
int CStreamManagerT<Stream>::start() {
    if (m_thread) return 0;  // one decode thread only
    m_quit = 0;
    m_thread = CreateThread(nullptr, 0, threadProc, this, 0, nullptr);
    return 0;
}

template <class Stream>
int CStreamManagerT<Stream>::stop() {
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
    return 0;
}

template <class Stream>
int CStreamManagerT<Stream>::out_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                        int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

template <class Stream>
Stream* CStreamManagerT<Stream>::add_stream(int id) {
    CAutoLock lock(&m_mapLock);
    auto it = m_streams.find(id);
    if (it != m_streams.end()) return it->second;
    Stream* s = new Stream();
    s->m_id = id;
    attach(s);
    s->init();
    m_streams[id] = s;
    return s;
}

template <class Stream>
int CStreamManagerT<Stream>::del_stream(int id) {
    Stream* s = nullptr;
    {
        CAutoLock lock(&m_mapLock);
        auto it = m_streams.find(id);
        if (it != m_streams.end()) {
            s = it->second;
            m_streams.erase(it);
        }
    }
    if (s) {
        s->clear();
        s->uninit();
        delete s;
    }
    return 0;
}

template <class Stream>
Stream* CStreamManagerT<Stream>::find_stream(int id) {
    CAutoLock lock(&m_mapLock);
    auto it = m_streams.find(id);
    return it == m_streams.end() ? nullptr : it->second;
}

template <class Stream>
int CStreamManagerT<Stream>::mute_stream(int id, int on) {
    CAutoLock lock(&m_mapLock);
    auto it = m_streams.find(id);
    if (it != m_streams.end()) it->second->m_mute = on;
    return 0;
}

template <class Stream>
int CStreamManagerT<Stream>::clear() {
    CAutoLock lock(&m_mapLock);
    for (auto& entry : m_streams) {
        entry.second->clear();
        entry.second->uninit();
        delete entry.second;
    }
    m_streams.clear();
    return 0;
}

template <class Stream>
int CStreamManagerT<Stream>::stream_count() {
    CAutoLock lock(&m_mapLock);
    return static_cast<int>(m_streams.size());
}

template <class Stream>
int CStreamManagerT<Stream>::deliver(int id, int type, unsigned ts, char* data, int len, int p1,
                                     int p2) {
    {
        CAutoLock lock(&m_mapLock);
        auto it = m_streams.find(id);
        if (it == m_streams.end()) return 0;
        it->second->in_sample(id, type, ts, data, len, p1, p2);
    }
    {
        std::lock_guard<std::mutex> hold(m_wakeLock);
        m_pending = true;
    }
    m_wake.notify_one();
    return 0;
}

template <class Stream>
DWORD WINAPI CStreamManagerT<Stream>::threadProc(LPVOID self) {
    static_cast<CStreamManagerT<Stream>*>(self)->run();
    return 0;
}

template <class Stream>
void CStreamManagerT<Stream>::run() {
    while (!m_quit) {
        {
            std::lock_guard<std::mutex> hold(m_wakeLock);
            m_pending = false;
        }
        bool more = false;
        {
            CAutoLock lock(&m_mapLock);
            // std::map walks in ascending user id.
            for (auto& entry : m_streams) {
                entry.second->proc_sample();
                if (entry.second->queued() > 0) more = true;
            }
        }
        if (more) {
            Sleep(m_passMs);  // the pace of play while frames wait
            continue;
        }
        std::unique_lock<std::mutex> hold(m_wakeLock);
        m_wake.wait(hold, [this] { return m_pending || m_quit.load() != 0; });
    }
}

template class CStreamManagerT<CAudioStream>;
template class CStreamManagerT<CVideoStream>;

CAudioStreamManager::CAudioStreamManager() : CStreamManagerT<CAudioStream>(20) {}

CAudioStreamManager::~CAudioStreamManager() {
    stop();
    clear();
}

int CAudioStreamManager::in_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                   int p2) {
    if (type != RTP_PT_AUDIO || m_muteAll) return 0;
    return deliver(id, type, ts, data, len, p1, p2);
}

CVideoStreamManager::CVideoStreamManager() : CStreamManagerT<CVideoStream>(30) {}

CVideoStreamManager::~CVideoStreamManager() {
    stop();
    clear();
}

int CVideoStreamManager::in_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                   int p2) {
    if (type != RTP_PT_VIDEO) return 0;
    return deliver(id, type, ts, data, len, p1, p2);
}

}  // namespace RAVO
