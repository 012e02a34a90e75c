// A game page of the lobby, in a window of its own that can be maximised.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CWndGame : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    CWndGame(std::wstring address, std::wstring title);
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    std::wstring m_strUrl;
    std::wstring m_strTitle;
    DuiLib::CControlUI* m_pTitle = nullptr;
    DuiLib::CControlUI* m_pMinBtn = nullptr;
    DuiLib::CControlUI* m_pMaxBtn = nullptr;
    DuiLib::CControlUI* m_pRestoreBtn = nullptr;
};

// Shows the game page window, creating it when none is open (openGame).
void OpenGameWindowImpl(HWND lobby, const std::wstring& url, const std::wstring& title);
