// The tip the room shows while the pointer rests on a gift of its gift panel.
#pragma once

#include "controls/SkinWnd.h"

class CWndGiftInfo : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;
    // Picture, name, price, the can't-afford warning and description of a catalog gift;
    // an unknown id leaves the tip as it was.
    void ShowGift(int giftId);
    void KillHideTimer();

protected:
    void InitWindow() override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    DuiLib::CControlUI* m_pImage = nullptr;
    DuiLib::CControlUI* m_pName = nullptr;
    DuiLib::CControlUI* m_pPrice = nullptr;
    DuiLib::CControlUI* m_pPrice2 = nullptr;
    DuiLib::CControlUI* m_pInfo = nullptr;
};
