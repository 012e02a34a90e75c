#include "rtp/RTPSession.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rtp/RTPReceiver.h"
#include "rtp/RTPSender.h"
#include "util/AVLogger.h"

namespace RAVO {

namespace {

const int kDefaultParam[8] = {1000, 1000, 10, 12, 5, 6, 2000, 4};

// Scoped hold of one of the session's locks (never two at once).
class Lock {
public:
    explicit Lock(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(m_cs); }
    ~Lock() { LeaveCriticalSection(m_cs); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION* m_cs;
};

}  // namespace

CRTPSession::CRTPSession()
    : m_recvThread(nullptr),
      m_procThread(nullptr),
      m_started(0),
      m_quit(false),
      m_blocked(false),
      m_useCount(1),
      m_socket(INVALID_SOCKET),
      m_remoteAddr(0),
      m_localPort(0),
      m_remotePort(0),
      m_lastRefresh(0),
      m_frameCallback(nullptr) {
    for (int i = 0; i < 8; ++i) m_param[i] = kDefaultParam[i];
    InitializeCriticalSection(&m_senderLock);
    InitializeCriticalSection(&m_receiverLock);
    InitializeCriticalSection(&m_incomingLock);
}

CRTPSession::~CRTPSession() {
    // The owner says goodbye to the relay before deleting; here the socket goes
    // first so that freeing the lists sends nothing.
    stop();
    uninit();
    delAllRtpSender();
    delAllRtpReceiver(false);
    clear();
    DeleteCriticalSection(&m_senderLock);
    DeleteCriticalSection(&m_receiverLock);
    DeleteCriticalSection(&m_incomingLock);
}

int CRTPSession::init() {
    std::srand(static_cast<unsigned>(_time64(nullptr)));
    for (int i = 0; i < 8; ++i) m_param[i] = kDefaultParam[i];
    return 0;
}

int CRTPSession::createSession(const char* localAddr, int port) {
    uninit();
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) {
        std::printf("bind to port %d failed\n", port);
        return -1;
    }
    int recvBuffer = 409600, sendBuffer = 65536;
    setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&recvBuffer),
               sizeof(recvBuffer));
    setsockopt(s, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&sendBuffer),
               sizeof(sendBuffer));
    sockaddr_in local;
    std::memset(&local, 0, sizeof(local));
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    bool ok = true;
    if (localAddr && *localAddr) ok = inet_pton(AF_INET, localAddr, &local.sin_addr) == 1;
    if (ok) ok = bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != SOCKET_ERROR;
    if (!ok) {
        std::printf("bind to port %d failed\n", port);
        closesocket(s);
        return -1;
    }
    socklen_t size = sizeof(local);
    if (getsockname(s, reinterpret_cast<sockaddr*>(&local), &size) == 0)
        m_localPort = ntohs(local.sin_port);
    m_socket = s;
    return 0;
}

int CRTPSession::uninit() {
    if (m_socket != INVALID_SOCKET) {
        closesocket(m_socket);
        m_socket = INVALID_SOCKET;
    }
    return 0;
}

int CRTPSession::start() {
    if (m_started) return 0;
    m_quit = false;
    if (pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) m_stopPipe[0] = m_stopPipe[1] = -1;
    m_recvThread = CreateThread(nullptr, 0, recvThreadProc, this, 0, nullptr);
    m_procThread = CreateThread(nullptr, 0, procThreadProc, this, 0, nullptr);
    m_started = 1;
    return 0;
}

