// Two clients see and hear each other through the stand-ins: this process is 1001, a
// child process running this same test is 1002 (kernel, sound system and clock are per
// process). Each has its own room stand-in, lobby and room window; both share one media
// relay. Each publishes the test-pattern camera and a tone (1001: 440 Hz, 1002: 660 Hz).
// Members go on and off the microphones as the stand-ins say, through the room's own
// microphone handler.
#include <QDir>
#include <QImage>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "MediaRelay.h"
#include "ScriptedSound.h"
#include "app/EntryWindows.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/PubVideoContainerUI.h"
#include "pattern_match.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "vexacam/TestPattern.h"
#include "win32gui/qt_bridge.h"

extern char** environ;

namespace roomtest {
namespace {

using mivora_test::MediaRelay;
using mivora_test::ScriptedSoundSystem;
using mivora_test::SoundPace;

constexpr int kFirst = 1001, kSecond = 1002;

std::string ThreadNames() {
    std::string names;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream in(e.path() / "comm");
        std::string n;
        std::getline(in, n);
        names += n + " ";
    }
    return names;
}

bool FileExists(const std::string& path) {
    return std::ifstream(path).good();
}
void Touch(const std::string& path) {
    std::ofstream(path) << "1";
}

class TwoClientsTest : public RoomTest {
protected:
    void SetUp() override {
        const char* role = std::getenv("MIVORA_TWO_CLIENTS_ROLE");
        child = role && std::strcmp(role, "second") == 0;
        me = child ? kSecond : kFirst;
        other = child ? kFirst : kSecond;
        RoomTest::SetUp();
        if (child) {
            // The second client is 1002.
            d->m_pUserManager->ClearData();
            d->m_LocalUser.userId = kSecond;
            d->m_LocalUser.alias = "second";
            d->m_pUserManager->AddUser(&d->m_LocalUser);
        }
        setenv("MIVORA_TEST_CAMERA", "1", 1);
        sound->AddCapture(
            {L"Mic", mivora_test::ToneSource(child ? 660 : 440), SoundPace::RealTime, nullptr});
        speaker = sound->AddPlayback({L"Speaker", SoundPace::RealTime});
        winplat::InstallSoundSystem(sound);
        ASSERT_NO_FATAL_FAILURE(OpenLobby());
    }
    void TearDown() override {
        CloseLobby();
        RoomTest::TearDown();
        winplat::RemoveSoundSystem();
        unsetenv("MIVORA_TEST_CAMERA");
    }

    // The lobby joins this client's stand-in; both members are listed and put on the
    // public microphones 0 (1001) and 1 (1002).
    void Join(uint16_t relayPort) {
        const std::wstring gate =
            winplat::Utf8ToWide(servers.Address(testsupport::ServerSet::kRoom));
        lobby->JoinRoom(kRoom, 1, gate.c_str());
        ASSERT_TRUE(kerneltest::Pump([&] { return servers.room().ReceivedCount() >= 14 + 115; }));
        // The microphone answers below make the room ask for the other's media: looked
        // for from here on.
        sentSeen = servers.room().ReceivedCount();
        answers::JoinRoom join;
        join.userId = me;
        join.roomId = kRoom;
        join.baseInfoD = 1;
        join.roomName = "room";
        join.mediaUrl = "127.0.0.1:" + std::to_string(relayPort);
        servers.room().Send(answers::JoinRoomAnswer(join));
        servers.room().Send(
            answers::UserListAnswer({Member(kFirst, "first"), Member(kSecond, "second")}));
        servers.room().Send(answers::UserListEndAnswer());
        servers.room().Send(answers::MicStateAnswer(kRoom, kFirst, kFirst, 1, 0));
        servers.room().Send(answers::MicStateAnswer(kRoom, kSecond, kSecond, 1, 1));
        ASSERT_TRUE(kerneltest::Pump([&] {
            room = GetRegisteredRoomWindow();
            return room && PaneOf(kFirst) && PaneOf(kSecond);
        })) << "the microphone answers did not put both members on the panes";
        PumpPending();
        room->SetMicMute(false);  // the user unmutes to be heard
    }
    CPubVideoContainerUI* PaneOf(int id) {
        for (DuiLib::CControlUI* c : room->m_pPubVideo) {
            auto* p =
                c ? static_cast<CPubVideoContainerUI*>(c->GetInterface(L"PubVideo")) : nullptr;
            if (p && p->GetUserId() == id) return p;
        }
        return nullptr;
    }
    // The best match of a pane's picture with the pattern, looked at until it is
    // `enough` or for a bound a loaded machine does not reach.
    int BestPatternMatch(int id, int enough, const char* artifact) {
        CPubVideoContainerUI* pane = PaneOf(id);
        if (!pane) return 0;
        DuiLib::CControlUI* img = pane->FindSubControl(L"video_img");
        int best = 0;
        QImage bestShot;
        kerneltest::Pump(
            [&] {
                InvalidateRect(room->GetHWND(), nullptr, FALSE);
                PumpPending();
                const RECT& rc = img->GetPos();
                QImage shot = winplat::GrabWindowImage(room->GetHWND());
                const int m = PatternMatch(
                    shot, QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top));
                if (m > best) best = m, bestShot = shot;
                return best >= enough;
            },
            30000);
        if (artifact && !bestShot.isNull()) {
            QDir().mkpath(MIVORA_ARTIFACT_DIR);
            bestShot.save(QString(MIVORA_ARTIFACT_DIR) + artifact);
        }
        return best;
    }
    // Whether the room stand-in got a media connection request (105/69) for `id` with
    // operation `op`; waits for it, as a loaded machine may be slow to send it.
    bool SentConnMedia(int id, int op) {
        bool found = false;
        kerneltest::Pump(
            [&] {
                for (const auto& [user, operation] : ConnRequestsIn(TakeSent()))
                    if (user == id && operation == op) found = true;
                return found;
            },
            5000);
        return found;
    }

