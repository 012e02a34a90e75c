// The group-gift recipient chooser: while it is open, a gift chosen in the room's gift
// panel goes to every ticked member.
#pragma once

#include <vector>

#include "controls/SkinWnd.h"

class CCtrlListQunshuaUser;

class CWndQunshua : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;
    // Adds the current room's users of a list type (0 members, 1 the queue, 2 the
    // public microphone, 3 managers); the list is not cleared first.
    void FillUserList(int type);
    int GetCheckedCount();
    int GetCheckedUserIds(std::vector<int>& ids);
    // Drops a user who left the room, so he is neither counted nor charged.
    void RemoveUser(int userId);
    void SetBkImage();

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;

private:
    CCtrlListQunshuaUser* m_pUserList = nullptr;
    DuiLib::CCheckBoxUI* m_pSelAll = nullptr;
    DuiLib::CComboUI* m_pType = nullptr;
};
