// The room finder: a page of the service whose room links ask the lobby to join.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CWndFinder : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    const SkinWndTraits& Traits() const override;

    void BeforeNavigate2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags, LPCTSTR targetFrame,
                         LPCTSTR postData, LPCTSTR headers, bool& cancel) override;

protected:
    void InitWindow() override;
};

// Runs the room finder modally over the lobby (runFinder).
void RunFinderWindowImpl(HWND lobby);
