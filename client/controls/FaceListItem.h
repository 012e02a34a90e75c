// One tile of the head-image list; its look and its button come from "facedesk.xml".
#pragma once

#include "fenlo/UIlib.h"

class CFaceListItem : public DuiLib::CContainerUI {
public:
    LPCTSTR GetClass() const override;
};
