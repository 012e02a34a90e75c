// Points exchanged for coins, and coins transferred to another user, from a room.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

// Posted by the room window when the local user's balances changed (no parameters).
constexpr UINT UM_REFRESH_BALANCE = 11105;

class CWndRoomExchange : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    void ShowBalances();
    void Exchange();
    void Transfer();
    std::wstring TextOf(const wchar_t* name) const;
    void SetTextOf(const wchar_t* name, const wchar_t* text);

    DuiLib::CTabLayoutUI* m_pSwitch = nullptr;
};
