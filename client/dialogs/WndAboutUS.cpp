#include "dialogs/WndAboutUS.h"

#include "app/SkinFrame.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {
    "CWndAboutUS",
    L"WndAboutUs.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};
}  // namespace

const SkinWndTraits& CWndAboutUS::Traits() const {
    return kTraits;
}

void CWndAboutUS::InitWindow() {
    CSkinWnd::InitWindow();
    m_pConfirmBtn = Find(L"btn_confirm");
    ApplySkinFrame(m_pWinBG);
}

void CWndAboutUS::OnClick(TNotifyUI& msg) {
    if (msg.pSender && (msg.pSender == m_pCloseBtn || msg.pSender == m_pConfirmBtn)) Close(1);
}
