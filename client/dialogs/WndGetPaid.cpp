#include "dialogs/WndGetPaid.h"

#include <string>

#include "config/GLobalConfigFile.h"
#include "controls/KernelData.h"
#include "dialogs/WebFrame.h"

namespace {
const SkinWndTraits kTraits = {"CWndGetPaid",  L"WndGetPaid.xml",       kMsgStandard,
                               ScClose::kQuit, Lifetime::kSelfDeleting, false};
}  // namespace

const SkinWndTraits& CWndGetPaid::Traits() const {
    return kTraits;
}

void CWndGetPaid::InitWindow() {
    CSkinWnd::InitWindow();
    std::wstring address = std::wstring(GlobalConfig().getpaid_url) + L"?roomid=" +
                           std::to_wstring(CurrentRoomId()) + L"&nuserid=" +
                           std::to_wstring(LocalUserId());
    OpenWebFrame(*this, L"ielobby", nullptr, address);
}
