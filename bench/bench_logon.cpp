// The program entry in-process: its start up to the logon window, and the whole logon
// against the local world from the click on the logon button to the lobby shown with
// its room-group tree painted. Each run is one call of the entry on a laid-out program
// folder; the median of several is printed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "LocalWorld.h"
#include "app/WinMain.h"
#include "fenlo/UIlib.h"
#include "globalconf/GlobalConfCodec.h"
#include "kernel/CommKernel.h"
#include "lobby/LobbyPrompts.h"
#include "controls/RoomGroupTreeUI.h"
#include "lobby/WndLobby.h"
#include "lobby/WndLogon.h"
#include "services/HttpGet.h"
#include "session/CommKernelData.h"
#include "win32/files.h"
#include "win32/memmap.h"
#include "win32gui/user.h"

namespace fs = std::filesystem;
using namespace DuiLib;
using Clock = std::chrono::steady_clock;

namespace {

// One step per tick of a thread timer; a step returns true when it is done.
std::vector<std::function<bool()>>* g_steps = nullptr;
size_t g_next = 0;

void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_steps || g_next >= g_steps->size()) {
        KillTimer(nullptr, id);
        return;
    }
    if ((*g_steps)[g_next]()) ++g_next;
}

void** Table() {
    return CCommKernel::GetInstance()->m_pWndTable;
}

void Click(HWND hwnd, CControlUI* c) {
    const RECT rc = c->GetPos();
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

std::string MakeTempDir(const char* name) {
    std::string pattern = (fs::temp_directory_path() / name).string() + "-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// The laid-out program folder's data files, with the world's free ports in the
// configuration in place of the fixed ones.
bool LayOutProgram(const std::string& to, const testsupport::LocalWorld& world) {
    for (const auto& e : fs::directory_iterator(MIVORA_PROGRAM_DIR)) {
        const std::string name = e.path().filename().string();
        if (name == "mivora" || e.path().extension() == ".so") continue;
        fs::copy(e.path(), fs::path(to) / name, fs::copy_options::recursive);
    }
    std::ifstream in(std::string(MIVORA_SOURCE_DIR) + "/tools/localworld/globalconf.txt");
    std::stringstream text;
    text << in.rdbuf();
    return globalconf::WriteFile(winplat::ToWindowsPath(to) + L"\\globalconf.ini",
                                 world.WithOwnPorts(text.str()));
}

testsupport::LocalWorld* g_world = nullptr;

// One world and one program folder for every run: the entry's update check and the
// logon go to the world.
bool SetUpWorld(testsupport::LocalWorld& world, const std::string& home,
                const std::string& program) {
    if (!world.Start() || home.empty() || program.empty() || !LayOutProgram(program, world))
        return false;
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    winplat::SetModulePath(winplat::ToWindowsPath(program) + L"\\mivora");
    CCommKernel::GetInstance()->m_pData->init();
    SetNetworkTestUrl(world.BaseUrl().append("nettest.html").c_str());
    SetUpdateBaseUrl(world.BaseUrl().c_str());
    SetLobbyMessageHook([](HWND, const std::wstring&) {});
    return true;
}

void BM_LogonClickToLobbyTree(benchmark::State& state) {
    if (!g_world) {
        state.SkipWithError("the world or the program folder could not be set up");
        return;
    }
    for (auto _ : state) {
        Clock::time_point clicked, painted;
        bool done = false;
        std::vector<std::function<bool()>> steps = {
            [&] {
                auto* logon = static_cast<CWndLogon*>(Table()[0]);
                if (!logon) return false;
                CPaintManagerUI& pm = logon->GetPaintManager();
                CControlUI* login = pm.FindControl(L"login");
                if (!login || !login->IsEnabled() || IsRectEmpty(&login->GetPos())) {
                    InvalidateRect(logon->GetHWND(), nullptr, FALSE);
                    return false;
                }
                pm.FindControl(L"accountedit")->SetText(L"10001");
                pm.FindControl(L"pwdedit")->SetText(L"111111");
                clicked = Clock::now();
                Click(logon->GetHWND(), login);
                return true;
            },
            // The lobby with its tree laid out: its rows have a place on the window,
            // which they get from a paint.
            [&] {
                auto* lobby = static_cast<CWndLobby*>(Table()[1]);
                if (!lobby || !lobby->GetTree() || lobby->GetTree()->GetCount() == 0) return false;
                CControlUI* first = lobby->GetTree()->GetItemAt(0);
                if (!IsWindowVisible(lobby->GetHWND()) || IsRectEmpty(&first->GetPos()))
                    return false;
                painted = Clock::now();
                done = true;
                SendMessageW(lobby->GetHWND(), WM_COMMAND, kTrayQuit, 0);
                return true;
            },
        };
        g_steps = &steps;
        g_next = 0;
        SetTimer(nullptr, 0, 1, Tick);
        const int code =
            WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
        g_steps = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        if (code != 0 || !done) {
            state.SkipWithError("the logon did not reach the lobby");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(painted - clicked).count());
    }
}
// The program entry up to its logon window shown and ready (the component check done,
// the logon button enabled and placed); the window's close button then ends the run.
void BM_EntryToLogonWindow(benchmark::State& state) {
    if (!g_world) {
        state.SkipWithError("the world or the program folder could not be set up");
        return;
    }
    for (auto _ : state) {
        Clock::time_point shown;
        bool done = false;
        std::vector<std::function<bool()>> steps = {
            [&] {
                auto* logon = static_cast<CWndLogon*>(Table()[0]);
                if (!logon) return false;
                CControlUI* login = logon->GetPaintManager().FindControl(L"login");
                if (!login || !login->IsEnabled() || IsRectEmpty(&login->GetPos())) {
                    InvalidateRect(logon->GetHWND(), nullptr, FALSE);
                    return false;
                }
                shown = Clock::now();
                done = true;
                Click(logon->GetHWND(), logon->GetPaintManager().FindControl(L"closebtn"));
                return true;
            },
        };
        g_steps = &steps;
        g_next = 0;
        SetTimer(nullptr, 0, 1, Tick);
        const Clock::time_point start = Clock::now();
        WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
        g_steps = nullptr;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        if (!done) {
            state.SkipWithError("the logon window was not shown");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
}
BENCHMARK(BM_EntryToLogonWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_LogonClickToLobbyTree)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    winplat::InstallGui();
    CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
    // Beside a running program or test: sections of its own.
    winplat::SetSectionNamespace(("bench" + std::to_string(::getpid())).c_str());
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel->m_pData) kernel->init(nullptr);
    testsupport::LocalWorld::Options options;
    options.log = [](const std::string&) {};
    testsupport::LocalWorld world(options);
    const std::string home = MakeTempDir("mivora-bench-home");
    const std::string program = MakeTempDir("mivora-bench-program");
    if (SetUpWorld(world, home, program)) g_world = &world;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetLobbyMessageHook(nullptr);
    g_world = nullptr;
    world.Stop();
    std::error_code ec;
    if (!home.empty()) fs::remove_all(home, ec);
    if (!program.empty()) fs::remove_all(program, ec);
    return 0;
}