    // Both sides' checks: the other's picture, own preview, the meter and the other's tone.
    void CheckSeeAndHear(const std::string& tag) {
        EXPECT_GE(BestPatternMatch(other, 90, ("two_clients_" + tag + ".png").c_str()), 90)
            << tag << ": the other's pane does not show his camera";
        // The own preview is drawn scaled into a small pane; an idle (dark) pane scores
        // well under half of this.
        EXPECT_GE(BestPatternMatch(me, 80, nullptr), 80) << tag << ": no own preview";
        CPubVideoContainerUI* pane = PaneOf(other);
        ASSERT_NE(pane, nullptr);
        auto* meter = static_cast<DuiLib::CVolumeLabelUI*>(pane->FindSubControl(L"volumeval"));
        EXPECT_TRUE(kerneltest::Pump(
            [&] {
                PumpPending();
                return meter->GetVolumeValue() > 0;
            },
            30000))
            << tag << ": the meter stays still";
        ASSERT_TRUE(
            sound->WaitUntil([&] { return sound->PlayedBytes(speaker) > 48000 * 4; }, 30000))
            << tag << ": nothing played";
        std::vector<int16_t> played = sound->Played(speaker);
        const size_t frames = played.size() / 2, tail = std::min<size_t>(frames, 24000);
        EXPECT_NEAR(mivora_test::EstimateFrequency(&played[(frames - tail) * 2], tail),
                    other == kFirst ? 440 : 660, 20)
            << tag;
    }

    bool child = false;
    int me = kFirst, other = kSecond;
    std::shared_ptr<ScriptedSoundSystem> sound = std::make_shared<ScriptedSoundSystem>();
    int speaker = 0;
};

