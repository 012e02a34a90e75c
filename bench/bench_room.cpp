// The room window with thousands of members: entering a room of 2,000 (the join
// answer, the member list from the room stand-in through the kernel and the lobby,
// the four lists filled, the window painted), then one member entering and one
// leaving that room, timed per event.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Answers.h"
#include "ServerSet.h"
#include "app/EntryWindows.h"
#include "program/ProgramWiring.h"
#include "controls/CtrlListFriend.h"
#include "fenlo/UIlib.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32/loop.h"
#include "win32gui/qt_bridge.h"

namespace {

namespace answers = testsupport::answers;
using testsupport::Bytes;

constexpr int kMe = 1001;
constexpr int kRoom = 88;
constexpr int kMembers = 2000;
constexpr int kFirstMember = 100000;
// Entries of 84 bytes that fit one frame of at most 8192 bytes.
constexpr size_t kEntriesPerFrame = 90;

CCommKernelData* Data() {
    return CCommKernel::GetInstance()->m_pData;
}

answers::UserEntry Member(int id) {
    answers::UserEntry u;
    u.userId = id;
    u.roomId = kRoom;
    u.levels[0] = static_cast<uint8_t>(2 + id % 20);
    u.faceId = id % 30;
    u.entryValue23 = id % 97;
    u.alias = "member" + std::to_string(id);
    return u;
}

bool PumpUntil(const std::function<bool()>& done) {
    return winplat::PumpMessagesUntil(done, 60000);
}

// A lobby and a room stand-in; the lobby enters the room of kMembers members.
struct World {
    testsupport::ServerSet servers;
    CWndLobby* lobby = nullptr;
    CWndRoom* room = nullptr;

    World() {
        CCommKernel* k = CCommKernel::GetInstance();
        if (!k->m_pData || !k->m_pData->m_pUserManager) {
            k->init(nullptr);
            k->m_pData->init();
        }
        CCommKernelData* d = k->m_pData;
        d->m_LocalUser = CUserObj();
        d->m_LocalUser.userId = kMe;
        d->m_LocalUser.alias = "me";
        d->m_LocalUser.levels[0] = 5;
        d->m_pUserManager->AddUser(&d->m_LocalUser);
        // The stand-ins' host is the configured lobby server, as a session's table holds
        // it: the lobby joins rooms on trusted gates only.
        std::memset(d->m_pLobbySvrTable, 0, sizeof(tag_ServerAddr) * kServerTableSize);
        std::strcpy(d->m_pLobbySvrTable[0].szHost, "127.0.0.1");
        InstallProgramWiring();
        CreateLobbyWindow(L"lobby");
        lobby = CWndLobby::Current();
    }
    ~World() {
        if (lobby) {
            lobby->LeaveCurrentRoom();
            ::DestroyWindow(lobby->GetHWND());
            CCommKernel::GetInstance()->m_pWndTable[1] = nullptr;
        }
        winplat::PumpMessagesUntil([] { return false; }, 50);
        Data()->m_pUserManager->ClearData();
        Data()->m_pUserManager->AddUser(&Data()->m_LocalUser);
    }

    // Join answer and member list through the kernel and the lobby, up to the room
    // window with its four lists filled and painted.
    bool Enter() {
        const std::wstring gate =
            winplat::Utf8ToWide(servers.Address(testsupport::ServerSet::kRoom));
        const int before = servers.room().Connections();
        lobby->JoinRoom(kRoom, 1, gate.c_str());
        if (!PumpUntil([&] {
                return servers.room().Connections() > before &&
                       servers.room().ReceivedCount() >= 14 + 115;
            }))
            return false;
        answers::JoinRoom join;
        join.userId = kMe;
        join.roomId = kRoom;
        join.baseInfoD = 1;
        join.roomName = "big room";
        Bytes all = answers::JoinRoomAnswer(join);
        std::vector<answers::UserEntry> batch{Member(kMe)};
        batch[0].alias = "me";
        for (int i = 0; i < kMembers; ++i) {
            batch.push_back(Member(kFirstMember + i));
            if (batch.size() == kEntriesPerFrame || i == kMembers - 1) {
                const Bytes f = answers::UserListAnswer(batch);
                all.insert(all.end(), f.begin(), f.end());
                batch.clear();
            }
        }
        const Bytes end = answers::UserListEndAnswer();
        all.insert(all.end(), end.begin(), end.end());
        std::vector<int32_t> queue;
        for (int i = 0; i < 200; ++i) queue.push_back(kFirstMember + i * 7);
        const Bytes wait = answers::WaitMicListAnswer(queue);
        all.insert(all.end(), wait.begin(), wait.end());
        servers.room().Send(all);
        if (!PumpUntil([&] {
                room = GetRegisteredRoomWindow();
                return room && room->GetWaitMicList() && room->GetWaitMicList()->GetCount() == 200;
            }))
            return false;

        // What the member handlers do with the list: every member in the all-users list,
        // the managers and those on a private microphone in theirs.
        room->FillAllUserList();
        CUserManager* users = Data()->m_pUserManager;
        for (int i = 0; i < 20; ++i)
            room->GetManagerList()->AddUser(users->FindUser(kFirstMember + i * 100));
        for (int i = 0; i < 10; ++i)
            room->GetOnMicList()->AddUser(users->FindUser(kFirstMember + i * 150));
        room->UpdateUserListCounts();
        Paint();
        return room->GetUserList()->GetCount() == kMembers + 1;
    }

