// WSAAsyncSelect: the sockets each thread's loop serves, and Windows' rules
// for when FD_CONNECT, FD_READ, FD_WRITE, FD_ACCEPT and FD_CLOSE are posted.
#include "async_select.h"

#include <fcntl.h>
#include <sys/socket.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "queue.h"
#include "tcp_state.h"
#include "window_internal.h"
#include "window_table.h"
#include "win32/winsock.h"
#include "win32/sync.h"

namespace winplat {
namespace {

// How long a loop waits before looking again at a socket whose connect has
// not started yet.
constexpr int kUnstartedRecheckMs = 100;

struct Selection {
    HWND hwnd = nullptr;
    UINT msg = 0;
    long events = 0;
    DWORD thread = 0;
    bool tcp = false;
    bool connectDone = false;  // FD_CONNECT reported, or nothing to connect
    bool everConnected = false;
    bool readEnabled = true;
    bool readPosted = false;     // an FD_READ waits to be dispatched
    bool stalled = false;        // that FD_READ was handled without a read
    int64_t consumedAtPost = 0;  // bytes the program had read when it was posted
    bool acceptEnabled = true;
    bool closeDone = false;
    bool writeArmed = false;      // FD_WRITE once writable
    bool writePending = false;    // FD_WRITE without waiting
    uint64_t writtenAtWrite = 0;  // bytes written into the socket at the last FD_WRITE
    bool unstarted = false;       // TCP, not connected, no connect under way
};

struct Post {
    HWND hwnd;
    UINT msg;
    int socket;
    long event;
    int error;
};

struct Selections {
    std::mutex lock;
    std::map<int, Selection> bySocket;
};

Selections& selections() {
    static Selections* s = new Selections;
    return *s;
}

int64_t consumed(int fd, const TcpInfo& info) {
    return static_cast<int64_t>(info.bytesReceived) - ReadableBytes(fd);
}

void emit(std::vector<Post>& out, int fd, const Selection& s, long event, int error) {
    if (s.events & event) out.push_back(Post{s.hwnd, s.msg, fd, event, error});
}

void emitWrite(std::vector<Post>& out, int fd, Selection& s) {
    if (s.tcp) s.writtenAtWrite = WrittenBytes(fd);
    emit(out, fd, s, FD_WRITE, 0);
}

void connected(std::vector<Post>& out, int fd, Selection& s) {
    s.connectDone = s.everConnected = true;
    emit(out, fd, s, FD_CONNECT, 0);
    emitWrite(out, fd, s);  // a new connection can take data
}

void closed(std::vector<Post>& out, int fd, Selection& s, int error) {
    s.closeDone = true;
    s.writeArmed = false;
    emit(out, fd, s, FD_CLOSE, error);
}

// The poll events the socket needs now (0: leave it out of the poll, since
// poll() reports hang-ups even for no events). Posts what needs no waiting.
short interest(int fd, Selection& s, std::vector<Post>& out) {
    if (s.writePending) {
        s.writePending = false;
        emitWrite(out, fd, s);
    }
    if (!s.tcp) {
        short ev = 0;
        if ((s.events & FD_READ) && s.readEnabled) ev |= POLLIN;
        if ((s.events & FD_WRITE) && s.writeArmed) ev |= POLLOUT;
        return ev;
    }
    TcpInfo info = QueryTcp(fd);
    s.unstarted = false;
    switch (info.state) {
        case TcpState::Listening:
            return (s.events & FD_ACCEPT) && s.acceptEnabled ? POLLIN : 0;
        case TcpState::Connecting:
            return s.connectDone ? 0 : POLLOUT;
        case TcpState::Closed:
            s.unstarted = !s.everConnected && !s.connectDone;
            if (!s.everConnected) {
                // Not connected yet, or the connect failed (its error is pending).
                if (!s.connectDone) {
                    if (int err = TakeSocketError(fd)) {
                        s.connectDone = true;
                        s.unstarted = false;
                        emit(out, fd, s, FD_CONNECT, WsaErrorFromErrno(err));
                    }
                }
                return 0;
            }
            break;
        default:
            if (!s.connectDone) connected(out, fd, s);
            s.everConnected = true;
            break;
    }
    if (s.closeDone) return 0;
    short ev = 0;
    if (s.stalled && consumed(fd, info) != s.consumedAtPost) {  // the program read after all
        s.stalled = false;
        s.readEnabled = true;
    }
    if (!s.readPosted) {
        if ((s.events & FD_READ) && s.readEnabled)
            ev |= POLLIN;
        else if (s.events & FD_CLOSE)
            ev |= POLLRDHUP;  // watch for the close only
    }
    if ((s.events & FD_WRITE) && s.writeArmed) ev |= POLLOUT;
    return ev;
}

void ready(int fd, Selection& s, short revents, std::vector<Post>& out) {
    if (revents & POLLNVAL) return;  // closed behind our back: dropped by the caller
    if (!s.tcp) {
        if ((revents & (POLLIN | POLLERR)) && (s.events & FD_READ) && s.readEnabled) {
            s.readEnabled = false;
            s.readPosted = true;
            emit(out, fd, s, FD_READ, 0);
        }
        if ((revents & POLLOUT) && s.writeArmed) {
            s.writeArmed = false;
            emitWrite(out, fd, s);
        }
        return;
    }
    TcpInfo info = QueryTcp(fd);
    if (info.state == TcpState::Listening) {
        if ((revents & POLLIN) && s.acceptEnabled) {
            s.acceptEnabled = false;
            emit(out, fd, s, FD_ACCEPT, 0);
        }
        return;
    }
    if (!s.connectDone) {
        if (info.state == TcpState::Connecting) return;
        if (info.state == TcpState::Closed) {
            int err = TakeSocketError(fd);
            s.connectDone = true;
            emit(out, fd, s, FD_CONNECT, WsaErrorFromErrno(err ? err : ECONNABORTED));
            return;
        }
        connected(out, fd, s);
    }
    if ((revents & POLLOUT) && s.writeArmed) {
        s.writeArmed = false;
        emitWrite(out, fd, s);
    }
    if (s.closeDone || s.readPosted) return;
    const short any = POLLIN | POLLHUP | POLLERR | POLLRDHUP;
    if ((s.events & FD_READ) && s.readEnabled && (revents & any)) {
        // Data first; the close is reported once nothing is left to read.
        char byte;
        ssize_t n = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            s.readEnabled = false;
            s.readPosted = true;
            s.consumedAtPost = consumed(fd, info);
            emit(out, fd, s, FD_READ, 0);
        } else if (n == 0) {
            closed(out, fd, s, 0);
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            closed(out, fd, s, WsaErrorFromErrno(errno));
        }
    } else if (revents & (POLLRDHUP | POLLHUP | POLLERR)) {
        int err = TakeSocketError(fd);
        closed(out, fd, s, err ? WsaErrorFromErrno(err) : 0);
    }
}

void deliver(const std::vector<Post>& posts) {
    for (const Post& p : posts) {
        if (PostMessageW(p.hwnd, p.msg, static_cast<WPARAM>(p.socket),
                         WSAMAKESELECTREPLY(p.event, p.error)))
            continue;
        std::lock_guard<std::mutex> g(selections().lock);  // its window is gone
        auto it = selections().bySocket.find(p.socket);
        if (it != selections().bySocket.end() && it->second.hwnd == p.hwnd)
            selections().bySocket.erase(it);
    }
}

}  // namespace

