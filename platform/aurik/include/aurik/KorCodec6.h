// Audio encoder of the capture chain: blocks of 16-bit interleaved PCM in, one Opus
// packet per block out.
#pragma once

struct OpusEncoder;

class CKorCodec6 {
public:
    CKorCodec6();
    ~CKorCodec6();
    CKorCodec6(const CKorCodec6&) = delete;
    CKorCodec6& operator=(const CKorCodec6&) = delete;

    // rate: 8000, 12000, 16000, 24000 or 48000 Hz; channels 1 or 2; bitrate in bit/s.
    // 0; -1 when already open; -2 when the encoder refuses the values.
    int EncodeInit(int rate, int channels, int bitrate);
    // One block (2.5 to 60 ms of sound; the engine sends 40 ms) of PCM. Returns the bytes
    // of the packet at `outBuffer` (> 0), -1 for a block of another length, -2 when not
    // open, -3 when the encoder fails.
    int Encode(const void* pcm, int len);
    // -1 when not open; else releases the encoder; 0.
    int EncodeClose();

    int opened;
    int sampleRate;
    int channels;
    int bitrate;
    OpusEncoder* encoder;
    char* outBuffer;
    int outSize;
};
