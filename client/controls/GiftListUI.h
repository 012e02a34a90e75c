// The gift picker: tiles of gifts and of the room's services, each cloned from the
// item layout "giftdesk.xml".
#pragma once

#include "fenlo/UIlib.h"

class CGiftListUI : public DuiLib::CTileLayoutUI {
public:
    CGiftListUI();

    // The tile shows the picture "gift/<image>" and the first four characters of the name.
    void AddGiftItem(int giftId, LPCTSTR image, LPCTSTR name);

private:
    DuiLib::CDialogBuilder m_dlgBuilder;  // the parsed item layout
};
