// The room finder: a page of the service whose room links ask the lobby to join.
#pragma once

#include <cstdint>

#include "controls/SkinWnd.h"

// What the finder posts to the lobby with UM_FINDER_JOIN_ROOM; made with `new`,
// deleted by the lobby.
struct tagJoinRoomPost {
    int32_t roomId;
    int32_t joinFlag;      // 1
    wchar_t gateAddr[128];  // at most 127 characters and a terminator
};

class CWndFinder : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    const SkinWndTraits& Traits() const override;

    void BeforeNavigate2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags,
                         LPCTSTR targetFrame, LPCTSTR postData, LPCTSTR headers,
                         bool& cancel) override;

protected:
    void InitWindow() override;
};
