#include "FrameServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace testsupport {

namespace {

constexpr size_t kHeaderSize = 10;
constexpr uint32_t kMaxFrame = 8192;
constexpr size_t kHelloSize = 14;
constexpr uint16_t kHelloSub = 1;

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

FrameServer::FrameServer(FrameHandler onFrame, CloseHandler onClose, Log log)
    : m_onFrame(std::move(onFrame)), m_onClose(std::move(onClose)), m_log(std::move(log)) {
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

FrameServer::~FrameServer() {
    Stop();
    for (auto& l : m_listeners) ::close(l.first);
    if (m_wake >= 0) ::close(m_wake);
}

uint16_t FrameServer::Listen(int kind, uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return 0;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return 0;
    }
    m_listeners.emplace_back(fd, kind);
    return ntohs(addr.sin_port);
}

void FrameServer::Start() {
    m_quit = false;
    m_thread = std::thread([this] { run(); });
}

void FrameServer::Stop() {
    m_quit = true;
    if (m_wake >= 0) {
        uint64_t one = 1;
        ssize_t ignored = ::write(m_wake, &one, sizeof one);
        (void)ignored;
    }
    if (m_thread.joinable()) m_thread.join();
    for (auto& [id, c] : m_connections) ::close(c.fd);
    m_connections.clear();
}

void FrameServer::Send(int connection, const std::vector<uint8_t>& bytes) {
    auto it = m_connections.find(connection);
    if (it == m_connections.end()) return;
    it->second.out.insert(it->second.out.end(), bytes.begin(), bytes.end());
    // Written at once when the socket takes it; the rest waits for POLLOUT.
    if (!flush(it->second)) it->second.out.clear();
}

void FrameServer::run() {
    std::vector<pollfd> fds;
    std::vector<int> ids;  // connection id per entry after the listeners and the wake-up
    while (!m_quit) {
        fds.clear();
        ids.clear();
        fds.push_back({m_wake, POLLIN, 0});
        for (auto& l : m_listeners) fds.push_back({l.first, POLLIN, 0});
        for (auto& [id, c] : m_connections) {
            short events = POLLIN;
            if (!c.out.empty()) events |= POLLOUT;
            fds.push_back({c.fd, events, 0});
            ids.push_back(id);
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) break;
        for (size_t i = 0; i < m_listeners.size(); ++i)
            if (fds[1 + i].revents & POLLIN) accept(m_listeners[i].first, m_listeners[i].second);
        const size_t first = 1 + m_listeners.size();
        for (size_t i = 0; i < ids.size(); ++i) {
            const short revents = fds[first + i].revents;
            if (!revents) continue;
            auto it = m_connections.find(ids[i]);
            if (it == m_connections.end()) continue;  // closed by an earlier handler
            bool keep = true;
            if (revents & POLLOUT) keep = flush(it->second);
            if (keep && (revents & (POLLIN | POLLHUP | POLLERR)))
                keep = readFrom(ids[i], it->second);
            if (!keep) close(ids[i]);
        }
    }
}

void FrameServer::accept(int listenFd, int kind) {
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    int id = m_nextId++;
    Connection c;
    c.fd = fd;
    c.kind = kind;
    m_connections.emplace(id, std::move(c));
}

bool FrameServer::readFrom(int id, Connection& c) {
    uint8_t buffer[16384];
    for (;;) {
        ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        c.in.insert(c.in.end(), buffer, buffer + n);
        if (!cutFrames(id, c)) return false;
    }
}

bool FrameServer::cutFrames(int id, Connection& c) {
    size_t at = 0;
    while (c.in.size() - at >= 4) {
        const uint32_t length = le32(c.in.data() + at);
        if (length < kHeaderSize || length > kMaxFrame) {
            m_log("connection " + std::to_string(id) + ": frame length " + std::to_string(length) +
                  " refused, connection closed");
            return false;
        }
        if (c.in.size() - at < length) break;
        const uint8_t* f = c.in.data() + at;
        Frame frame{id, c.kind, le16(f + 6), le16(f + 8), f + kHeaderSize, length - kHeaderSize};
        at += length;
        if (frame.subCmd == kHelloSub && length == kHelloSize) continue;
        // Handlers only queue output, so the received bytes stay where they are.
        m_onFrame(frame);
    }
    c.in.erase(c.in.begin(), c.in.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

bool FrameServer::flush(Connection& c) {
    size_t done = 0;
    while (done < c.out.size()) {
        ssize_t n = ::send(c.fd, c.out.data() + done, c.out.size() - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    c.out.erase(c.out.begin(), c.out.begin() + static_cast<std::ptrdiff_t>(done));
    return true;
}

void FrameServer::close(int id) {
    auto it = m_connections.find(id);
    if (it == m_connections.end()) return;
    const int kind = it->second.kind;
    ::close(it->second.fd);
    m_connections.erase(it);
    m_onClose(id, kind);
}

}  // namespace testsupport
