#include "controls/CtrlListQunshuaUser.h"

#include <cstring>
#include <string>

#include "controls/UserRowFill.h"
#include "model/UserObj.h"
#include "win32/win32.h"

using namespace DuiLib;

namespace {

// The row caption "%s(%d)" is narrow text of at most this many bytes.
constexpr size_t kCaptionBytes = 127;

CUserObj* UserOf(CControlUI* row) {
    return row ? reinterpret_cast<CUserObj*>(row->GetTag()) : nullptr;
}

// "alias(id)" within kCaptionBytes: a long alias is cut, at a character boundary of
// the double-byte code page, so that the id always shows.
std::string Caption(const CUserObj& user) {
    const std::string suffix = "(" + std::to_string(user.userId) + ")";
    const char* alias = user.alias.c_str();
    const size_t length = std::strlen(alias);
    const size_t room = kCaptionBytes - suffix.size();
    size_t used = 0;
    while (used < length) {
        const auto lead = static_cast<unsigned char>(alias[used]);
        const size_t step = (lead >= 0x81 && lead <= 0xFE && used + 1 < length) ? 2 : 1;
        if (used + step > room) break;
        used += step;
    }
    return std::string(alias, used) + suffix;
}

}  // namespace

CCtrlListQunshuaUser::CCtrlListQunshuaUser() {
    // Parsed once; the tree built on the way is not a row.
    delete m_itemTemplate.Create(L"mv_userlist.xml", nullptr, nullptr, nullptr, nullptr);
}

CCtrlListQunshuaUser::~CCtrlListQunshuaUser() = default;

void CCtrlListQunshuaUser::AddUser(CUserObj* user) {
    if (!user || !m_itemTemplate.IsLoaded()) return;
    // Built without the program's factory: the row holds library controls only.
    CControlUI* row = m_itemTemplate.Create(nullptr, nullptr, nullptr);
    if (!row) return;
    row->SetTag(reinterpret_cast<UINT_PTR>(user));
    Add(row);
}

void CCtrlListQunshuaUser::FillRow(CControlUI* row) {
    CUserObj* user = UserOf(row);
    if (!user || std::wcscmp(row->GetClass(), L"ListContainerElementUI") != 0) return;
    if (CControlUI* alias = userrow::FindPart(m_pManager, row, L"calias")) {
        if (auto* label = static_cast<CLabelUI*>(alias->GetInterface(L"Label")))
            label->SetShowHtml(false);
        alias->SetText(winplat::AnsiToWide(Caption(*user)).c_str());
    }
    if (CControlUI* level = userrow::FindPart(m_pManager, row, L"level1")) {
        std::wstring image = userrow::LevelImage(1, user->levels[0]);
        if (!image.empty()) level->SetBkImage(image.c_str());
    }
    const int mgrLevel = user->GetRoomMgrLevel();
    if (mgrLevel > 0) {
        if (CControlUI* room = userrow::FindPart(m_pManager, row, L"roomlevel"))
            room->SetBkImage(userrow::LevelImage(2, mgrLevel).c_str());
    }
}

bool CCtrlListQunshuaUser::Add(CControlUI* row) {
    if (!row) return false;
    FillRow(row);
    if (!CListUI::Add(row)) return false;
    if (CUserObj* user = UserOf(row)) m_rowUserIds[row] = user->userId;
    return true;
}

bool CCtrlListQunshuaUser::RemoveAt(int index) {
    CControlUI* row = GetItemAt(index);
    if (!row) return false;
    m_rowUserIds.erase(row);
    return CListUI::RemoveAt(index);
}

void CCtrlListQunshuaUser::RemoveUser(int userId) {
    for (int i = GetCount() - 1; i >= 0; --i) {
        auto it = m_rowUserIds.find(GetItemAt(i));
        if (it != m_rowUserIds.end() && it->second == userId) RemoveAt(i);
    }
}

void CCtrlListQunshuaUser::RemoveAll() {
    m_rowUserIds.clear();
    CListUI::RemoveAll();
}

CCheckBoxUI* CCtrlListQunshuaUser::CheckBoxOf(CControlUI* row) {
    CControlUI* c = userrow::FindPart(m_pManager, row, L"chkselall");
    return c ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr;
}

int CCtrlListQunshuaUser::GetCheckedCount() {
    int n = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CCheckBoxUI* box = CheckBoxOf(GetItemAt(i));
        if (box && box->GetCheck()) ++n;
    }
    return n;
}

void CCtrlListQunshuaUser::SetAllChecked(bool checked) {
    for (int i = 0; i < GetCount(); ++i)
        if (CCheckBoxUI* box = CheckBoxOf(GetItemAt(i))) box->SetCheck(checked);
}

int CCtrlListQunshuaUser::GetCheckedUserIds(std::vector<int>& ids) {
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* row = GetItemAt(i);
        CCheckBoxUI* box = CheckBoxOf(row);
        if (!box || !box->GetCheck()) continue;
        auto it = m_rowUserIds.find(row);
        if (it != m_rowUserIds.end()) ids.push_back(it->second);
    }
    return static_cast<int>(ids.size());
}
