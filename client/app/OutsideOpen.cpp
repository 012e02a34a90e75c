#include "app/OutsideOpen.h"

#include <map>
#include <utility>

namespace {

const wchar_t kNoBrowser[] = L"无法打开网页：没有找到可用的浏览器！";
// An opener that fails this soon found nothing to open the page with; one that ends
// later was the browser itself, closed by the user.
constexpr DWORD kVerdictMs = 10000;
constexpr UINT kCheckMs = 200;

struct Watch {
    HANDLE opener = nullptr;
    DWORD started = 0;
    HWND owner = nullptr;
    OpenFailed failed;
};

// Openers still running, by the thread timer that looks at them.
std::map<UINT_PTR, Watch>& Watches() {
    static std::map<UINT_PTR, Watch> watches;
    return watches;
}

void CALLBACK CheckOpener(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Watches().find(id);
    if (it == Watches().end()) {
        ::KillTimer(nullptr, id);
        return;
    }
    DWORD code = STILL_ACTIVE;
    const bool ended = ::GetExitCodeProcess(it->second.opener, &code) && code != STILL_ACTIVE;
    const bool late = ::GetTickCount() - it->second.started >= kVerdictMs;
    if (!ended && !late) return;
    ::KillTimer(nullptr, id);
    Watch watch = std::move(it->second);
    Watches().erase(it);
    ::CloseHandle(watch.opener);
    if (!ended || code == 0) return;
    if (watch.owner && !::IsWindow(watch.owner)) return;
    if (watch.failed) watch.failed(kNoBrowser);
}

}  // namespace

void OpenWebPage(const wchar_t* address, HWND owner, OpenFailed failed) {
    if (!address || !*address) return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = address;
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        if (failed) failed(kNoBrowser);
        return;
    }
    if (!info.hProcess) return;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kCheckMs, CheckOpener);
    if (!timer) {
        ::CloseHandle(info.hProcess);
        return;
    }
    Watches()[timer] = Watch{info.hProcess, ::GetTickCount(), owner, std::move(failed)};
}

std::wstring MissingProgramText(const wchar_t* what) {
    return std::wstring(L"无法启动") + (what ? what : L"") + L"：程序不存在！";
}

bool StartOutsideProgram(const std::wstring& commandLine, DWORD flags, const wchar_t* what,
                         const OpenFailed& failed) {
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (line.empty() || !::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, flags,
                                          nullptr, nullptr, &si, &pi)) {
        if (failed) failed(MissingProgramText(what));
        return false;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}
