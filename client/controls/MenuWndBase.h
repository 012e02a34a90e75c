// Popup menu windows built from a layout: they open at a requested screen point
// (kept inside the work area), close when they lose the focus or on Escape, and
// report an item click to their receiver as "menu_click".
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CMenuWndBase : public CSkinWnd {
public:
    // layout: the menu's layout file (or text); receiver gets "menu_click"; pt: the
    // requested top-left in screen coordinates.
    void Init(LPCTSTR layout, DuiLib::INotifyUI* receiver, POINT pt);

    const SkinWndTraits& Traits() const override { return m_traits; }
    void Notify(DuiLib::TNotifyUI& msg) override;

protected:
    explicit CMenuWndBase(const char* cppClass);

    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    std::wstring m_strXmlFile;
    DuiLib::INotifyUI* m_pReceiver = nullptr;
    POINT m_ptPos{0, 0};
    SkinWndTraits m_traits;
};

class CSystemPopMenu : public CMenuWndBase {
public:
    CSystemPopMenu() : CMenuWndBase("CSystemPopMenu") {}
};

class CUserPopMenu1 : public CMenuWndBase {
public:
    CUserPopMenu1() : CMenuWndBase("CUserPopMenu1") {}
};
