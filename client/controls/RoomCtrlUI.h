// The room window's microphone and speaker panel: take and leave the microphone,
// mute microphone and speaker, songs, settings, and the recording-line and master
// volume sliders, which drive the system mixer. The room handles the buttons' clicks
// and calls the operations here.
#pragma once

#include "fenlo/UIlib.h"

class CMyWaveInCtrl;

class CRoomCtrlUI : public DuiLib::CContainerUI {
public:
    CRoomCtrlUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // Builds the panel's content from its own layout ("roomctrl.xml",
    // "roomctrl2.xml") and looks its parts up.
    void Build(LPCTSTR layout);
    // "valuechanged" of "speakslider" and "micslider": the slider's 0..100 onto the
    // mixer's 0..65535.
    void OnSpeakerSlider();
    void OnMicSlider();
    // Opens the mixers again, selects the microphone and shows their volumes.
    void ReloadAudioDevice();
    // The mute check boxes from the user environment's flags.
    void RefreshMuteButtons();

    // The parts, null until built (the room reads them directly); not owned.
    DuiLib::CButtonUI* m_pUpMicBtn = nullptr;        // "upmicbtn"
    DuiLib::CButtonUI* m_pDownMicBtn = nullptr;      // "downmicbtn"
    DuiLib::CCheckBoxUI* m_pMuteMicBtn = nullptr;    // "mutemicbtn"
    DuiLib::CCheckBoxUI* m_pMuteSpeakBtn = nullptr;  // "mutespeakbtn"
    DuiLib::CButtonUI* m_pGequBtn = nullptr;         // "gequbtn"
    DuiLib::CButtonUI* m_pSettingBtn = nullptr;      // "settingbtn"
    DuiLib::CSliderUI* m_pMicSlider = nullptr;       // "micslider"
    DuiLib::CSliderUI* m_pSpeakSlider = nullptr;     // "speakslider"

private:
    // The session's mixer control, or null before the session exists.
    static CMyWaveInCtrl* Mixer();
};
