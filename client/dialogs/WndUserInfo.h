// A read-only card of one room member: face, alias, id, level and sex.
#pragma once

#include "controls/SkinWnd.h"

class CUserObj;

class CWndUserInfo : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;
    // The user to show, set before Create and read only while the window is created;
    // not owned, and cleared once the card is filled.
    CWndUserInfo* SetUser(CUserObj* shown);

    DuiLib::CControlUI* btn_close = nullptr;
    DuiLib::CControlUI* closebtn = nullptr;
    DuiLib::CControlUI* winBG = nullptr;
    DuiLib::CControlUI* userface = nullptr;
    DuiLib::CControlUI* sta_useralias = nullptr;
    DuiLib::CControlUI* sta_userid = nullptr;
    DuiLib::CControlUI* sta_onlinetime = nullptr;
    DuiLib::CControlUI* sta_userlevel = nullptr;
    DuiLib::CControlUI* sta_sex = nullptr;
    DuiLib::CControlUI* sta_birthday = nullptr;
    DuiLib::CControlUI* sta_address = nullptr;
    CUserObj* user = nullptr;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void Fill(const CUserObj& shown);
};
