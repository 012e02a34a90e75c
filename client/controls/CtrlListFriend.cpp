#include "controls/CtrlListFriend.h"

#include <cwchar>

#include "controls/DialogBuilderCallbackEx.h"
#include "controls/KernelData.h"
#include "controls/UserRowFill.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "win32/win32.h"

using namespace DuiLib;

namespace {

CUserObj* UserOf(CControlUI* row) {
    return row ? reinterpret_cast<CUserObj*>(row->GetTag()) : nullptr;
}

int SortIdOf(CUserObj* user) {
    CCommKernelData* data = KernelData();
    if (!user || !data || !data->m_pUserMVManager) return 0;
    return data->m_pUserMVManager->GetUserSortId(user);
}

bool MatchesFilter(const CUserObj& user, const CDuiString& filter) {
    if (filter.IsEmpty()) return true;
    if (std::wcsstr(userrow::AliasText(user).c_str(), filter.GetData())) return true;
    return std::to_wstring(user.userId).find(filter.GetData()) != std::wstring::npos;
}

}  // namespace

CCtrlListFriend::CCtrlListFriend() = default;

CCtrlListFriend::~CCtrlListFriend() = default;

void CCtrlListFriend::LoadItemTemplate(LPCTSTR layout) {
    if (m_bTemplateLoaded) return;
    m_bTemplateLoaded = 1;
    CDialogBuilderCallbackEx callback;
    // Only the parsed layout is kept; the tree built on the way is not a row.
    delete m_itemTemplate.Create(layout, nullptr, &callback, nullptr, nullptr);
}

CControlUI* CCtrlListFriend::CreateRow(CUserObj* user) {
    if (!m_itemTemplate.IsLoaded()) return nullptr;
    CDialogBuilderCallbackEx callback;
    CControlUI* row = m_itemTemplate.Create(&callback, nullptr, nullptr);
    if (row) row->SetTag(reinterpret_cast<UINT_PTR>(user));
    return row;
}

bool CCtrlListFriend::AddUser(CUserObj* user) {
    if (!user || !MatchesFilter(*user, m_sFilter)) return false;
    if (m_nListType == USERLIST_ONE_ROW_PER_USER) {
        if (m_userMap.count(user->userId)) return false;
        m_userMap[user->userId] = user;
    } else if (m_nListType != USERLIST_QUEUE) {
        return false;
    }
    if (CControlUI* row = CreateRow(user)) Add(row);
    return true;
}

void CCtrlListFriend::FillRow(CControlUI* row) {
    CUserObj* user = UserOf(row);
    if (user) userrow::FillFriendRow(m_pPaintManager, row, user, _time64(nullptr));
}

CUserObj* CCtrlListFriend::LiveUserOf(CControlUI* row) const {
    const int id = RowUserId(row);
    CCommKernelData* data = KernelData();
    if (id <= 0 || !data || !data->m_pUserManager) return nullptr;
    return data->m_pUserManager->FindUser(id);
}

void CCtrlListFriend::RecordRow(CControlUI* row) {
    CUserObj* user = UserOf(row);
    if (!user) return;
    ForgetRow(row);
    m_rowUserIds[row] = user->userId;
    m_userRows.emplace(user->userId, row);
}

void CCtrlListFriend::ForgetRow(CControlUI* row) {
    auto it = m_rowUserIds.find(row);
    if (it == m_rowUserIds.end()) return;
    auto [first, last] = m_userRows.equal_range(it->second);
    for (auto r = first; r != last; ++r) {
        if (r->second == row) {
            m_userRows.erase(r);
            break;
        }
    }
    m_rowUserIds.erase(it);
}

int CCtrlListFriend::RowUserId(CControlUI* row) const {
    auto it = m_rowUserIds.find(row);
    return it == m_rowUserIds.end() ? 0 : it->second;
}

bool CCtrlListFriend::Add(CControlUI* row) {
    if (!row) return false;
    FillRow(row);
    int index =
        m_bSorted ? GetInsertIndex(row, CompareRows, reinterpret_cast<UINT_PTR>(this)) : GetCount();
    if (!CListUI::AddAt(row, index)) return false;
    RecordRow(row);
    return true;
}

bool CCtrlListFriend::AddAt(CControlUI* row, int index) {
    if (!row) return false;
    FillRow(row);
    if (!CListUI::AddAt(row, index)) return false;
    RecordRow(row);
    return true;
}

