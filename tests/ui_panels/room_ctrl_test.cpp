// The room's audio panel: its parts from the two layouts, the sliders onto the
// mixer and back, the mute boxes from the user environment.
#include <QDir>
#include <QImage>

#include <memory>

#include "ScriptedSound.h"
#include "controls/RoomCtrlUI.h"
#include "kernel/CommKernel.h"
#include "services/MyWaveInCtrl.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;
using mivora_test::ScriptedSoundSystem;
using mivora_test::SoundPace;
using winplat::SourceKind;

namespace {

const wchar_t kRoomLayout[] =
    L"<Window size=\"700,60\"><VerticalLayout><RoomCtrl name=\"roomctrl\" />"
    L"</VerticalLayout></Window>";

// The mixer's line volume is kept on the microphone source (index 1 of the card).
const int kMicSource = 1;

class RoomCtrlTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        winplat::InstallSoundSystem(sound);
        CCommKernel* k = CCommKernel::GetInstance();
        if (!k->m_pData) k->m_pData = new CCommKernelData();
        data = k->m_pData;
        if (!data->m_pWaveInCtrl) data->m_pWaveInCtrl = new CMyWaveInCtrl();
        mixer = data->m_pWaveInCtrl;
    }
    void TearDown() override {
        mixer->Uninit();
        winplat::RemoveSoundSystem();
        UiTest::TearDown();
    }

    // A card whose microphone follows a line input, with one device each way.
    void oneCard() {
        sound->AddCard(L"Card",
                       {ScriptedSoundSystem::MakeSource(L"Line", SourceKind::Line, 2),
                        ScriptedSoundSystem::MakeSource(L"Mic", SourceKind::Microphone, 2)});
        sound->AddCapture({L"Card In", nullptr, SoundPace::Free, nullptr, 0});
        sound->AddPlayback({L"Card Out", SoundPace::Free, 0});
    }

    // The panel inside a window built with the program's factory.
    CRoomCtrlUI* open(CTestWnd& wnd, LPCTSTR panelLayout) {
        EXPECT_TRUE(wnd.Create(nullptr, L"room", WS_POPUP, 0, 0, 0, 0, 0));
        auto* panel = static_cast<CRoomCtrlUI*>(
            wnd.GetPaintManager().FindControl(L"roomctrl")->GetInterface(L"RoomCtrl"));
        if (panel && panelLayout) panel->Build(panelLayout);
        return panel;
    }

    std::shared_ptr<ScriptedSoundSystem> sound = std::make_shared<ScriptedSoundSystem>();
    CCommKernelData* data = nullptr;
    CMyWaveInCtrl* mixer = nullptr;
};

TEST_F(RoomCtrlTest, BothLayoutsGiveAllEightParts) {
    for (LPCTSTR layout : {L"roomctrl.xml", L"roomctrl2.xml"}) {
        SCOPED_TRACE(layout);
        CTestWnd wnd(kRoomLayout);
        CRoomCtrlUI* p = open(wnd, layout);
        ASSERT_NE(p, nullptr);
        EXPECT_NE(p->m_pUpMicBtn, nullptr);
        EXPECT_NE(p->m_pDownMicBtn, nullptr);
        EXPECT_NE(p->m_pMuteMicBtn, nullptr);
        EXPECT_NE(p->m_pMuteSpeakBtn, nullptr);
        EXPECT_NE(p->m_pGequBtn, nullptr);
        EXPECT_NE(p->m_pSettingBtn, nullptr);
        ASSERT_NE(p->m_pMicSlider, nullptr);
        ASSERT_NE(p->m_pSpeakSlider, nullptr);
        EXPECT_EQ(p->m_pMicSlider->GetMinValue(), 0);
        EXPECT_EQ(p->m_pMicSlider->GetMaxValue(), 100);
        // The parts are the window's controls: the room's notifications name them.
        EXPECT_EQ(wnd.GetPaintManager().FindControl(L"speakslider"), p->m_pSpeakSlider);
    }
}

TEST_F(RoomCtrlTest, SlidersSetTheMixerVolumes) {
    oneCard();
    CTestWnd wnd(kRoomLayout);
    CRoomCtrlUI* p = open(wnd, L"roomctrl.xml");
    ASSERT_NE(p, nullptr);
    p->ReloadAudioDevice();
    struct Case {
        int slider;
        uint32_t volume;
    } cases[] = {{100, 65535}, {50, 32767}, {1, 655}, {0, 0}, {99, 64879}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slider);
        p->m_pSpeakSlider->SetValue(c.slider);
        p->OnSpeakerSlider();
        EXPECT_EQ(sound->CardState(0).masterVolume, (std::vector<uint32_t>{c.volume, c.volume}));
        p->m_pMicSlider->SetValue(c.slider);
        p->OnMicSlider();
        EXPECT_EQ(sound->CardState(0).sourceVolumes[kMicSource],
                  (std::vector<uint32_t>{c.volume, c.volume}));
    }
}

