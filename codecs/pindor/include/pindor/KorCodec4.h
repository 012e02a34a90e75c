// H.264 encoder plug-in: packed 32-bit (or 24-bit) frames in, one encoded frame out
// (8-byte header, then the Annex B NAL units x264 produced).
#pragma once

#include <cstdint>

struct x264_t;
struct x264_param_t;
struct x264_picture_t;
struct SwsContext;

// Embedded by value in the engine's encoder filter, which reads `buffer` after `Encode`;
// no virtual functions, members public and in this order.
class CKorCodec4 {
public:
    CKorCodec4();
    ~CKorCodec4();  // frees nothing: the owner calls EncodeClose

    // inputFormat 1: 32-bit RGBA pixels; anything else: 24-bit BGR.
    // 0, -1 when already opened, -2 when the encoder does not open.
    int EncodeInit(int width, int height, int rcMode, int rate, int fps, int inputFormat);
    // Bytes of the encoded frame in `buffer` (8 + payload); -1 on an encoder error, -2 when
    // not opened. srcLen is not used: the frame size is the codec's.
    int Encode(int srcWidth, int srcRows, unsigned char* src, int srcLen);
    // -1 when not opened, else releases everything; 0.
    int EncodeClose();

    // The decoder lives in another library; these do nothing.
    int DecodeInit(int format);
    int Decode(unsigned char* data, int len);
    int DecodeClose();

    bool opened;
    int width;
    int height;
    int inputFormat;
    x264_t* encoder;
    x264_param_t* param;
    x264_picture_t* picture;
    SwsContext* sws;
    uint8_t* buffer;  // width x height x 4: I420 work area, then the encoded frame
};

// The 8-byte header in front of every encoded frame, little-endian on the wire.
struct KorFrameHeader {
    uint16_t width;
    uint16_t height;
    uint32_t keyFlag;  // 1 for an IDR frame
};
static_assert(sizeof(KorFrameHeader) == 8, "frame header is 8 bytes on the wire");
