#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ScriptedSound.h"
#include "services/MyWaveInCtrl.h"

using mivora_test::ScriptedSoundSystem;
using mivora_test::SoundPace;
using winplat::CaptureSource;
using winplat::SourceKind;

namespace {

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override { winplat::InstallSoundSystem(sound); }
    void TearDown() override {
        ctl.Uninit();
        winplat::RemoveSoundSystem();
    }

    // One card with these sources; one wave-in and one wave-out device on it.
    void oneCard(const std::vector<CaptureSource>& sources) {
        sound->AddCard(L"Card", sources);
        addCapture(L"Card In", 0);
        addPlayback(L"Card Out", 0);
    }
    void addCapture(const std::wstring& name, int card) {
        sound->AddCapture({name, nullptr, SoundPace::Free, nullptr, card});
    }
    void addPlayback(const std::wstring& name, int card) {
        sound->AddPlayback({name, SoundPace::Free, card});
    }

    static CaptureSource src(const std::wstring& name, SourceKind kind, int channels = 2,
                             bool volume = true) {
        return ScriptedSoundSystem::MakeSource(name, kind, channels, volume);
    }

    std::shared_ptr<ScriptedSoundSystem> sound = std::make_shared<ScriptedSoundSystem>();
    CMyWaveInCtrl ctl;
};

TEST_F(MixerTest, WithoutAnyDeviceOnlyTheCountsAreStoredAndNothingOpens) {
    wcscpy_s(ctl.waveInNames[0], L"kept");
    wcscpy_s(ctl.waveOutNames[0], L"kept");
    ctl.waveInCount = 5;
    ctl.getWaveInDevList();
    ctl.getWaveOutDevList();
    EXPECT_EQ(ctl.waveInCount, 0);
    EXPECT_EQ(ctl.waveOutCount, 0);
    EXPECT_STREQ(ctl.waveInNames[0], L"kept");
    EXPECT_STREQ(ctl.waveOutNames[0], L"kept");

    ctl.Init();
    EXPECT_EQ(ctl.inMixer, nullptr);
    EXPECT_EQ(ctl.outMixer, nullptr);
    ctl.SelectMicMode();
    ctl.SetInXXXVolume(1000);
    ctl.SetMasterVolume(1000);
    EXPECT_EQ(ctl.GetInXXXVolume(), -1);
    EXPECT_EQ(ctl.GetMasterVolume(), -1);
    EXPECT_EQ(ctl.muxItem, 0);
    EXPECT_EQ(ctl.inSourceLineId, -1);
}

TEST_F(MixerTest, ConstructionDefaultsAndGettersBeforeInit) {
    oneCard({src(L"Mic", SourceKind::Microphone)});
    EXPECT_EQ(ctl.getCurWaveInDevId(), WAVE_MAPPER);
    EXPECT_EQ(ctl.getCurWaveOutDevId(), WAVE_MAPPER);
    EXPECT_EQ(ctl.getWaveInDefaultDevId(), -1);
    EXPECT_EQ(ctl.inDestLineId, -1);
    EXPECT_EQ(ctl.inChannels, 1);
    EXPECT_EQ(ctl.GetInXXXVolume(), -1);
    EXPECT_EQ(ctl.GetMasterVolume(), -1);
}

TEST_F(MixerTest, DeviceListsKeepNamesInOrderAndAtMostAHundred) {
    for (int i = 0; i < 105; ++i) addCapture(L"Input " + std::to_wstring(i), -1);
    addPlayback(L"A playback device with a name longer than thirty-one characters", -1);
    ctl.getWaveInDevList();
    ctl.getWaveOutDevList();
    EXPECT_EQ(ctl.waveInCount, 100);
    EXPECT_STREQ(ctl.waveInNames[0], L"Input 0");
    EXPECT_STREQ(ctl.waveInNames[99], L"Input 99");
    EXPECT_EQ(ctl.waveOutCount, 1);
    EXPECT_STREQ(ctl.waveOutNames[0], L"A playback device with a name l");  // MAXPNAMELEN - 1
}

