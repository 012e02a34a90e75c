// What a row of the room user lists shows for one user: the named parts of the row
// (nickname, id, level and state pictures) filled from the user's members.
#pragma once

#include <cstdint>
#include <string>

#include "fenlo/UIlib.h"

class CUserObj;

namespace userrow {

// The part of a row with that name: looked up with the manager's search when there is
// a manager, else directly in the row's tree; null when the row has no such part.
DuiLib::CControlUI* FindPart(DuiLib::CPaintManagerUI* pm, DuiLib::CControlUI* row, LPCTSTR name);

// Picture of the level description (kind, level) of the level catalog; empty when
// there is none.
std::wstring LevelImage(int kind, int level);

// "../Seal/%d_a.png" for a seal id of 1 or more, else empty (no picture).
std::wstring SealImage(int sealId);
// The seal a user shows at `now` (seconds since 1970): only while now is before the
// seal's end.
std::wstring SealImageAt(const CUserObj& user, int64_t now);

// The nickname of the network's text (ANSI code page) as wide text.
std::wstring AliasText(const CUserObj& user);

// Fills the parts of a friend-list row ("ListContainerElementUI" rows only).
void FillFriendRow(DuiLib::CPaintManagerUI* pm, DuiLib::CControlUI* row, CUserObj* user,
                   int64_t now);

}  // namespace userrow
