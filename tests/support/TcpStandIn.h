// A scripted TCP server on 127.0.0.1 for tests: it accepts connections one after
// another on a free port, records every byte it receives, sends what the test
// scripts, can close the connection, and can stop reading for a while (a slow
// reader). It runs on its own thread and stops by itself after a bounded time.
// For a refused connect, see RefusingPort (http_test_server.h).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

class TcpStandIn {
public:
    struct Options {
        // Receive buffer of accepted connections (0: the system's default). A small
        // one, with reading paused, makes the client's sends fill up.
        int receiveBuffer = 0;
        // Bytes read per read call (0: as much as there is).
        size_t readChunk = 0;
        // The server closes everything and its thread ends after this long: the test
        // timeout's length, so a slow test on a loaded machine keeps its connection.
        int lifetimeMs = 600000;
    };

    TcpStandIn();
    explicit TcpStandIn(const Options& options);
    ~TcpStandIn();
    TcpStandIn(const TcpStandIn&) = delete;
    TcpStandIn& operator=(const TcpStandIn&) = delete;

    uint16_t port() const { return m_port; }

    // Sends bytes on the current connection, or on the next one accepted.
    void Send(const Bytes& bytes);
    // Burst mode: the frames go out together in one write, so the client reads them
    // in one read and its kernel handles all of them before any window sees the
    // first notification (an arrival and a departure, then what follows them).
    void SendBurst(const std::vector<Bytes>& frames);
    // Closes the current connection, or the next one accepted, once the bytes sent
    // before are out (the client sees an orderly close).
    void CloseConnection();
    // While paused the server reads nothing.
    void PauseReading(bool paused);

    // Bytes received on connection `index` (0 is the first accepted); -1: the last.
    Bytes Received(int index = -1) const;
    size_t ReceivedCount(int index = -1) const;
    // Forgets what was received so far on every connection.
    void ClearReceived();
    int Connections() const;
    // True when every byte the client has written so far is in Received(): nothing
    // waits unread in the connection (a test waits for this after the client sent).
    bool AllRead() const;
    // True when the peer of the last connection has closed it.
    bool PeerClosed() const;

private:
    struct Command {
        enum Kind { kSend, kClose } kind;
        Bytes bytes;
    };

    void Run();
    void Wake();
    void CloseClient();

    Options m_options;
    int m_listen = -1;
    int m_client = -1;
    int m_wake[2] = {-1, -1};
    uint16_t m_port = 0;

    mutable std::mutex m_mutex;
    std::deque<Command> m_commands;
    std::vector<Bytes> m_received;
    bool m_paused = false;
    bool m_peerClosed = false;
    bool m_stop = false;
    std::thread m_thread;
};

// Little-endian frame building for expected bytes in tests.
class FrameBytes {
public:
    FrameBytes(uint16_t mainCmd, uint16_t subCmd);
    FrameBytes& i32(int32_t v);
    FrameBytes& u16(uint16_t v);
    FrameBytes& u8(uint8_t v);
    FrameBytes& raw(const void* bytes, size_t n);
    FrameBytes& zeros(size_t n);
    // A text in a field of `width` bytes, zero-padded.
    FrameBytes& text(const char* s, size_t width);
    // The frame with its length word filled in.
    Bytes bytes() const;

private:
    Bytes m_bytes;
};

// A raw frame whose length word says `length` (which may be a lie) and whose
// body is `body`.
Bytes RawFrame(int32_t length, const Bytes& body);

}  // namespace testsupport
