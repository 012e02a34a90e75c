#include "dialogs/WndUserSettingVideo.h"

#include <cstring>

#include "app/ClientApp.h"
#include "win32/text.h"

using namespace DuiLib;

namespace {
// Frames above this are not previewed (the largest size a camera is asked for).
constexpr long long kMaxPreviewPixels = 1024LL * 768LL;
}  // namespace

CWndUserSettingVideo::CWndUserSettingVideo() = default;

CWndUserSettingVideo::~CWndUserSettingVideo() {
    ReleaseCamera();
    if (m_hDrawDib) DrawDibClose(m_hDrawDib);
}

const SkinWndTraits& CWndUserSettingVideo::Traits() const {
    static const SkinWndTraits traits{"CWndUserSettingVideo", L"WndUserSettingVideo.xml",
                                      kMsgStandard,           ScClose::kClose,
                                      Lifetime::kStack,       false};
    return traits;
}

void CWndUserSettingVideo::InitWindow() {
    CSkinWnd::InitWindow();
    CControlUI* combo = Find(L"selvideocomb");
    m_pDeviceCombo = combo ? static_cast<CComboUI*>(combo->GetInterface(L"Combo")) : nullptr;
    m_pStatus = Find(L"status");
    CControlUI* preview = Find(L"videoimg");
    m_pPreview = preview
                     ? static_cast<CVideoImgPreviewUI*>(preview->GetInterface(L"VideoImgPreview"))
                     : nullptr;
    if (m_pPreview) m_pPreview->SetCustomDrawCallBack(this);

    CNormalCameraHelper probe;
    int count = 0;
    for (_DEVIECENAME_LIST* entry = probe.getDeviceList(1); entry; entry = entry->next) {
        char name[sizeof entry->name + 1] = {};
        std::memcpy(name, entry->name, sizeof entry->name);
        if (m_pDeviceCombo) {
            auto* item = new CListLabelElementUI;
            item->SetText(winplat::AnsiToWide(name).c_str());
            m_pDeviceCombo->Add(item);
        }
        ++count;
    }
    if (m_pDeviceCombo && theApp.m_nVideoDev >= 0 && theApp.m_nVideoDev < count)
        m_pDeviceCombo->SelectItem(theApp.m_nVideoDev, false, false);
    probe.UninitDevice();

    m_hDrawDib = DrawDibOpen();
    StartPreview();
}

void CWndUserSettingVideo::StartPreview() {
    const int index = m_pDeviceCombo ? m_pDeviceCombo->GetCurSel() : -1;
    ::KillTimer(m_hWnd, TIMER_CAMERA_PREVIEW);
    if (m_pPreview) m_pPreview->Invalidate();
    if (index < 0) return;

    m_bRunning = false;
    m_bFrameReady = false;
    if (m_pCamera)
        m_pCamera->StopCapture();  // the running capture stops before another connects
    else
        m_pCamera = new CNormalCameraHelper;

    _VIDEO_CONFIG config{3, 7, 30};
    m_pCamera->SetConfig(&config);
    if (!m_pCamera->Connect(0, index, "Integrated Webcam", nullptr)) {
        if (m_pStatus) m_pStatus->SetText(L"视频组件启动失败，请检查设备是否连接或已被占用");
        return;
    }
    if (m_pStatus) m_pStatus->SetText(L"视频组件启动成功.");
    char format[40] = {};
    m_pCamera->GetVideoFormat(format);
    std::memcpy(&m_format, format, sizeof m_format);
    // A camera may give another size than asked: the buffer follows what it reports.
    const long long w = m_format.biWidth;
    const long long h =
        m_format.biHeight < 0 ? -static_cast<long long>(m_format.biHeight) : m_format.biHeight;
    if (w <= 0 || h <= 0 || w * h > kMaxPreviewPixels || m_format.biBitCount != 24) {
        m_nWidth = m_nHeight = 0;
        m_preview.clear();
        return;
    }
    m_nWidth = static_cast<int>(w);
    m_nHeight = static_cast<int>(h);
    const size_t stride = (static_cast<size_t>(m_nWidth) * 3 + 3) & ~static_cast<size_t>(3);
    m_preview.assign(stride * static_cast<size_t>(m_nHeight), 0);
    m_pCamera->StartCapture();
    ::SetTimer(m_hWnd, TIMER_CAMERA_PREVIEW, 30, nullptr);
    m_bRunning = true;
}

void CWndUserSettingVideo::OnPreviewTimer() {
    if (!m_pCamera || !m_bRunning || m_preview.empty()) return;
    if (!m_pCamera->PrepareSampleData()) return;
    const unsigned char* data = m_pCamera->GetDataPointer();
    if (!data) return;
    const size_t row = static_cast<size_t>(m_nWidth) * 3;
    const size_t stride = m_preview.size() / static_cast<size_t>(m_nHeight);
    for (int y = 0; y < m_nHeight; ++y)
        std::memcpy(&m_preview[static_cast<size_t>(y) * stride],
                    data + static_cast<size_t>(y) * row, row);
    m_bFrameReady = true;
    if (m_pPreview) m_pPreview->Invalidate();
}

void CWndUserSettingVideo::OnCustomDraw(HDC hdc, int x, int y) {
    if (!m_bRunning || !m_bFrameReady || m_preview.empty() || !m_pPreview) return;
    const RECT& rc = m_pPreview->GetPos();
    BITMAPINFOHEADER header = m_format;
    header.biHeight = m_nHeight;  // rows bottom-up
    DrawDibDraw(m_hDrawDib, hdc, x, y, rc.right - rc.left, rc.bottom - rc.top, &header,
                m_preview.data(), 0, 0, m_nWidth, m_nHeight, 0);
}

void CWndUserSettingVideo::OnClick(TNotifyUI& msg) {
    const CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    if (name == L"btn_ok") {
        const int sel = m_pDeviceCombo ? m_pDeviceCombo->GetCurSel() : -1;
        if (sel != theApp.m_nVideoDev) {
            theApp.m_nVideoDev = sel;
            theApp.SaveAVConfig();
        }
        Close(1);
    } else if (name == L"btn_cancel" || (msg.pSender && msg.pSender == m_pCloseBtn)) {
        Close(2);
    }
}

void CWndUserSettingVideo::OnNotify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMSELECT && msg.pSender == m_pDeviceCombo) StartPreview();
}

LRESULT CWndUserSettingVideo::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (uMsg == WM_TIMER && wParam == TIMER_CAMERA_PREVIEW) {
        OnPreviewTimer();
        bHandled = TRUE;
        return 0;
    }
    if (uMsg == WM_DESTROY) {
        ReleaseCamera();
        if (m_hDrawDib) {
            DrawDibClose(m_hDrawDib);
            m_hDrawDib = nullptr;
        }
    }
    bHandled = FALSE;
    return 0;
}

void CWndUserSettingVideo::ReleaseCamera() {
    m_bRunning = false;
    m_bFrameReady = false;
    if (m_hWnd) ::KillTimer(m_hWnd, TIMER_CAMERA_PREVIEW);
    if (m_pCamera) {
        m_pCamera->StopCapture();
        m_pCamera->UninitDevice();
        delete m_pCamera;
        m_pCamera = nullptr;
    }
    m_preview.clear();
}
