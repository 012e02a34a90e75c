// Relay datagram layout and the records the transport hands around.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#define RTP_PT_AUDIO 97
#define RTP_PT_VIDEO 99

namespace RAVO {

// Envelope of every datagram: the magic (little-endian), then the kind.
const uint32_t RTP_ENVELOPE_MAGIC = 0xA7E0DF30u;
enum RtpDatagramKind {
    RTP_KIND_DATA = 0,
    RTP_KIND_CONTROL = 1,
    RTP_KIND_PARITY = 2,
    RTP_KIND_DATA_ALT = 3,  // read like data by a receiver, never passed on by the session
    RTP_KIND_BLOCK_5 = 5,
    RTP_KIND_BLOCK_6 = 6,
};
enum RtpControlOp {
    RTP_OP_REGISTER = 1,
    RTP_OP_SUBSCRIBE = 2,
    RTP_OP_UNREGISTER = 3,
    RTP_OP_UNSUBSCRIBE = 4,
};

const int RTP_MAX_PAYLOAD = 1200;  // payload bytes of one data datagram
// Fragments of one frame at most (1.2 MB, far above any encoded picture): a receiver
// allocates count x 1200 bytes per new timestamp, so a larger count from the network
// would let anyone on the relay exhaust a listener's memory.
const int RTP_MAX_FRAME_FRAGMENTS = 1024;
const int RTP_DATA_HEADER = 32;        // data datagram bytes before the payload
const int RTP_PART_OFFSET = 12;        // the RTP part of a data datagram starts here
const int RTP_PARITY_HEADER = 16;      // parity datagram bytes before the parity block
const int RTP_MAX_DATAGRAM = 1400;     // longest datagram the session accepts
const int RTP_RECV_BUFFER = 2048;      // bytes read per recvfrom
const int RTP_PACKET_SIZE = 1500;      // store and buffer size of one datagram
const int RTP_FEC_SLOTS = 14;          // blocks of one group (data + parity)
const int RTP_FEC_GROUP_BUFFERS = 13;  // group buffers of one receiver

// The session's tunables; index meanings in the comments.
// The facade rewrites these while the session's threads read them, so each value is atomic.
struct RTPParam {
    std::atomic<int> value[8];  // 0 unused, 1 frame deadline ms, 2/3 video k/n, 4/5 audio k/n,
                                // 6 pacing pause us, 7 pacing burst (<= 0: no pacing)
    std::atomic<int>& operator[](int i) { return value[i]; }
    int operator[](int i) const { return value[i].load(); }
};

// One received datagram.
struct RTPPacket {
    char data[RTP_PACKET_SIZE];
    int len;
};

// One frame of a remote stream, being assembled or handed out.
struct _rtp_frame {
    uint32_t ts;
    uint16_t first_seq;
    uint16_t last_seq;
    uint16_t count;
    uint8_t complete;
    uint8_t recovered;
    uint32_t deadline;
    uint32_t total;
    char* data;     // count x 1200 bytes; fragment i at i x 1200
    int* received;  // count flags
    int loss;       // 1 at delivery when frames before this one were lost
};

class IGetRtpFrameCallBack {
public:
    virtual int OnGetRtpFrame(int ssrc, int pt, char* data, int len, _rtp_frame* frame) = 0;

protected:
    ~IGetRtpFrameCallBack() = default;
};

// Byte order helpers for the wire fields.
inline uint16_t RtpGetU16LE(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}
inline uint32_t RtpGetU32LE(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}
inline uint16_t RtpGetU16BE(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
}
inline uint32_t RtpGetU32BE(const char* p) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
           (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]);
}
inline void RtpPutU16LE(char* p, uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}
inline void RtpPutU32LE(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void RtpPutU16BE(char* p, uint16_t v) {
    p[0] = static_cast<char>(v >> 8);
    p[1] = static_cast<char>(v & 0xFF);
}
inline void RtpPutU32BE(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}
inline bool RtpHasMagic(const char* p, int len) {
    return len >= 5 && RtpGetU32LE(p) == RTP_ENVELOPE_MAGIC;
}

}  // namespace RAVO
