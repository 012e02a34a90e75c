// The users watching the local user's video privately; the ticked ones are cut off.
#pragma once

#include "controls/SkinWnd.h"

class CCtrlListQunshuaUser;

class CWndRoomLookme : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

    // Lists every private spectator the user manager still knows, in map order. Call
    // it after Create: the list exists only then.
    void FillLookmeList();
    CCtrlListQunshuaUser* GetList() const { return m_pList; }

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void CutOffTicked();

    CCtrlListQunshuaUser* m_pList = nullptr;
};
