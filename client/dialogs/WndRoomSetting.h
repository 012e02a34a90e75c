// Room administration: base information and status switches, the notices, the
// programme, the media relays and the administration web page of the current room.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CRoomObj;

class CWndRoomSetting : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void Fill(const CRoomObj& room);
    void ShowPage(int page);
    void OpenAdminPage();
    void SubmitBase();
    // Notices (kinds 0..2) or the programme (kind 3).
    void SubmitTexts(int firstKind, int lastKind);
    void SubmitMedia();

    std::wstring TextOf(const wchar_t* name) const;
    void SetTextOf(const wchar_t* name, const std::wstring& text);
    bool IsChecked(const wchar_t* name) const;
    void SetChecked(const wchar_t* name, bool checked);

    DuiLib::CTabLayoutUI* m_pSwitch = nullptr;
    DuiLib::CWebBrowserUI* m_pWebAdmin = nullptr;
};
