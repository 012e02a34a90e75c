#include "room/VideoContainerBase.h"

#include "controls/KernelData.h"
#include "room/VideoMessages.h"
#include "controls/VideoPane.h"

using namespace DuiLib;

CVideoContainerBase::CVideoContainerBase() = default;
CVideoContainerBase::~CVideoContainerBase() = default;

int CVideoContainerBase::LocalUserId() {
    return ::LocalUserId();
}

bool CVideoContainerBase::Owns(CControlUI* control) const {
    for (CControlUI* c = control; c; c = c->GetParent())
        if (c == this) return true;
    return false;
}

namespace {
// By walking the tree: the pop-up pane looks its controls up before it has a manager.
CControlUI* FindByName(CControlUI* control, LPCTSTR name) {
    if (!control) return nullptr;
    if (control->GetName() == name) return control;
    auto* box = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
    if (!box) return nullptr;
    for (int i = 0; i < box->GetCount(); ++i)
        if (CControlUI* found = FindByName(box->GetItemAt(i), name)) return found;
    return nullptr;
}
}  // namespace

void CVideoContainerBase::FindControls(CControlUI* root) {
    auto find = [root](LPCTSTR name) -> CControlUI* { return FindByName(root, name); };
    m_pUserName = find(L"video_username");
    m_pLevel = find(L"v_ulevel");
    m_pVideoImg = find(L"video_img");
    m_pToolbar = find(L"videotool");
    m_pVideoBG = find(L"videoBG");
    m_pVideoMenu = find(L"videomenu");
    CControlUI* volume = find(L"volumeval");
    m_pVolume =
        volume ? static_cast<CVolumeLabelUI*>(volume->GetInterface(L"VolumeLabel")) : nullptr;
    m_pBtnMuteAudio = find(L"videobtn_1");
    m_pBtnUnmuteAudio = find(L"videobtn2_1");
    m_pBtnMuteVideo = find(L"videobtn_2");
    m_pBtnUnmuteVideo = find(L"videobtn2_2");
    if (auto* img = m_pVideoImg ? static_cast<CVideoImgUI*>(m_pVideoImg->GetInterface(L"VideoImg"))
                                : nullptr)
        img->SetVideoPane(this);
    if (auto* pane = root ? static_cast<CVideoPane*>(root->GetInterface(L"VideoPane")) : nullptr)
        pane->SetVideoPane(this);
    ShowMuteButtons();
}

bool CVideoContainerBase::StoreFrame(char* data, int size, int width, int height) {
    if (!m_frame.Put(data, size, width, height)) return false;
    PostRefresh();
    return true;
}

void CVideoContainerBase::PostRefresh() {
    HWND owner = m_hOwner.load();
    if (!owner) return;
    if (m_bRefreshPosted.exchange(true)) return;
    // lParam is the pane as a control: receivers compare it with their own panes
    // before they use it.
    if (!::PostMessageW(owner, UM_VIDEO_FRAME_READY, 0,
                        reinterpret_cast<LPARAM>(static_cast<DuiLib::CControlUI*>(this))))
        m_bRefreshPosted.store(false);
}

void CVideoContainerBase::SetVolume(char* pcm, int length) {
    // Engine thread: only the level is worked out here; the label is a control of the
    // user-interface thread and gets it on the next refresh.
    if (m_bAudioMuted.load() || m_nUserId.load() == 0) return;
    m_nPendingLevel.store(CVolumeLabelUI::LevelOf(pcm, length));
    PostRefresh();
}

void CVideoContainerBase::RefreshVideo() {
    m_bRefreshPosted.store(false);
    int level = m_nPendingLevel.exchange(-1);
    if (level >= 0 && m_pVolume) m_pVolume->SetVolumeValue(level);
    if (!m_pVideoImg || !m_frame.IsNew()) return;
    const RECT& rc = m_pVideoImg->GetPos();
    m_frame.Rescale(rc.right - rc.left, rc.bottom - rc.top);
    m_pVideoImg->Invalidate();
}