bool ThreadHasSelections(DWORD threadId) {
    std::lock_guard<std::mutex> g(selections().lock);
    for (auto& s : selections().bySocket)
        if (s.second.thread == threadId) return true;
    return false;
}

int CollectSocketPollSet(DWORD threadId, std::vector<pollfd>& fds) {
    std::vector<Post> posts;
    int limit = -1;
    {
        std::lock_guard<std::mutex> g(selections().lock);
        for (auto& s : selections().bySocket) {
            if (s.second.thread != threadId) continue;
            short ev = interest(s.first, s.second, posts);
            if (ev) fds.push_back(pollfd{s.first, ev, 0});
            if (s.second.unstarted) limit = kUnstartedRecheckMs;
        }
    }
    deliver(posts);
    return limit;
}

void HandleSocketPoll(DWORD threadId, const std::vector<pollfd>& fds) {
    std::vector<Post> posts;
    {
        std::lock_guard<std::mutex> g(selections().lock);
        for (const pollfd& p : fds) {
            if (!p.revents) continue;
            auto it = selections().bySocket.find(p.fd);
            if (it == selections().bySocket.end() || it->second.thread != threadId) continue;
            if (p.revents & POLLNVAL) {
                selections().bySocket.erase(it);
                continue;
            }
            ready(p.fd, it->second, p.revents, posts);
        }
    }
    deliver(posts);
}

