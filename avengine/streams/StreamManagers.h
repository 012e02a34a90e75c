// The play side: one stream per remote user and payload type, each with its own
// decoder and queue; a thread per manager decodes one frame per stream per pass
// (audio every 20 ms, video every 30 ms) and passes it to the play grabber.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "aurik2/KorCodec7.h"
#include "devices/WaveOutPlay.h"
#include "filters/AVBaseFilter.h"
#include "filters/AVSample.h"
#include "pindor2/KorCodec5.h"

namespace RAVO {

class CAudioStreamManager;
class CVideoStreamManager;

class CAudioStream {
public:
    CAudioStream();
    virtual ~CAudioStream();
    CAudioStream(const CAudioStream&) = delete;
    CAudioStream& operator=(const CAudioStream&) = delete;

    // Queues a copy unless muted.
    virtual int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    // To the manager's sinks, then to the wave-out player.
    virtual int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    virtual int init();
    // Decodes at most one frame from the queue.
    virtual int proc_sample();
    virtual int uninit();
    virtual int clear();

    size_t queued() const { return m_queue.size(); }

    CAudioStreamManager* m_manager;
    int m_id;
    std::atomic<int> m_mute;
    KorCodec7 m_decoder;
    CWaveOutPlay* m_waveOut;
    std::deque<std::unique_ptr<AVSample>> m_queue;
};

class CVideoStream {
public:
    CVideoStream();
    virtual ~CVideoStream();
    CVideoStream(const CVideoStream&) = delete;
    CVideoStream& operator=(const CVideoStream&) = delete;

    virtual int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    virtual int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    virtual int init();
    // Decodes at most one frame; waits for a key frame after creation and after a
    // frame that came with the loss flag.
    virtual int proc_sample();
    virtual int uninit();
    virtual int clear();

    size_t queued() const { return m_queue.size(); }

    CVideoStreamManager* m_manager;
    int m_id;
    int m_waitForIDR;
    std::atomic<int> m_mute;
    CKorCodec5 m_decoder;
    std::deque<std::unique_ptr<AVSample>> m_queue;
    size_t m_queuedBytes = 0;  // sample bytes in the queue
};

// What both managers share; Stream is CAudioStream or CVideoStream.
template <class Stream>
class CStreamManagerT : public CAVBaseFilter {
public:
    explicit CStreamManagerT(DWORD passMs);
    ~CStreamManagerT() override;
    // Starts the decode thread; 0.
    int start() override;
    // -1 when already stopping; else stops and waits for the thread; 0.
    int stop() override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    Stream* add_stream(int id);
    int del_stream(int id);
    Stream* find_stream(int id);
    int mute_stream(int id, int on);
    int clear();
    int stream_count();

protected:
    static DWORD WINAPI threadProc(LPVOID self);
    void run();
    virtual void attach(Stream* stream) = 0;
    // Under the map lock: the stream of the sample's id, if any, queues it.
    int deliver(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    // With every queue empty the thread sleeps until a sample is delivered or stop().
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_pending = false;  // under m_wakeLock

public:
    std::atomic<int> m_quit;
    std::map<int, Stream*> m_streams;
    HANDLE m_thread;
    std::atomic<int> m_muteAll;
    CRITICAL_SECTION m_mapLock;
    DWORD m_passMs;
};

class CAudioStreamManager : public CStreamManagerT<CAudioStream> {
public:
    CAudioStreamManager();
    ~CAudioStreamManager() override;
    // Only audio, only with streams, only while mute-all is clear.
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    void mute_all(int on) { m_muteAll = on; }
    int is_muteall() const { return m_muteAll; }

private:
    void attach(CAudioStream* stream) override { stream->m_manager = this; }
};

class CVideoStreamManager : public CStreamManagerT<CVideoStream> {
public:
    CVideoStreamManager();
    ~CVideoStreamManager() override;
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

private:
    void attach(CVideoStream* stream) override { stream->m_manager = this; }
};

}  // namespace RAVO
