// The WINMM wave functions of the Windows layer on a scripted sound system: the
// buffer rules, the callback kinds and the reset and close rules the engine's
// wave devices rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "ScriptedSound.h"
#include "win32/win32.h"

namespace {

using mivora_test::ScriptedSoundSystem;
using mivora_test::SoundPace;

WAVEFORMATEX stereo48k() {
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 2;
    f.nSamplesPerSec = 48000;
    f.wBitsPerSample = 16;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = 192000;
    return f;
}

struct Messages {
    static void CALLBACK proc(HWAVEIN, UINT message, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR) {
        Messages* self = reinterpret_cast<Messages*>(instance);
        std::lock_guard<std::mutex> g(self->mutex);
        self->list.push_back(message);
        if (message == WIM_DATA) self->headers.push_back(reinterpret_cast<WAVEHDR*>(p1));
    }
    std::vector<UINT> snapshot() {
        std::lock_guard<std::mutex> g(mutex);
        return list;
    }
    std::mutex mutex;
    std::vector<UINT> list;
    std::vector<WAVEHDR*> headers;
};

struct Installed {
    Installed() : system(std::make_shared<ScriptedSoundSystem>()) {
        system->AddCapture({L"Mic", mivora_test::ToneSource(1000), SoundPace::Free, nullptr});
        system->AddPlayback({L"Speaker", SoundPace::Held});
        winplat::InstallSoundSystem(system);
    }
    ~Installed() { winplat::RemoveSoundSystem(); }
    std::shared_ptr<ScriptedSoundSystem> system;
};

TEST(WinmmWave, WaveInCallbackFunctionBufferRulesResetAndClose) {
    Installed sound;
    WAVEFORMATEX f = stereo48k();
    Messages m;
    HWAVEIN in = nullptr;
    ASSERT_EQ(waveInOpen(&in, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(&Messages::proc),
                         reinterpret_cast<DWORD_PTR>(&m), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    std::vector<char> data(2 * 1920 * 4);
    WAVEHDR h[2] = {};
    for (int i = 0; i < 2; ++i) {
        h[i].lpData = data.data() + i * 7680;
        h[i].dwBufferLength = 7680;
    }
    EXPECT_EQ(waveInAddBuffer(in, &h[0], sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    for (WAVEHDR& x : h) {
        ASSERT_EQ(waveInPrepareHeader(in, &x, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveInAddBuffer(in, &x, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(waveInAddBuffer(in, &h[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInUnprepareHeader(in, &h[0], sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveInClose(in), WAVERR_STILLPLAYING);  // buffers still queued
    ASSERT_EQ(waveInStart(in), MMSYSERR_NOERROR);
    ASSERT_TRUE(sound.system->WaitUntil([&] { return m.snapshot().size() >= 3; }));
    EXPECT_EQ(waveInReset(in), MMSYSERR_NOERROR);
    for (WAVEHDR& x : h) {
        EXPECT_TRUE(x.dwFlags & WHDR_DONE);
        EXPECT_FALSE(x.dwFlags & WHDR_INQUEUE);
        EXPECT_EQ(waveInUnprepareHeader(in, &x, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(h[0].dwBytesRecorded, 7680u);
    EXPECT_NE(std::memcmp(data.data(), std::vector<char>(7680, 0).data(), 7680), 0);
    ASSERT_EQ(waveInClose(in), MMSYSERR_NOERROR);
    EXPECT_EQ(waveInClose(in), MMSYSERR_INVALHANDLE);
    std::vector<UINT> got = m.snapshot();
    ASSERT_EQ(got.size(), 4u);  // open, both buffers, close
    EXPECT_EQ(got.front(), static_cast<UINT>(WIM_OPEN));
    EXPECT_EQ(got[1], static_cast<UINT>(WIM_DATA));
    EXPECT_EQ(got.back(), static_cast<UINT>(WIM_CLOSE));
    EXPECT_EQ(sound.system->OpenStreams(), 0);
}

TEST(WinmmWave, WaveOutCallbackEventPauseRestartAndReset) {
    Installed sound;
    WAVEFORMATEX f = stereo48k();
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT out = nullptr;
    ASSERT_EQ(waveOutOpen(&out, 0, &f, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT),
              MMSYSERR_NOERROR);
    EXPECT_EQ(WaitForSingleObject(done, 1000), WAIT_OBJECT_0);  // the open message
    std::vector<char> pcm(3 * 7680, 5);
    WAVEHDR h[3] = {};
    for (int i = 0; i < 3; ++i) {
        h[i].lpData = pcm.data() + i * 7680;
        h[i].dwBufferLength = 7680;
        ASSERT_EQ(waveOutPrepareHeader(out, &h[i], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    ASSERT_EQ(waveOutPause(out), MMSYSERR_NOERROR);
    for (WAVEHDR& x : h) ASSERT_EQ(waveOutWrite(out, &x, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    sound.system->Release(1);
    EXPECT_EQ(WaitForSingleObject(done, 100), WAIT_TIMEOUT);  // paused: nothing plays
    ASSERT_EQ(waveOutRestart(out), MMSYSERR_NOERROR);
    EXPECT_EQ(WaitForSingleObject(done, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(h[0].dwFlags & WHDR_DONE);
    EXPECT_EQ(sound.system->Writes(0), 1u);
    // The device now holds the second buffer; a reset hands both back at once.
    ASSERT_EQ(waveOutReset(out), MMSYSERR_NOERROR);
    EXPECT_TRUE(h[1].dwFlags & WHDR_DONE);
    EXPECT_TRUE(h[2].dwFlags & WHDR_DONE);
    for (WAVEHDR& x : h)
        EXPECT_EQ(waveOutUnprepareHeader(out, &x, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(out), MMSYSERR_NOERROR);
    CloseHandle(done);
    EXPECT_EQ(sound.system->OpenStreams(), 0);
}

}  // namespace
