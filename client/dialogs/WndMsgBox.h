// The program's skinned message box: a text, OK and optionally Cancel; used as a
// local object and run modally.
#pragma once

#include "controls/SkinWnd.h"

class CWndMsgBox : public CSkinWnd {
public:
    CWndMsgBox();

    // Stores the text and shows it when the label exists.
    void SetText(LPCTSTR text);
    // 0: OK only (the default); 1: OK and Cancel. Other values are kept and change nothing.
    void SetButtons(int mode);
    // Creates the box over parent and runs it: 1 for OK, 2 for Cancel or close.
    UINT DoModal(HWND parent);

    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CLabelUI* m_pTip = nullptr;
    DuiLib::CControlUI* m_pOkBtn = nullptr;
    DuiLib::CControlUI* m_pCancelBtn = nullptr;
    DuiLib::CDuiString m_sText;
    int m_nButtons = 0;
};
