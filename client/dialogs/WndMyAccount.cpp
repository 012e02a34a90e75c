#include "dialogs/WndMyAccount.h"

#include <string>

#include "config/GLobalConfigFile.h"
#include "controls/KernelData.h"
#include "dialogs/WebFrame.h"

namespace {
const SkinWndTraits kTraits = {"CWndMyAccount", L"WndMyAccount.xml",     kMsgStandard,
                               ScClose::kQuit,  Lifetime::kSelfDeleting, false};
}  // namespace

const SkinWndTraits& CWndMyAccount::Traits() const {
    return kTraits;
}

void CWndMyAccount::InitWindow() {
    CSkinWnd::InitWindow();
    std::wstring address =
        std::wstring(GlobalConfig().myacc_url) + L"?nuserid=" + std::to_wstring(LocalUserId());
    OpenWebFrame(*this, L"ielobby", this, address);
}
