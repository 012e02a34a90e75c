#include "dialogs/WndSelSkin.h"

#include <cstdio>
#include <string>

#include "app/ClientApp.h"
#include "app/LobbyLink.h"
#include "app/SkinFrame.h"
#include "app/SkinTable.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {
    "CWndSelSkin",
    L"WndSelSkin.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};

// Writes the id into "skin.txt" of the per-user folder; nothing without that folder.
void StoreSkinChoice(int id) {
    const std::wstring folder = theApp.GetUserDataPath();
    if (folder.empty()) return;
    const std::wstring path = folder + L"\\skin.txt";
    const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return;
    std::string ansi(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &ansi[0], n, nullptr, nullptr);
    FILE* f = winplat::OpenFileMapped(ansi.c_str(), "w");
    if (!f) return;
    std::fprintf(f, "%d", id);
    std::fclose(f);
}
}  // namespace

const SkinWndTraits& CWndSelSkin::Traits() const {
    return kTraits;
}

LRESULT CWndSelSkin::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    LRESULT r = CSkinWnd::OnCreate(uMsg, wParam, lParam, bHandled);
    ::SetWindowTextW(m_hWnd, L"选择皮肤");
    return r;
}

void CWndSelSkin::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
}

void CWndSelSkin::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pCloseBtn) {
        // The chooser stays for the next request.
        ShowWindow(false, false);
        return;
    }
    if (msg.pSender->GetName() == L"btnskin") ChooseSkin(static_cast<int>(msg.pSender->GetTag()));
}

void CWndSelSkin::ChooseSkin(int id) {
    SelectSkin(id);
    StoreSkinChoice(id);
    LobbyApplySkin();
    ApplySkinFrame(m_pWinBG);
}