struct MicCase {
    std::vector<CaptureSource> sources;
    int micIndex;
    int muxItem;
};

TEST_F(MixerTest, MicrophoneModeSelectsTheMicThroughTheReversedMultiplexer) {
    auto line = src(L"Line", SourceKind::Line);
    auto mic = src(L"Microphone", SourceKind::Microphone, 1);
    auto cd = src(L"CD", SourceKind::CompactDisc);
    const MicCase cases[] = {
        {{line, mic, cd}, 1, 1},
        {{mic, line, cd}, 0, 2},
        {{line, cd, mic}, 2, 0},
    };
    for (const MicCase& c : cases) {
        SCOPED_TRACE(c.micIndex);
        sound = std::make_shared<ScriptedSoundSystem>();
        winplat::InstallSoundSystem(sound);
        oneCard(c.sources);
        CMyWaveInCtrl w;
        w.Init();
        ASSERT_NE(w.inMixer, nullptr);
        w.SelectMicMode();
        EXPECT_EQ(w.muxItem, c.muxItem);
        EXPECT_EQ(w.inSourceIndex, c.micIndex);
        EXPECT_EQ(w.inChannels, 1);
        EXPECT_GE(w.inSourceLineId, 0);
        EXPECT_EQ(sound->CardState(0).selected, c.micIndex);

        w.SetInXXXVolume(30000);
        EXPECT_EQ(w.GetInXXXVolume(), 30000);
        for (size_t i = 0; i < c.sources.size(); ++i)
            EXPECT_EQ(sound->CardState(0).sourceVolumes[i][0],
                      static_cast<int>(i) == c.micIndex ? 30000u : 0u);
        EXPECT_EQ(sound->CardState(0).captureVolume, (std::vector<uint32_t>{0, 0}));
    }
}

TEST_F(MixerTest, SourceWithoutItsOwnVolumeUsesTheRecordingVolume) {
    oneCard({src(L"Line", SourceKind::Line), src(L"Mic", SourceKind::Microphone, 2, false)});
    ctl.Init();
    ctl.SelectMicMode();
    ctl.SetInXXXVolume(12345);
    EXPECT_EQ(sound->CardState(0).captureVolume, (std::vector<uint32_t>{12345, 12345}));
    EXPECT_EQ(ctl.GetInXXXVolume(), 12345);
}

TEST_F(MixerTest, WithoutAMicrophoneThePreviousItemIsApplied) {
    oneCard({src(L"Line", SourceKind::Line), src(L"CD", SourceKind::CompactDisc)});
    ctl.Init();
    ctl.SelectMicMode();
    EXPECT_EQ(ctl.inSourceIndex, -1);
    EXPECT_EQ(ctl.muxItem, 0);
    EXPECT_EQ(sound->CardState(0).selected, 1);  // item 0 is the last source
    EXPECT_GE(ctl.inDestLineId, 0);
}

TEST_F(MixerTest, RememberedItemOutsideTheMultiplexerIsNotApplied) {
    oneCard({src(L"Line", SourceKind::Line)});
    ctl.muxItem = 2;  // left from a device with three sources
    ctl.Init();
    ctl.SelectMicMode();
    EXPECT_EQ(sound->CardState(0).selected, -1);
}

