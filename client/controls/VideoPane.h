// The two small controls inside a video pane's content: the pane root, which turns
// mouse enter and leave into the toolbar's show and hide, and the picture control,
// which paints through its pane.
#pragma once

#include "fenlo/UIlib.h"
#include "controls/PubVideoUIBase.h"

class CVideoPane : public DuiLib::CVerticalLayoutUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void DoEvent(DuiLib::TEventUI& event) override;
    void SetVideoPane(IPubVideoUIBase* pane) { m_pPane = pane; }

private:
    IPubVideoUIBase* m_pPane = nullptr;
};

class CVideoImgUI : public DuiLib::CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void PaintStatusImage(HDC hDC) override;
    void SetVideoPane(IPubVideoUIBase* pane) { m_pPane = pane; }

private:
    IPubVideoUIBase* m_pPane = nullptr;
};
