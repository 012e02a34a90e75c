// TCP servers on 127.0.0.1 that take many connections at once and cut what they
// receive into protocol frames (length word, 10, 0, main, sub, payload). One thread
// serves every listener and connection; the handlers run on it, so a handler can
// send at once. The hello frame that opens a connection is skipped. It runs until
// Stop(), with no lifetime limit.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class FrameServer {
public:
    struct Frame {
        int connection;  // the connection's id, never reused
        int kind;        // the listener's kind, as given to Listen
        uint16_t mainCmd;
        uint16_t subCmd;
        const uint8_t* payload;
        size_t size;
    };
    using FrameHandler = std::function<void(const Frame&)>;
    // A connection went away (the peer closed it, it broke, or it sent garbage).
    using CloseHandler = std::function<void(int connection, int kind)>;
    using Log = std::function<void(const std::string&)>;

    FrameServer(FrameHandler onFrame, CloseHandler onClose, Log log);
    ~FrameServer();
    FrameServer(const FrameServer&) = delete;
    FrameServer& operator=(const FrameServer&) = delete;

    // Before Start: a listener of `kind` on `port` (0: a free one). The port bound,
    // or 0 when it could not be bound.
    uint16_t Listen(int kind, uint16_t port);
    void Start();
    void Stop();

    // Queues bytes on a connection (sent as the socket takes them). Loop thread only.
    void Send(int connection, const std::vector<uint8_t>& bytes);

private:
    struct Connection {
        int fd = -1;
        int kind = 0;
        std::vector<uint8_t> in;
        std::vector<uint8_t> out;
    };
    void run();
    void accept(int listenFd, int kind);
    // False when the connection is to be closed.
    bool readFrom(int id, Connection& c);
    bool cutFrames(int id, Connection& c);
    bool flush(Connection& c);
    void close(int id);

    FrameHandler m_onFrame;
    CloseHandler m_onClose;
    Log m_log;
    std::vector<std::pair<int, int>> m_listeners;  // fd, kind
    std::map<int, Connection> m_connections;
    int m_nextId = 1;
    int m_wake = -1;  // eventfd that ends the loop
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

}  // namespace testsupport
