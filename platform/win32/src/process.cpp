#include "win32/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cwctype>
#include <thread>

#include "handles.h"
#include "win32/files.h"
#include "win32/sync.h"
#include "win32/text.h"

extern char** environ;

namespace {

struct ProcessState {
    pid_t pid = 0;
    bool finished = false;  // under the wait lock
    DWORD exitCode = STILL_ACTIVE;
};

// hProcess and hThread: two handles on one child, both signalled when it ends.
struct ProcessObject : winplat::KernelObject {
    std::shared_ptr<ProcessState> state;
    bool IsSignaled() const override { return state->finished; }
};
struct ProcessThreadObject : winplat::KernelObject {
    std::shared_ptr<ProcessState> state;
    bool IsSignaled() const override { return state->finished; }
};

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Windows adds ".exe" to a program name without an extension.
std::vector<std::string> nameVariants(const std::string& name) {
    std::vector<std::string> v{name};
    size_t slash = name.rfind('/');
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.find('.') == std::string::npos) v.push_back(name + ".exe");
    return v;
}

// A program named without a folder is looked for beside our own program, in the
// current folder, in the system folder, then along PATH.
std::string findProgram(const std::string& mapped) {
    if (mapped.find('/') != std::string::npos) {
        for (const std::string& n : nameVariants(mapped))
            if (isRegularFile(n)) return n;
        return std::string();
    }
    std::vector<std::string> dirs;
    wchar_t self[4096];
    if (GetModuleFileNameW(nullptr, self, 4096) > 0)
        dirs.push_back(folderOf(winplat::MapPath(self)));
    dirs.push_back(".");
    dirs.push_back(winplat::SystemFolder());
    if (const char* path = std::getenv("PATH")) {
        std::string p = path;
        size_t start = 0;
        while (start <= p.size()) {
            size_t end = p.find(':', start);
            if (end == std::string::npos) end = p.size();
            dirs.push_back(end > start ? p.substr(start, end - start) : ".");
            start = end + 1;
        }
    }
    for (const std::string& d : dirs)
        for (const std::string& n : nameVariants(mapped))
            if (isRegularFile(d + "/" + n)) return d + "/" + n;
    return std::string();
}

// The C runtime's rules: 2n backslashes before a quote give n and the quote
// toggles quoting; 2n+1 give n and a literal quote; other backslashes are literal.
std::vector<std::wstring> parseArguments(const wchar_t* p) {
    std::vector<std::wstring> args;
    for (;;) {
        while (*p && isSpace(*p)) ++p;
        if (!*p) break;
        std::wstring arg;
        bool quoted = false;
        for (;;) {
            size_t slashes = 0;
            while (*p == L'\\') {
                ++slashes;
                ++p;
            }
            if (*p == L'"') {
                arg.append(slashes / 2, L'\\');
                if (slashes % 2) {
                    arg += L'"';
                    ++p;
                } else if (quoted && p[1] == L'"') {
                    arg += L'"';
                    p += 2;
                } else {
                    quoted = !quoted;
                    ++p;
                }
                continue;
            }
            arg.append(slashes, L'\\');
            if (!*p || (!quoted && isSpace(*p))) break;
            arg += *p++;
        }
        args.push_back(arg);
    }
    return args;
}

std::vector<std::string> environmentBlock(const void* block, bool wide) {
    std::vector<std::string> env;
    if (wide) {
        for (auto* p = static_cast<const wchar_t*>(block); *p; p += std::wcslen(p) + 1)
            env.push_back(winplat::WideToUtf8(p));
    } else {
        for (auto* p = static_cast<const char*>(block); *p; p += std::strlen(p) + 1)
            env.push_back(winplat::WideToUtf8(winplat::AnsiToWide(p)));
    }
    return env;
}

DWORD errorFromSpawn(int err) {
    switch (err) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case ENOEXEC:
            return ERROR_BAD_EXE_FORMAT;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case ENOMEM:
        case EAGAIN:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return winplat::ErrorFromErrno(err);
    }
}

struct SpawnRequest {
    std::string program;
    std::vector<std::string> argv;
    bool noStdHandles = false;
    bool inheritHandles = true;
    std::string directory;
    bool ownEnvironment = false;
    std::vector<std::string> environment;
};

