// Process start of the program to its end, for a program whose logon window closes by
// itself. The real logon window waits for a person, so a run that does not end within
// ten seconds is stopped and reported as such: bench_logon times the entry up to the
// logon window in-process instead.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace {

const char kStays[] = "the program stays at its logon window; bench_logon times the entry to it";
bool g_stays = false;  // the later repetitions need not wait again

void BM_StartToLogonCall(benchmark::State& state) {
    if (g_stays) {
        state.SkipWithError(kStays);
        return;
    }
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
        // The logon window waits for a person: a program still running after a while
        // is ended, and the run gives no figure.
        int status = 0;
        pid_t ended = 0;
        while ((ended = waitpid(pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
            usleep(2000);
        const auto end = std::chrono::steady_clock::now();
        if (ended == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            g_stays = true;
            state.SkipWithError(kStays);
            break;
        }
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
