// The skin chooser: one window for the whole program, hidden when closed, that
// applies a skin at once and keeps the choice in the user's "skin.txt".
#pragma once

#include "controls/SkinWnd.h"

class CWndSelSkin : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;
    // The application object's member that points to the chooser.
    void SetInstancePtr(CWndSelSkin** slot) { SetOwnerSlot(slot); }
    // Makes the skin current, stores it for the user, tells the lobby and recolours
    // the chooser.
    void ChooseSkin(int id);

protected:
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
};
