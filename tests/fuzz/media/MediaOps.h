// The media target's input: the clock's start (u32 milliseconds), then a list of
// operations on one session. Raw datagrams keep
// every byte open to the fuzzer; the built ones keep the length fields in step with
// the size, so that mutations of the other fields reach the assembly and recovery.
#pragma once

#include <cstdint>

namespace media_fuzz {

enum Op : uint8_t {
    kRawDatagram = 0,     // u16 length, bytes
    kDataDatagram = 1,    // stream, kind, group, k, slot, u16 seq, u32 ts, u16 count,
                          // u16 index, u16 payload length, payload
    kParityDatagram = 2,  // stream, group, k, index, u16 block length, block
    kAdvanceClock = 3,    // u16 milliseconds; then every receiver delivers what is due
    kEnvelope = 4,        // kind, u16 length, bytes after the kind
    kOpCount = 5,
};

// The receivers of the session: (ssrc, payload type). A stream byte picks one of
// them, or (past the list) an ssrc nobody listens to.
struct Stream {
    uint32_t ssrc;
    int pt;
};
constexpr Stream kStreams[] = {{77, 99}, {77, 97}, {78, 99}};
constexpr int kStreamCount = 3;

}  // namespace media_fuzz
