#include "ScriptedSound.h"

#include <cmath>
#include <thread>

namespace mivora_test {

using winplat::PcmFormat;
using winplat::PcmStream;
using winplat::SoundDirection;

struct ScriptedSoundSystem::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<Capture> captures;
    std::vector<Playback> playbacks;
    std::vector<ScriptedCard> cards;
    std::vector<std::vector<int16_t>> played;
    std::vector<size_t> playedBytes;
    std::vector<size_t> writes;
    bool refuse = false;
    int openStreams = 0;
    size_t released = 0;
};

namespace {

const size_t kKeptSamples = 48000 * 2 * 60;

class ScriptedStream : public PcmStream {
public:
    ScriptedStream(std::shared_ptr<ScriptedSoundSystem::State> state, SoundDirection dir,
                   int device, const PcmFormat& format)
        : m_state(std::move(state)), m_device(device), m_format(format) {
        std::lock_guard<std::mutex> g(m_state->mutex);
        ++m_state->openStreams;
    }
    ~ScriptedStream() override {
        std::lock_guard<std::mutex> g(m_state->mutex);
        --m_state->openStreams;
        m_state->changed.notify_all();
    }

    bool Start() override {
        m_start = std::chrono::steady_clock::now();
        return true;
    }

    long Read(void* frames, size_t count) override {
        std::unique_lock<std::mutex> g(m_state->mutex);
        const ScriptedSoundSystem::Capture& c = m_state->captures[static_cast<size_t>(m_device)];
        size_t n = c.readSize ? c.readSize(m_reads, count) : count;
        if (n > count) n = count;
        ++m_reads;
        if (c.pace == SoundPace::RealTime && !waitDue(g, n)) return 0;
        if (m_stopped) return 0;
        if (m_format.bitsPerSample == 16 && c.source)
            c.source(static_cast<int16_t*>(frames), n, m_format.channels, m_done);
        m_done += n;
        return static_cast<long>(n);
    }

    long Write(const void* frames, size_t count) override {
        std::unique_lock<std::mutex> g(m_state->mutex);
        // Read now: the waits below let go of the lock, and devices may be added meanwhile.
        const ScriptedSoundSystem::Playback& device =
            m_state->playbacks[static_cast<size_t>(m_device)];
        const SoundPace pace = device.pace;
        const bool keep = device.keepPlayed;
        if (pace == SoundPace::RealTime && !waitDue(g, count)) return 0;
        if (pace == SoundPace::Held) {
            m_state->changed.wait(g, [this] { return m_stopped || m_state->released > 0; });
            if (m_stopped) return 0;
            --m_state->released;
        }
        if (m_stopped) return 0;
        const size_t d = static_cast<size_t>(m_device);
        const size_t bytes = count * m_format.channels * m_format.bitsPerSample / 8;
        if (m_format.bitsPerSample == 16 && keep) {
            const int16_t* s = static_cast<const int16_t*>(frames);
            const size_t samples = count * m_format.channels;
            std::vector<int16_t>& out = m_state->played[d];
            for (size_t i = 0; i < samples && out.size() < kKeptSamples; ++i) out.push_back(s[i]);
        }
        m_state->playedBytes[d] += bytes;
        ++m_state->writes[d];
        m_done += count;
        m_state->changed.notify_all();
        return static_cast<long>(count);
    }

    void Stop() override {
        std::lock_guard<std::mutex> g(m_state->mutex);
        m_stopped = true;
        m_state->changed.notify_all();
    }

private:
    // Waits (without spinning) until the sound's own clock reaches the end of the
    // next `count` frames; false when stopped first.
    bool waitDue(std::unique_lock<std::mutex>& g, size_t count) {
        const auto due =
            m_start + std::chrono::microseconds((m_done + count) * 1000000 / m_format.rate);
        m_state->changed.wait_until(g, due, [this] { return m_stopped; });
        return !m_stopped;
    }

    std::shared_ptr<ScriptedSoundSystem::State> m_state;
    int m_device;
    PcmFormat m_format;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    uint64_t m_done = 0;
    uint64_t m_reads = 0;
    bool m_stopped = false;
};

}  // namespace