void SocketMessageDispatched(const MSG& msg) {
    long event = WSAGETSELECTEVENT(msg.lParam);
    if (event != FD_READ && event != FD_ACCEPT) return;
    std::lock_guard<std::mutex> g(selections().lock);
    auto it = selections().bySocket.find(static_cast<int>(msg.wParam));
    if (it == selections().bySocket.end()) return;
    Selection& s = it->second;
    if (s.hwnd != msg.hwnd || s.msg != msg.message) return;
    if (event == FD_ACCEPT) {
        s.acceptEnabled = true;
        return;
    }
    if (!s.readPosted) return;
    s.readPosted = false;
    // Windows re-enables FD_READ when the program calls recv. A handler that
    // read nothing gets no new FD_READ until it reads (seen by the byte count).
    if (s.tcp && consumed(it->first, QueryTcp(it->first)) == s.consumedAtPost &&
        ReadableBytes(it->first) > 0) {
        s.stalled = true;
        return;
    }
    s.readEnabled = true;
}

void ArmWriteNotifications() {
    std::vector<DWORD> wake;
    {
        std::lock_guard<std::mutex> g(selections().lock);
        for (auto& s : selections().bySocket) {
            Selection& sel = s.second;
            // A send that would block leaves the socket's send queue full; a
            // recv that would block (same code) leaves it empty as a rule. The
            // peer may have emptied it since: a socket written to after its last
            // FD_WRITE may have been that send, and gets FD_WRITE once writable.
            if ((sel.events & FD_WRITE) && !sel.closeDone && !sel.writeArmed &&
                (sel.everConnected || !sel.tcp) &&
                (UnsentBytes(s.first) > 0 ||
                 (sel.tcp && WrittenBytes(s.first) != sel.writtenAtWrite))) {
                sel.writeArmed = true;
                if (sel.thread != GetCurrentThreadId()) wake.push_back(sel.thread);
            }
        }
    }
    for (DWORD t : wake) WakeThread(t);
}

void CancelSocketSelection(int socket, bool dropQueued) {
    Selection gone;
    {
        std::lock_guard<std::mutex> g(selections().lock);
        auto it = selections().bySocket.find(socket);
        if (it == selections().bySocket.end()) return;
        gone = it->second;
        selections().bySocket.erase(it);
    }
    if (dropQueued)
        PurgeSocketMessages(gone.thread, gone.hwnd, gone.msg, static_cast<WPARAM>(socket));
}

void CancelWindowSelections(HWND hwnd) {
    std::lock_guard<std::mutex> g(selections().lock);
    auto& m = selections().bySocket;
    for (auto it = m.begin(); it != m.end();)
        it = it->second.hwnd == hwnd ? m.erase(it) : std::next(it);
}

void CancelThreadSelections(DWORD threadId) {
    std::lock_guard<std::mutex> g(selections().lock);
    auto& m = selections().bySocket;
    for (auto it = m.begin(); it != m.end();)
        it = it->second.thread == threadId ? m.erase(it) : std::next(it);
}

}  // namespace winplat

using namespace winplat;

int WSAAsyncSelect(SOCKET s, HWND hwnd, UINT msg, long events) {
    int type = 0;
    socklen_t len = sizeof type;
    if (getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &len) != 0) {
        errno = ENOTSOCK;
        return SOCKET_ERROR;
    }
    if (events == 0 || msg == 0) {
        CancelSocketSelection(s);
        return 0;
    }
    DWORD tid = WindowThread(hwnd);
    if (!tid) {
        errno = EINVAL;
        return SOCKET_ERROR;
    }
    int flags = fcntl(s, F_GETFL);
    if (flags < 0 || fcntl(s, F_SETFL, flags | O_NONBLOCK) < 0) return SOCKET_ERROR;

    Selection sel;
    sel.hwnd = hwnd;
    sel.msg = msg;
    sel.events = events;
    sel.thread = tid;
    sel.tcp = type == SOCK_STREAM;
    if (sel.tcp) {
        TcpState st = QueryTcp(s).state;
        if (st == TcpState::Listening) sel.connectDone = true;
        if (st == TcpState::Connected || st == TcpState::PeerClosed) {
            // Already connected (an accepted socket): no FD_CONNECT, but FD_WRITE.
            sel.connectDone = sel.everConnected = true;
            sel.writePending = (events & FD_WRITE) != 0;
        }
    } else {
        sel.connectDone = true;
        sel.writePending = (events & FD_WRITE) != 0;
    }
    {
        std::lock_guard<std::mutex> g(selections().lock);
        selections().bySocket[s] = sel;
    }
    if (tid != GetCurrentThreadId()) WakeThread(tid);
    return 0;
}
