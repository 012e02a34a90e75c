#include "FacadePair.h"

#include <cstdio>
#include <cstdlib>

#include "vexacam/TestPattern.h"

namespace mivora_test {

const char kRoomMediaConfig[] = "1 15 31 64000 1000 1000 10 12 5 6 1000 3 320 240 2";

namespace {

const char kTestCamera[] = "MIVORA_TEST_CAMERA";

bool HasVideo(Streams s) {
    return s != Streams::Audio;
}
bool HasAudio(Streams s) {
    return s != Streams::Video;
}

}  // namespace

RAVO::VideoSetConfig RoomVideoConfig(const char* camera) {
    RAVO::VideoSetConfig vc{};
    vc.cap_size = 3;
    vc.play_width = 320;
    vc.play_height = 240;
    vc.fps = 15;
    vc.bitrate = 128000;
    vc.mode = 1;
    std::snprintf(vc.camera_name, sizeof vc.camera_name, "%s",
                  camera ? camera : kTestPatternCameraName);
    return vc;
}

MediaStage::MediaStage(const Options& options)
    : relay(options.relayLifetimeMs, options.relayBudget) {
    if (const char* before = std::getenv(kTestCamera)) m_cameraBefore = before;
    setenv(kTestCamera, "1", 1);
    sound->AddCapture({L"Mic", ToneSource(440), SoundPace::RealTime, nullptr});
    speaker = sound->AddPlayback({L"Speaker", options.speakerPace, -1, options.keepPlayed});
    winplat::InstallSoundSystem(sound);
    m_started = relay.Start();
}

MediaStage::~MediaStage() {
    relay.Stop();
    winplat::RemoveSoundSystem();
    if (m_cameraBefore)
        setenv(kTestCamera, m_cameraBefore->c_str(), 1);
    else
        unsetenv(kTestCamera);
}

bool MediaStage::WaitSubscribed(int id, Streams kind, size_t count, int timeoutMs) const {
    const uint32_t ssrc = static_cast<uint32_t>(id);
    return relay.WaitUntil(
        [&] {
            // Operation 2 is a subscription; 99 the video stream, 97 the audio.
            return (!HasVideo(kind) || relay.CountControls(2, ssrc, 99) >= count) &&
                   (!HasAudio(kind) || relay.CountControls(2, ssrc, 97) >= count);
        },
        timeoutMs);
}

FacadeMember::FacadeMember(uint16_t relayPort, FacadeGrabbers play)
    : FacadeMember(relayPort, [&] {
          FacadeJoin join;
          join.play = play;
          return join;
      }()) {}

FacadeMember::FacadeMember(uint16_t relayPort, const FacadeJoin& join) {
    std::string text(join.config);
    m_av->setAvMoudleConfig2(&text[0]);
    m_av->setLocalIpInfo(nullptr, 0);
    m_av->setRemoteIpInfo("127.0.0.1", relayPort);
    m_av->createRTPSession();
    if (!join.playGraph) return;
    m_av->buildAVPlayGraph();
    if (join.play.video) m_av->m_pPlayVideoGrabber->setCallBack(join.play.video);
    if (join.play.audio) m_av->m_pPlayAudioGrabber->setCallBack(join.play.audio);
    if (join.beforePlay) join.beforePlay(*m_av);
    m_av->startAVPlayGraph();
}

FacadeMember::~FacadeMember() {
    if (m_av) Leave();
}

void FacadeMember::Watch(int id, Streams streams) {
    if (HasVideo(streams)) m_av->addVideoStream(id);
    if (HasAudio(streams)) m_av->addAudioStream(id);
    if (HasVideo(streams)) m_av->subcribeVideoStream(id);
    if (HasAudio(streams)) m_av->subcribeAudioStream(id);
}

int FacadeMember::Publish(int self, const FacadePublish& how) {
    int built = -1;
    if (HasVideo(how.streams)) {
        RAVO::VideoSetConfig vc = RoomVideoConfig();
        m_av->setVideoConfig(&vc);
        built = m_av->buildVideoCapGraph(self);
    }
    if (HasAudio(how.streams)) {
        RAVO::AudioSetConfig ac{};
        m_av->setAudioConfig(&ac);
        const int audio = m_av->buildAudioCapGraph(self);
        if (!HasVideo(how.streams)) built = audio;
    }
    // Shared with the room: what the sources take goes to the relay. A graph that was
    // not built has none of these.
    if (HasVideo(how.streams) && m_av->m_pVideoSource) m_av->m_pVideoSource->set_sharedata(1);
    if (HasAudio(how.streams) && m_av->m_pAudioSource) m_av->m_pAudioSource->set_sharedata(1);
    if (how.capture.video && m_av->m_pCapVideoGrabber)
        m_av->m_pCapVideoGrabber->setCallBack(how.capture.video);
    if (how.capture.audio && m_av->m_pCapAudioGrabber)
        m_av->m_pCapAudioGrabber->setCallBack(how.capture.audio);
    if (!how.start) return built;
    if (HasVideo(how.streams)) m_av->startVideoCapGraph();
    if (HasAudio(how.streams)) m_av->startAudioCapFraph();
    return built;
}

int FacadeMember::Leave() {
    m_av->stopAVPlayerGraph();
    m_av->stopVideoCapGraph();
    m_av->stopAudioCapGraph();
    m_av->destoryVideoCapGraph();
    m_av->destoryAudioCapGraph();
    m_av->destoryAVPlayGraph();
    const int result = m_av->destoryRTPSession();
    m_av.reset();
    return result;
}

}  // namespace mivora_test
