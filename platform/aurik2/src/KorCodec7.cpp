#include "aurik2/KorCodec7.h"

#include <opus.h>

#include <cstddef>

namespace {

// The longest sound one Opus packet can carry.
constexpr int kMaxPacketMs = 120;

}  // namespace

KorCodec7::KorCodec7()
    : opened(0), sampleRate(0), channels(0), decoder(nullptr), outBuffer(nullptr), outSize(0) {}

KorCodec7::~KorCodec7() {
    DecodeClose();
}

int KorCodec7::DecodeInit(int rate, int ch) {
    if (opened) return -1;
    int err = OPUS_OK;
    decoder = opus_decoder_create(rate, ch, &err);
    if (err != OPUS_OK || !decoder) {
        decoder = nullptr;
        return -2;
    }
    sampleRate = rate;
    channels = ch;
    outBuffer = new char[static_cast<size_t>(rate / 1000 * kMaxPacketMs * ch * 2)];
    outSize = 0;
    opened = 1;
    return 0;
}

int KorCodec7::Decode(const void* data, int len) {
    if (!opened) return -2;
    // No packet would mean concealment of a lost one, which is not asked for here.
    if (!data || len <= 0) return -1;
    const int maxSamples = sampleRate / 1000 * kMaxPacketMs;
    const int n = opus_decode(decoder, static_cast<const unsigned char*>(data), len,
                              reinterpret_cast<opus_int16*>(outBuffer), maxSamples, 0);
    if (n <= 0) {
        outSize = 0;
        return -1;
    }
    outSize = n * channels * 2;
    return outSize;
}

int KorCodec7::DecodeClose() {
    if (!opened) return -1;
    opus_decoder_destroy(decoder);
    decoder = nullptr;
    delete[] outBuffer;
    outBuffer = nullptr;
    outSize = 0;
    sampleRate = channels = 0;
    opened = 0;
    return 0;
}
