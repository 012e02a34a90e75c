// The about box: a self-deleting window of its owner.
#pragma once

#include "controls/SkinWnd.h"

class CWndAboutUS : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CControlUI* m_pConfirmBtn = nullptr;
};
