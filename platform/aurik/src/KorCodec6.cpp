#include "aurik/KorCodec6.h"

#include <opus.h>

namespace {

// Opus' own recommendation for the largest packet worth allowing.
constexpr int kMaxPacket = 4000;

}  // namespace

CKorCodec6::CKorCodec6()
    : opened(0),
      sampleRate(0),
      channels(0),
      bitrate(0),
      encoder(nullptr),
      outBuffer(nullptr),
      outSize(0) {}

CKorCodec6::~CKorCodec6() {
    EncodeClose();
}

int CKorCodec6::EncodeInit(int rate, int ch, int bits) {
    if (opened) return -1;
    int err = OPUS_OK;
    encoder = opus_encoder_create(rate, ch, OPUS_APPLICATION_VOIP, &err);
    if (err != OPUS_OK || !encoder) {
        encoder = nullptr;
        return -2;
    }
    if (opus_encoder_ctl(encoder, OPUS_SET_BITRATE(bits)) != OPUS_OK) {
        opus_encoder_destroy(encoder);
        encoder = nullptr;
        return -2;
    }
    sampleRate = rate;
    channels = ch;
    bitrate = bits;
    outBuffer = new char[kMaxPacket];
    outSize = 0;
    opened = 1;
    return 0;
}

int CKorCodec6::Encode(const void* pcm, int len) {
    if (!opened) return -2;
    const int frameBytes = channels * 2;
    if (!pcm || len <= 0 || len % frameBytes != 0) return -1;
    const int samples = len / frameBytes;
    // Opus takes only its own frame durations: 2.5, 5, 10, 20, 40 or 60 ms.
    const int unit = sampleRate / 400;
    if (samples % unit != 0) return -1;
    const int units = samples / unit;
    if (units != 1 && units != 2 && units != 4 && units != 8 && units != 16 && units != 24)
        return -1;
    const opus_int32 n = opus_encode(encoder, static_cast<const opus_int16*>(pcm), samples,
                                     reinterpret_cast<unsigned char*>(outBuffer), kMaxPacket);
    if (n < 0) {
        outSize = 0;
        return -3;
    }
    outSize = n;
    return n;
}

int CKorCodec6::EncodeClose() {
    if (!opened) return -1;
    opus_encoder_destroy(encoder);
    encoder = nullptr;
    delete[] outBuffer;
    outBuffer = nullptr;
    outSize = 0;
    sampleRate = channels = bitrate = 0;
    opened = 0;
    return 0;
}
