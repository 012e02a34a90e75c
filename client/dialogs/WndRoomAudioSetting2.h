// A smaller audio panel the program carries but does not open: close, the user
// settings' video page and the volume mixer.
#pragma once

#include "dialogs/RoomAvPanelBase.h"

class CWndRoomAudioSetting2 : public CRoomAvPanelBase {
public:
    const SkinWndTraits& Traits() const override;
};
