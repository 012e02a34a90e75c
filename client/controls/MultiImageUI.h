// Shows one picture of a list and moves to the next one every five seconds (the
// logon window's rotating advertisements).
#pragma once

#include <vector>

#include "fenlo/UIlib.h"

constexpr UINT kMultiImageTimerId = 101;
constexpr UINT kMultiImageIntervalMs = 5000;

class CMultiImageUI : public DuiLib::CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void DoEvent(DuiLib::TEventUI& event) override;
    void PaintStatusImage(HDC hDC) override;

    // Appends the picture unless one of the same name (exact) is in the list.
    void AddImage(LPCTSTR pstrImage);
    // Starts the rotation; needs the control to be in a window.
    void StartTimer();

    int GetCurrentIndex() const { return m_nCurIndex; }
    int GetImageCount() const { return static_cast<int>(m_images.size()); }

private:
    int m_nCurIndex = 0;
    std::vector<DuiLib::tagTImageObject> m_images;
};
