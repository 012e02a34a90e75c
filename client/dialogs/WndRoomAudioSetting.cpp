#include "dialogs/WndRoomAudioSetting.h"

#include "controls/KernelData.h"
#include "services/MyWaveInCtrl.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {
CSliderUI* Slider(CControlUI* c) {
    return c ? static_cast<CSliderUI*>(c->GetInterface(L"Slider")) : nullptr;
}
void Check(CControlUI* c, bool on) {
    if (auto* box = c ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr)
        box->SetCheck(on, false);
}
}  // namespace

const SkinWndTraits& CWndRoomAudioSetting::Traits() const {
    static const SkinWndTraits traits{
        "CWndRoomAudioSetting", L"WndRoomAudioSetting.xml", kMsgStandard,
        ScClose::kClose,        Lifetime::kSelfDeleting,    false};
    return traits;
}

void CWndRoomAudioSetting::InitWindow() {
    CRoomAvPanelBase::InitWindow();
    m_pMicSlider = Slider(Find(L"micslider"));
    m_pSpeakSlider = Slider(Find(L"speakslider"));
    CCommKernelData* data = KernelData();
    if (!data) return;
    Check(Find(L"mutemicbtn"), data->m_UserEnv.m_bMuteMic);
    Check(Find(L"mutespeakbtn"), data->m_UserEnv.m_bMuteSpeak);
    CMyWaveInCtrl* mixer = data->m_pWaveInCtrl;
    if (!mixer) return;
    mixer->Uninit();
    mixer->Init();
    mixer->SelectMicMode();
    if (m_pMicSlider) m_pMicSlider->SetValue(mixer->GetInXXXVolume() * 100 / 65535);
    if (m_pSpeakSlider) m_pSpeakSlider->SetValue(mixer->GetMasterVolume() * 100 / 65535);
}

void CWndRoomAudioSetting::OnNotify(TNotifyUI& msg) {
    if (msg.sType != DUI_MSGTYPE_VALUECHANGED) return;
    CCommKernelData* data = KernelData();
    CMyWaveInCtrl* mixer = data ? data->m_pWaveInCtrl : nullptr;
    if (!mixer) return;
    if (msg.pSender == m_pSpeakSlider && m_pSpeakSlider)
        mixer->SetMasterVolume(static_cast<int>(m_pSpeakSlider->GetValue() * 655.35));
    else if (msg.pSender == m_pMicSlider && m_pMicSlider)
        mixer->SetInXXXVolume(static_cast<int>(m_pMicSlider->GetValue() * 655.35));
}
