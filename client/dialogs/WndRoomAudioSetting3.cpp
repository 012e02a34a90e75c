#include "dialogs/WndRoomAudioSetting3.h"

#include <cwchar>

#include "config/UserEnvSetting.h"
#include "controls/KernelData.h"

using namespace DuiLib;

namespace {
const wchar_t* const kSmoothOptions[3] = {L"optionvideosmooth1", L"optionvideosmooth2",
                                          L"optionvideosmooth3"};
}  // namespace

const SkinWndTraits& CWndRoomAudioSetting3::Traits() const {
    static const SkinWndTraits traits{
        "CWndRoomAudioSetting3", L"WndRoomAudioSetting3.xml", kMsgStandard,
        ScClose::kClose,         Lifetime::kSelfDeleting,     false};
    return traits;
}

void CWndRoomAudioSetting3::InitWindow() {
    CRoomAvPanelBase::InitWindow();
    m_pTip = Find(L"modvideotip");
    CUserEnvSetting* env = UserEnv();
    const int mode = env ? env->m_nVideoSmooth : 0;
    if (mode >= 1 && mode <= 3)
        if (CControlUI* c = Find(kSmoothOptions[mode - 1]))
            if (auto* option = static_cast<COptionUI*>(c->GetInterface(L"Option")))
                option->Selected(true, false);
}

void CWndRoomAudioSetting3::SetVideoSmooth(int mode) {
    if (CUserEnvSetting* env = UserEnv()) env->m_nVideoSmooth = mode;
    if (m_pTip) m_pTip->SetText(L"设置中...");
    const int result = m_apply ? m_apply() : -10;
    if (!m_pTip) return;
    if (result == 0) {
        m_pTip->SetText(L"设置成功！");
    } else if (result == -10) {
        m_pTip->SetText(L"设置失败！");
    } else {
        m_pTip->SetText(winplat::FormatText(L"设置失败[%d]！", result).c_str());
    }
}

void CWndRoomAudioSetting3::OnClick(TNotifyUI& msg) {
    const CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    for (int i = 0; i < 3; ++i) {
        if (name == kSmoothOptions[i]) {
            SetVideoSmooth(i + 1);
            return;
        }
    }
    if (name == L"optionmic" || name == L"optionmix") return;
    CRoomAvPanelBase::OnClick(msg);
}
