// Video into the room's panes: a camera frame injected at a publishing facade's source
// (as bench_engine does) until the picture is painted in a watching window's public
// pane, beside the arrival at the watcher's play grabber in the same run; the CPU of
// the whole process idle and with 1 and 3 painted streams, beside the same set-up
// where the frames stop at the grabber (engine only); and the CPU of an idle room of
// two programs (two joined engines, each listening to the other, no media) and of the
// lobby window alone, with the thread waiting in its message loop as a program does.
//
// The watching window is a skinned window with the three public panes, its
// UM_VIDEO_FRAME_READY refreshing the pane as the room window does; the grab callbacks
// route through CUserVideoWndMgr exactly as the room's do. Offscreen Qt.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FacadePair.h"
#include "app/EntryWindows.h"
#include "program/ProgramWiring.h"
#include "controls/SkinWnd.h"
#include "facade/Strevo.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "room/PubVideoContainerUI.h"
#include "room/UserVideoWndMgr.h"
#include "room/VideoMessages.h"
#include "room/WndRoom.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"
#include "vexacam/TestPattern.h"
#include "win32/loop.h"
#include "win32gui/user.h"
#include "win32gui/vfw.h"

namespace {

using Clock = std::chrono::steady_clock;
using mivora_test::FacadeMember;
using mivora_test::FacadePublish;
using mivora_test::MediaRelay;
using mivora_test::MediaStage;
using mivora_test::Streams;

class WatchWnd : public CSkinWnd {
public:
    WatchWnd() {
        m_traits = SkinWndTraits{"CWndBench",
                                 L"<Window size=\"660,200\"><HorizontalLayout>"
                                 L"<PubVideo name=\"p0\" /><PubVideo name=\"p1\" />"
                                 L"<PubVideo name=\"p2\" /></HorizontalLayout></Window>",
                                 kMsgStandard,
                                 ScClose::kClose,
                                 Lifetime::kStack,
                                 false};
    }
    const SkinWndTraits& Traits() const override { return m_traits; }
    LPCTSTR GetWindowClassName() const override { return L"UIBenchWatch"; }
    CPubVideoContainerUI* panes[3] = {nullptr, nullptr, nullptr};

protected:
    LRESULT HandleExtraMessage(UINT m, WPARAM, LPARAM l, BOOL& handled) override {
        handled = FALSE;
        if (m != UM_VIDEO_FRAME_READY) return 0;
        for (CPubVideoContainerUI* p : panes)
            if (p && l == reinterpret_cast<LPARAM>(static_cast<DuiLib::CControlUI*>(p)))
                p->RefreshVideo();
        handled = TRUE;
        return 0;
    }

private:
    SkinWndTraits m_traits;
};

// The watcher's grab callbacks: to the panes (as the room routes them) or nowhere.
class Watcher : public RAVO::ISamplerGrabVideoCallBack, public RAVO::ISamplerGrabAudioCallBack {
public:
    CUserVideoWndMgr* mgr = nullptr;  // null: engine only
    int OnGrabVideoSample(int id, int, char* data, int len, int, int w, int h) override {
        if (mgr) mgr->DrawUserVideo(id, data, len, w, h);
        std::lock_guard<std::mutex> g(m_lock);
        m_arrivals.push_back(Clock::now());
        return 0;
    }
    int OnGrabAudioSample(int id, int, char* pcm, int len, int, int, int) override {
        if (mgr) mgr->SetUserVolume(id, pcm, len);
        return 0;
    }
    size_t Count() {
        std::lock_guard<std::mutex> g(m_lock);
        return m_arrivals.size();
    }
    Clock::time_point At(size_t i) {
        std::lock_guard<std::mutex> g(m_lock);
        return m_arrivals[i];
    }

private:
    std::mutex m_lock;
    std::vector<Clock::time_point> m_arrivals;
};

// A watching window, its panes showing users 1001.., a watcher facade and `speakers`
// publishers through one relay.
struct Stage {
    Stage(int speakers, bool painted) {
        wnd.Create(nullptr, L"watch", WS_POPUP, 0, 0, 0, 660, 200);
        wnd.ShowWindow(true, false);
        dib = DrawDibOpen();
        for (int i = 0; i < 3; ++i) {
            wchar_t name[8];
            std::swprintf(name, 8, L"p%d", i);
            auto* c = wnd.GetPaintManager().FindControl(name);
            wnd.panes[i] = static_cast<CPubVideoContainerUI*>(c->GetInterface(L"PubVideo"));
            wnd.panes[i]->Build(L"publicvideownd.xml");
            wnd.panes[i]->SetOwnerValue(wnd.GetHWND());
            wnd.panes[i]->SetDrawDib(dib);
            wnd.panes[i]->SetVideoUser(L"speaker", 1001 + i);
        }
        mgr.SetPublicPanes(wnd.panes);
        watcher.mgr = painted ? &mgr : nullptr;
        listener = std::make_unique<FacadeMember>(media.RelayPort(), &watcher);
        for (int i = 0; i < speakers; ++i) {
            publishers.push_back(std::make_unique<FacadeMember>(media.RelayPort()));
            listener->Watch(1001 + i, Streams::Video);
        }
        if (speakers > 0) media.WaitSubscribed(1001, Streams::Video);
        FacadePublish video;
        video.streams = Streams::Video;
        video.start = false;
        for (int i = 0; i < speakers; ++i)
            publishers[static_cast<size_t>(i)]->Publish(1001 + i, video);
    }
    ~Stage() {
        publishers.clear();
        listener.reset();
        for (CPubVideoContainerUI* p : wnd.panes) p->SetVideoUser(L"", 0);
        ::DestroyWindow(wnd.GetHWND());
        DrawDibClose(dib);
    }
    void PumpFor(int ms) {
        winplat::PumpMessagesUntil([] { return false; }, ms);
    }

