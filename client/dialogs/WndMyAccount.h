// The user's account page, opened from the room window.
#pragma once

#include "controls/SkinWnd.h"

class CWndMyAccount : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
};
