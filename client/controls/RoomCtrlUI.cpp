#include "controls/RoomCtrlUI.h"

#include <cwchar>

#include "controls/KernelData.h"
#include "services/MyWaveInCtrl.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

// The part of that name and kind in the built tree; a part of another kind counts
// as missing.
template <class T>
T* FindPart(CControlUI* root, LPCTSTR name, LPCTSTR iface) {
    if (!root) return nullptr;
    CControlUI* c = nullptr;
    if (root->GetName() == name) {
        c = root;
    } else if (auto* box = static_cast<CContainerUI*>(root->GetInterface(L"Container"))) {
        c = box->FindSubControl(name);
    }
    return c ? static_cast<T*>(c->GetInterface(iface)) : nullptr;
}

// Slider 0..100 onto the mixer's 0..65535 (655.35 a step, truncated).
int SliderToVolume(int value) {
    return static_cast<int>(value * 655.35);
}

// The mixer's 0..65535 onto a slider; -1 (nothing to read) shows as 0.
int VolumeToSlider(int volume) {
    return volume * 100 / 65535;
}

}  // namespace

CRoomCtrlUI::CRoomCtrlUI() = default;

LPCTSTR CRoomCtrlUI::GetClass() const {
    return L"RoomCtrlUI";
}

LPVOID CRoomCtrlUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"RoomCtrl") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

CMyWaveInCtrl* CRoomCtrlUI::Mixer() {
    CCommKernelData* data = KernelData();
    return data ? data->m_pWaveInCtrl : nullptr;
}

void CRoomCtrlUI::Build(LPCTSTR layout) {
    // The panel's own layout has none of the program's controls.
    CDialogBuilder builder;
    CControlUI* root = builder.Create(layout, nullptr, nullptr, nullptr, nullptr);
    if (!root) return;
    Add(root);
    m_pUpMicBtn = FindPart<CButtonUI>(root, L"upmicbtn", L"Button");
    m_pDownMicBtn = FindPart<CButtonUI>(root, L"downmicbtn", L"Button");
    m_pMuteMicBtn = FindPart<CCheckBoxUI>(root, L"mutemicbtn", L"CheckBox");
    m_pMuteSpeakBtn = FindPart<CCheckBoxUI>(root, L"mutespeakbtn", L"CheckBox");
    m_pGequBtn = FindPart<CButtonUI>(root, L"gequbtn", L"Button");
    m_pSettingBtn = FindPart<CButtonUI>(root, L"settingbtn", L"Button");
    m_pMicSlider = FindPart<CSliderUI>(root, L"micslider", L"Slider");
    m_pSpeakSlider = FindPart<CSliderUI>(root, L"speakslider", L"Slider");
}

void CRoomCtrlUI::OnSpeakerSlider() {
    CMyWaveInCtrl* mixer = Mixer();
    if (!mixer || !m_pSpeakSlider) return;
    mixer->SetMasterVolume(SliderToVolume(m_pSpeakSlider->GetValue()));
}

void CRoomCtrlUI::OnMicSlider() {
    CMyWaveInCtrl* mixer = Mixer();
    if (!mixer || !m_pMicSlider) return;
    mixer->SetInXXXVolume(SliderToVolume(m_pMicSlider->GetValue()));
}

void CRoomCtrlUI::ReloadAudioDevice() {
    CMyWaveInCtrl* mixer = Mixer();
    if (!mixer) return;
    mixer->Uninit();
    mixer->Init();
    mixer->SelectMicMode();
    if (m_pMicSlider) m_pMicSlider->SetValue(VolumeToSlider(mixer->GetInXXXVolume()));
    if (m_pSpeakSlider) m_pSpeakSlider->SetValue(VolumeToSlider(mixer->GetMasterVolume()));
}

void CRoomCtrlUI::RefreshMuteButtons() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    if (m_pMuteMicBtn) m_pMuteMicBtn->SetCheck(data->m_UserEnv.m_bMuteMic);
    if (m_pMuteSpeakBtn) m_pMuteSpeakBtn->SetCheck(data->m_UserEnv.m_bMuteSpeak);
}
