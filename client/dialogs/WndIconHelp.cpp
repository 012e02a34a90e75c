#include "dialogs/WndIconHelp.h"

#include "config/GLobalConfigFile.h"
#include "dialogs/WebFrame.h"

namespace {
const SkinWndTraits kTraits = {"CWndIconHelp", L"WndIconHelp.xml",      kMsgStandard,
                               ScClose::kQuit, Lifetime::kSelfDeleting, false};
}  // namespace

const SkinWndTraits& CWndIconHelp::Traits() const {
    return kTraits;
}

void CWndIconHelp::InitWindow() {
    CSkinWnd::InitWindow();
    OpenWebFrame(*this, L"ielobby", nullptr, GlobalConfig().iconhelp_url);
}
