// Picture scaler plug-in: bilinear scaling of packed 32-bit (or 24-bit) frames.
#pragma once

#include <cstdint>

struct SwsContext;

// Embedded by value in the engine's resampler, which reads `buffer` and `outSize` after
// `Encode`; no virtual functions, members public and in this order.
class CKorCodec3 {
public:
    CKorCodec3();
    ~CKorCodec3();

    // format 1: 32-bit RGBA pixels, else 24-bit BGR (input and output alike). 0.
    int EncodeInit(int srcWidth, int srcHeight, int dstWidth, int dstHeight, int format);
    // Scales one srcWidth x srcHeight frame into `buffer`; size in `outSize`. 0, or -1 when
    // the scaler is not set up. srcLen is not used.
    int Encode(unsigned char* src, int srcLen);
    // Frees the scaler and the buffer; outSize 0. 0.
    int EncodeClose();

    // Kept for the plug-in's uniform entry set; these do nothing.
    int DecodeInit(int format);
    int Decode(unsigned char* data, int len);
    int DecodeClose();

    int srcWidth;
    int srcHeight;
    int dstWidth;
    int dstHeight;
    int format;
    SwsContext* sws;
    uint8_t* buffer;  // dstWidth x dstHeight x 4
    int outSize;
};
