// The control the camera dialog paints its preview in, through a callback.
#pragma once

#include "fenlo/UIlib.h"

class IMyCustomDrawCallBack {
public:
    virtual void OnCustomDraw(HDC hdc, int x, int y) = 0;

protected:
    ~IMyCustomDrawCallBack() = default;
};

class CVideoImgPreviewUI : public DuiLib::CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void PaintStatusImage(HDC hDC) override;
    void SetCustomDrawCallBack(IMyCustomDrawCallBack* callback) { m_pCallBack = callback; }

private:
    IMyCustomDrawCallBack* m_pCallBack = nullptr;
};
