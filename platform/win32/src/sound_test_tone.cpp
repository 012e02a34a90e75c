// The sound devices of a program run under test on a machine without a card, chosen
// by the environment: MIVORA_TEST_SOUND_TONE=<hertz> gives one recording device
// playing a sine tone of that pitch; MIVORA_TEST_SOUND_PLAYED=<prefix> gives one
// playback device that keeps what each opened stream plays as a WAV file of its own,
// <prefix>-<n>.wav (the last minute or less). Both move frames at the sound's own pace,
// like a card.
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include <unistd.h>

#include "win32/soundsystem.h"

namespace winplat {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint64_t kKeptSeconds = 60;

void PutLe(unsigned char* p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A streaming WAV header: the sizes are fixed up as frames are kept.
void WriteWavHeader(std::FILE* f, const PcmFormat& format, uint32_t dataBytes) {
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0,   0,  0, 0, 'W', 'A', 'V',
                           'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,   1,   0};
    const uint32_t block = format.channels * format.bitsPerSample / 8u;
    PutLe(h + 4, 36 + dataBytes, 4);
    PutLe(h + 22, format.channels, 2);
    PutLe(h + 24, format.rate, 4);
    PutLe(h + 28, format.rate * block, 4);
    PutLe(h + 32, block, 2);
    PutLe(h + 34, format.bitsPerSample, 2);
    std::memcpy(h + 36, "data", 4);
    PutLe(h + 40, dataBytes, 4);
    std::fseek(f, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, f);
    std::fseek(f, 0, SEEK_END);
}

class ToneStream : public PcmStream {
public:
    ToneStream(SoundDirection direction, const PcmFormat& format, double hertz,
               const std::string& playedFile)
        : m_direction(direction), m_format(format), m_hertz(hertz) {
        if (direction == SoundDirection::Playback && !playedFile.empty()) {
            m_played = std::fopen(playedFile.c_str(), "wb");
            if (m_played) WriteWavHeader(m_played, m_format, 0);
        }
    }
    ~ToneStream() override {
        if (m_played) std::fclose(m_played);
    }

    bool Start() override {
        std::lock_guard<std::mutex> g(m_lock);
        m_start = std::chrono::steady_clock::now();
        return true;
    }

    long Read(void* frames, size_t count) override {
        if (m_direction != SoundDirection::Capture) return -1;
        std::unique_lock<std::mutex> g(m_lock);
        if (!WaitDue(g, count)) return 0;
        for (size_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(m_done + i) / m_format.rate;
            const double v = std::sin(2 * kPi * m_hertz * t);
            for (size_t c = 0; c < m_format.channels; ++c) {
                const size_t at = i * m_format.channels + c;
                if (m_format.bitsPerSample == 16)
                    static_cast<int16_t*>(frames)[at] = static_cast<int16_t>(8000 * v);
                else
                    static_cast<uint8_t*>(frames)[at] = static_cast<uint8_t>(128 + 31 * v);
            }
        }
        m_done += count;
        return static_cast<long>(count);
    }

    long Write(const void* frames, size_t count) override {
        if (m_direction != SoundDirection::Playback) return -1;
        std::unique_lock<std::mutex> g(m_lock);
        if (!WaitDue(g, count)) return 0;
        if (m_played) {
            const size_t block = m_format.channels * m_format.bitsPerSample / 8u;
            // The file holds the last minute or less: a long run starts it over.
            if (m_kept + block * count > kKeptSeconds * m_format.rate * block) {
                m_kept = 0;
                std::fflush(m_played);
                if (ftruncate(fileno(m_played), 0) != 0) return -1;
                WriteWavHeader(m_played, m_format, 0);
            }
            std::fwrite(frames, block, count, m_played);
            m_kept += static_cast<uint32_t>(block * count);
            WriteWavHeader(m_played, m_format, m_kept);
            std::fflush(m_played);
        }
        m_done += count;
        return static_cast<long>(count);
    }

    void Stop() override {
        std::lock_guard<std::mutex> g(m_lock);
        m_stopped = true;
        m_changed.notify_all();
    }

private:
    // Waits until the sound's own clock reaches the end of the next `count` frames;
    // false when stopped first.
    bool WaitDue(std::unique_lock<std::mutex>& g, size_t count) {
        const auto due =
            m_start + std::chrono::microseconds((m_done + count) * 1000000 / m_format.rate);
        m_changed.wait_until(g, due, [this] { return m_stopped; });
        return !m_stopped;
    }

    const SoundDirection m_direction;
    const PcmFormat m_format;
    const double m_hertz;
    std::FILE* m_played = nullptr;
    uint32_t m_kept = 0;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    uint64_t m_done = 0;
    bool m_stopped = false;
};

class ToneSoundSystem : public SoundSystem {
public:
    ToneSoundSystem(double hertz, std::string playedFile)
        : m_hertz(hertz), m_playedFile(std::move(playedFile)) {}

    std::vector<SoundDevice> Devices(SoundDirection direction) override {
        if (direction == SoundDirection::Capture) return {SoundDevice{L"Test tone", -1}};
        return {SoundDevice{L"Test speaker", -1}};
    }
    int DefaultDevice(SoundDirection) override { return 0; }
    std::unique_ptr<PcmStream> OpenStream(SoundDirection direction, int device,
                                          const PcmFormat& format) override {
        if (device > 0 || format.rate == 0 || format.rate > 192000 || format.channels == 0 ||
            format.channels > 8 || (format.bitsPerSample != 8 && format.bitsPerSample != 16))
            return nullptr;
        std::string file;
        if (direction == SoundDirection::Playback && !m_playedFile.empty())
            file = m_playedFile + "-" + std::to_string(++m_playedStreams) + ".wav";
        return std::make_unique<ToneStream>(direction, format, m_hertz, file);
    }
    int CardCount() override { return 0; }
    bool Card(int, CardMixer&) override { return false; }
    int SelectedCaptureSource(int) override { return -1; }
    bool SelectCaptureSource(int, int) override { return false; }
    bool GetCaptureVolume(int, int, std::vector<uint32_t>&) override { return false; }
    bool SetCaptureVolume(int, int, const std::vector<uint32_t>&) override { return false; }
    bool GetMasterVolume(int, std::vector<uint32_t>&) override { return false; }
    bool SetMasterVolume(int, const std::vector<uint32_t>&) override { return false; }

private:
    const double m_hertz;
    const std::string m_playedFile;
    std::atomic<int> m_playedStreams{0};
};

}  // namespace

std::shared_ptr<SoundSystem> CreateTestToneSoundSystemFromEnvironment() {
    const char* tone = std::getenv("MIVORA_TEST_SOUND_TONE");
    const char* played = std::getenv("MIVORA_TEST_SOUND_PLAYED");
    if (!(tone && *tone) && !(played && *played)) return nullptr;
    double hertz = tone ? std::strtod(tone, nullptr) : 0;
    if (!(hertz >= 0 && hertz <= 20000)) hertz = 0;
    return std::make_shared<ToneSoundSystem>(hertz, played ? played : "");
}

}  // namespace winplat
