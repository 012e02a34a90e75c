// The recipient list of the group-gift chooser and the private-spectator dialog:
// one row per user with a check box; the owner reads back the ticked users.
#pragma once

#include <unordered_map>
#include <vector>

#include "fenlo/UIlib.h"

class CUserObj;

class CCtrlListQunshuaUser : public DuiLib::CListUI {
public:
    // Parses the row layout "mv_userlist.xml" of the skin folder.
    CCtrlListQunshuaUser();
    ~CCtrlListQunshuaUser() override;

    void AddUser(CUserObj* user);
    // Removes every row of that user.
    void RemoveUser(int userId);
    void RemoveAll() override;
    // Rows whose "chkselall" box is ticked.
    int GetCheckedCount();
    void SetAllChecked(bool checked);
    // Appends the ids of the ticked rows in row order; returns the vector's size.
    int GetCheckedUserIds(std::vector<int>& ids);

    // Fills the row from its user, then appends it.
    bool Add(DuiLib::CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;

private:
    DuiLib::CCheckBoxUI* CheckBoxOf(DuiLib::CControlUI* row);
    void FillRow(DuiLib::CControlUI* row);

    DuiLib::CDialogBuilder m_itemTemplate;
    // User id of each row, recorded when it went in (see CCtrlListFriend).
    std::unordered_map<DuiLib::CControlUI*, int> m_rowUserIds;
};
