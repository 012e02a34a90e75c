// The icon help page, opened from the room window.
#pragma once

#include "controls/SkinWnd.h"

class CWndIconHelp : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
};
