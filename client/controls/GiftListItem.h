// One tile of the gift list: reports a click as "itemclick" and keeps its gift id
// (negative ids are the room's service tiles).
#pragma once

#include "fenlo/UIlib.h"

class CGiftListUI;

class CGiftListItem : public DuiLib::CContainerUI {
public:
    LPCTSTR GetClass() const override;
    void DoEvent(DuiLib::TEventUI& event) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    void SetGiftId(int id) { m_nGiftId = id; }
    int GetGiftId() const { return m_nGiftId; }
    void SetOwner(CGiftListUI* owner) { m_pOwner = owner; }
    CGiftListUI* GetOwner() const { return m_pOwner; }

private:
    int m_nGiftId = 0;
    CGiftListUI* m_pOwner = nullptr;  // not owning
};
