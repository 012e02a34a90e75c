// The registration page: its "app:" link hands the new account's name and password
// to the logon window.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CWndUserRegister : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    const SkinWndTraits& Traits() const override;

    void BeforeNavigate2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags, LPCTSTR targetFrame,
                         LPCTSTR postData, LPCTSTR headers, bool& cancel) override;

    // Whether a link came; only then do the two texts mean anything (closing the page
    // otherwise must leave the logon fields alone).
    bool HasResult() const { return m_bHasResult; }
    const std::wstring& GetAccount() const { return m_strAccount; }
    const std::wstring& GetPassword() const { return m_strPassword; }

protected:
    void InitWindow() override;

private:
    std::wstring m_strAccount;
    std::wstring m_strPassword;
    bool m_bHasResult = false;
};

// Runs the registration window modally over parent (app/LaterWindows.h's runRegister).
bool RunUserRegisterWindowImpl(HWND parent, std::wstring& account, std::wstring& password);
