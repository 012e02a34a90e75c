#include "controls/UserRowFill.h"

#include <cwchar>

#include "controls/KernelData.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "win32/win32.h"

using namespace DuiLib;

namespace userrow {

namespace {

constexpr DWORD kHighlightText = 0xFFFF0000;
constexpr DWORD kNormalText = 0xFF000000;

// Level catalog kinds of the row's pictures.
constexpr int kKindUser = 1;
constexpr int kKindRoomMgr = 2;
constexpr int kKindMember = 3;
constexpr int kKindCastle = 4;
constexpr int kKindWealth = 6;
constexpr int kKindEntry = 7;
constexpr int kKindConsumeGrade = 8;
constexpr int kKindConsume = 9;
constexpr int kKindConsumeRank = 10;

CControlUI* CALLBACK MatchName(CControlUI* control, LPVOID name) {
    return control->GetName() == static_cast<const wchar_t*>(name) ? control : nullptr;
}

void SetImage(CPaintManagerUI* pm, CControlUI* row, LPCTSTR part, const std::wstring& image) {
    if (CControlUI* c = FindPart(pm, row, part)) c->SetBkImage(image.c_str());
}

// The text parts (nickname, id) show network text: plain text, never markup.
void SetPlainText(CPaintManagerUI* pm, CControlUI* row, LPCTSTR part, const std::wstring& text,
                  DWORD colour) {
    CControlUI* c = FindPart(pm, row, part);
    if (!c) return;
    if (auto* label = static_cast<CLabelUI*>(c->GetInterface(L"Label"))) {
        label->SetShowHtml(false);
        label->SetTextColor(colour);
    }
    c->SetText(text.c_str());
}

// Consumption level (levels[6]): three steps.
int ConsumeStep(int value) {
    if (value >= 18) return 3;
    if (value >= 11) return 2;
    return 1;
}

// Consumption grade (levels[5]): five steps.
int GradeStep(int value) {
    if (value >= 20) return 5;
    if (value >= 16) return 4;
    if (value >= 11) return 3;
    if (value >= 6) return 2;
    return 1;
}

}  // namespace

CControlUI* FindPart(CPaintManagerUI* pm, CControlUI* row, LPCTSTR name) {
    if (!row || !name) return nullptr;
    if (pm) return pm->FindSubControlByName(row, name);
    return row->FindControl(MatchName, const_cast<wchar_t*>(name), UIFIND_ALL);
}

std::wstring LevelImage(int kind, int level) {
    CCommKernelData* data = KernelData();
    const wchar_t* name = data ? data->GetLevelImgName(kind, level) : nullptr;
    return name ? std::wstring(name) : std::wstring();
}

std::wstring SealImage(int sealId) {
    if (sealId < 1) return std::wstring();
    return winplat::FormatText(L"../Seal/%d_a.png", sealId);
}

std::wstring SealImageAt(const CUserObj& user, int64_t now) {
    if (user.sealId < 1 || now >= user.sealExpiry) return std::wstring();
    return SealImage(user.sealId);
}

std::wstring AliasText(const CUserObj& user) {
    return winplat::AnsiToWide(user.alias);
}

void FillFriendRow(CPaintManagerUI* pm, CControlUI* row, CUserObj* user, int64_t now) {
    if (!row || !user || std::wcscmp(row->GetClass(), L"ListContainerElementUI") != 0) return;
    const int mgrLevel = user->GetRoomMgrLevel();
    const DWORD colour = (user->levels[0] > 12 || mgrLevel > 0) ? kHighlightText : kNormalText;
    SetPlainText(pm, row, L"calias", AliasText(*user), colour);
    SetPlainText(pm, row, L"idnumber", std::to_wstring(user->userId), colour);

    if (user->flags & USER_FLAG_CASTLE_LORD)
        SetImage(pm, row, L"level1", LevelImage(kKindCastle, 101));
    else if (user->flags & USER_FLAG_CASTLE_LADY)
        SetImage(pm, row, L"level1", LevelImage(kKindCastle, 100));
    else
        SetImage(pm, row, L"level1", LevelImage(kKindUser, user->levels[0]));
    SetImage(pm, row, L"level2", user->entryFlag0 > 0 ? LevelImage(kKindEntry, 1) : L"");
    SetImage(pm, row, L"roomlevel", mgrLevel > 0 ? LevelImage(kKindRoomMgr, mgrLevel) : L"");
    SetImage(pm, row, L"yiyuanlevel", user->levels[1] > 0 ? LevelImage(kKindMember, 1) : L"");

    const wchar_t* mic = L"head\\21.png";
    if (user->flags & USER_FLAG_PUBLIC_MIC)
        mic = L"head\\22.png";
    else if (user->flags & (USER_FLAG_VIP_MIC | USER_FLAG_SECRET_MIC))
        mic = L"head\\29.png";
    SetImage(pm, row, L"video", mic);

    SetImage(pm, row, L"photo", winplat::FormatText(L"Face/36/%d.png", user->faceId));
    SetImage(pm, row, L"seal", SealImageAt(*user, now));
    SetImage(pm, row, L"caifugrade",
             user->levels[4] >= 0 ? LevelImage(kKindWealth, user->levels[4]) : L"");

    if (user->levels[6] > 0)
        SetImage(pm, row, L"xiaofeilevel", LevelImage(kKindConsume, ConsumeStep(user->levels[6])));
    else if (user->levels[7] != 0)
        SetImage(pm, row, L"xiaofeilevel", LevelImage(kKindConsumeRank, user->levels[7]));
    if (user->levels[5] > 0)
        SetImage(pm, row, L"1xiaofeilevel",
                 LevelImage(kKindConsumeGrade, GradeStep(user->levels[5])));
    if (user->entranceEffects != 0) SetImage(pm, row, L"weekstart", L"head\\WeekStar1.gif");
}

}  // namespace userrow
