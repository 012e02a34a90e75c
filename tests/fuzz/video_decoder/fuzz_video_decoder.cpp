// Encoded video frames as a play stream takes them: the 8-byte header (width,
// height, key flag) and the H.264 payload, through the stream's queue into the
// decoder plug-in. The decoder keeps its state across the frames of one input, as
// it does across a stream's frames.
//
// Input: frames, each a flags byte (bit 0: the transport reported a loss before
// it) and a 16-bit length, then the frame's bytes.
#include <cstdint>
#include <vector>

#include "FuzzInput.h"
#include "streams/StreamManagers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzInput in(data, size);
    RAVO::CVideoStream stream;
    stream.init();
    for (int frame = 0; frame < 16 && !in.empty(); ++frame) {
        const int loss = in.U8() & 1;
        std::vector<uint8_t> bytes = in.Chunk(65535);
        stream.in_sample(1001, 99, static_cast<unsigned>(frame),
                         reinterpret_cast<char*>(bytes.data()), static_cast<int>(bytes.size()),
                         loss, 0);
        while (stream.proc_sample()) {
        }
    }
    return 0;
}