int CRTPSession::stop() {
    if (!m_started) return 0;
    {
        std::lock_guard<std::mutex> hold(m_wakeLock);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_stopPipe[1] >= 0) {
        const char byte = 1;
        while (write(m_stopPipe[1], &byte, 1) < 0 && errno == EINTR) {
        }
    }
    Sleep(20);
    for (HANDLE* thread : {&m_recvThread, &m_procThread}) {
        if (*thread) {
            WaitForSingleObject(*thread, INFINITE);
            CloseHandle(*thread);
            *thread = nullptr;
        }
    }
    for (int& fd : m_stopPipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    m_started = 0;
    return 0;
}

int CRTPSession::setRemoteServerAddr2(char* addr, uint16_t port) {
    in_addr a;
    uint32_t host = 0;
    if (addr && inet_pton(AF_INET, addr, &a) == 1) host = ntohl(a.s_addr);
    return setRemoteServerAddr(host, port);
}

int CRTPSession::setRemoteServerAddr(uint32_t addr, uint16_t port) {
    m_remoteAddr = addr;
    m_remotePort = port;
    return 0;
}

int CRTPSession::switchRemoteServerAddr2(char* addr, uint16_t port) {
    {
        Lock lock(&m_senderLock);
        for (CRTPSender* s : m_senders) {
            Unregister(s->getSsrc(), s->getPayloadType());
            Unregister(s->getSsrc(), s->getPayloadType());
        }
    }
    {
        Lock lock(&m_receiverLock);
        for (CRTPReceiver* r : m_receivers) {
            if (!r->isSubscribed()) continue;
            r->setHeld(1);
            Unsubscribe(r->getSsrc(), r->getPayloadType());
            Unsubscribe(r->getSsrc(), r->getPayloadType());
        }
    }
    setRemoteServerAddr2(addr, port);
    {
        Lock lock(&m_senderLock);
        for (CRTPSender* s : m_senders) {
            Register(s->getSsrc(), s->getPayloadType());
            Register(s->getSsrc(), s->getPayloadType());
        }
    }
    {
        Lock lock(&m_receiverLock);
        for (CRTPReceiver* r : m_receivers) {
            if (!r->isHeld()) continue;
            r->setHeld(0);
            Subscribe(r->getSsrc(), r->getPayloadType());
            Subscribe(r->getSsrc(), r->getPayloadType());
        }
    }
    return 0;
}

CRTPSender* CRTPSession::createRTPSender(int ssrc, int pt, int video) {
    CRTPSender* sender = findRTPSender(ssrc, pt);
    if (sender) return sender;
    sender = new CRTPSender(this, ssrc, pt);
    if (video)
        sender->setFecParam(m_param[2], m_param[3]);
    else
        sender->setFecParam(m_param[4], m_param[5]);
    {
        Lock lock(&m_senderLock);
        m_senders.push_back(sender);
    }
    Register(ssrc, pt);
    Register(ssrc, pt);
    return sender;
}

CRTPReceiver* CRTPSession::createRTPReceiver(int ssrc, int pt) {
    CRTPReceiver* receiver = findRTPReceiver(ssrc, pt);
    if (receiver) return receiver;
    receiver = new CRTPReceiver(this, ssrc, pt, m_param[1]);
    Lock lock(&m_receiverLock);
    m_receivers.push_back(receiver);
    return receiver;
}

CRTPSender* CRTPSession::findRTPSender(int ssrc, int pt) {
    Lock lock(&m_senderLock);
    for (CRTPSender* s : m_senders)
        if (s->getSsrc() == ssrc && s->getPayloadType() == pt) return s;
    return nullptr;
}

CRTPReceiver* CRTPSession::findRTPReceiver(int ssrc, int pt) {
    Lock lock(&m_receiverLock);
    for (CRTPReceiver* r : m_receivers)
        if (r->getSsrc() == ssrc && r->getPayloadType() == pt) return r;
    return nullptr;
}

int CRTPSession::senderCount() {
    Lock lock(&m_senderLock);
    return static_cast<int>(m_senders.size());
}

int CRTPSession::delRTPSender(int ssrc, int pt) {
    CRTPSender* found = nullptr;
    {
        Lock lock(&m_senderLock);
        for (auto it = m_senders.begin(); it != m_senders.end(); ++it) {
            if ((*it)->getSsrc() == ssrc && (*it)->getPayloadType() == pt) {
                found = *it;
                m_senders.erase(it);
                break;
            }
        }
    }
    delete found;
    Unregister(ssrc, pt);
    Unregister(ssrc, pt);
    return 0;
}

int CRTPSession::delRTPReceiver(int ssrc, int pt, bool unsubscribe) {
    CRTPReceiver* found = nullptr;
    {
        Lock lock(&m_receiverLock);
        for (auto it = m_receivers.begin(); it != m_receivers.end(); ++it) {
            if ((*it)->getSsrc() == ssrc && (*it)->getPayloadType() == pt) {
                found = *it;
                m_receivers.erase(it);
                break;
            }
        }
    }
    if (!found) return -1;
    if (unsubscribe) {
        Unsubscribe(ssrc, pt);
        Unsubscribe(ssrc, pt);
    }
    found->clear();
    delete found;
    return 0;
}

int CRTPSession::delAllRtpSender() {
    Lock lock(&m_senderLock);
    for (CRTPSender* s : m_senders) {
        Unregister(s->getSsrc(), s->getPayloadType());
        Unregister(s->getSsrc(), s->getPayloadType());
        delete s;
    }
    m_senders.clear();
    return 0;
}

int CRTPSession::delAllRtpReceiver(bool unsubscribe) {
    Lock lock(&m_receiverLock);
    for (CRTPReceiver* r : m_receivers) {
        if (unsubscribe) {
            Unsubscribe(r->getSsrc(), r->getPayloadType());
            Unsubscribe(r->getSsrc(), r->getPayloadType());
        }
        r->clear();
        delete r;
    }
    m_receivers.clear();
    return 0;
}

int CRTPSession::sendControl(int op, int ssrc, int pt) {
    if (m_socket == INVALID_SOCKET || m_remoteAddr == 0 || m_remotePort == 0) return -1;
    char d[14];
    RtpPutU32LE(d, RTP_ENVELOPE_MAGIC);
    d[4] = RTP_KIND_CONTROL;
    d[5] = 0;
    d[6] = 2;
    d[7] = static_cast<char>(op);
    RtpPutU32LE(d + 8, static_cast<uint32_t>(ssrc));
    d[12] = static_cast<char>(pt);
    d[13] = 0;
    return sendRTPpacket(d, op == RTP_OP_REGISTER ? 14 : 13);
}

int CRTPSession::Register(int ssrc, int pt) {
    return sendControl(RTP_OP_REGISTER, ssrc, pt);
}
int CRTPSession::Unregister(int ssrc, int pt) {
    return sendControl(RTP_OP_UNREGISTER, ssrc, pt);
}
int CRTPSession::Subscribe(int ssrc, int pt) {
    return sendControl(RTP_OP_SUBSCRIBE, ssrc, pt);
}
int CRTPSession::Unsubscribe(int ssrc, int pt) {
    return sendControl(RTP_OP_UNSUBSCRIBE, ssrc, pt);
}

int CRTPSession::sendData(int ssrc, int pt, char* frame, int len) {
    Lock lock(&m_senderLock);
    for (CRTPSender* s : m_senders)
        if (s->getSsrc() == ssrc && s->getPayloadType() == pt) return s->sendData(frame, len);
    return -1;
}

int CRTPSession::sendRTPpacket(char* datagram, int len) {
    const uint32_t addr = m_remoteAddr;
    const uint16_t port = m_remotePort;
    if (addr == 0 || port == 0) return -1;
    if (m_socket == INVALID_SOCKET) return -1;
    sockaddr_in to;
    std::memset(&to, 0, sizeof(to));
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(addr);
    return static_cast<int>(sendto(m_socket, datagram, static_cast<size_t>(len), 0,
                                   reinterpret_cast<sockaddr*>(&to), sizeof(to)));
}

int CRTPSession::addIncomingPacket(RTPPacket* packet) {
    if (!packet) return -1;
    {
        Lock lock(&m_incomingLock);
        if (m_recvpacketlst.size() >= kMaxIncoming) {
            delete packet;
            return -1;
        }
        m_recvpacketlst.push_back(packet);
    }
    {
        std::lock_guard<std::mutex> hold(m_wakeLock);
        m_pending = true;
    }
    m_wake.notify_one();
    return 0;
}

size_t CRTPSession::incomingCount() {
    Lock lock(&m_incomingLock);
    return m_recvpacketlst.size();
}

int CRTPSession::procIncomingData() {
    RTPPacket* packet = nullptr;
    {
        Lock lock(&m_incomingLock);
        if (m_recvpacketlst.empty()) return 0;
        packet = m_recvpacketlst.front();
        m_recvpacketlst.pop_front();
    }
    AV_LOG("get UDP packet from m_recvpacketlst.\n");
    char* d = packet->data;
    const int len = packet->len;
    if (len >= 5 && len <= RTP_PACKET_SIZE && RtpHasMagic(d, len)) {
        const int kind = static_cast<unsigned char>(d[4]);
        if (kind == RTP_KIND_DATA) {
            if (!m_blocked && len >= 24) {
                const int ssrc = static_cast<int>(RtpGetU32BE(d + 20));
                const int pt = d[13] & 0x7F;
                Lock lock(&m_receiverLock);
                for (CRTPReceiver* r : m_receivers)
                    if (r->getSsrc() == ssrc && r->getPayloadType() == pt)
                        r->in_sample(ssrc, pt, d, len);
            }
        } else if (kind == RTP_KIND_PARITY) {
            if (!m_blocked && len >= 24 && RtpGetU16LE(d + 10) + 12 == len) {
                const int pt = static_cast<unsigned char>(d[6]);
                const int ssrc = static_cast<int>(RtpGetU32LE(d + 12));
                Lock lock(&m_receiverLock);
                for (CRTPReceiver* r : m_receivers) {
                    if (r->getSsrc() == ssrc && r->getPayloadType() == pt) {
                        r->in_sample(ssrc, pt, d, len);
                        break;
                    }
                }
            }
        } else if (kind == RTP_KIND_BLOCK_5 || kind == RTP_KIND_BLOCK_6) {
            m_blocked = true;
        }
    }
    delete packet;
    return 1;
}

int CRTPSession::setGetRtpFrameCB(IGetRtpFrameCallBack* cb) {
    m_frameCallback = cb;
    return 0;
}

int CRTPSession::out_sample(int ssrc, int pt, _rtp_frame* frame) {
    if (IGetRtpFrameCallBack* cb = m_frameCallback)
        cb->OnGetRtpFrame(ssrc, pt, frame->data, static_cast<int>(frame->total), frame);
    return 0;
}

int CRTPSession::loadParamConfig(char* path) {
    FILE* f = winplat::OpenFileMapped(path, "r");
    if (!f) return -1;
    char line[130];
    for (int i = 0; i < 8 && std::fgets(line, sizeof(line), f); ++i) m_param[i] = std::atoi(line);
    std::fclose(f);
    return 0;
}

int CRTPSession::clear() {
    Lock lock(&m_incomingLock);
    for (RTPPacket* p : m_recvpacketlst) delete p;
    m_recvpacketlst.clear();
    return 0;
}

bool CRTPSession::fromRelay(const sockaddr_in& from) const {
    // The host decides, not the port: a relay may answer from another socket.
    return from.sin_family == AF_INET && m_remoteAddr != 0 &&
           ntohl(from.sin_addr.s_addr) == m_remoteAddr;
}

DWORD WINAPI CRTPSession::recvThreadProc(LPVOID self) {
    static_cast<CRTPSession*>(self)->recvLoop();
    return 0;
}

DWORD WINAPI CRTPSession::procThreadProc(LPVOID self) {
    static_cast<CRTPSession*>(self)->procLoop();
    return 0;
}

void CRTPSession::recvLoop() {
    char buffer[RTP_RECV_BUFFER];
    while (!m_quit) {
        if (m_socket == INVALID_SOCKET) {
            Sleep(20);
            continue;
        }
        // Until a datagram comes or stop() writes to the pipe; without the pipe, 20 ms
        // at a time so that stop() stays prompt.
        pollfd watch[2] = {{static_cast<int>(m_socket), POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        const int ready = poll(watch, m_stopPipe[0] >= 0 ? 2 : 1, m_stopPipe[0] >= 0 ? -1 : 20);
        if (ready <= 0 || !(watch[0].revents & POLLIN)) {
            if (ready > 0 && (watch[0].revents & (POLLERR | POLLNVAL))) Sleep(20);
            continue;
        }
        sockaddr_in from;
        socklen_t fromLen = sizeof(from);
        const int got = static_cast<int>(recvfrom(m_socket, buffer, sizeof(buffer), 0,
                                                  reinterpret_cast<sockaddr*>(&from), &fromLen));
        if (got < 1 || got > RTP_MAX_DATAGRAM) continue;
        if (!fromRelay(from)) {
            char text[INET_ADDRSTRLEN] = "?";
            inet_ntop(AF_INET, &from.sin_addr, text, sizeof(text));
            AV_LOG("drop UDP packet from %s:%d, not the media server.\n", text,
                   ntohs(from.sin_port));
            continue;
        }
        RTPPacket* packet = new RTPPacket;
        std::memcpy(packet->data, buffer, static_cast<size_t>(got));
        packet->len = got;
        addIncomingPacket(packet);
    }
}

void CRTPSession::refresh() {
    {
        Lock lock(&m_senderLock);
        for (CRTPSender* s : m_senders) Register(s->getSsrc(), s->getPayloadType());
    }
    Lock lock(&m_receiverLock);
    for (CRTPReceiver* r : m_receivers)
        if (r->isSubscribed() && !r->isHeld()) Subscribe(r->getSsrc(), r->getPayloadType());
}

void CRTPSession::procLoop() {
    while (!m_quit) {
        if (procIncomingData() == 0) {
            // Nothing queued: asleep until a datagram, stop() or the next refresh.
            const int64_t due = std::max<int64_t>(0, m_lastRefresh + 5 - _time64(nullptr));
            std::unique_lock<std::mutex> hold(m_wakeLock);
            m_wake.wait_for(hold, std::chrono::seconds(due),
                            [this] { return m_pending || m_quit.load(); });
            m_pending = false;
        }
        const int64_t now = _time64(nullptr);
        if (now - m_lastRefresh >= 5) {
            m_lastRefresh = now;
            refresh();
        }
    }
}

}  // namespace RAVO
