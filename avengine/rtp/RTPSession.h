// The one UDP socket to the media relay, with the local senders, the remote
// receivers, the queue of received datagrams and the receive and processing threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>

#include "rtp/RTPDefs.h"
#include "win32/win32.h"

namespace RAVO {

class CRTPSender;
class CRTPReceiver;

class CRTPSession {
public:
    // Datagrams waiting for the processing thread, at most: a flood beyond what it
    // keeps up with is dropped on arrival rather than held (1.5 kB each).
    static constexpr size_t kMaxIncoming = 1024;

    CRTPSession();
    virtual ~CRTPSession();

    int init();
    int createSession(const char* localAddr, int port);
    int uninit();
    int start();
    int stop();

    int setRemoteServerAddr2(char* addr, uint16_t port);
    int setRemoteServerAddr(uint32_t addr, uint16_t port);
    int switchRemoteServerAddr2(char* addr, uint16_t port);

    CRTPSender* createRTPSender(int ssrc, int pt, int video);
    CRTPReceiver* createRTPReceiver(int ssrc, int pt);
    CRTPSender* findRTPSender(int ssrc, int pt);
    CRTPReceiver* findRTPReceiver(int ssrc, int pt);
    int delRTPSender(int ssrc, int pt);
    int delRTPReceiver(int ssrc, int pt, bool unsubscribe);
    int delAllRtpSender();
    int delAllRtpReceiver(bool unsubscribe);

    int Register(int ssrc, int pt);
    int Unregister(int ssrc, int pt);
    int Subscribe(int ssrc, int pt);
    int Unsubscribe(int ssrc, int pt);

    int sendData(int ssrc, int pt, char* frame, int len);
    int sendRTPpacket(char* datagram, int len);
    // Takes the packet; -1 when the queue is full (the packet is then freed).
    int addIncomingPacket(RTPPacket* packet);
    size_t incomingCount();
    int procIncomingData();
    int setGetRtpFrameCB(IGetRtpFrameCallBack* cb);
    int out_sample(int ssrc, int pt, _rtp_frame* frame);
    RTPParam* getParam() { return &m_param; }
    int loadParamConfig(char* path);
    int clear();

    // Uses by the engine's graphs: 1 at creation, one more per built graph.
    int addUse() { return ++m_useCount; }
    int dropUse() { return --m_useCount; }
    int getUseCount() const { return m_useCount; }
    bool isBlocked() const { return m_blocked; }
    bool isStarted() const { return m_started != 0; }
    uint16_t getLocalPort() const { return m_localPort; }
    int senderCount();

private:
    static DWORD WINAPI recvThreadProc(LPVOID self);
    static DWORD WINAPI procThreadProc(LPVOID self);
    void recvLoop();
    void procLoop();
    void refresh();
    int sendControl(int op, int ssrc, int pt);
    // true when the datagram came from the host of the relay the session was given.
    bool fromRelay(const sockaddr_in& from) const;

    RTPParam m_param;
    std::list<CRTPSender*> m_senders;
    std::list<CRTPReceiver*> m_receivers;
    CRITICAL_SECTION m_senderLock;
    CRITICAL_SECTION m_receiverLock;
    std::list<RTPPacket*> m_recvpacketlst;
    CRITICAL_SECTION m_incomingLock;
    HANDLE m_recvThread;
    HANDLE m_procThread;
    int m_started;
    std::atomic<bool> m_quit;
    std::atomic<bool> m_blocked;
    int m_useCount;
    SOCKET m_socket;
    std::atomic<uint32_t> m_remoteAddr;  // host byte order; 0 = none
    uint16_t m_localPort;
    std::atomic<uint16_t> m_remotePort;  // 0 = none
    int64_t m_lastRefresh;               // seconds
    std::atomic<IGetRtpFrameCallBack*> m_frameCallback;
    // The threads sleep until there is work: the processing thread until a datagram
    // is queued (or a refresh is due), the receiving one until the socket is readable
    // or stop() writes to the pipe.
    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    bool m_pending = false;  // under m_wakeLock
    int m_stopPipe[2] = {-1, -1};
};

}  // namespace RAVO
