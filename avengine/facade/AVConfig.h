// The capture configurations the program fills and the facade copies.
#pragma once

#include <cstdint>

namespace RAVO {

struct VideoSetConfig {
    int cap_size;         // camera size index 1..7
    uint16_t play_width;  // size of the frames encoded, sent and shown locally
    uint16_t play_height;
    int fps;
    int bitrate;  // bit/s; the constant quantiser in mode 2
    int mode;     // 2 = constant quantiser, else average bit rate
    int camera_id;
    char camera_name[32];  // empty = the camera library's first device (written back)
};
static_assert(sizeof(VideoSetConfig) == 56, "VideoSetConfig is copied as 56 bytes");

struct AudioSetConfig {
    char device_name[32];  // wave-in device; empty or unknown = the default device
};
static_assert(sizeof(AudioSetConfig) == 32, "AudioSetConfig is copied as 32 bytes");

}  // namespace RAVO
