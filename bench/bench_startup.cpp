// Process start of the program to its logon window. The logon window is still a
// stand-in that reports "closed" at once, so each run measures the whole start-up up
// to the entry's logon call plus the shutdown and the process exit after it: an upper
// bound of "start to the logon window shown" until that window exists.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace {

void BM_StartToLogonCall(benchmark::State& state) {
    const std::string program = MIVORA_PROGRAM_DIR "/mivora";
    char home[] = "/tmp/mivora-bench-XXXXXX";
    if (!mkdtemp(home)) {
        state.SkipWithError("no temporary home");
        return;
    }
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", std::string("HOME=") + home,
                                    std::string("XDG_CONFIG_HOME=") + home + "/.config"};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) && entry.rfind("XDG_CONFIG_HOME=", 0) &&
            entry.rfind("QT_QPA_PLATFORM=", 0))
            env.push_back(entry);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};

    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError(
                "the program could not be started (build the program_folder target)");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        const auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not end with exit code 0");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    const std::string cleanup = std::string("rm -rf ") + home;
    if (std::system(cleanup.c_str()) != 0) state.SetLabel("temporary home left behind");
}
BENCHMARK(BM_StartToLogonCall)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
