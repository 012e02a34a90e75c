// One row of the room's member lists: a container element cloned from the row
// layout, painted with the list's row colours (selected, hot, alternating). It draws
// no item text of its own: its parts show the user.
#pragma once

#include "fenlo/UIlib.h"

class CListFriendItem : public DuiLib::CListContainerElementUI {
public:
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    // The row's own colours stand; the owner's item colours are not used.
    void PaintBkColor(HDC hDC) override;
};
