// A device panel the program carries but does not open: two pages and the sound
// device combo boxes, filled from lists the window owns (and nothing fills).
#pragma once

#include <string>
#include <vector>

#include "dialogs/RoomAvPanelBase.h"

class CWndRoomMoreAVSetting : public CRoomAvPanelBase {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    std::vector<std::wstring> m_audioInNames;
    std::vector<std::wstring> m_audioOutNames;
};
