// What the kernel knows of a TCP socket, for WSAAsyncSelect's event rules.
#pragma once

#include <cstdint>

namespace winplat {

enum class TcpState { NotTcp, Closed, Connecting, Connected, PeerClosed, Listening, Other };

struct TcpInfo {
    TcpState state = TcpState::NotTcp;
    uint64_t bytesReceived = 0;  // in-order bytes that arrived so far
    uint64_t bytesAcked = 0;     // bytes sent that the peer has acknowledged
};

TcpInfo QueryTcp(int fd);
// Bytes waiting to be read (FIONREAD); 0 on error.
int ReadableBytes(int fd);
// Bytes sent but not yet taken by the peer (SIOCOUTQ); 0 on error.
int UnsentBytes(int fd);
// Bytes the program has written into the socket so far (acknowledged or not).
uint64_t WrittenBytes(int fd);
// Takes the socket's pending error (SO_ERROR), an errno value.
int TakeSocketError(int fd);

}  // namespace winplat
