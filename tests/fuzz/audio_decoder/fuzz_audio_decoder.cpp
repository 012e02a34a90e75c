// Opus packets into the audio decoder plug-in at each rate and channel count it
// accepts, the decoder's state kept across the packets of one input. The PCM it
// reports is read whole.
//
// Input: a format byte, then packets, each a 16-bit length and its bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "aurik2/KorCodec7.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int kRates[] = {48000, 8000, 12000, 16000, 24000};
    fuzzing::FuzzInput in(data, size);
    const uint8_t format = in.U8();
    KorCodec7 codec;
    if (codec.DecodeInit(kRates[(format >> 1) % 5], (format & 1) ? 1 : 2) != 0) std::abort();
    for (int packet = 0; packet < 32 && !in.empty(); ++packet) {
        std::vector<uint8_t> bytes = in.Chunk(4000);
        const int got = codec.Decode(bytes.data(), static_cast<int>(bytes.size()));
        if (got > 0) {
            // The buffer is exactly the longest packet's PCM: a count past it is seen here.
            unsigned sum = 0;
            for (int i = 0; i < got; ++i) sum += static_cast<unsigned char>(codec.outBuffer[i]);
            (void)sum;
        }
    }
    codec.DecodeClose();
    return 0;
}
