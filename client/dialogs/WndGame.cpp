#include "dialogs/WndGame.h"

#include <utility>

#include "dialogs/WebFrame.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndGame",     L"WndGame.xml",          kMsgStandard,
                               ScClose::kQuit, Lifetime::kSelfDeleting, false};
}  // namespace

CWndGame::CWndGame(std::wstring address, std::wstring title)
    : m_strUrl(std::move(address)), m_strTitle(std::move(title)) {}

const SkinWndTraits& CWndGame::Traits() const {
    return kTraits;
}

void CWndGame::InitWindow() {
    CSkinWnd::InitWindow();
    m_pTitle = Find(L"game_title");
    m_pMinBtn = Find(L"btnmin");
    m_pMaxBtn = Find(L"btnmax");
    m_pRestoreBtn = Find(L"btnrestore");
    if (m_pTitle) m_pTitle->SetText(m_strTitle.c_str());
    OpenWebFrame(*this, L"ielobby_game", this, m_strUrl);
}

void CWndGame::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pMaxBtn)
        SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (msg.pSender == m_pMinBtn)
        SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (msg.pSender == m_pRestoreBtn)
        SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0);
    else
        CSkinWnd::OnClick(msg);
}

LRESULT CWndGame::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    LRESULT result = CSkinWnd::OnSysCommand(uMsg, wParam, lParam, bHandled);
    // The template swaps "maxbtn"/"restorebtn"; this layout names its pair otherwise.
    if (::IsWindow(m_hWnd) && (wParam & 0xFFF0) != SC_CLOSE) {
        bool zoomed = ::IsZoomed(m_hWnd) != FALSE;
        if (m_pMaxBtn) m_pMaxBtn->SetVisible(!zoomed);
        if (m_pRestoreBtn) m_pRestoreBtn->SetVisible(zoomed);
    }
    return result;
}

namespace {
// The lobby's one game window (its owner slot).
CWndGame* g_pWndGame = nullptr;
}  // namespace

void OpenGameWindowImpl(HWND, const std::wstring& url, const std::wstring& title) {
    if (g_pWndGame) {
        g_pWndGame->ShowWindow(true, true);
        return;
    }
    auto* wnd = new CWndGame(url, title);
    wnd->SetOwnerSlot(&g_pWndGame);
    g_pWndGame = wnd;
    if (!wnd->Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
        if (g_pWndGame == wnd) {
            g_pWndGame = nullptr;
            delete wnd;
        }
        return;
    }
    wnd->CenterWindow();
    wnd->ShowWindow(true, true);
}
