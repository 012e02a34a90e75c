// What the room's audio and video panels share: the skin frame, close, the user
// settings' video page and the system volume mixer.
#pragma once

#include "controls/SkinWnd.h"

class CRoomAvPanelBase : public CSkinWnd {
protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

public:
    // "SndVol.exe", else "sndvol32.exe", from the system folder; nothing when neither is
    // there. The program started, or null (neither there, or it would not start).
    static const wchar_t* StartVolumeMixer();
    // Opens the user settings dialog through the lobby (its video page once that dialog
    // is in the program).
    static void OpenUserSettingVideoPage();
};
