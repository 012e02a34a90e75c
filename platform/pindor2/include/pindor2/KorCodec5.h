// H.264 decoder of the play streams: the Annex B payload of one encoded frame (what
// follows its 8-byte header) in, 32-bit pixels of the decoded picture out.
#pragma once

#include <cstdint>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

class CKorCodec5 {
public:
    CKorCodec5();
    ~CKorCodec5();
    CKorCodec5(const CKorCodec5&) = delete;
    CKorCodec5& operator=(const CKorCodec5&) = delete;

    // format 1: 32-bit pixels (byte order as the encoder's RGBA input), else 24-bit.
    // 0; -1 when already open; -2 when the decoder cannot be created.
    int DecodeInit(int format);
    // Decodes one frame's NAL units. Returns the bytes of the picture at `outBuffer`
    // (outWidth x outHeight x 4, or x 3), or a negative result: -1 for an empty, truncated
    // or corrupted packet or one that gives no picture, -2 when not open, -3 when
    // expectWidth/expectHeight (the frame header's size, 0 included; negative = not
    // checked) differ from the decoded picture. The picture stays valid until the next call.
    int Decode(const void* data, int len, int expectWidth = -1, int expectHeight = -1);
    // -1 when not open; else releases everything; 0.
    int DecodeClose();

    int opened;
    int format;
    AVCodecContext* context;
    AVFrame* frame;
    AVPacket* packet;
    SwsContext* sws;
    char* outBuffer;  // decoded picture; `outSize` bytes
    int outSize;
    int outWidth;
    int outHeight;
    int outCapacity;
    uint8_t* input;  // padded copy of the packet: the parser reads a little past its end
    int inputCapacity;
};
