// One member's video in a small window: a private video window of the room, or a public
// pane popped out of the room window.
#pragma once

#include <atomic>

#include "controls/SkinWnd.h"

class CPopPubVideoContainerUI;
class CPubVideoContainerUI;
class CUserVideoWndMgr;

class CWndUserPopupVideo : public CSkinWnd {
public:
    CWndUserPopupVideo();
    ~CWndUserPopupVideo() override;
    const SkinWndTraits& Traits() const override;

    void SetVideoUser(LPCTSTR caption, int id);
    void SetUserLevelImage(LPCTSTR image);
    void ShowVideo(bool show);
    void SetBkColor(DWORD color);
    void SetMuteState(int videoMuted, int audioMuted);
    // Engine threads, under the lock of whoever forwards (manager or source pane).
    void SetVolume(char* pcm, int size);
    void PushVideoFrame(char* data, int size, int width, int height);
    void SetSizeIndex(int index);
    int GetSizeIndex() const { return m_nSizeIndex; }
    int GetUserId() const { return m_nUserId; }
    // 1: a private video window of the room (its closing goes through the room).
    void SetPrivate(int isPrivate, HWND receiver);
    int IsPrivate() const { return m_bPrivate; }
    int IsOpen() const { return m_bOpen.load(); }
    void SetSourcePane(CPubVideoContainerUI* pane) { m_pSourcePane = pane; }
    void SetVideoWndMgr(CUserVideoWndMgr* mgr) { m_pMgr = mgr; }
    CPopPubVideoContainerUI* GetPane() const { return m_pPane; }
    void CloseVideo();

    static const SIZE kSizes[6];

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    // The pane took the notification; a popped-out pane whose video was muted closes.
    bool OfferToPane(DuiLib::TNotifyUI& msg);

    std::atomic<int> m_bOpen{0};
    int m_nSizeIndex = 1;
    int m_nUserId = 0;
    int m_bPrivate = 0;
    CPopPubVideoContainerUI* m_pPane = nullptr;
    CPubVideoContainerUI* m_pSourcePane = nullptr;
    HWND m_hReceiver = nullptr;
    CUserVideoWndMgr* m_pMgr = nullptr;
};
