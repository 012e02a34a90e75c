// scripts/run.sh without a display: it says so, runs the program on Xvfb, and stops
// the local test world once the program has ended. scripts/run-second.sh runs its
// program from a copy of its own.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Script {
    pid_t pid = -1;
    int out = -1;
    std::string seen;

    bool Start(const fs::path& runDir) {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            dup2(fds[1], STDERR_FILENO);
            close(fds[0]);
            close(fds[1]);
            unsetenv("DISPLAY");
            setenv("MIVORA_RUN_BUILD", "0", 1);
            setenv("MIVORA_BUILD_DIR", MIVORA_BINARY_DIR, 1);
            setenv("MIVORA_RUN_DIR", runDir.c_str(), 1);
            setenv("MIVORA_WORLD_ARGS", "--port-base 0", 1);  // the fixed ports may be in use
            execl("/bin/bash", "bash", MIVORA_SOURCE_DIR "/scripts/run.sh",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        out = fds[0];
        return pid > 0;
    }
    // Reads what the script prints until it ends or `ms` passed; true when it ended.
    bool Read(int ms) { return ReadFor(nullptr, ms) == Stop::kEnded; }
    // Reads until the output holds `text` (true), or the script ended or `ms` passed.
    bool ReadUntil(const std::string& text, int ms) { return ReadFor(&text, ms) == Stop::kFound; }
    enum class Stop { kFound, kEnded, kTimedOut };
    // Reads until the output holds `text` (never, when null), the script ends or `ms` passed.
    Stop ReadFor(const std::string* text, int ms) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!text || seen.find(*text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0) return Stop::kTimedOut;
            pollfd p{out, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return Stop::kTimedOut;
            char buffer[1024];
            const ssize_t n = read(out, buffer, sizeof buffer);
            if (n <= 0) return Stop::kEnded;
            seen.append(buffer, static_cast<size_t>(n));
        }
        return Stop::kFound;
    }
    int Status() {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    ~Script() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) close(out);
    }
};

