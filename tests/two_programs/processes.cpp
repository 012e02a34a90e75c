#include "processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace twoprograms {
namespace {

// This process's environment with `env` laid over it, as "KEY=VALUE" texts.
std::vector<std::string> MergedEnvironment(const Environment& env) {
    std::vector<std::string> out;
    for (char** e = environ; *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq && env.count(std::string(*e, static_cast<size_t>(eq - *e)))) continue;
        out.emplace_back(*e);
    }
    for (const auto& kv : env) out.push_back(kv.first + "=" + kv.second);
    return out;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& t : texts) out.push_back(&t[0]);
    out.push_back(nullptr);
    return out;
}

pid_t Spawn(const std::vector<std::string>& argv, const Environment& env,
            posix_spawn_file_actions_t* actions) {
    std::vector<std::string> args = argv;
    std::vector<std::string> vars = MergedEnvironment(env);
    std::vector<char*> a = Pointers(args);
    std::vector<char*> v = Pointers(vars);
    pid_t pid = -1;
    if (posix_spawnp(&pid, a[0], actions, nullptr, a.data(), v.data()) != 0) return -1;
    return pid;
}

}  // namespace

Child::~Child() {
    if (!Running()) return;
    Signal(SIGTERM);
    if (Wait(std::chrono::seconds(10)) < 0) {
        Signal(SIGKILL);
        Wait(std::chrono::seconds(10));
    }
}

bool Child::Start(const std::vector<std::string>& argv, const Environment& env,
                  const std::string& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    m_pid = Spawn(argv, env, &actions);
    posix_spawn_file_actions_destroy(&actions);
    m_status = -1;
    return m_pid > 0;
}

bool Child::Running() {
    if (m_pid <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == 0) return true;
    if (r == m_pid) m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    m_pid = -1;
    return false;
}

void Child::Signal(int signal) {
    if (Running()) kill(m_pid, signal);
}

int Child::Wait(std::chrono::milliseconds bound) {
    if (!WaitFor([this] { return !Running(); }, bound)) return -1;
    return m_status;
}

std::string Capture(const std::vector<std::string>& argv, const Environment& env, int* exitStatus) {
    if (exitStatus) *exitStatus = -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const pid_t pid = Spawn(argv, env, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    if (pid > 0) {
        char buffer[4096];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
            out.append(buffer, static_cast<size_t>(n));
        int status = 0;
        waitpid(pid, &status, 0);
        if (exitStatus) *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    close(fds[0]);
    return out;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto until = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace twoprograms
