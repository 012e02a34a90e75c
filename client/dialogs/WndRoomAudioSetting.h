// A volume panel the program carries but does not open: microphone and master volume
// sliders on the system mixer, and two mute boxes.
#pragma once

#include "dialogs/RoomAvPanelBase.h"

class CWndRoomAudioSetting : public CRoomAvPanelBase {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CSliderUI* m_pMicSlider = nullptr;
    DuiLib::CSliderUI* m_pSpeakSlider = nullptr;
};