int NumberAfter(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

// Reads the run folder the script named ("this run's folder: <path> (also ...").
fs::path RunFolderOf(const std::string& out) {
    const std::string label = "this run's folder: ";
    const size_t at = out.find(label);
    if (at == std::string::npos) return {};
    const size_t from = at + label.size();
    return out.substr(from, out.find(" (also", from) - from);
}

// One run of the script to its end: the program is closed the way a person would close
// it, once the virtual display has shown something. Returns the script's output. The
// bounds are generous: a loaded machine takes its time to start the world, the display
// and the program.
std::string RunToTheEnd(const fs::path& runs, int& status) {
    Script script;
    EXPECT_TRUE(script.Start(runs));
    const std::string started = "program started on";
    if (script.ReadUntil(started, 120000)) {
        const fs::path run = RunFolderOf(script.seen);
        for (int i = 0; i < 600 && !fs::exists(run / "screen-0001.png"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_TRUE(fs::exists(run / "screen-0001.png")) << script.seen;
        const int client = NumberAfter(script.seen.substr(script.seen.find(started)), "(pid ");
        EXPECT_GT(client, 0) << script.seen;
        if (client > 0) kill(client, SIGTERM);
    } else {
        ADD_FAILURE() << "the script never said it started the program:\n" << script.seen;
    }
    EXPECT_TRUE(script.Read(60000)) << script.seen;
    status = script.Status();
    return script.seen;
}

TEST(RunScript, WithoutDisplayUsesXvfbAndStopsTheWorldAfterTheProgram) {
    if (!fs::exists(MIVORA_BINARY_DIR "/program/mivora"))
        GTEST_SKIP() << "the program (build/program/mivora) is not built";
    if (std::system("command -v Xvfb > /dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is missing";
    char pattern[] = "/tmp/mivora-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path runs = pattern;

    // Two runs one after the other: each keeps its own folder, the second loses
    // nothing of the first.
    std::vector<fs::path> folders;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("run " + std::to_string(i + 1));
        int status = -1;
        const std::string out = RunToTheEnd(runs, status);
        const fs::path run = RunFolderOf(out);
        ASSERT_FALSE(run.empty()) << out;
        EXPECT_EQ(run.parent_path(), runs) << out;
        folders.push_back(run);
        // The script ends with the program's status (the program's own business here).
        EXPECT_EQ(status, NumberAfter(out, "the program ended with ")) << out;
        EXPECT_NE(out.find("there is no display"), std::string::npos) << out;
        EXPECT_NE(out.find("Xvfb"), std::string::npos) << out;
        const size_t ended = out.find("the program ended");
        const size_t stopped = out.find("local test world stopped");
        ASSERT_NE(ended, std::string::npos) << out;
        ASSERT_NE(stopped, std::string::npos) << out;
        EXPECT_LT(ended, stopped);
        EXPECT_NE(ReadText(run / "world.log").find("localworld: stopped by SIGTERM"),
                  std::string::npos);
        // The world is gone, not left behind.
        const int world = NumberAfter(out, "local test world started (pid ");
        ASSERT_GT(world, 0) << out;
        EXPECT_NE(kill(world, 0), 0);
        // The program ran from the run's own copy; its per-user folders are the run's.
        EXPECT_NE(out.find("from " + (run / "program").string() + " (pid"), std::string::npos)
            << out;
        EXPECT_TRUE(fs::exists(run / "program/mivora"));
        EXPECT_NE(ReadText(run / "config/user-dirs.dirs").find((run / "Documents").string()),
                  std::string::npos);
        // The newest run is the one linked.
        EXPECT_EQ(fs::canonical(runs / "latest"), fs::canonical(run));
    }
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_NE(folders[0], folders[1]);
    for (const fs::path& run : folders) {
        EXPECT_TRUE(fs::exists(run / "mivora.log")) << run;
        EXPECT_TRUE(fs::exists(run / "world.log")) << run;
        EXPECT_TRUE(fs::exists(run / "screen-0001.png")) << run;
    }
    fs::remove_all(runs);
}

// What the second program writes beside itself (its saved logon, its chat font) stays
// in its own run folder: build/program, which the first program and the tests copy,
// is left as the build laid it out. A stand-in program records where it ran.
TEST(RunScript, SecondProgramRunsFromACopyOfItsOwn) {
    char pattern[] = "/tmp/mivora-second-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path build = pattern;
    fs::create_directories(build / "program");
    {
        std::ofstream stub(build / "program/mivora");
        stub << "#!/bin/sh\n"
                "here=$(cd \"$(dirname \"$0\")\" && pwd)\n"
                "echo \"$here\" > \"$here/ran-in\"\n"
                "echo 10004 > \"$here/saved-logon\"\n";
    }
    fs::permissions(build / "program/mivora", fs::perms::owner_all);
    // A listener stands for the world the script looks for.
    const int world = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(world, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(world, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(listen(world, 4), 0);
    socklen_t length = sizeof at;
    ASSERT_EQ(getsockname(world, reinterpret_cast<sockaddr*>(&at), &length), 0);
    // The script looks for the world's logon port at its base + 1.
    const std::string base = std::to_string(ntohs(at.sin_port) - 1);

    std::vector<fs::path> folders;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE("run " + std::to_string(i + 1));
        const std::string command = "DISPLAY=:0 MIVORA_BUILD_DIR='" + build.string() +
                                    "' MIVORA_WORLD_PORT_BASE=" + base +
                                    " bash '" MIVORA_SOURCE_DIR "/scripts/run-second.sh' 2>&1";
        FILE* script = popen(command.c_str(), "r");
        ASSERT_NE(script, nullptr);
        std::string out;
        char buffer[512];
        while (fgets(buffer, sizeof buffer, script)) out += buffer;
        EXPECT_EQ(pclose(script), 0) << out;
        const fs::path run = RunFolderOf(out);
        ASSERT_FALSE(run.empty()) << out;
        EXPECT_EQ(run.parent_path(), build / "run-second") << out;
        EXPECT_EQ(ReadText(run / "program/ran-in"), (run / "program").string() + "\n");
        EXPECT_TRUE(fs::exists(run / "program/saved-logon"));
        EXPECT_EQ(fs::canonical(build / "run-second/latest"), fs::canonical(run));
        folders.push_back(run);
    }
    close(world);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_NE(folders[0], folders[1]);
    EXPECT_FALSE(fs::exists(build / "program/saved-logon")) << "written into build/program";
    EXPECT_FALSE(fs::exists(build / "program/ran-in")) << "ran from build/program";
    fs::remove_all(build);
}

}  // namespace
