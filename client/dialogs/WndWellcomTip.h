// The welcome tip: a page opened once the window's first layout is done.
#pragma once

#include "controls/SkinWnd.h"

class CWndWellcomTip : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void OnPrepare() override;
};
