#include "TcpStandIn.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace testsupport {

namespace {

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a;
    std::memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

uint16_t BoundPort(int fd) {
    sockaddr_in a;
    socklen_t len = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

TcpStandIn::TcpStandIn() : TcpStandIn(Options()) {}

TcpStandIn::TcpStandIn(const Options& options) : m_options(options) {
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    if (m_listen < 0) throw std::runtime_error("stand-in: socket");
    int one = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    // Accepted sockets inherit the receive buffer of the listener.
    if (m_options.receiveBuffer > 0)
        setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, &m_options.receiveBuffer,
                   sizeof m_options.receiveBuffer);
    sockaddr_in a = Loopback(0);
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(m_listen, 4) != 0)
        throw std::runtime_error("stand-in: bind/listen");
    m_port = BoundPort(m_listen);
    SetNonBlocking(m_listen);
    if (pipe(m_wake) != 0) throw std::runtime_error("stand-in: pipe");
    SetNonBlocking(m_wake[0]);
    m_thread = std::thread(&TcpStandIn::Run, this);
}

TcpStandIn::~TcpStandIn() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    Wake();
    if (m_thread.joinable()) m_thread.join();
    CloseClient();
    if (m_listen >= 0) close(m_listen);
    for (int fd : m_wake)
        if (fd >= 0) close(fd);
}

void TcpStandIn::Wake() {
    char c = 1;
    ssize_t n = write(m_wake[1], &c, 1);
    (void)n;
}

void TcpStandIn::Send(const Bytes& bytes) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.push_back(Command{Command::kSend, bytes});
    }
    Wake();
}

void TcpStandIn::SendBurst(const std::vector<Bytes>& frames) {
    Bytes all;
    for (const Bytes& f : frames) all.insert(all.end(), f.begin(), f.end());
    // One command: the run loop hands it to the socket in a single send.
    Send(all);
}

void TcpStandIn::CloseConnection() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.push_back(Command{Command::kClose, {}});
    }
    Wake();
}

void TcpStandIn::PauseReading(bool paused) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = paused;
    }
    Wake();
}

Bytes TcpStandIn::Received(int index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_received.empty()) return {};
    if (index < 0) return m_received.back();
    return static_cast<size_t>(index) < m_received.size() ? m_received[index] : Bytes();
}

size_t TcpStandIn::ReceivedCount(int index) const {
    return Received(index).size();
}

void TcpStandIn::ClearReceived() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& r : m_received) r.clear();
}

int TcpStandIn::Connections() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_received.size());
}

bool TcpStandIn::AllRead() const {
    // The thread reads and records under the lock, so what the socket still holds
    // is exactly what is not recorded yet.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_client < 0) return true;
    int unread = 0;
    return ioctl(m_client, FIONREAD, &unread) == 0 && unread == 0;
}

bool TcpStandIn::PeerClosed() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_peerClosed;
}

void TcpStandIn::CloseClient() {
    // Called with the lock held while the thread runs: other threads look at
    // m_client under it (AllRead).
    if (m_client >= 0) {
        close(m_client);
        m_client = -1;
    }
}

void TcpStandIn::Run() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_options.lifetimeMs);
    Bytes outgoing;  // scripted bytes not yet taken by the socket
    std::vector<uint8_t> buf(64 * 1024);
    for (;;) {
        bool paused;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) break;
            paused = m_paused;
            // Commands run in order; a send waits for a connection, a close waits
            // until the scripted bytes before it are out.
            while (!m_commands.empty()) {
                Command& c = m_commands.front();
                if (c.kind == Command::kSend) {
                    if (m_client < 0) break;
                    outgoing.insert(outgoing.end(), c.bytes.begin(), c.bytes.end());
                } else {
                    if (m_client < 0 || !outgoing.empty()) break;
                    CloseClient();
                }
                m_commands.pop_front();
            }
        }
        if (std::chrono::steady_clock::now() >= deadline) break;

        pollfd fds[3];
        int n = 0;
        fds[n++] = {m_wake[0], POLLIN, 0};
        fds[n++] = {m_listen, POLLIN, 0};
        int clientAt = -1;
        if (m_client >= 0) {
            short events = 0;
            if (!paused) events |= POLLIN;
            if (!outgoing.empty()) events |= POLLOUT;
            clientAt = n;
            fds[n++] = {m_client, events, 0};
        }
        if (poll(fds, n, 50) < 0) continue;

        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (read(m_wake[0], drain, sizeof drain) > 0) {
            }
        }
        if ((fds[1].revents & POLLIN) && m_client < 0) {
            int c = accept(m_listen, nullptr, nullptr);
            if (c >= 0) {
                SetNonBlocking(c);
                std::lock_guard<std::mutex> lock(m_mutex);
                m_client = c;
                m_received.emplace_back();
                m_peerClosed = false;
            }
        }
        if (clientAt < 0 || m_client < 0) continue;
        const short re = fds[clientAt].revents;
        if (paused && (re & (POLLHUP | POLLERR)))  // nothing to do until reading resumes
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if ((re & POLLOUT) && !outgoing.empty()) {
            ssize_t w = send(m_client, outgoing.data(), outgoing.size(), MSG_NOSIGNAL);
            if (w > 0) outgoing.erase(outgoing.begin(), outgoing.begin() + w);
        }
        if ((re & (POLLIN | POLLHUP | POLLERR)) && !paused) {
            size_t want = m_options.readChunk ? m_options.readChunk : buf.size();
            ssize_t r;
            int error;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                r = recv(m_client, buf.data(), want, 0);
                error = errno;
                if (r > 0)
                    m_received.back().insert(m_received.back().end(), buf.begin(), buf.begin() + r);
            }
            if (r == 0 || (r < 0 && error != EAGAIN && error != EWOULDBLOCK)) {
                outgoing.clear();
                std::lock_guard<std::mutex> lock(m_mutex);
                CloseClient();
                m_peerClosed = true;
            }
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    CloseClient();
}

FrameBytes::FrameBytes(uint16_t mainCmd, uint16_t subCmd) {
    i32(0);
    u8(10);
    u8(0);
    u16(mainCmd);
    u16(subCmd);
}

FrameBytes& FrameBytes::i32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
    return *this;
}

FrameBytes& FrameBytes::u16(uint16_t v) {
    m_bytes.push_back(static_cast<uint8_t>(v));
    m_bytes.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
}

FrameBytes& FrameBytes::u8(uint8_t v) {
    m_bytes.push_back(v);
    return *this;
}

FrameBytes& FrameBytes::raw(const void* bytes, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    m_bytes.insert(m_bytes.end(), p, p + n);
    return *this;
}

FrameBytes& FrameBytes::zeros(size_t n) {
    m_bytes.insert(m_bytes.end(), n, 0);
    return *this;
}

FrameBytes& FrameBytes::text(const char* s, size_t width) {
    size_t n = strnlen(s, width);
    raw(s, n);
    return zeros(width - n);
}

Bytes FrameBytes::bytes() const {
    Bytes out = m_bytes;
    uint32_t len = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(len >> (8 * i));
    return out;
}

Bytes RawFrame(int32_t length, const Bytes& body) {
    Bytes out;
    out.reserve(4 + body.size());
    uint32_t u = static_cast<uint32_t>(length);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
    for (uint8_t b : body) out.push_back(b);
    return out;
}

}  // namespace testsupport
