// The face chooser: three groups of head images; OK hands back the chosen face id.
#pragma once

#include "controls/SkinWnd.h"

class CFaceListUI;

class CWndSelUserFace : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

    // Takes the face as the chosen one and shows it in both previews.
    void SetFace(int faceId);
    int GetFace() const { return m_nFaceId; }
    // Shows group 1, 2 or 3.
    void ShowGroup(int group);

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    CFaceListUI* m_pLists[3] = {nullptr, nullptr, nullptr};
    DuiLib::CControlUI* m_pGroupBtns[3] = {nullptr, nullptr, nullptr};
    DuiLib::CControlUI* m_pBigFace = nullptr;
    DuiLib::CControlUI* m_pSmallFace = nullptr;
    DuiLib::CContainerUI* m_pFaceSwitch = nullptr;
    DuiLib::CControlUI* m_pOkBtn = nullptr;
    DuiLib::CControlUI* m_pCancelBtn = nullptr;
    int m_nFaceId = 0;
};
