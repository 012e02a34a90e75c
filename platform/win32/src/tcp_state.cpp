// Kept apart: <linux/tcp.h> (for the byte counters) clashes with <netinet/tcp.h>.
#include "tcp_state.h"

#include <linux/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <netinet/in.h>

#include <cstddef>

namespace winplat {
namespace {
// tcpi_state values (the kernel's TCP states).
enum : unsigned char {
    kEstablished = 1,
    kSynSent,
    kSynRecv,
    kFinWait1,
    kFinWait2,
    kTimeWait,
    kClose,
    kCloseWait,
    kLastAck,
    kListen,
    kClosing
};
}  // namespace

TcpInfo QueryTcp(int fd) {
    TcpInfo out;
    struct tcp_info ti {};
    socklen_t len = sizeof ti;
    if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &ti, &len) != 0) return out;
    switch (ti.tcpi_state) {
        case kEstablished:
        case kFinWait1:  // our side shut down sending; the peer may still send
        case kFinWait2:
            out.state = TcpState::Connected;
            break;
        case kSynSent:
            out.state = TcpState::Connecting;
            break;
        case kClose:
            out.state = TcpState::Closed;
            break;
        case kCloseWait:
        case kLastAck:
        case kClosing:
        case kTimeWait:
            out.state = TcpState::PeerClosed;
            break;
        case kListen:
            out.state = TcpState::Listening;
            break;
        default:
            out.state = TcpState::Other;
            break;  // SYN_RECV and the like
    }
    if (len >= offsetof(struct tcp_info, tcpi_bytes_received) + sizeof ti.tcpi_bytes_received)
        out.bytesReceived = ti.tcpi_bytes_received;
    if (len >= offsetof(struct tcp_info, tcpi_bytes_acked) + sizeof ti.tcpi_bytes_acked)
        out.bytesAcked = ti.tcpi_bytes_acked;
    return out;
}

int ReadableBytes(int fd) {
    int n = 0;
    return ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}

int UnsentBytes(int fd) {
    int n = 0;
    return ioctl(fd, TIOCOUTQ, &n) == 0 ? n : 0;
}

uint64_t WrittenBytes(int fd) {
    return QueryTcp(fd).bytesAcked + static_cast<uint64_t>(UnsentBytes(fd));
}

int TakeSocketError(int fd) {
    int err = 0;
    socklen_t len = sizeof err;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 ? err : 0;
}

}  // namespace winplat
