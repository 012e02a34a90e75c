#include "room/WndUserPopupVideo.h"

#include <cwchar>

#include "app/SkinTable.h"
#include "room/PopPubVideoContainerUI.h"
#include "room/PubVideoContainerUI.h"
#include "room/UserVideoWndMgr.h"
#include "room/VideoMessages.h"

using namespace DuiLib;

const SIZE CWndUserPopupVideo::kSizes[6] = {{198, 182}, {320, 260}, {352, 308},
                                            {440, 380}, {528, 452}, {616, 524}};

CWndUserPopupVideo::CWndUserPopupVideo() = default;
CWndUserPopupVideo::~CWndUserPopupVideo() = default;

const SkinWndTraits& CWndUserPopupVideo::Traits() const {
    static const SkinWndTraits traits{
        "CWndUserPopupVideo", L"WndRoomPopupPubVideo.xml", kMsgStandard,
        ScClose::kClose,      Lifetime::kSelfDeleting,     false};
    return traits;
}

void CWndUserPopupVideo::InitWindow() {
    CSkinWnd::InitWindow();
    CControlUI* pane = Find(L"videopane");
    m_pPane =
        pane ? static_cast<CPopPubVideoContainerUI*>(pane->GetInterface(L"PopPubVideo")) : nullptr;
    if (m_pPane) {
        m_pPane->SetOwnerValue(m_hWnd);
        m_pPane->SetRoomWnd(::GetWindow(m_hWnd, GW_OWNER));
        if (g_pCurSkin) m_pPane->SetBkColor(g_pCurSkin->crDark);
    }
    m_bOpen.store(1);
}

void CWndUserPopupVideo::SetVideoUser(LPCTSTR caption, int id) {
    m_nUserId = id;
    if (m_pPane) m_pPane->SetVideoUser(caption, id);
}

void CWndUserPopupVideo::SetUserLevelImage(LPCTSTR image) {
    if (m_pPane) m_pPane->SetUserLevelImage(image);
}

void CWndUserPopupVideo::ShowVideo(bool show) {
    if (m_pPane) m_pPane->ShowVideo(show);
}

void CWndUserPopupVideo::SetBkColor(DWORD color) {
    if (m_pPane) m_pPane->SetBkColor(color);
}

void CWndUserPopupVideo::SetMuteState(int videoMuted, int audioMuted) {
    if (m_pPane) m_pPane->SetMuteState(videoMuted, audioMuted);
}

void CWndUserPopupVideo::SetVolume(char* pcm, int size) {
    if (m_pPane) m_pPane->SetVolume(pcm, size);
}

void CWndUserPopupVideo::PushVideoFrame(char* data, int size, int width, int height) {
    if (m_bOpen.load() == 1 && m_pPane) m_pPane->PushVideoFrame(data, size, width, height);
}

void CWndUserPopupVideo::SetSizeIndex(int index) {
    if (index < 0 || index > 5) return;
    m_nSizeIndex = index;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, kSizes[index].cx, kSizes[index].cy,
                       SWP_NOZORDER | SWP_NOMOVE);
}

void CWndUserPopupVideo::SetPrivate(int isPrivate, HWND receiver) {
    m_bPrivate = isPrivate;
    m_hReceiver = receiver;
}

void CWndUserPopupVideo::CloseVideo() {
    if (m_pSourcePane && m_pPane)
        m_pSourcePane->SetMuteState(m_pPane->IsVideoMuted(), m_pPane->IsAudioMuted());
    if (m_bPrivate) {
        // The room ends the member's media and closes this window.
        if (m_hReceiver)
            ::SendMessageW(m_hReceiver, UM_POPUP_VIDEO_CLOSED, static_cast<WPARAM>(m_nUserId),
                           reinterpret_cast<LPARAM>(this));
        return;
    }
    m_bOpen.store(0);
    Close(1);
}

bool CWndUserPopupVideo::OfferToPane(TNotifyUI& msg) {
    if (!m_pPane || !m_pPane->HandleNotify(msg)) return false;
    if (m_pPane->IsVideoMuted() == 1 && !m_bPrivate && m_pSourcePane) CloseVideo();
    return true;
}

void CWndUserPopupVideo::OnClick(TNotifyUI& msg) {
    if (OfferToPane(msg)) return;
    const CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    if (msg.pSender && msg.pSender == m_pCloseBtn) {
        CloseVideo();
    } else if (name == L"btnzoomout") {
        if (m_nSizeIndex <= 4) SetSizeIndex(m_nSizeIndex + 1);
    } else if (name == L"btnzoomin") {
        if (m_nSizeIndex >= 1) SetSizeIndex(m_nSizeIndex - 1);
    }
}

void CWndUserPopupVideo::OnNotify(TNotifyUI& msg) {
    OfferToPane(msg);
}

LRESULT CWndUserPopupVideo::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // Alt+F4 ends the media like the close button; closing alone left the manager
    // holding a freed window and the streams subscribed.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        CloseVideo();
        bHandled = TRUE;
        return 0;
    }
    return CSkinWnd::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

LRESULT CWndUserPopupVideo::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                               BOOL& bHandled) {
    if (uMsg == UM_VIDEO_FRAME_READY) {
        if (m_pPane && lParam == reinterpret_cast<LPARAM>(static_cast<CControlUI*>(m_pPane)))
            m_pPane->RefreshVideo();
        bHandled = TRUE;
        return 0;
    }
    if (uMsg == WM_LBUTTONDOWN) {
        // The body drags the window; buttons stay buttons.
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        CControlUI* control = m_pm.FindControl(pt);
        if (!control || std::wcscmp(control->GetClass(), L"ButtonUI") != 0)
            ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        bHandled = FALSE;
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

void CWndUserPopupVideo::OnFinalMessage(HWND hWnd) {
    m_bOpen.store(0);
    if (m_pSourcePane) m_pSourcePane->OnPopupGone(this);
    if (m_pMgr) m_pMgr->Forget(m_nUserId, this);
    CSkinWnd::OnFinalMessage(hWnd);
}
