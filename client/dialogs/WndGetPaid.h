// The top-up page of the current room, opened from the room window.
#pragma once

#include "controls/SkinWnd.h"

class CWndGetPaid : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
};
