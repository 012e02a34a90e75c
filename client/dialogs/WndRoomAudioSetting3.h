// The room's audio/video panel: the video smoothness mode, the volume mixer and the way
// to the camera page of the user settings.
#pragma once

#include <functional>
#include <utility>

#include "dialogs/RoomAvPanelBase.h"

class CWndRoomAudioSetting3 : public CRoomAvPanelBase {
public:
    const SkinWndTraits& Traits() const override;
    // Stores the mode, applies it to the room's media session and shows the outcome.
    void SetVideoSmooth(int mode);
    // What applies the mode to the opening room's media session: 0 done, -10 no room,
    // else the session's failure. Without one the answer is -10.
    void SetApplyAvModuleConfig(std::function<int()> apply) { m_apply = std::move(apply); }

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CControlUI* m_pTip = nullptr;
    std::function<int()> m_apply;
};
