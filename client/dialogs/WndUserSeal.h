// The seal picker: the user stamps a seal on one member; the room sends the request.
#pragma once

#include "controls/SkinWnd.h"

class CWndUserSeal : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;
    void SetTargetUserId(int userId) { m_nTargetUserId = userId; }
    int GetTargetUserId() const { return m_nTargetUserId; }
    // The seal id of a seal button's name ("btn_seal_list_<id>"); 0 when the name has
    // no such id or the id does not fit the request's 16 bits.
    static int SealIdOfName(LPCTSTR name);
    // Name, price and duration of a catalog seal; an unknown id changes nothing.
    void ShowSealInfo(int sealId);

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;

private:
    DuiLib::CTabLayoutUI* m_pStampSwitch = nullptr;
    DuiLib::CControlUI* m_pSealName = nullptr;
    DuiLib::CControlUI* m_pSealPrice = nullptr;
    DuiLib::CControlUI* m_pSealTime = nullptr;
    int m_nTargetUserId = 0;
};
