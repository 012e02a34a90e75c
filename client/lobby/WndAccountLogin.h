// A plain account form: combo, account, password. Nothing in the program opens it;
// it only checks that both fields are filled.
#pragma once

#include "controls/SkinWnd.h"

class CWndAccountLogin : public CSkinWnd, public DuiLib::IMessageFilterUI {
public:
    const SkinWndTraits& Traits() const override;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

protected:
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    DuiLib::CControlUI* m_pCombo = nullptr;
    DuiLib::CControlUI* m_pAccountEdit = nullptr;
    DuiLib::CControlUI* m_pPwdEdit = nullptr;
    DuiLib::CControlUI* m_pLoginBtn = nullptr;
};