TEST_F(TwoClientsTest, SeeAndHearEachOther) {
    if (child) {
        // The second client: the relay and the meeting folder come from the first.
        const uint16_t port =
            static_cast<uint16_t>(std::atoi(std::getenv("MIVORA_TWO_CLIENTS_RELAY")));
        const std::string dir = std::getenv("MIVORA_TWO_CLIENTS_DIR");
        Join(port);
        EXPECT_TRUE(SentConnMedia(other, 1));
        CheckSeeAndHear("second");
        Touch(dir + "/second-saw");
        // Leaves his microphone once the first client has seen him too.
        ASSERT_TRUE(kerneltest::Pump([&] { return FileExists(dir + "/first-saw"); }, 60000));
        servers.room().Send(answers::MicStateAnswer(kRoom, kSecond, kSecond, 0, 255));
        ASSERT_TRUE(kerneltest::Pump([&] { return PaneOf(me) == nullptr; }));
        Touch(dir + "/second-left-mic");
        kerneltest::Pump([&] { return FileExists(dir + "/first-done"); }, 60000);
        return;
    }

    char dirTemplate[] = "/tmp/mivora-two-clients-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    MediaRelay relay(180000, 5000000);
    ASSERT_TRUE(relay.Start());
    const int threadsBefore = ThreadCount();

    // The second client: this executable again, this test only.
    setenv("MIVORA_TWO_CLIENTS_ROLE", "second", 1);
    setenv("MIVORA_TWO_CLIENTS_RELAY", std::to_string(relay.Port()).c_str(), 1);
    setenv("MIVORA_TWO_CLIENTS_DIR", dir.c_str(), 1);
    std::string self = "/proc/self/exe",
                filter = "--gtest_filter=TwoClientsTest.SeeAndHearEachOther";
    char* argv[] = {&self[0], &filter[0], nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, environ);
    unsetenv("MIVORA_TWO_CLIENTS_ROLE");
    unsetenv("MIVORA_TWO_CLIENTS_RELAY");
    unsetenv("MIVORA_TWO_CLIENTS_DIR");
    ASSERT_EQ(spawned, 0);

    Join(relay.Port());
    EXPECT_TRUE(SentConnMedia(other, 1));
    CheckSeeAndHear("first");

    // Pictures keep coming at 5 % loss.
    relay.SetFaults({7, 5, 0, 0});
    const size_t droppedBefore = relay.DroppedCount();
    EXPECT_TRUE(
        kerneltest::Pump([&] { return relay.DroppedCount() >= droppedBefore + 10; }, 30000));
    // New pictures keep reaching the pane (each sets its new-frame flag until painted).
    int fresh = 0;
    bool wasNew = false;
    kerneltest::Pump(
        [&] {
            const bool isNew = PaneOf(other)->Frames().IsNew();
            fresh += isNew && !wasNew;
            wasNew = isNew;
            return fresh >= 10;
        },
        30000);
    EXPECT_GE(fresh, 10) << "pictures stopped at 5 % loss";
    EXPECT_GE(BestPatternMatch(other, 85, nullptr), 85) << "no picture at 5 % loss";
    relay.SetFaults({7, 0, 0, 0});
    Touch(dir + "/first-saw");

    // The second client leaves his microphone: as the stand-in tells it, his pane goes
    // idle and his media connection is closed.
    ASSERT_TRUE(kerneltest::Pump([&] { return FileExists(dir + "/second-left-mic"); }, 60000));
    servers.room().Send(answers::MicStateAnswer(kRoom, kSecond, kSecond, 0, 255));
    EXPECT_TRUE(kerneltest::Pump([&] { return PaneOf(kSecond) == nullptr; }));
    EXPECT_TRUE(SentConnMedia(kSecond, 3));
    EXPECT_TRUE(relay.WaitUntil([&] { return relay.CountControls(3, kSecond, 99) >= 1; }, 30000))
        << "the second client's video was not unregistered";

    // Leaving the room: this client's media stops at the relay, its threads end and no
    // sound stream stays open.
    lobby->LeaveCurrentRoom();
    PumpPending();
    room = nullptr;
    EXPECT_TRUE(relay.WaitUntil([&] { return relay.CountControls(3, kFirst, 99) >= 1; }, 30000));
    EXPECT_TRUE(relay.WaitUntil([&] { return relay.CountControls(4, kSecond, 99) >= 1; }, 30000));
    EXPECT_TRUE(kerneltest::Pump([&] { return ThreadCount() <= threadsBefore; }))
        << ThreadCount() << " threads, " << threadsBefore << " before: " << ThreadNames();
    EXPECT_EQ(sound->OpenStreams(), 0);

    Touch(dir + "/first-done");
    int status = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "the second client did not finish";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the second client failed";
    relay.Stop();
    std::remove((dir + "/first-saw").c_str());
    std::remove((dir + "/second-saw").c_str());
    std::remove((dir + "/second-left-mic").c_str());
    std::remove((dir + "/first-done").c_str());
    ::rmdir(dir.c_str());
}

}  // namespace
}  // namespace roomtest