ScriptedSoundSystem::ScriptedSoundSystem() : m_state(std::make_shared<State>()) {}
ScriptedSoundSystem::~ScriptedSoundSystem() = default;

int ScriptedSoundSystem::AddCapture(Capture device) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    m_state->captures.push_back(std::move(device));
    return static_cast<int>(m_state->captures.size()) - 1;
}

int ScriptedSoundSystem::AddPlayback(Playback device) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    m_state->playbacks.push_back(std::move(device));
    m_state->played.emplace_back();
    m_state->playedBytes.push_back(0);
    m_state->writes.push_back(0);
    return static_cast<int>(m_state->playbacks.size()) - 1;
}

int ScriptedSoundSystem::AddCard(const std::wstring& name,
                                 const std::vector<winplat::CaptureSource>& sources) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    ScriptedCard c;
    c.mixer.name = name;
    c.mixer.sources = sources;
    c.mixer.captureChannels = 2;
    c.mixer.masterChannels = 2;
    for (const auto& src : sources)
        c.sourceVolumes.emplace_back(static_cast<size_t>(src.channels), 0u);
    c.captureVolume.assign(2, 0);
    c.masterVolume.assign(2, 0);
    m_state->cards.push_back(c);
    return static_cast<int>(m_state->cards.size()) - 1;
}

winplat::CaptureSource ScriptedSoundSystem::MakeSource(const std::wstring& name,
                                                       winplat::SourceKind kind, int channels,
                                                       bool hasVolume) {
    winplat::CaptureSource src;
    src.name = name;
    src.kind = kind;
    src.channels = channels;
    src.hasVolume = hasVolume;
    return src;
}

ScriptedCard ScriptedSoundSystem::CardState(int card) const {
    std::lock_guard<std::mutex> g(m_state->mutex);
    return m_state->cards.at(static_cast<size_t>(card));
}

void ScriptedSoundSystem::RefuseOpens(bool refuse) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    m_state->refuse = refuse;
}

std::vector<int16_t> ScriptedSoundSystem::Played(int device) const {
    std::lock_guard<std::mutex> g(m_state->mutex);
    return m_state->played.at(static_cast<size_t>(device));
}

size_t ScriptedSoundSystem::PlayedBytes(int device) const {
    std::lock_guard<std::mutex> g(m_state->mutex);
    return m_state->playedBytes.at(static_cast<size_t>(device));
}

size_t ScriptedSoundSystem::Writes(int device) const {
    std::lock_guard<std::mutex> g(m_state->mutex);
    return m_state->writes.at(static_cast<size_t>(device));
}

int ScriptedSoundSystem::OpenStreams() const {
    std::lock_guard<std::mutex> g(m_state->mutex);
    return m_state->openStreams;
}

void ScriptedSoundSystem::Release(size_t count) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    m_state->released += count;
    m_state->changed.notify_all();
}

bool ScriptedSoundSystem::WaitUntil(const std::function<bool()>& done, int timeoutMs) const {
    // Also watches state outside this system (what the engine received), so it
    // looks again every few milliseconds besides each change here.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return done();
        std::unique_lock<std::mutex> g(m_state->mutex);
        m_state->changed.wait_for(g, std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<winplat::SoundDevice> ScriptedSoundSystem::Devices(SoundDirection dir) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    std::vector<winplat::SoundDevice> out;
    if (dir == SoundDirection::Capture)
        for (const Capture& c : m_state->captures) out.push_back({c.name, c.card});
    else
        for (const Playback& p : m_state->playbacks) out.push_back({p.name, p.card});
    return out;
}

int ScriptedSoundSystem::DefaultDevice(SoundDirection dir) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    const size_t n =
        dir == SoundDirection::Capture ? m_state->captures.size() : m_state->playbacks.size();
    return n ? 0 : -1;
}

std::unique_ptr<PcmStream> ScriptedSoundSystem::OpenStream(SoundDirection dir, int device,
                                                           const PcmFormat& format) {
    {
        std::lock_guard<std::mutex> g(m_state->mutex);
        if (m_state->refuse || format.rate == 0 || format.channels == 0) return nullptr;
        const size_t n =
            dir == SoundDirection::Capture ? m_state->captures.size() : m_state->playbacks.size();
        if (device < 0) device = n ? 0 : -1;
        if (device < 0 || static_cast<size_t>(device) >= n) return nullptr;
    }
    return std::unique_ptr<PcmStream>(new ScriptedStream(m_state, dir, device, format));
}