// Starts the child and a reaper that records its end; 0 or an errno value.
int spawnChild(const SpawnRequest& req, std::shared_ptr<ProcessState>& out) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    if (req.noStdHandles) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    if (!req.inheritHandles) posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!req.directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, req.directory.c_str());
    // A child starts with no blocked signals and default handlers, whatever the
    // starting thread had.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& a : req.argv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    if (req.ownEnvironment) {
        for (const std::string& e : req.environment) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
    }
    pid_t pid = 0;
    int rc = posix_spawn(&pid, req.program.c_str(), &actions, &attr, argv.data(),
                         req.ownEnvironment ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return rc;

    auto state = std::make_shared<ProcessState>();
    state->pid = pid;
    try {
        std::thread([state] {
            int status = 0;
            while (::waitpid(state->pid, &status, 0) < 0 && errno == EINTR) {
            }
            std::lock_guard<std::mutex> g(winplat::WaitLock());
            state->exitCode = WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status))
                                                : static_cast<DWORD>(128 + WTERMSIG(status));
            state->finished = true;
            winplat::WaitCondition().notify_all();
        }).detach();
    } catch (...) {
        // No reaper: the child still runs; its end is just not observed.
    }
    out = state;
    return 0;
}

void fillInformation(const std::shared_ptr<ProcessState>& state, LPPROCESS_INFORMATION info) {
    if (!info) return;
    auto p = std::make_shared<ProcessObject>();
    p->state = state;
    auto t = std::make_shared<ProcessThreadObject>();
    t->state = state;
    info->hProcess = winplat::RegisterHandle(p);
    info->hThread = winplat::RegisterHandle(t);
    info->dwProcessId = static_cast<DWORD>(state->pid);
    info->dwThreadId = static_cast<DWORD>(state->pid);
}

}  // namespace

