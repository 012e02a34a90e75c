// What the public pane and the pop-up pane share: the pane's user, caption, mutes,
// frame store and controls, the frame and level hand-over from engine threads to the
// user-interface thread, and the mute buttons.
#pragma once

#include <atomic>

#include "fenlo/UIlib.h"
#include "controls/PubVideoUIBase.h"
#include "room/VideoFrameStore.h"

class CVideoContainerBase : public DuiLib::CContainerUI, public IPubVideoUIBase {
public:
    CVideoContainerBase();
    ~CVideoContainerBase() override;

    // IPubVideoUIBase
    void SetVolume(char* pcm, int length) override;
    void RefreshVideo() override;
    void DrawVideo(HDC hdc) override;
    void SetMuteState(int videoMuted, int audioMuted) override;

    // Muting a pane of the local user or an idle pane does nothing unless forced;
    // notify sends 12034 (video) / 12033 (audio) to the room window.
    void MuteVideo(bool on, bool notify, bool force);
    void MuteAudio(bool on, bool notify, bool force);

    int GetUserId() const { return m_nUserId.load(); }
    int IsVideoMuted() const { return m_bVideoMuted.load(); }
    int IsAudioMuted() const { return m_bAudioMuted.load(); }
    DuiLib::CDuiString GetCaption() const { return m_strCaption; }
    DuiLib::CDuiString GetLevelImage() const { return m_strLevelImage; }
    CVideoFrameStore& Frames() { return m_frame; }

    // The window that scales and paints on 12025 (set before media starts).
    void SetOwnerValue(HWND owner) { m_hOwner.store(owner); }
    HWND GetOwnerValue() const { return m_hOwner.load(); }
    // The room window, receiver of the mute and gift messages.
    void SetRoomWnd(HWND room) { m_hRoomWnd = room; }
    void SetDrawDib(HDRAWDIB dib) { m_hDrawDib = dib; }

    // A notification from a control of this pane; true when the pane took it.
    virtual bool HandleNotify(DuiLib::TNotifyUI& msg);
    bool Owns(DuiLib::CControlUI* control) const;

protected:
    // Looks up the named controls of the built content and points "video_img" here.
    void FindControls(DuiLib::CControlUI* root);
    // Engine thread: keeps the frame and asks the owner for a repaint.
    bool StoreFrame(char* data, int size, int width, int height);
    // One pending 12025 per pane: frames and levels between two refreshes share it.
    void PostRefresh();
    virtual bool PaintBlocked() const { return false; }
    void ShowMuteButtons();
    void SetUserState(const DuiLib::CDuiString& caption, int id);
    static int LocalUserId();

    std::atomic<int> m_nUserId{0};
    std::atomic<int> m_bVideoMuted{0};
    std::atomic<int> m_bAudioMuted{0};
    std::atomic<HWND> m_hOwner{nullptr};
    std::atomic<int> m_nPendingLevel{-1};
    std::atomic<bool> m_bRefreshPosted{false};
    HWND m_hRoomWnd = nullptr;
    HDRAWDIB m_hDrawDib = nullptr;
    DuiLib::CDuiString m_strCaption;
    DuiLib::CDuiString m_strLevelImage;
    int m_nGiftFlag = 0;
    CVideoFrameStore m_frame;

    DuiLib::CControlUI* m_pUserName = nullptr;
    DuiLib::CControlUI* m_pLevel = nullptr;
    DuiLib::CControlUI* m_pVideoImg = nullptr;
    DuiLib::CControlUI* m_pToolbar = nullptr;
    DuiLib::CControlUI* m_pVideoBG = nullptr;
    DuiLib::CControlUI* m_pVideoMenu = nullptr;
    DuiLib::CVolumeLabelUI* m_pVolume = nullptr;
    DuiLib::CControlUI* m_pBtnMuteAudio = nullptr;    // videobtn_1
    DuiLib::CControlUI* m_pBtnUnmuteAudio = nullptr;  // videobtn2_1
    DuiLib::CControlUI* m_pBtnMuteVideo = nullptr;    // videobtn_2
    DuiLib::CControlUI* m_pBtnUnmuteVideo = nullptr;  // videobtn2_2
};
