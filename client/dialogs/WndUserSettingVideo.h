// The camera dialog: the camera list, a live preview, and the choice saved with the
// application's AV device settings.
#pragma once

#include <vector>

#include "controls/SkinWnd.h"
#include "controls/VideoImgPreviewUI.h"
#include "vexacam/NormalCameraHelper.h"
#include "win32gui/vfw.h"

#define TIMER_CAMERA_PREVIEW 771

class CWndUserSettingVideo : public CSkinWnd, public IMyCustomDrawCallBack {
public:
    CWndUserSettingVideo();
    ~CWndUserSettingVideo() override;
    const SkinWndTraits& Traits() const override;

    void OnCustomDraw(HDC hdc, int x, int y) override;

    // For tests: what the preview shows.
    bool IsRunning() const { return m_bRunning; }
    bool IsFrameReady() const { return m_bFrameReady; }
    int FrameWidth() const { return m_nWidth; }
    int FrameHeight() const { return m_nHeight; }
    CNormalCameraHelper* Camera() const { return m_pCamera; }

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    void StartPreview();
    void OnPreviewTimer();
    void ReleaseCamera();

    DuiLib::CComboUI* m_pDeviceCombo = nullptr;
    DuiLib::CControlUI* m_pStatus = nullptr;
    CVideoImgPreviewUI* m_pPreview = nullptr;
    CNormalCameraHelper* m_pCamera = nullptr;
    // The 40-byte format the camera reports.
    BITMAPINFOHEADER m_format{};
    int m_nWidth = 0;
    int m_nHeight = 0;
    // Sized from the reported format (rows padded to 4 bytes, as a DIB wants them).
    std::vector<unsigned char> m_preview;
    bool m_bRunning = false;
    bool m_bFrameReady = false;
    HDRAWDIB m_hDrawDib = nullptr;
};
