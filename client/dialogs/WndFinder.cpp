#include "dialogs/WndFinder.h"

#include <cwchar>
#include <memory>
#include <string>

#include "config/GLobalConfigFile.h"
#include "dialogs/WebFrame.h"
#include "kernel/CommKernel.h"
#include "lobby/LaterWindows.h"
#include "lobby/WndLobby.h"
#include "util/LogPrint.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndFinder",   L"WndFinder.xml", kMsgStandard,
                               ScClose::kQuit, Lifetime::kModal, false};

const wchar_t kRoomLink[] = L"enterchatroom://";
constexpr size_t kGateChars = sizeof(tagJoinRoomPost::szGateAddr) / sizeof(wchar_t) - 1;

// A room id is 1 to 2^31-1 written in decimal digits only.
bool ParseRoomId(const std::wstring& text, int32_t& id) {
    if (text.empty() || text.size() > 10) return false;
    long long v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        v = v * 10 + (c - L'0');
    }
    if (v < 1 || v > 0x7FFFFFFF) return false;
    id = static_cast<int32_t>(v);
    return true;
}

// The gate list "host:port;host:port..." as far as it fits the block: a longer list
// keeps its whole entries only. False when not even the first entry fits.
bool FitGate(std::wstring& gate) {
    if (gate.size() <= kGateChars) return true;
    size_t cut = gate.rfind(L';', kGateChars);
    if (cut == std::wstring::npos || cut == 0) return false;
    gate.resize(cut);
    return true;
}

HWND LobbyWindow() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel->m_pWndTable || !kernel->m_pWndTable[1]) return nullptr;
    return static_cast<CWindowWnd*>(kernel->m_pWndTable[1])->GetHWND();
}
}  // namespace

const SkinWndTraits& CWndFinder::Traits() const {
    return kTraits;
}

void CWndFinder::InitWindow() {
    CSkinWnd::InitWindow();
    OpenWebFrame(*this, L"ielobby", this, GlobalConfig().find_url);
}

void CWndFinder::BeforeNavigate2(CWebBrowserUI*, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                                 bool& cancel) {
    std::wstring link = url ? url : L"";
    if (!StartsWithNoCase(link, kRoomLink)) return;
    cancel = true;
    std::wstring rest = link.substr(std::wcslen(kRoomLink));
    size_t comma = rest.find(L',');
    int32_t roomId = 0;
    std::wstring gate = comma == std::wstring::npos ? L"" : rest.substr(comma + 1);
    // A bad link must not send the lobby to room 0 (which leaves the current room).
    if (comma == std::wstring::npos || !ParseRoomId(rest.substr(0, comma), roomId) ||
        !FitGate(gate)) {
        __log_print__("tag_finder: 房间链接无效, 忽略.");
        return;
    }
    HWND lobby = LobbyWindow();
    if (!lobby) return;
    auto* post = new tagJoinRoomPost{};
    post->nRoomId = roomId;
    post->nFlag = 1;
    std::wmemcpy(post->szGateAddr, gate.c_str(), gate.size());
    if (!::PostMessageW(lobby, UM_FINDER_JOIN_ROOM, 0, reinterpret_cast<LPARAM>(post))) {
        delete post;
        return;
    }
    Close(1);
}

void RunFinderWindowImpl(HWND lobby) {
    auto wnd = std::make_unique<CWndFinder>();
    if (!wnd->Create(lobby, L"查找", 0x96C80000, 0, 0, 0, 0, 0)) return;
    wnd->CenterWindow();
    wnd->ShowModal();
}
