// The room's media session on a real engine: presets, rejoin, members shown on the
// public microphones with their media connection, the local user publishing, the
// microphone mute, media requests from other members and the private windows' tiling.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <fstream>
#include <memory>
#include <thread>
#include <string>

#include <QDir>
#include <QImage>
#include <QTimer>

#include "FacadePair.h"
#include "dialogs/WndRoomAudioSetting3.h"
#include "room/WndUserPopupVideo.h"
#include "facade/Strevo.h"
#include "kernel/CommKernel.h"
#include "kernel_test_util.h"
#include "lobby/RoomEntryDialogs.h"
#include "model/Privilege.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/PubVideoContainerUI.h"
#include "room/UserVideoWndMgr.h"
#include "pattern_match.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "win32gui/qt_bridge.h"

namespace roomtest {
namespace {

class RoomMediaTest : public RoomTest {
protected:
    void SetUp() override {
        RoomTest::SetUp();
        setenv("MIVORA_TEST_CAMERA", "1", 1);
    }
    void TearDown() override {
        unsetenv("MIVORA_TEST_CAMERA");
        RoomTest::TearDown();
    }
    CUserObj* User(int id) { return d->m_pUserManager->FindUser(id); }
    CPubVideoContainerUI* Pane(int i) {
        return static_cast<CPubVideoContainerUI*>(room->m_pPubVideo[i]->GetInterface(L"PubVideo"));
    }
    std::vector<SentFrame> SentOf(uint16_t sub) {
        EXPECT_TRUE(kerneltest::SettleSent(servers.room(), SERVER_TYPE_ROOM));
        std::vector<SentFrame> out;
        for (const SentFrame& f : TakeSent())
            if (f.mainCmd == 105 && f.subCmd == sub) out.push_back(f);
        return out;
    }
};

TEST_F(RoomMediaTest, SmoothnessPresetsReachTheEngine) {
    EnterRoom(1, {});
    ASSERT_NE(room->m_pStrevo, nullptr);
    struct Case {
        int mode;
        int width;  // play width afterwards
    } cases[] = {{1, 224}, {2, 256}, {3, 320}, {0, 320}, {4, 320}};
    for (const Case& c : cases) {
        d->m_UserEnv.m_nVideoSmooth = c.mode;
        room->ApplyAvModuleConfig();
        EXPECT_EQ(room->m_pStrevo->m_config[RAVO::CStrevo::CFG_PLAY_WIDTH], c.width) << c.mode;
    }
    room->StopAllMedia();
    EXPECT_EQ(room->m_pStrevo, nullptr);
    EXPECT_EQ(room->ApplyAvModuleConfig(), -10);
}

TEST_F(RoomMediaTest, RejoinReplacesTheRunningEngine) {
    EnterRoom(1, {});
    const int threads = ThreadCount();
    RAVO::CStrevo* first = room->m_pStrevo;
    ASSERT_NE(first, nullptr);
    room->InitRoom(kRoom);  // no StopAllMedia in between
    ASSERT_NE(room->m_pStrevo, nullptr);
    // The old engine's threads are gone (threads of the process end asynchronously).
    EXPECT_TRUE(kerneltest::Pump([&] { return ThreadCount() <= threads; }))
        << ThreadCount() << " threads, " << threads << " before";
}

TEST_F(RoomMediaTest, MemberOnAMicrophoneIsShownAndSubscribedOnce) {
    EnterRoom(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    User(kAlice)->micIndex = 1;
    User(kAlice)->flags = 0x1;
    room->ShowMicVideo(User(kAlice));
    room->ShowMicVideo(User(kAlice));
    EXPECT_EQ(Pane(1)->GetUserId(), kAlice);
    EXPECT_EQ(Pane(1)->GetCaption(), DuiLib::CDuiString(L"alice(501)"));
    EXPECT_EQ(ConnRequests(), (std::vector<std::pair<int, int>>{{kAlice, 1}}));

    // A byte index outside the three panes shows nothing and asks for nothing.
    User(kBob)->micIndex = 7;
    room->ShowMicVideo(User(kBob));
    for (int i = 0; i < 3; ++i) EXPECT_NE(Pane(i)->GetUserId(), kBob);
    EXPECT_TRUE(ConnRequests().empty());

    room->CloseMicPane(kAlice);
    EXPECT_EQ(Pane(1)->GetUserId(), 0);
    EXPECT_EQ(Pane(1)->GetCaption(), DuiLib::CDuiString(L"空闲"));
    EXPECT_EQ(ConnRequests(), (std::vector<std::pair<int, int>>{{kAlice, 3}}));
}

TEST_F(RoomMediaTest, LocalUserPublishesMutedAndEveryMicrophoneCanUnmute) {
    struct Case {
        uint32_t flags;
        bool audioRunsAfterUnmute;
    } cases[] = {{0x1, true}, {0x2, true}, {0x4, true}, {0x0, false}};
    for (const Case& c : cases) {
        EnterRoom(1, {});
        CUserObj* me = d->GetLocalUser();
        me->micIndex = 0;
        me->flags = c.flags;
        d->m_UserEnv.m_bMuteMic = false;
        room->BuildCaptureGraphs();
        room->ShowMicVideo(me);
        ASSERT_NE(room->m_pStrevo->m_pAudioSource, nullptr);
        EXPECT_TRUE(d->m_UserEnv.m_bMuteMic);
        EXPECT_FALSE(room->m_pStrevo->m_pAudioSource->is_started());
        EXPECT_TRUE(d->m_UserEnv.m_bLocalPreview);
        room->SetMicMute(false);
        EXPECT_EQ(room->m_pStrevo->m_pAudioSource->is_started() != 0, c.audioRunsAfterUnmute)
            << c.flags;
        room->SetMicMute(true);
        EXPECT_FALSE(room->m_pStrevo->m_pAudioSource->is_started());
        room->CloseMicPane(kMe);
        EXPECT_FALSE(d->m_UserEnv.m_bInitVideoCap);
        CloseRoomWindow();
    }
}

TEST_F(RoomMediaTest, AvPanelReportsWhatTheRoomAnswered) {
    EnterRoom(1, {});
    room->ShowAudioSettingWnd();
    ASSERT_NE(room->m_pWndAudioSetting, nullptr);
    DuiLib::CControlUI* tip =
        room->m_pWndAudioSetting->GetPaintManager().FindControl(L"modvideotip");
    room->m_pWndAudioSetting->SetVideoSmooth(2);
    EXPECT_EQ(tip->GetText(), DuiLib::CDuiString(L"设置成功！"));

    // While the local user publishes, the engine refuses a new preset with -1.
    CUserObj* me = d->GetLocalUser();
    me->micIndex = 0;
    me->flags = 0x1;
    room->BuildCaptureGraphs();
    room->ShowMicVideo(me);
    room->m_pWndAudioSetting->SetVideoSmooth(1);
    EXPECT_EQ(tip->GetText(), DuiLib::CDuiString(L"设置失败[-1]！"));
    EXPECT_EQ(d->m_UserEnv.m_nVideoSmooth, 1);  // the mode is kept all the same
}

TEST_F(RoomMediaTest, MediaRequestsAnsweredByTheMicrophoneHeld) {
    struct Case {
        uint32_t myFlags;
        bool privileged;
        bool answered;
        bool spectator;
    } cases[] = {
        {0x1, false, true, false},  {0x2, false, true, true},  {0x4, true, true, true},
        {0x4, false, false, false}, {0x0, true, false, false},
    };
    for (const Case& c : cases) {
        EnterRoom(1, {Member(kAlice, "<b>&x")});
        if (c.privileged)
            d->m_pUserMVManager->AddPrivilege(PRIVILEGE_TABLE_ACTIVE, 8, PRIVILEGE_KIND_ONE_PARTY,
                                              5 << 16, 0);  // members are level 5
        ASSERT_EQ(d->m_pUserMVManager->CheckPrivilege(8, User(kAlice)), c.privileged);
        d->GetLocalUser()->flags = c.myFlags;
        PlayRoom({answers::ConnMediaReqAnswer(kRoom, kAlice, kMe, 1)});
        for (auto& p : notify.posted())
            if (p.msg == UM_CONN_MEDIA_REQ)
                room->OnConnMediaRequest(reinterpret_cast<const char*>(p.lParam));
        FreeCopies();
        EXPECT_EQ(SentOf(70).size(), c.answered ? 1u : 0u) << c.myFlags;
        EXPECT_EQ(d->m_FriendMgr.IsPrivSpectator(kAlice) != 0, c.spectator) << c.myFlags;
        const std::wstring text = PrivateText();
        // The alias is shown as written, never as markup.
        EXPECT_EQ(text.find(L"<b>&x501 请求观看您的视频") != std::wstring::npos, !c.answered)
            << c.myFlags;

        // Operation 3 forgets the spectator; the end of the session forgets them all.
        if (c.spectator) {
            PlayRoom({answers::ConnMediaReqAnswer(kRoom, kAlice, kMe, 3)});
            for (auto& p : notify.posted())
                if (p.msg == UM_CONN_MEDIA_REQ)
                    room->OnConnMediaRequest(reinterpret_cast<const char*>(p.lParam));
            FreeCopies();
            EXPECT_EQ(d->m_FriendMgr.IsPrivSpectator(kAlice), 0);
        }
        d->m_pUserMVManager->ClearData();
        CloseRoomWindow();
    }
}

TEST_F(RoomMediaTest, NinthPrivateWindowOpensOnTheThirdRow) {
    std::vector<answers::UserEntry> members;
    for (int i = 0; i < 9; ++i) members.push_back(Member(600 + i, "m" + std::to_string(i)));
    EnterRoom(1, members);
    for (int i = 0; i < 9; ++i) room->OpenUserVideoWnd(User(600 + i), false);
    ASSERT_EQ(room->m_pUserVideoWndMgr->GetCount(), 9);
    CWndUserPopupVideo* ninth = room->m_pUserVideoWndMgr->FindWnd(608);
    ASSERT_NE(ninth, nullptr);
    const RECT& pane = room->m_pPubVideo[0]->GetPos();
    POINT origin{pane.left, pane.bottom + 3};
    ClientToScreen(room->GetHWND(), &origin);
    RECT rc;
    GetWindowRect(ninth->GetHWND(), &rc);
    EXPECT_EQ(rc.left, origin.x);
    EXPECT_EQ(rc.top, origin.y + 2 * 184);
    EXPECT_EQ(rc.right - rc.left, 198);
    EXPECT_EQ(rc.bottom - rc.top, 182);
    // A member with a window is not subscribed again by his microphone.
    User(600)->micIndex = 0;
    ConnRequests();
    room->ShowMicVideo(User(600));
    EXPECT_EQ(Pane(0)->GetUserId(), 0);
    room->CloseUserMedia(600);
    EXPECT_EQ(room->m_pUserVideoWndMgr->HasWnd(600), 0);

    // The close button and Alt+F4 both end the member's media and close the window.
    ConnRequests();
    for (int id : {601, 602}) {
        CWndUserPopupVideo* wnd = room->m_pUserVideoWndMgr->FindWnd(id);
        ASSERT_NE(wnd, nullptr);
        HWND hwnd = wnd->GetHWND();
        if (id == 601)
            ClickControl(hwnd, wnd->GetPaintManager().FindControl(L"closebtn"));
        else
            ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(kerneltest::Pump([&] { return !::IsWindow(hwnd); })) << id;
        EXPECT_EQ(room->m_pUserVideoWndMgr->HasWnd(id), 0) << id;
    }
    EXPECT_EQ(ConnRequests(), (std::vector<std::pair<int, int>>{{601, 3}, {602, 3}}));
}

// Grab callbacks arrive on their own thread while the room shows, pops out, closes and
// stops: the sanitizer build checks that nothing freed is touched.
TEST_F(RoomMediaTest, GrabCallbacksRaceTheRoomsOwnChanges) {
    EnterRoom(1, {Member(kAlice, "alice")});
    User(kAlice)->micIndex = 0;
    std::atomic<bool> stop{false};
    std::thread engine([&] {
        std::vector<char> frame(160 * 120 * 4, 0x40);
        std::vector<char> pcm(3840, 0x10);
        while (!stop.load()) {
            for (int mode : {1, 2}) {
                room->OnGrabVideoSample(kAlice, 99, frame.data(), static_cast<int>(frame.size()),
                                        mode, 160, 120);
                room->OnGrabAudioSample(kAlice, 97, pcm.data(), static_cast<int>(pcm.size()), mode,
                                        0, 0);
            }
        }
    });
    for (int round = 0; round < 10; ++round) {
        room->ShowMicVideo(User(kAlice));
        Pane(0)->PopOut();
        PumpPending();
        Pane(0)->MuteVideo(round % 2 == 0, true, false);
        room->OpenUserVideoWnd(User(kAlice), true);  // shown in a pane: nothing opens
        room->CloseMicPane(kAlice);
        PumpPending();
        room->StopAllMedia();
        room->InitRoom(kRoom);
        PumpPending();
    }
    stop.store(true);
    engine.join();
    PumpPending();
    EXPECT_EQ(Pane(0)->GetPopup(), nullptr);
}

TEST_F(RoomMediaTest, NetworkChoicePicksTheMediaAddress) {
    struct Case {
        int choice;
        const char* second;  // the room's second address ("" none)
        int port;
    } cases[] = {{0, "127.0.0.2", 7001}, {1, "127.0.0.2", 7002}, {1, "", 7001}};
    for (const Case& c : cases) {
        EnterRoom(1, {});
        CRoomObj* record = d->m_pRoomManager->FindRoom(kRoom);
        record->mediaHosts[0] = "127.0.0.1";
        record->mediaPorts[0] = 7001;
        record->mediaHosts[1] = c.second;
        record->mediaPorts[1] = *c.second ? 7002 : 0;
        d->m_UserEnv.m_nNetType = c.choice;
        room->OnRoomMediaChanged();
        EXPECT_EQ(room->m_pStrevo->m_nRemotePort, c.port) << c.choice << c.second;
        d->m_UserEnv.m_nNetType = 0;
        CloseRoomWindow();
    }
}

// The room's "btnxinhao" chooser is modal; only a changed choice moves the engine to the
// other address (the first address is changed behind its back to tell a re-apply).
TEST_F(RoomMediaTest, TheNetworkChooserReappliesTheAddressOnlyWhenTheChoiceChanged) {
    struct Case {
        const char* name;
        const wchar_t* pick;  // option selected before applying (null: none)
        int port;
    } cases[] = {{"unicom chosen", L"optLianTong", 7002},
                 {"telecom kept", L"optDianXin", 7001},
                 {"closed without choosing", nullptr, 7001}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnterRoom(1, {});
        CRoomObj* record = d->m_pRoomManager->FindRoom(kRoom);
        record->mediaHosts[0] = "127.0.0.1";
        record->mediaPorts[0] = 7001;
        record->mediaHosts[1] = "127.0.0.2";
        record->mediaPorts[1] = 7002;
        d->m_UserEnv.m_nNetType = 0;
        room->OnRoomMediaChanged();
        record->mediaPorts[0] = 7003;
        bool ran = false;
        QTimer::singleShot(50, [&] {
            HWND hwnd = FindWindowW(L"UINETWORKCHOOSE", nullptr);
            auto* chooser = hwnd ? reinterpret_cast<DuiLib::CWindowWnd*>(
                                       ::GetWindowLongPtrW(hwnd, GWLP_USERDATA))
                                 : nullptr;
            auto* wnd = dynamic_cast<CWndNetworkChoose*>(chooser);
            if (!wnd) return;
            ran = true;
            EXPECT_EQ(::GetParent(hwnd), room->GetHWND());
            room->ShowNetworkChoose();  // a second request while it runs opens nothing
            InvalidateRect(hwnd, nullptr, FALSE);
            DuiLib::CPaintManagerUI& pm = wnd->GetPaintManager();
            Pump([&] { return pm.GetRoot() && !IsRectEmpty(&pm.GetRoot()->GetPos()); });
            auto find = [&](const wchar_t* name) { return pm.FindControl(name); };
            if (c.pick) {
                ClickControl(hwnd, find(c.pick));
                ClickControl(hwnd, find(L"btnchoose"));
                PumpPending();
            }
            ClickControl(hwnd, find(L"btnexit"));
        });
        room->ShowNetworkChoose();
        EXPECT_TRUE(ran);
        EXPECT_EQ(FindWindowW(L"UINETWORKCHOOSE", nullptr), nullptr);
        EXPECT_EQ(room->m_pStrevo->m_nRemotePort, c.port);
        d->m_UserEnv.m_nNetType = 0;
        CloseRoomWindow();
    }
}

}  // namespace
}  // namespace roomtest

namespace roomtest {
namespace {

using mivora_test::FacadeJoin;
using mivora_test::FacadeMember;
using mivora_test::MediaRelay;
using mivora_test::MediaStage;
using mivora_test::SoundPace;
using mivora_test::Streams;

// A member publishing the test-pattern camera and a tone, as another client's engine
// would, through the same relay as the room.
std::unique_ptr<FacadeMember> Publisher(int id, uint16_t port) {
    FacadeJoin join;
    join.playGraph = false;
    auto member = std::make_unique<FacadeMember>(port, join);
    member->Publish(id);
    return member;
}

TEST_F(RoomMediaTest, MemberOnAMicrophoneSeenAndHeardThroughTheRelay) {
    MediaStage::Options options;
    options.speakerPace = SoundPace::RealTime;
    MediaStage stage(options);
    const auto& sound = stage.sound;
    const int speaker = stage.speaker;
    MediaRelay& relay = stage.relay;

    EnterRoom(1, {Member(kAlice, "alice")});
    CRoomObj* record = d->m_pRoomManager->FindRoom(kRoom);
    record->mediaHosts[0] = "127.0.0.1";
    record->mediaPorts[0] = relay.Port();
    room->OnRoomMediaChanged();
    User(kAlice)->micIndex = 1;
    User(kAlice)->flags = 0x1;
    room->ShowMicVideo(User(kAlice));
    ASSERT_TRUE(stage.WaitSubscribed(kAlice, Streams::Video));
    {
        const std::unique_ptr<FacadeMember> alice = Publisher(kAlice, relay.Port());
        auto* img = Pane(1)->FindSubControl(L"video_img");
        ASSERT_NE(img, nullptr);
        // The best recent picture, within a bound: a grey or stale pane never matches.
        int best = 0;
        QImage shot;
        kerneltest::Pump(
            [&] {
                InvalidateRect(room->GetHWND(), nullptr, FALSE);
                PumpPending();
                QImage now = winplat::GrabWindowImage(room->GetHWND());
                const QRect area(img->GetPos().left, img->GetPos().top,
                                 img->GetPos().right - img->GetPos().left,
                                 img->GetPos().bottom - img->GetPos().top);
                const int match = now.isNull() ? 0 : PatternMatch(now, area);
                if (match > best) best = match, shot = now;
                return best >= 90;
            },
            30000);
        EXPECT_GE(best, 90);
        if (!shot.isNull()) {
            QDir().mkpath(MIVORA_ARTIFACT_DIR);
            shot.save(QString(MIVORA_ARTIFACT_DIR) + "room_member_video.png");
        }
        auto* meter = static_cast<DuiLib::CVolumeLabelUI*>(Pane(1)->FindSubControl(L"volumeval"));
        EXPECT_TRUE(kerneltest::Pump(
            [&] {
                PumpPending();
                return meter->GetVolumeValue() > 0;
            },
            5000));
        // The room's wave-out carries the member's tone.
        ASSERT_TRUE(
            sound->WaitUntil([&] { return sound->PlayedBytes(speaker) > 48000 * 4; }, 8000));
        std::vector<int16_t> played = sound->Played(speaker);
        const size_t frames = played.size() / 2;
        const size_t tail = std::min<size_t>(frames, 24000);
        EXPECT_NEAR(mivora_test::EstimateFrequency(&played[(frames - tail) * 2], tail), 440, 15);

        // The speaker mute silences wave-out.
        // What was decoded before it plays out (more of it on a loaded machine); then
        // wave-out gets nothing more, or nothing loud. A mute that does nothing keeps
        // the tone coming and the wait fails.
        room->SetSpeakerMute(true);
        constexpr size_t kQuietRun = 48000 * 2 * 2 / 5;  // 0.4 s of 48 kHz stereo samples
        size_t seen = sound->PlayedBytes(speaker);
        auto grew = std::chrono::steady_clock::now();
        ASSERT_TRUE(kerneltest::Pump([&] {
            played = sound->Played(speaker);
            if (played.size() >= kQuietRun) {
                int tail = 0;
                for (size_t i = played.size() - kQuietRun; i < played.size(); ++i)
                    tail = std::max(tail, std::abs(played[i]));
                if (tail < 100) return true;
            }
            if (sound->PlayedBytes(speaker) != seen) {
                seen = sound->PlayedBytes(speaker);
                grew = std::chrono::steady_clock::now();
                return false;
            }
            return std::chrono::steady_clock::now() - grew > std::chrono::milliseconds(300);
        })) << "the tone goes on after the mute";
        // Nothing loud may come after that; a fixed window here can only let a fault by.
        const size_t from = sound->Played(speaker).size();
        kerneltest::Pump([] { return false; }, 800);
        played = sound->Played(speaker);
        int peak = 0;
        for (size_t i = from; i < played.size(); ++i) peak = std::max(peak, std::abs(played[i]));
        EXPECT_LT(peak, 100);
        room->SetSpeakerMute(false);
    }
    room->CloseMicPane(kAlice);
    EXPECT_TRUE(relay.WaitUntil([&] { return relay.CountControls(4, kAlice, 99) >= 1; }, 10000))
        << "no unsubscribe at the relay";
    CloseRoomWindow();
    EXPECT_EQ(sound->OpenStreams(), 0);
}

}  // namespace
}  // namespace roomtest