namespace {

ScriptedCard* findCard(ScriptedSoundSystem::State& st, int card) {
    if (card < 0 || card >= static_cast<int>(st.cards.size())) return nullptr;
    return &st.cards[static_cast<size_t>(card)];
}

// source -1 is the card-wide recording volume; null when there is no such volume.
std::vector<uint32_t>* findVolume(ScriptedSoundSystem::State& st, int card, int source) {
    ScriptedCard* c = findCard(st, card);
    if (!c) return nullptr;
    if (source < 0) return c->mixer.captureChannels > 0 ? &c->captureVolume : nullptr;
    if (source >= static_cast<int>(c->mixer.sources.size()) ||
        !c->mixer.sources[static_cast<size_t>(source)].hasVolume)
        return nullptr;
    return &c->sourceVolumes[static_cast<size_t>(source)];
}

}  // namespace

int ScriptedSoundSystem::CardCount() {
    std::lock_guard<std::mutex> g(m_state->mutex);
    return static_cast<int>(m_state->cards.size());
}

bool ScriptedSoundSystem::Card(int card, winplat::CardMixer& out) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    ScriptedCard* c = findCard(*m_state, card);
    if (!c) return false;
    out = c->mixer;
    return true;
}

int ScriptedSoundSystem::SelectedCaptureSource(int card) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    ScriptedCard* c = findCard(*m_state, card);
    return c ? c->selected : -1;
}

bool ScriptedSoundSystem::SelectCaptureSource(int card, int source) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    ScriptedCard* c = findCard(*m_state, card);
    if (!c || source < 0 || source >= static_cast<int>(c->mixer.sources.size())) return false;
    c->selected = source;
    return true;
}

bool ScriptedSoundSystem::GetCaptureVolume(int card, int source, std::vector<uint32_t>& out) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    std::vector<uint32_t>* v = findVolume(*m_state, card, source);
    if (!v) return false;
    out = *v;
    return true;
}

bool ScriptedSoundSystem::SetCaptureVolume(int card, int source, const std::vector<uint32_t>& in) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    std::vector<uint32_t>* v = findVolume(*m_state, card, source);
    if (!v) return false;
    *v = in;
    return true;
}

bool ScriptedSoundSystem::GetMasterVolume(int card, std::vector<uint32_t>& out) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    ScriptedCard* c = findCard(*m_state, card);
    if (!c || c->mixer.masterChannels == 0) return false;
    out = c->masterVolume;
    return true;
}

bool ScriptedSoundSystem::SetMasterVolume(int card, const std::vector<uint32_t>& in) {
    std::lock_guard<std::mutex> g(m_state->mutex);
    ScriptedCard* c = findCard(*m_state, card);
    if (!c || c->mixer.masterChannels == 0) return false;
    c->masterVolume = in;
    return true;
}

ScriptedSoundSystem::Source ToneSource(double hz, int amplitude, int rate) {
    return [hz, amplitude, rate](int16_t* out, size_t frames, int channels, uint64_t first) {
        const double step = 2.0 * M_PI * hz / rate;
        for (size_t i = 0; i < frames; ++i) {
            const int16_t v =
                static_cast<int16_t>(amplitude * std::sin(step * static_cast<double>(first + i)));
            for (int c = 0; c < channels; ++c)
                out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] = v;
        }
    };
}

double EstimateFrequency(const int16_t* samples, size_t frames, int rate) {
    if (frames < 2) return 0;
    size_t crossings = 0;
    for (size_t i = 1; i < frames; ++i) {
        const int16_t a = samples[(i - 1) * 2], b = samples[i * 2];
        if ((a < 0 && b >= 0) || (a >= 0 && b < 0)) ++crossings;
    }
    return static_cast<double>(crossings) / 2.0 * rate / static_cast<double>(frames);
}

}  // namespace mivora_test