namespace winplat {

bool SplitCommandLine(const wchar_t* commandLine, std::string& program,
                      std::vector<std::string>& arguments) {
    program.clear();
    arguments.clear();
    if (!commandLine) return false;
    const wchar_t* p = commandLine;
    while (*p && isSpace(*p)) ++p;
    if (!*p) return false;
    const wchar_t* rest = nullptr;
    if (*p == L'"') {
        const wchar_t* end = std::wcschr(p + 1, L'"');
        std::wstring token(p + 1, end ? end : p + std::wcslen(p));
        program = findProgram(MapPath(token.c_str()));
        rest = end ? end + 1 : p + std::wcslen(p);
    } else {
        // An unquoted path with spaces: the shortest prefix that names a
        // program wins, as Windows tries them.
        const wchar_t* end = p;
        for (;;) {
            while (*end && !isSpace(*end)) ++end;
            std::wstring token(p, end);
            program = findProgram(MapPath(token.c_str()));
            if (!program.empty() || !*end) break;
            while (*end && isSpace(*end)) ++end;
        }
        if (program.empty()) {
            end = p;
            while (*end && !isSpace(*end)) ++end;
        }
        rest = end;
    }
    if (program.empty()) return false;
    for (const std::wstring& a : parseArguments(rest)) arguments.push_back(WideToUtf8(a));
    return true;
}

}  // namespace winplat

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION info) {
    if (info) *info = PROCESS_INFORMATION{};
    if (creationFlags & CREATE_SUSPENDED) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SpawnRequest req;
    std::vector<std::string> args;
    if (applicationName) {
        req.program = findProgram(winplat::MapPath(applicationName));
        if (commandLine) {
            std::vector<std::wstring> all = parseArguments(commandLine);
            // The command line's first token is the child's own name for itself.
            for (size_t i = 1; i < all.size(); ++i) args.push_back(winplat::WideToUtf8(all[i]));
        }
    } else if (!winplat::SplitCommandLine(commandLine, req.program, args)) {
        req.program.clear();
    }
    if (req.program.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    req.argv.push_back(req.program);
    req.argv.insert(req.argv.end(), args.begin(), args.end());
    req.noStdHandles = startupInfo && (startupInfo->dwFlags & STARTF_USESTDHANDLES);
    req.inheritHandles = inheritHandles != FALSE;
    if (currentDirectory) req.directory = winplat::MapPath(currentDirectory);
    if (environment) {
        req.ownEnvironment = true;
        req.environment =
            environmentBlock(environment, (creationFlags & CREATE_UNICODE_ENVIRONMENT) != 0);
    }
    std::shared_ptr<ProcessState> state;
    int rc = spawnChild(req, state);
    if (rc != 0) {
        SetLastError(errorFromSpawn(rc));
        return FALSE;
    }
    fillInformation(state, info);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    auto p = std::dynamic_pointer_cast<ProcessObject>(winplat::LookupHandle(process));
    if (!p || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(winplat::WaitLock());
    *exitCode = p->state->exitCode;
    return TRUE;
}

UINT WinExec(LPCSTR commandLine, UINT) {
    if (!commandLine) return 0;
    std::wstring line = winplat::AnsiToWide(commandLine);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
                return ERROR_FILE_NOT_FOUND;
            case ERROR_PATH_NOT_FOUND:
                return ERROR_PATH_NOT_FOUND;
            case ERROR_BAD_EXE_FORMAT:
                return ERROR_BAD_FORMAT;
            default:
                return 0;
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 33;
}

namespace {

bool IsWindowsBrowser(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    std::wstring base = slash == std::wstring::npos ? file : file.substr(slash + 1);
    for (wchar_t& c : base) c = static_cast<wchar_t>(std::towlower(c));
    return base == L"iexplore.exe" || base == L"iexplore";
}

}  // namespace

namespace {

// ShellExecuteW's work; `process` (when given) receives the started process.
intptr_t shellExecute(LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                      HANDLE* process) {
    if (!file || !*file) return SE_ERR_FNF;
    std::wstring f = file;
    bool open = !operation || std::wcscmp(operation, L"open") == 0;
    // The Windows browser named with an address: the address goes to the desktop's browser.
    if (open && IsWindowsBrowser(f) && parameters && *parameters) f = parameters;
    bool address = f.find(L"://") != std::wstring::npos || f.compare(0, 7, L"mailto:") == 0;
    if (!address && open) {
        std::string program = findProgram(winplat::MapPath(file));
        if (!program.empty() && ::access(program.c_str(), X_OK) == 0) {
            std::wstring line = L"\"" + f + L"\"";
            if (parameters && *parameters) line += L" " + std::wstring(parameters);
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory,
                                &si, &pi))
                return GetLastError() == ERROR_ACCESS_DENIED ? SE_ERR_ACCESSDENIED : SE_ERR_FNF;
            CloseHandle(pi.hThread);
            if (process)
                *process = pi.hProcess;
            else
                CloseHandle(pi.hProcess);
            return 42;
        }
    }
    std::string target = address ? winplat::WideToUtf8(f) : winplat::MapPath(file);
    if (!address) {
        struct stat st {};
        if (::stat(target.c_str(), &st) != 0) return SE_ERR_FNF;
    }
    SpawnRequest req;
    req.program = findProgram("xdg-open");
    if (req.program.empty()) return SE_ERR_NOASSOC;
    req.argv = {req.program, target};
    req.noStdHandles = true;
    req.inheritHandles = false;
    std::shared_ptr<ProcessState> state;
    if (spawnChild(req, state) != 0) return SE_ERR_NOASSOC;
    if (process) {
        PROCESS_INFORMATION pi{};
        fillInformation(state, &pi);
        CloseHandle(pi.hThread);
        *process = pi.hProcess;
    }
    return 42;
}

DWORD errorOfShellCode(intptr_t code) {
    switch (code) {
        case SE_ERR_FNF:
            return ERROR_FILE_NOT_FOUND;
        case SE_ERR_PNF:
            return ERROR_PATH_NOT_FOUND;
        case SE_ERR_ACCESSDENIED:
            return ERROR_ACCESS_DENIED;
        default:
            return ERROR_NO_ASSOCIATION;
    }
}

}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT) {
    return reinterpret_cast<HINSTANCE>(
        shellExecute(operation, file, parameters, directory, nullptr));
}

BOOL ShellExecuteExW(LPSHELLEXECUTEINFOW info) {
    if (!info || info->cbSize != sizeof *info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hProcess = nullptr;
    HANDLE process = nullptr;
    const intptr_t code =
        shellExecute(info->lpVerb, info->lpFile, info->lpParameters, info->lpDirectory,
                     (info->fMask & SEE_MASK_NOCLOSEPROCESS) ? &process : nullptr);
    info->hInstApp = reinterpret_cast<HINSTANCE>(code);
    if (code <= 32) {
        SetLastError(errorOfShellCode(code));
        return FALSE;
    }
    info->hProcess = process;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
