#include "dialogs/WndWellcomTip.h"

#include "config/GLobalConfigFile.h"
#include "dialogs/WebFrame.h"

namespace {
const SkinWndTraits kTraits = {"CWndWellcomTip", L"WndWellcome.xml",      kMsgStandard,
                               ScClose::kQuit,   Lifetime::kSelfDeleting, false};
}  // namespace

const SkinWndTraits& CWndWellcomTip::Traits() const {
    return kTraits;
}

void CWndWellcomTip::OnPrepare() {
    OpenWebFrame(*this, L"ielobby", nullptr, GlobalConfig().welltip_url);
}
