// The room's audio/video panel: the video smoothness mode, the volume mixer and the way
// to the camera page of the user settings.
#pragma once

#include "dialogs/RoomAvPanelBase.h"

class CWndRoomAudioSetting3 : public CRoomAvPanelBase {
public:
    const SkinWndTraits& Traits() const override;
    // Stores the mode, applies it to the room's media session and shows the outcome.
    void SetVideoSmooth(int mode);

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CControlUI* m_pTip = nullptr;
};
