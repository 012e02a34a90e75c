// The auto-chat settings of the room: the automatic reply and the welcome words.
#pragma once

#include "controls/SkinWnd.h"

class CWndRoomAutoChat : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CTabLayoutUI* m_pSwitch = nullptr;
    DuiLib::CCheckBoxUI* m_pChkReply = nullptr;
    DuiLib::CControlUI* m_pReplyText = nullptr;
    DuiLib::CCheckBoxUI* m_pChkWelcome = nullptr;
    DuiLib::CControlUI* m_pWelcomeText = nullptr;
    // Each page's line that says its settings were kept.
    DuiLib::CControlUI* m_pReplyTip = nullptr;
    DuiLib::CControlUI* m_pWelcomeTip = nullptr;
};
