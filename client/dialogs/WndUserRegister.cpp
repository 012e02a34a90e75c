#include "dialogs/WndUserRegister.h"

#include <cwchar>
#include <memory>

#include "config/GLobalConfigFile.h"
#include "dialogs/WebFrame.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndUserRegister", L"WndUserRegister.xml", kMsgStandard,
                               ScClose::kQuit,     Lifetime::kModal,       false};
const wchar_t kAppLink[] = L"app:";
}  // namespace

const SkinWndTraits& CWndUserRegister::Traits() const {
    return kTraits;
}

void CWndUserRegister::InitWindow() {
    CSkinWnd::InitWindow();
    OpenWebFrame(*this, L"ielobby", this, GlobalConfig().userreg_url);
}

void CWndUserRegister::BeforeNavigate2(CWebBrowserUI*, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR,
                                       LPCTSTR, bool& cancel) {
    std::wstring link = url ? url : L"";
    if (!StartsWithNoCase(link, kAppLink)) return;
    cancel = true;
    std::wstring rest = link.substr(std::wcslen(kAppLink));
    size_t colon = rest.find(L':');
    if (colon == std::wstring::npos) {
        m_strAccount.clear();
        m_strPassword = rest;
    } else {
        m_strAccount = rest.substr(0, colon);
        m_strPassword = rest.substr(colon + 1);
    }
    m_bHasResult = true;
    Close(1);
}

bool RunUserRegisterWindowImpl(HWND parent, std::wstring& account, std::wstring& password) {
    auto wnd = std::make_unique<CWndUserRegister>();
    if (!wnd->Create(parent, L"注册", 0x96C80000, 0, 0, 0, 0, 0)) return false;
    wnd->CenterWindow();
    wnd->ShowModal();
    if (!wnd->HasResult()) return false;
    account = wnd->GetAccount();
    password = wnd->GetPassword();
    return true;
}
