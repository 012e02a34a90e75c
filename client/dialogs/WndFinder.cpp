#include "dialogs/WndFinder.h"

#include <cwchar>
#include <memory>
#include <string>

#include "app/TrustedGates.h"
#include "config/GLobalConfigFile.h"
#include "dialogs/DialogMessages.h"
#include "controls/RoomLink.h"
#include "dialogs/WebFrame.h"
#include "kernel/CommKernel.h"
#include "util/LogPrint.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndFinder",   L"WndFinder.xml", kMsgStandard,
                               ScClose::kQuit, Lifetime::kModal, false};

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

void CWndFinder::BeforeNavigate2(CWebBrowserUI* pWeb, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                                 bool& cancel) {
    const std::wstring address = url ? url : L"";
    if (!IsRoomLinkWord(address)) return;
    cancel = true;
    // A bad link must not send the lobby to room 0 (which leaves the current room).
    const auto link = ParseRoomLink(address);
    if (!link) {
        __log_print__("tag_finder: 房间链接无效, 忽略.");
        return;
    }
    const std::wstring page = pWeb ? pWeb->GetLocationUrl().GetData() : L"";
    if (!AcceptRoomLink(*link, page, "finder")) {
        ::MessageBoxW(m_hWnd, kUnknownGateHint, L"提示:", MB_OK | MB_ICONINFORMATION);
        return;
    }
    HWND lobby = LobbyWindow();
    if (!lobby) return;
    auto* post = new tagJoinRoomPost{};
    post->nRoomId = link->roomId;
    post->nFlag = 1;
    static_assert(sizeof(tagJoinRoomPost::szGateAddr) / sizeof(wchar_t) > kRoomLinkGateChars);
    link->gate.text.copy(post->szGateAddr, kRoomLinkGateChars);
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