void CVideoContainerBase::DrawVideo(HDC hdc) {
    if (!m_pVideoImg || PaintBlocked() || m_bVideoMuted.load() || m_nUserId.load() == 0) return;
    const RECT& rc = m_pVideoImg->GetPos();
    m_frame.Paint(m_hDrawDib, hdc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void CVideoContainerBase::ShowMuteButtons() {
    const bool video = m_bVideoMuted.load() != 0, audio = m_bAudioMuted.load() != 0;
    if (m_pBtnMuteVideo) m_pBtnMuteVideo->SetVisible(!video);
    if (m_pBtnUnmuteVideo) m_pBtnUnmuteVideo->SetVisible(video);
    if (m_pBtnMuteAudio) m_pBtnMuteAudio->SetVisible(!audio);
    if (m_pBtnUnmuteAudio) m_pBtnUnmuteAudio->SetVisible(audio);
}

void CVideoContainerBase::SetMuteState(int videoMuted, int audioMuted) {
    m_bVideoMuted.store(videoMuted);
    m_bAudioMuted.store(audioMuted);
    ShowMuteButtons();
    if (m_pVideoImg) m_pVideoImg->Invalidate();
}

void CVideoContainerBase::MuteVideo(bool on, bool notify, bool force) {
    const int id = m_nUserId.load();
    if (!force && (id == 0 || id == LocalUserId())) return;
    m_bVideoMuted.store(on ? 1 : 0);
    ShowMuteButtons();
    if (m_pVideoImg) m_pVideoImg->Invalidate();
    if (notify && m_hRoomWnd) ::SendMessageW(m_hRoomWnd, UM_MUTE_USER_VIDEO, id, on ? 1 : 0);
}

void CVideoContainerBase::MuteAudio(bool on, bool notify, bool force) {
    const int id = m_nUserId.load();
    if (!force && (id == 0 || id == LocalUserId())) return;
    m_bAudioMuted.store(on ? 1 : 0);
    ShowMuteButtons();
    if (on && m_pVolume) m_pVolume->SetVolumeValue(0);
    if (notify && m_hRoomWnd) ::SendMessageW(m_hRoomWnd, UM_MUTE_USER_AUDIO, id, on ? 1 : 0);
}

void CVideoContainerBase::SetUserState(const CDuiString& caption, int id) {
    if (id != 0) {
        m_strCaption = caption;
        if (m_pVideoMenu) m_pVideoMenu->SetVisible(true);
    } else {
        m_strCaption = L"空闲";
        if (m_pVideoMenu) {
            m_pVideoMenu->SetVisible(false);
            m_pVideoMenu->SetText(L"送彩条");
        }
        m_nUserId.store(0);
        MuteVideo(false, false, true);
        MuteAudio(false, false, true);
        m_strLevelImage.Empty();
        if (m_pLevel) m_pLevel->SetBkImage(L"");
        m_nGiftFlag = 0;
    }
    m_nUserId.store(id);
    if (m_pUserName) m_pUserName->SetText(m_strCaption);
    m_frame.Clear();
    if (m_pVideoImg) m_pVideoImg->Invalidate();
}

bool CVideoContainerBase::HandleNotify(TNotifyUI& msg) {
    // Only the pane's own buttons are answered here; everything else (the pane's
    // "menu" above all) goes on to the window that holds the pane.
    if (!Owns(msg.pSender) || msg.sType != DUI_MSGTYPE_CLICK) return false;
    const CDuiString name = msg.pSender->GetName();
    if (name == L"videobtn_1")
        MuteAudio(true, true, false);
    else if (name == L"videobtn2_1")
        MuteAudio(false, true, false);
    else if (name == L"videobtn_2")
        MuteVideo(true, true, false);
    else if (name == L"videobtn2_2")
        MuteVideo(false, true, false);
    return true;
}
