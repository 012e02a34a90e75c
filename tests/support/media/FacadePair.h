// Facades of room members in one process, talking through the stand-in relay on
// 127.0.0.1, for the engine's tests and benchmarks.
//
// MediaStage is what they need around them: the test-pattern camera listed, a
// scripted sound system (a microphone playing a 440 Hz tone, one speaker) and a relay
// on a free port. FacadeMember is one member's facade, driven in the room window's
// order: joined, then watching others or publishing itself, then leaving. Members go
// before their stage. Free of any test framework, so benchmarks link it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "MediaRelay.h"
#include "ScriptedSound.h"
#include "facade/Strevo.h"

namespace mivora_test {

// The room window's configuration text: video code (10, 12), audio code (5, 6), pacing
// on, 320 x 240.
extern const char kRoomMediaConfig[];

enum class Streams { Video, Audio, Both };

// The room window's video settings for a camera: 320 x 240 at 15 frames a second and
// 128 kbit/s (the test-pattern camera unless named).
RAVO::VideoSetConfig RoomVideoConfig(const char* camera = nullptr);

class MediaStage {
public:
    struct Options {
        SoundPace speakerPace = SoundPace::Free;
        bool keepPlayed = true;  // false: the speaker only counts what it plays
        int relayLifetimeMs = 120000;
        size_t relayBudget = 5000000;
    };

    MediaStage() : MediaStage(Options{}) {}
    explicit MediaStage(const Options& options);
    ~MediaStage();
    MediaStage(const MediaStage&) = delete;
    MediaStage& operator=(const MediaStage&) = delete;

    bool Started() const { return m_started; }
    uint16_t RelayPort() const { return relay.Port(); }
    // Waits until the relay heard `count` subscriptions to member `id`'s streams of
    // `kind` (each of them for Both); false when `timeoutMs` passed first.
    bool WaitSubscribed(int id, Streams kind, size_t count = 1, int timeoutMs = 10000) const;

    std::shared_ptr<ScriptedSoundSystem> sound = std::make_shared<ScriptedSoundSystem>();
    int speaker = -1;  // the speaker's index in `sound`
    MediaRelay relay;

private:
    std::optional<std::string> m_cameraBefore;  // the test camera's setting to restore
    bool m_started = false;
};

// Callbacks for a graph's two grabbers; any object that takes both converts.
struct FacadeGrabbers {
    FacadeGrabbers() = default;
    template <class Both>
    FacadeGrabbers(Both* both) : video(both), audio(both) {}  // implicit on purpose
    RAVO::ISamplerGrabVideoCallBack* video = nullptr;
    RAVO::ISamplerGrabAudioCallBack* audio = nullptr;
};

struct FacadeJoin {
    FacadeGrabbers play;  // the play graph's grabbers (none: nothing is told)
    const char* config = kRoomMediaConfig;
    bool playGraph = true;  // false: a member that only publishes
    // Runs once the play graph is built, before it starts (a tap on the session).
    std::function<void(RAVO::CStrevo&)> beforePlay;
};

struct FacadePublish {
    Streams streams = Streams::Both;
    bool start = true;  // false: built, the sources not started
    FacadeGrabbers capture;
};

class FacadeMember {
public:
    explicit FacadeMember(uint16_t relayPort, FacadeGrabbers play = {});
    FacadeMember(uint16_t relayPort, const FacadeJoin& join);
    ~FacadeMember();
    FacadeMember(const FacadeMember&) = delete;
    FacadeMember& operator=(const FacadeMember&) = delete;

    // Subscribes to member `id`'s streams.
    void Watch(int id, Streams streams = Streams::Both);
    // Publishes as member `self` from the test-pattern camera and the microphone, shared
    // with the relay; the video graph's build result (the audio's when only audio).
    int Publish(int self, const FacadePublish& how = {});
    // Stops and takes down every graph and the session; the session's result (0 when it
    // went). The facade is gone afterwards.
    int Leave();

    RAVO::CStrevo& Av() { return *m_av; }

private:
    std::unique_ptr<RAVO::CStrevo> m_av = std::make_unique<RAVO::CStrevo>();
};

}  // namespace mivora_test