    void Paint() {
        room->ShowWindow(true, false);
        benchmark::DoNotOptimize(winplat::GrabWindowImage(room->GetHWND()));
    }
};

void BM_EnterRoomOf2000(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<World>();
        state.ResumeTiming();
        if (!world->Enter()) {
            state.SkipWithError("the room was not entered");
            break;
        }
        state.PauseTiming();
        world.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EnterRoomOf2000)->Unit(benchmark::kMillisecond)->Iterations(3);

// One member entering and one leaving the room of 2,000, end to end: the room
// stand-in's answer, the kernel, the lobby's relay and the room window's handlers, up
// to the member list showing the change and the window painted.
void BM_MemberEnterAndLeaveIn2000(benchmark::State& state) {
    World world;
    if (!world.Enter()) {
        state.SkipWithError("the room was not entered");
        return;
    }
    CCtrlListFriend* list = world.room->GetUserList();
    // Timed one by one: on a shared machine the median says more than the mean.
    std::vector<double> enters, leaves, enterListed, leaveListed;
    auto event = [&](const Bytes& answer, const std::function<bool()>& shown,
                     std::vector<double>& times, std::vector<double>& listed) {
        const auto t0 = std::chrono::steady_clock::now();
        world.servers.room().Send(answer);
        if (!PumpUntil(shown)) return false;
        listed.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
        // The paint the change asked for, now (Qt would post it to a later turn).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
        return true;
    };
    int next = kFirstMember + kMembers;
    for (auto _ : state) {
        const int id = next++;
        if (!event(
                answers::UserEnterAnswer(Member(id)), [&] { return list->HasUser(id); }, enters,
                enterListed) ||
            !event(
                answers::UserExitAnswer(kRoom, id), [&] { return !list->HasUser(id); }, leaves,
                leaveListed)) {
            state.SkipWithError("the member did not enter or leave");
            break;
        }
        state.SetIterationTime((enters.back() + leaves.back()) / 1000.0);
    }
    auto median = [](std::vector<double> v) {
        if (v.empty()) return 0.0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["enter_median_ms"] = median(enters);
    state.counters["leave_median_ms"] = median(leaves);
    state.counters["enter_in_list_median_ms"] = median(enterListed);
    state.counters["leave_in_list_median_ms"] = median(leaveListed);
    std::printf(
        "Member event in a room of %d, answer sent to the lists painted: enter median "
        "%.3f ms, leave median %.3f ms (%zu each); answer to the list changed (before "
        "the paint): enter median %.3f ms, leave median %.3f ms\n",
        kMembers, median(enters), median(leaves), enters.size(), median(enterListed),
        median(leaveListed));
}
BENCHMARK(BM_MemberEnterAndLeaveIn2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(200)
    ->UseManualTime();

// The window's part alone of the same two events.
void BM_RoomWindowEnterLeaveEvent(benchmark::State& state) {
    World world;
    if (!world.Enter()) {
        state.SkipWithError("the room was not entered");
        return;
    }
    CUserManager* users = Data()->m_pUserManager;
    int i = 0;
    for (auto _ : state) {
        const int id = kFirstMember + (i++ % kMembers);
        world.room->RemoveUserEverywhere(id);
        world.room->GetUserList()->AddUser(users->FindUser(id));
        world.room->UpdateUserListCounts();
    }
}
BENCHMARK(BM_RoomWindowEnterLeaveEvent)->Unit(benchmark::kMicrosecond)->Iterations(500);

}  // namespace
