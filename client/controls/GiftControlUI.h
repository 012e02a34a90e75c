// The hover area of a gift tile: tells the window when the mouse enters and leaves it,
// so that the room can show the gift's tip beside the tile.
#pragma once

#include "fenlo/UIlib.h"

// wParam of the hover notifications.
constexpr WPARAM kGiftHoverNotifyParam = 101;
// The tip goes this far below the hover area's top edge.
constexpr int kGiftTipOffsetY = 46;

class CGiftControlUI : public DuiLib::CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void DoEvent(DuiLib::TEventUI& event) override;

    void SetGiftId(int id) { m_nGiftId = id; }
    int GetGiftId() const { return m_nGiftId; }
    int GetButtonState() const { return m_uButtonState; }

private:
    int m_nGiftId = 0;
    int m_uButtonState = 0;
};
