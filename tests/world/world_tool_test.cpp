// The localworld tool as a person runs it: ready line, and a clean end on a signal.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "world_client.h"

namespace worldtest {
namespace {

// The tool on free ports, its standard output on a pipe.
struct Tool {
    pid_t pid = -1;
    int out = -1;
    std::string seen;

    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            execl(LOCALWORLD_TOOL, LOCALWORLD_TOOL, "--port-base", "0",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        out = fds[0];
        return pid > 0;
    }
    // Reads until `text` was printed; false after 10 s or at the end of the output.
    bool AwaitOutput(const std::string& text) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (seen.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd p{out, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
            char buffer[512];
            ssize_t n = read(out, buffer, sizeof buffer);
            if (n <= 0) return false;
            seen.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }
    // The exit status, or -1 when it has not ended within 10 s.
    int AwaitExit() {
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    ~Tool() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (out >= 0) close(out);
    }
};

int PortAfter(const std::string& text, const std::string& name) {
    const size_t at = text.find(name + " ");
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + name.size() + 1);
}

TEST(LocalWorldTool, EndsWithZeroOnEitherStopSignal) {
    for (int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        Tool tool;
        ASSERT_TRUE(tool.Start());
        ASSERT_TRUE(tool.AwaitOutput("localworld: ready")) << tool.seen;
        ASSERT_TRUE(tool.AwaitOutput("\n"));
        EXPECT_NE(tool.seen.find("version 1.0.0.1"), std::string::npos) << tool.seen;
        // It serves: a refused logon is answered and logged.
        const int logon = PortAfter(tool.seen, "logon");
        ASSERT_GT(logon, 0) << tool.seen;
        RawClient client(static_cast<uint16_t>(logon), 103);
        client.Send(LogonRequest(55555, "x"));
        Frame f;
        ASSERT_TRUE(client.Next(f));
        EXPECT_EQ(f.subCmd, 4);
        ASSERT_TRUE(tool.AwaitOutput("logon 103/3"));

        kill(tool.pid, sig);
        EXPECT_EQ(tool.AwaitExit(), 0);
        EXPECT_TRUE(tool.AwaitOutput("localworld: stopped")) << tool.seen;
    }
}

}  // namespace
}  // namespace worldtest