TEST_F(MixerTest, StereoMixIsChosenByEitherOfItsTwoNames) {
    struct Case {
        std::wstring name;
        SourceKind kind;
        bool chosen;
    };
    const Case cases[] = {
        {L"立体声混音", SourceKind::Analog, true},
        {L"Stereo Mixer", SourceKind::Analog, true},
        {L"Stereo Mix", SourceKind::Analog, false},
        {L"Stereo Mixer", SourceKind::Line, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(winplat::WideToUtf8(c.name));
        sound = std::make_shared<ScriptedSoundSystem>();
        winplat::InstallSoundSystem(sound);
        oneCard({src(L"Mic", SourceKind::Microphone), src(c.name, c.kind),
                 src(L"Line", SourceKind::Line)});
        CMyWaveInCtrl w;
        w.Init();
        w.SelectStereoMixMode();
        EXPECT_EQ(w.inSourceIndex, c.chosen ? 1 : -1);
        EXPECT_EQ(sound->CardState(0).selected, c.chosen ? 1 : 2);
    }
}

TEST_F(MixerTest, MasterVolumeSetsEveryChannelOfTheSpeakers) {
    oneCard({src(L"Mic", SourceKind::Microphone)});
    ctl.Init();
    ASSERT_NE(ctl.outMixer, nullptr);
    ctl.SetMasterVolume(40000);
    EXPECT_EQ(sound->CardState(0).masterVolume, (std::vector<uint32_t>{40000, 40000}));
    EXPECT_EQ(ctl.GetMasterVolume(), 40000);
    ctl.Uninit();
    EXPECT_EQ(ctl.inMixer, nullptr);
    EXPECT_EQ(ctl.outMixer, nullptr);
    EXPECT_EQ(ctl.GetMasterVolume(), -1);
}

TEST_F(MixerTest, ChosenInputDeviceDecidesTheInputMixer) {
    sound->AddCard(L"First", {src(L"Mic", SourceKind::Microphone)});
    sound->AddCard(L"Second", {src(L"Mic", SourceKind::Microphone)});
    addCapture(L"First In", 0);
    addCapture(L"Second In", 1);
    addPlayback(L"First Out", 0);
    ctl.setWaveInDevId(1);
    ctl.Init();
    ctl.SelectMicMode();
    ctl.SetInXXXVolume(555);
    EXPECT_EQ(sound->CardState(1).sourceVolumes[0][0], 555u);
    EXPECT_EQ(sound->CardState(0).sourceVolumes[0][0], 0u);
    EXPECT_EQ(sound->CardState(0).selected, -1);

    // A device number past the last device opens no input mixer; the output
    // mixer still comes from the default output.
    ctl.setWaveInDevId(2);
    ctl.Init();
    EXPECT_EQ(ctl.inMixer, nullptr);
    EXPECT_NE(ctl.outMixer, nullptr);
}

TEST_F(MixerTest, DeviceThatRefusesTheProbeFormatGivesNoInputMixer) {
    oneCard({src(L"Mic", SourceKind::Microphone)});
    sound->RefuseOpens(true);
    ctl.Init();
    EXPECT_EQ(ctl.inMixer, nullptr);
    // The output side falls back to mixer 0.
    EXPECT_NE(ctl.outMixer, nullptr);
}

}  // namespace

namespace {

bool machineHasSoundCard() {
    std::ifstream in("/proc/asound/cards");
    std::stringstream s;
    s << in.rdbuf();
    return in && s.str().find("no soundcards") == std::string::npos && !s.str().empty();
}

// The default system is the machine's own: without a card it reports none
// (as in CI); with one, every listed device has a name and Init opens mixers.
TEST(DefaultSoundSystem, ReportsTheMachinesCards) {
    winplat::RemoveSoundSystem();
    CMyWaveInCtrl ctl;
    ctl.getWaveInDevList();
    ctl.getWaveOutDevList();
    ctl.Init();
    if (!machineHasSoundCard()) {
        EXPECT_EQ(ctl.waveInCount, 0);
        EXPECT_EQ(ctl.waveOutCount, 0);
        EXPECT_EQ(mixerGetNumDevs(), 0u);
        EXPECT_EQ(ctl.inMixer, nullptr);
        EXPECT_EQ(ctl.outMixer, nullptr);
        EXPECT_EQ(ctl.GetInXXXVolume(), -1);
        return;
    }
    for (int i = 0; i < ctl.waveInCount; ++i) EXPECT_NE(ctl.waveInNames[i][0], L'\0');
    for (int i = 0; i < ctl.waveOutCount; ++i) EXPECT_NE(ctl.waveOutNames[i][0], L'\0');
    EXPECT_GT(mixerGetNumDevs(), 0u);
    // Nothing is selected or set: the machine's own settings stay as they are.
}

}  // namespace
