// What the program implements to see captured and decoded pictures and sound.
// The data belongs to the engine and is valid only during the call; a callback
// must not call back into the facade.
#pragma once

#define GRAB_MODE_CAPTURE 1
#define GRAB_MODE_PLAY 2

namespace RAVO {

class ISamplerGrabVideoCallBack {
public:
    // (user id, 99, 32-bit pixels, length, mode, width, height)
    virtual int OnGrabVideoSample(int id, int type, char* data, int len, int mode, int width,
                                  int height) = 0;

protected:
    ~ISamplerGrabVideoCallBack() = default;
};

class ISamplerGrabAudioCallBack {
public:
    // (user id, 97, 48000 Hz stereo 16-bit PCM, length, mode, 0, 0)
    virtual int OnGrabAudioSample(int id, int type, char* data, int len, int mode, int p1,
                                  int p2) = 0;

protected:
    ~ISamplerGrabAudioCallBack() = default;
};

}  // namespace RAVO
