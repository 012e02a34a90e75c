// Child processes of the two-program test: started with an environment of their own
// and their output in a log file, waited for by condition, stopped at the end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace twoprograms {

using Environment = std::map<std::string, std::string>;

// A started program; stopped (TERM, then KILL) when still running at destruction.
class Child {
public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Starts `argv` with this process's environment plus `env`, standard output and
    // error into `log`. False when it could not be started.
    bool Start(const std::vector<std::string>& argv, const Environment& env,
               const std::string& log);
    bool Running();
    // Sends `signal` (when running).
    void Signal(int signal);
    // Waits up to `bound` for the end; the exit status, 128 + signal, or -1 when still
    // running.
    int Wait(std::chrono::milliseconds bound);
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_status = -1;
};

// Runs a short tool to its end and returns its standard output ("" when it failed).
std::string Capture(const std::vector<std::string>& argv, const Environment& env = {},
                    int* exitStatus = nullptr);

// Polls `done` until it holds or `bound` passed.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound);

std::string ReadFile(const std::string& path);

}  // namespace twoprograms