    MediaStage media;  // goes last: the relay, the sound system, the camera setting
    WatchWnd wnd;
    HDRAWDIB dib = nullptr;
    CUserVideoWndMgr mgr;
    Watcher watcher;
    std::unique_ptr<FacadeMember> listener;
    std::vector<std::unique_ptr<FacadeMember>> publishers;
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

void BM_FrameToPaintedPane(benchmark::State& state) {
    std::vector<double> painted, grabbed, gap;
    int missing = 0;
    for (auto _ : state) {
        Stage stage(1, true);
        RAVO::CStrevo& av = stage.publishers[0]->Av();
        av.m_pVideoSource->CSourceAvBuf::start();
        CVideoFrameStore& frames = stage.wnd.panes[0]->Frames();
        std::vector<uint8_t> bgr(320 * 240 * 3);
        for (int i = 0; i < 65; ++i) {
            vexacam::DrawTestPattern(bgr.data(), 320, 240, static_cast<uint32_t>(i));
            const size_t seen = stage.watcher.Count();
            const Clock::time_point t0 = Clock::now();
            av.m_pVideoSource->OnVideoFrameArrive(bgr.data(), bgr.size());
            // The pane's new-frame flag is cleared by the paint that shows it.
            const bool shown = winplat::PumpMessagesUntil(
                [&] { return stage.watcher.Count() > seen && !frames.IsNew(); }, 3000);
            const Clock::time_point t2 = Clock::now();
            if (!shown) {
                ++missing;
            } else if (i >= 5) {
                grabbed.push_back(
                    std::chrono::duration<double, std::milli>(stage.watcher.At(seen) - t0).count());
                painted.push_back(std::chrono::duration<double, std::milli>(t2 - t0).count());
                gap.push_back(painted.back() - grabbed.back());
            }
            winplat::PumpMessagesUntil(
                [] { return false; },
                static_cast<int>(std::max<long long>(
                    0, 70 - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0)
                                .count())));
        }
        state.SetIterationTime(Percentile(painted, 0.5) / 1000.0);
    }
    state.counters["painted_median_ms"] = Percentile(painted, 0.5);
    state.counters["painted_p99_ms"] = Percentile(painted, 0.99);
    state.counters["grabber_median_ms"] = Percentile(grabbed, 0.5);
    state.counters["grabber_p99_ms"] = Percentile(grabbed, 0.99);
    state.counters["grabber_to_painted_median_ms"] = Percentile(gap, 0.5);
    state.counters["missing"] = missing;
    std::printf(
        "Camera frame -> painted in the pane: median %.1f ms, p99 %.1f ms; "
        "-> watcher's play grabber in the same run: median %.1f ms, p99 %.1f ms; "
        "grabber -> painted, frame by frame: median %.2f ms, p99 %.2f ms "
        "(%zu frames, %d missing).\n",
        Percentile(painted, 0.5), Percentile(painted, 0.99), Percentile(grabbed, 0.5),
        Percentile(grabbed, 0.99), Percentile(gap, 0.5), Percentile(gap, 0.99), painted.size(),
        missing);
}
BENCHMARK(BM_FrameToPaintedPane)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

double ProcessCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// range(0): streams (0, 1, 3); range(1): 1 painted in the panes, 0 engine only.
void BM_WatcherCpu(benchmark::State& state) {
    const int streams = static_cast<int>(state.range(0));
    const bool painted = state.range(1) != 0;
    double percent = 0;
    size_t frames = 0;
    for (auto _ : state) {
        Stage stage(streams, painted);
        for (auto& p : stage.publishers) p->Av().startVideoCapGraph();
        stage.PumpFor(500);  // past start-up
        const size_t before = stage.watcher.Count();
        const double cpu0 = ProcessCpuSeconds();
        const Clock::time_point t0 = Clock::now();
        stage.PumpFor(3000);
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        percent = 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
        frames = stage.watcher.Count() - before;
        state.SetIterationTime(wall);
    }
    state.counters["cpu_percent_of_one_core"] = percent;
    state.counters["frames_at_watcher"] = static_cast<double>(frames);
    std::printf(
        "CPU, %d stream(s), %s: %.1f %% of one core (publishers and watcher in this "
        "process; %zu frames reached the watcher in 3 s)\n",
        streams, painted ? "painted in the panes" : "engine only", percent, frames);
}
BENCHMARK(BM_WatcherCpu)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({3, 0})
    ->Args({3, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The thread's loop as a program runs it, blocked in GetMessage, for `ms`.
void RunLoopFor(int ms) {
    const UINT_PTR timer = ::SetTimer(nullptr, 0, static_cast<UINT>(ms), nullptr);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0)) {
        if (m.message == WM_TIMER && !m.hwnd && m.wParam == timer) break;
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    ::KillTimer(nullptr, timer);
}

double IdlePercent(int ms) {
    const double cpu0 = ProcessCpuSeconds();
    const Clock::time_point t0 = Clock::now();
    RunLoopFor(ms);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    return 100.0 * (ProcessCpuSeconds() - cpu0) / wall;
}

CCommKernelData* Kernel() {
    CCommKernel* k = CCommKernel::GetInstance();
    if (!k->m_pData || !k->m_pData->m_pUserManager) {
        k->init(nullptr);
        k->m_pData->init();
    }
    return k->m_pData;
}

// The room the room window enters: its media relay is the stand-in's.
void SetUpRoom(int roomId, uint16_t relayPort) {
    CCommKernelData* d = Kernel();
    d->m_LocalUser.userId = 1001;
    auto* room = d->m_pRoomManager->FindRoom(roomId);
    if (!room) {
        room = new CRoomObj;
        room->roomId = roomId;
        room->roomName = "idle";
        d->m_pRoomManager->AddRoom(room);
    }
    room->mediaHosts[0] = "127.0.0.1";
    room->mediaPorts[0] = relayPort;
    d->m_nCurRoomId = roomId;
}

// range(0): 0 the lobby window alone, 1 a room of two programs with no media: the
// room window with its engine, and the other program's engine, each listening to the
// other (on a microphone, silent).
void BM_IdleCpu(benchmark::State& state) {
    const bool inRoom = state.range(0) != 0;
    double percent = 0;
    for (auto _ : state) {
        if (inRoom) {
            constexpr int kRoom = 88;
            MediaRelay relay{0, 0};
            relay.Start();
            SetUpRoom(kRoom, relay.Port());
            auto* wnd = new CWndRoom;
            wnd->Create(nullptr, L"room", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0,
                        1000, 700);
            SetCurrentRoomWindow(wnd);
            wnd->InitRoom(kRoom);
            wnd->ShowWindow(true, false);
            FacadeMember other(relay.Port());
            if (wnd->m_pStrevo) {
                wnd->m_pStrevo->addVideoStream(1002);
                wnd->m_pStrevo->subcribeVideoStream(1002);
            }
            other.Watch(1001, Streams::Video);
            relay.WaitUntil([&] {
                return relay.CountControls(2, 1001, 99) >= 1 &&
                       relay.CountControls(2, 1002, 99) >= 1;
            });
            RunLoopFor(500);  // past start-up
            percent = IdlePercent(5000);
            other.Leave();
            ::DestroyWindow(wnd->GetHWND());
            winplat::PumpMessagesUntil([] { return false; }, 50);
            relay.Stop();
        } else {
            CCommKernel* k = CCommKernel::GetInstance();
            Kernel();
            InstallProgramWiring();
            CreateLobbyWindow(L"lobby");
            CWndLobby* lobby = CWndLobby::Current();
            RunLoopFor(500);
            percent = IdlePercent(5000);
            if (lobby) ::DestroyWindow(lobby->GetHWND());
            k->m_pWndTable[1] = nullptr;
            winplat::PumpMessagesUntil([] { return false; }, 50);
        }
        state.SetIterationTime(5.0);
    }
    state.counters["cpu_percent_of_one_core"] = percent;
    std::printf("Idle CPU, %s: %.2f %% of one core over 5 s\n",
                inRoom ? "a room of two programs, no media" : "the lobby alone", percent);
}
BENCHMARK(BM_IdleCpu)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
