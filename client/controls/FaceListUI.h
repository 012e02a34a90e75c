// The head-image picker: one tile per face id, cloned from the item layout
// "facedesk.xml"; the list's itemsize gives the tile size, else the item layout's.
#pragma once

#include "fenlo/UIlib.h"

class CFaceListUI : public DuiLib::CTileLayoutUI {
public:
    CFaceListUI();

    // The tile's "btnfaceid" carries the face id as its tag, "faceimg" shows
    // "Face\36\<id>.png".
    void AddFace(int faceId);

private:
    DuiLib::CDialogBuilder m_dlgBuilder;  // the parsed item layout
};
