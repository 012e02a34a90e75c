// Audio decoder of the play streams: one Opus packet in, 16-bit interleaved PCM out.
#pragma once

struct OpusDecoder;

class KorCodec7 {
public:
    KorCodec7();
    ~KorCodec7();
    KorCodec7(const KorCodec7&) = delete;
    KorCodec7& operator=(const KorCodec7&) = delete;

    // rate: 8000, 12000, 16000, 24000 or 48000 Hz; channels 1 or 2.
    // 0; -1 when already open; -2 when the decoder refuses the values.
    int DecodeInit(int rate, int channels);
    // Returns the bytes of PCM at `outBuffer` (> 0); -1 for an empty or damaged packet,
    // -2 when not open. The PCM stays valid until the next call.
    int Decode(const void* data, int len);
    // -1 when not open; else releases the decoder; 0.
    int DecodeClose();

    int opened;
    int sampleRate;
    int channels;
    OpusDecoder* decoder;
    char* outBuffer;  // room for the longest Opus packet (120 ms)
    int outSize;
};