bool CCtrlListFriend::RemoveAt(int index) {
    CControlUI* row = GetItemAt(index);
    if (!row) return false;
    ForgetRow(row);
    return CListUI::RemoveAt(index);
}

void CCtrlListFriend::RemoveAll() {
    m_userMap.clear();
    m_rowUserIds.clear();
    m_userRows.clear();
    CListUI::RemoveAll();
}

void CCtrlListFriend::RemoveUser(int userId, int nth) {
    if (m_nListType == USERLIST_ONE_ROW_PER_USER) {
        auto it = m_userMap.find(userId);
        if (it == m_userMap.end()) return;
        m_userMap.erase(it);
        // By the recorded id, not the tag: the kernel may have deleted the user already
        // and given his address to the one who arrived in the same read.
        auto row = m_userRows.find(userId);
        if (row == m_userRows.end()) return;
        const int index = GetItemIndex(row->second);
        if (index >= 0) RemoveAt(index);
        return;
    }
    if (m_nListType != USERLIST_QUEUE || nth < 0) return;
    int seen = 0;
    for (int i = 0; i < GetCount();) {
        if (RowUserId(GetItemAt(i)) != userId) {
            ++i;
            continue;
        }
        if (nth == 0) {
            RemoveAt(i);
            continue;
        }
        if (++seen == nth) {
            RemoveAt(i);
            return;
        }
        ++i;
    }
}

void CCtrlListFriend::UpdateUser(CUserObj* user) {
    if (!user) return;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* row = GetItemAt(i);
        if (RowUserId(row) != user->userId || LiveUserOf(row) != user) continue;
        // The row shows this user from now on (a user object may have been replaced).
        row->SetTag(reinterpret_cast<UINT_PTR>(user));
        FillRow(row);
    }
}

bool CCtrlListFriend::HasUser(int userId) const {
    return m_userMap.count(userId) != 0;
}

int CCtrlListFriend::CountUserItemsUpTo(int userId, int lastIndex) const {
    int n = 0;
    for (int i = 0; i <= lastIndex && i < GetCount(); ++i)
        if (RowUserId(GetItemAt(i)) == userId) ++n;
    return n;
}

int CCtrlListFriend::SelectItemByTag(CUserObj* user) {
    if (!user) return -1;
    // By the recorded id: a row whose user is gone may carry the same address.
    for (int i = 0; i < GetCount(); ++i) {
        if (RowUserId(GetItemAt(i)) != user->userId) continue;
        SelectItem(i, true);
        return i;
    }
    return -1;
}

void CCtrlListFriend::SetFilter(LPCTSTR text) {
    m_sFilter = text ? text : L"";
}

void CCtrlListFriend::RefreshSeals() {
    const int64_t now = _time64(nullptr);
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* row = GetItemAt(i);
        // A row whose user is gone is skipped, never followed through its tag.
        CUserObj* user = LiveUserOf(row);
        if (!user) continue;
        if (CControlUI* seal = userrow::FindPart(m_pPaintManager, row, L"seal"))
            seal->SetBkImage(userrow::SealImageAt(*user, now).c_str());
    }
}

void CCtrlListFriend::SetUserSeal(int userId, int sealId) {
    if (userId < 1) return;
    const std::wstring image = userrow::SealImage(sealId);
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* row = GetItemAt(i);
        if (RowUserId(row) != userId) continue;
        if (CControlUI* seal = userrow::FindPart(m_pPaintManager, row, L"seal"))
            seal->SetBkImage(image.c_str());
    }
}

CUserObj* CCtrlListFriend::SortUserOf(CControlUI* row) const {
    // A listed row is read through its id: its user may have been deleted since it went
    // in. Only the row being inserted, not yet recorded, is read through its tag.
    return m_rowUserIds.count(row) ? LiveUserOf(row) : UserOf(row);
}

int CCtrlListFriend::CompareRows(CControlUI* a, CControlUI* b, UINT_PTR data) {
    // `data` is the list the rows belong to; without one no user is known.
    const auto* list = reinterpret_cast<const CCtrlListFriend*>(data);
    CUserObj* ua = list ? list->SortUserOf(a) : nullptr;
    CUserObj* ub = list ? list->SortUserOf(b) : nullptr;
    const int sa = SortIdOf(ua);
    const int sb = SortIdOf(ub);
    if (sa != sb) return sa < sb ? -1 : 1;
    const int ta = ua ? ua->entryValue23 : 0;
    const int tb = ub ? ub->entryValue23 : 0;
    if (ta != tb) return ta > tb ? -1 : 1;
    return 0;
}