TEST_F(RoomCtrlTest, ReloadSelectsTheMicrophoneAndShowsTheVolumes) {
    oneCard();
    CTestWnd wnd(kRoomLayout);
    CRoomCtrlUI* p = open(wnd, L"roomctrl.xml");
    ASSERT_NE(p, nullptr);
    struct Case {
        int mic, master;
        int micSlider, speakSlider;
    } cases[] = {{32767, 65535, 49, 100}, {65535, 32767, 100, 49}, {0, 655, 0, 0}, {656, 0, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mic);
        // What the system's own mixer holds, set behind the panel's back.
        sound->SetCaptureVolume(0, kMicSource,
                                {static_cast<uint32_t>(c.mic), static_cast<uint32_t>(c.mic)});
        sound->SetMasterVolume(0,
                               {static_cast<uint32_t>(c.master), static_cast<uint32_t>(c.master)});
        p->ReloadAudioDevice();
        EXPECT_EQ(sound->CardState(0).selected, kMicSource);
        EXPECT_EQ(p->m_pMicSlider->GetValue(), c.micSlider);
        EXPECT_EQ(p->m_pSpeakSlider->GetValue(), c.speakSlider);
    }
}

TEST_F(RoomCtrlTest, WithoutASoundCardTheSlidersShowZero) {
    CTestWnd wnd(kRoomLayout);
    CRoomCtrlUI* p = open(wnd, L"roomctrl.xml");
    ASSERT_NE(p, nullptr);
    p->ReloadAudioDevice();
    EXPECT_EQ(p->m_pMicSlider->GetValue(), 0);
    EXPECT_EQ(p->m_pSpeakSlider->GetValue(), 0);
    p->OnMicSlider();
    p->OnSpeakerSlider();
}

TEST_F(RoomCtrlTest, MuteBoxesFollowTheUserEnvironment) {
    CTestWnd wnd(kRoomLayout);
    CRoomCtrlUI* p = open(wnd, L"roomctrl2.xml");
    ASSERT_NE(p, nullptr);
    const bool flags[][2] = {{true, false}, {false, true}, {true, true}, {false, false}};
    for (const auto& f : flags) {
        data->m_UserEnv.m_bMuteMic = f[0];
        data->m_UserEnv.m_bMuteSpeak = f[1];
        p->RefreshMuteButtons();
        EXPECT_EQ(p->m_pMuteMicBtn->GetCheck(), f[0]);
        EXPECT_EQ(p->m_pMuteSpeakBtn->GetCheck(), f[1]);
    }
}

TEST_F(RoomCtrlTest, PanelWithMissingPartsSkipsThem) {
    oneCard();
    // Rooms of other kinds never build the panel; a layout may also lack parts or
    // give a name to a control of another kind.
    const wchar_t* layouts[] = {
        nullptr,
        L"<HorizontalLayout><Button name=\"upmicbtn\" /><Label name=\"micslider\" />"
        L"<Button name=\"mutemicbtn\" /></HorizontalLayout>",
        L"no-such-layout.xml",
    };
    for (const wchar_t* layout : layouts) {
        SCOPED_TRACE(layout ? layout : L"(not built)");
        CTestWnd wnd(kRoomLayout);
        CRoomCtrlUI* p = open(wnd, layout);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->m_pMicSlider, nullptr);
        EXPECT_EQ(p->m_pSpeakSlider, nullptr);
        EXPECT_EQ(p->m_pMuteMicBtn, nullptr);
        data->m_UserEnv.m_bMuteMic = true;
        p->ReloadAudioDevice();
        p->OnMicSlider();
        p->OnSpeakerSlider();
        p->RefreshMuteButtons();
        EXPECT_EQ(sound->CardState(0).masterVolume, (std::vector<uint32_t>{0, 0}));
    }
}

TEST_F(RoomCtrlTest, SliderNotificationReachesTheRoom) {
    oneCard();
    CTestWnd wnd(kRoomLayout);
    CRoomCtrlUI* p = open(wnd, L"roomctrl.xml");
    ASSERT_NE(p, nullptr);
    p->ReloadAudioDevice();
    // The room's own dispatch of "valuechanged", as it wires it.
    wnd.onNotify = [&](TNotifyUI& msg) {
        if (msg.sType != DUI_MSGTYPE_VALUECHANGED) return;
        if (msg.pSender == p->m_pSpeakSlider) p->OnSpeakerSlider();
        if (msg.pSender == p->m_pMicSlider) p->OnMicSlider();
    };
    wnd.ShowWindow(true, false);
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&p->m_pSpeakSlider->GetPos()); }));
    // What a person sees: the panel's strip with its blue microphone button.
    QImage shot = winplat::GrabWindowImage(wnd.GetHWND());
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "roomctrl.png")));
    RECT up = p->m_pUpMicBtn->GetPos();
    EXPECT_EQ(shot.pixel(up.left + 4, (up.top + up.bottom) / 2), qRgb(0x3A, 0x8E, 0xE6));
    EXPECT_FALSE(p->m_pDownMicBtn->IsVisible());

    RECT rc = p->m_pSpeakSlider->GetPos();
    // Press at the slider's right end.
    ClickAt(wnd.GetHWND(), POINT{rc.right - 1, (rc.top + rc.bottom) / 2});
    EXPECT_TRUE(Pump([&] { return sound->CardState(0).masterVolume[0] > 60000; }));
}

}  // namespace
