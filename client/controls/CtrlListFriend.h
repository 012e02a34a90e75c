// The room window's member lists (all users, managers, the microphone queue): one
// row per user cloned from a row layout, kept in the edition's order when sorted,
// filtered by a search text, with seal pictures that expire.
#pragma once

#include <map>
#include <unordered_map>

#include "fenlo/UIlib.h"

class CUserObj;

// List kinds.
constexpr int USERLIST_ONE_ROW_PER_USER = 1;
constexpr int USERLIST_QUEUE = 2;  // a user may have several rows

class CCtrlListFriend : public DuiLib::CListUI {
public:
    typedef std::map<int, CUserObj*> UserMap;

    CCtrlListFriend();
    ~CCtrlListFriend() override;

    // Set-up, before any row is added.
    CCtrlListFriend* SetPaintManager(DuiLib::CPaintManagerUI* pm) {
        m_pPaintManager = pm;
        return this;
    }
    CCtrlListFriend* SetListType(int kind) {
        m_nListType = kind;
        return this;
    }
    CCtrlListFriend* SetSorted(int sorted) {
        m_bSorted = sorted;
        return this;
    }
    // Parses the row layout; only the first call of a list does anything.
    void LoadItemTemplate(LPCTSTR layout);

    // False when the filter hides the user, a one-row list already has him, or the
    // kind is unknown. A row that cannot be built is not added (still true).
    bool AddUser(CUserObj* user);
    // nth (queue lists only): 0 every row of the user, n the n-th of his rows.
    void RemoveUser(int userId, int nth);
    void RemoveAll() override;
    // Fills every row that shows this user again.
    void UpdateUser(CUserObj* user);
    bool HasUser(int userId) const;
    // Rows of that user among rows 0..lastIndex.
    int CountUserItemsUpTo(int userId, int lastIndex) const;
    // Selects (with focus) the row that shows the user; its index, or -1 when none does.
    int SelectItemByTag(CUserObj* user);
    // Search text (null or empty: none); the caller empties and refills the list.
    void SetFilter(LPCTSTR text);
    // Every row's seal picture, by its user's seal and the current time.
    void RefreshSeals();
    // Every row of the user gets the seal picture (none below 1); no expiry test.
    void SetUserSeal(int userId, int sealId);
    // The user id recorded when the row went in; 0 for a row of no user. Read rows
    // through this: the user a row shows may have been deleted since.
    int GetRowUserId(DuiLib::CControlUI* row) const { return RowUserId(row); }
    // The users of a one-row list, by id (not owned).
    UserMap* GetUserMap() { return &m_userMap; }

    // Fill the row from its user, then insert it (sorted when the list is).
    bool Add(DuiLib::CControlUI* pControl) override;
    bool AddAt(DuiLib::CControlUI* pControl, int iIndex) override;
    bool RemoveAt(int iIndex) override;

    // Sort order: smaller sort id first, then the larger tie-break value. `data` is the
    // list (Add passes it): rows already listed are read through their recorded ids.
    static int CompareRows(DuiLib::CControlUI* a, DuiLib::CControlUI* b, UINT_PTR data);

private:
    DuiLib::CControlUI* CreateRow(CUserObj* user);
    void FillRow(DuiLib::CControlUI* row);
    // Rows are matched to a user id by the id recorded when the row went in: a user who
    // left may already be deleted when his rows are removed.
    void RecordRow(DuiLib::CControlUI* row);
    void ForgetRow(DuiLib::CControlUI* row);
    int RowUserId(DuiLib::CControlUI* row) const;
    // The user of the row's recorded id as the user manager has him now, or null.
    CUserObj* LiveUserOf(DuiLib::CControlUI* row) const;
    // The user a row sorts by: the live user of a listed row, the tag of a new one.
    CUserObj* SortUserOf(DuiLib::CControlUI* row) const;

    DuiLib::CPaintManagerUI* m_pPaintManager = nullptr;
    DuiLib::CDialogBuilder m_itemTemplate;
    int m_nListType = USERLIST_ONE_ROW_PER_USER;
    int m_bSorted = 0;
    int m_bTemplateLoaded = 0;
    DuiLib::CDuiString m_sFilter;
    UserMap m_userMap;
    std::unordered_map<DuiLib::CControlUI*, int> m_rowUserIds;
    // The same records by user id: a leaving member's row is found without a walk
    // through thousands of rows.
    std::unordered_multimap<int, DuiLib::CControlUI*> m_userRows;
};
