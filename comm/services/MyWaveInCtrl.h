// The sound devices by name, the chosen input and output device, and the system
// mixer: recording-source volume, master volume, microphone or stereo mix as the
// recording source. Used on the user-interface thread.
#pragma once

#include <cstdint>

#include "win32/win32.h"

class CMyWaveInCtrl {
public:
    CMyWaveInCtrl();
    virtual ~CMyWaveInCtrl();

    void getWaveInDevList();
    void getWaveOutDevList();
    void setWaveInDevId(unsigned int id);
    void setWaveOutDevId(unsigned int id);
    unsigned int getCurWaveInDevId();
    unsigned int getCurWaveOutDevId();
    // The wave mapper, the system default.
    int getWaveInDefaultDevId();
    int getWaveOutDefaultDevId();

    void Init();
    void Uninit();
    // 0..65535; the getters give the first channel, -1 when there is nothing to read.
    void SetInXXXVolume(int volume);
    int GetInXXXVolume();
    void SetMasterVolume(int volume);
    int GetMasterVolume();
    void SelectMicMode();
    void SelectStereoMixMode();

    static const int kMaxDevices = 100;
    static const int kNameChars = 128;

    wchar_t waveInNames[kMaxDevices][kNameChars];
    wchar_t waveOutNames[kMaxDevices][kNameChars];
    int32_t waveInCount;
    int32_t waveOutCount;
    uint32_t waveInDevId;
    uint32_t waveOutDevId;
    HMIXER inMixer;
    HMIXER outMixer;
    int32_t inDestLineId;
    int32_t inSourceIndex;
    int32_t inSourceLineId;
    int32_t inChannels;
    int32_t muxItem;

private:
    void SelectInXXXLine();
    // Finds the recording destination and remembers the first of its sources that
    // `wanted` accepts, if any; false when a mixer call failed.
    template <class Pred>
    bool FindSource(Pred wanted);
};
