// One TCP connection to a server: non-blocking connect, a queue of frames waiting
// for the connect, reassembly of received frames, and ordered sending.
#pragma once

#include <cstdint>
#include <deque>
#include <list>
#include <vector>

#include "kernel/ACDefProcess.h"
#include "win32/win32.h"

class CTMLSocket {
public:
    enum { kRecvBufSize = 16384 };

    CTMLSocket();
    ~CTMLSocket();
    CTMLSocket(const CTMLSocket&) = delete;
    CTMLSocket& operator=(const CTMLSocket&) = delete;

    bool ConnectToServer(HWND wnd, UINT msg, const char* host, int port);
    // lParam of the asynchronous-select message: low word event, high word error.
    int OnSocketEvent(WPARAM socket, LPARAM event);
    int ReceiveFrames(SOCKET socket);
    void SendData(const void* bytes, int length);
    void QueueData(const void* bytes, int length);
    void FlushQueue();
    void ClearQueue();
    bool CloseSocket();
    // IPv4 address in network order; 0 when the host cannot be resolved.
    static ULONG Get_IP(const char* host);

    // Bytes accepted by SendData that the socket has not taken yet.
    size_t PendingSendBytes() const { return m_SendBacklog.size(); }

    struct PendingFrame {
        std::vector<uint8_t> bytes;
    };

    int m_nServerType;
    int m_bNotifyClose;
    int m_nMsgId;
    SOCKET m_hSocket;
    CACDefProcess* m_pSink;
    std::list<PendingFrame> m_lstPending;
    int m_nConnected;
    int m_nSync;
    uint8_t m_RecvBuf[kRecvBufSize];
    int m_nRecvLen;

private:
    // Sends from the backlog until it is empty or the socket would block.
    void DrainBacklog();

    // What a full socket did not take, in order; later frames queue behind it so
    // the stream never loses or reorders bytes.
    std::deque<uint8_t> m_SendBacklog;
};
