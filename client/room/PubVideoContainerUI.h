// A public microphone pane of the room window (skin element "PubVideo"): the video,
// caption, level picture, volume meter and buttons of the member on that microphone;
// it can pop its video out into a window of its own.
#pragma once

#include <mutex>

#include "room/VideoContainerBase.h"

class CWndUserPopupVideo;

class CPubVideoContainerUI : public CVideoContainerBase {
public:
    CPubVideoContainerUI();
    ~CPubVideoContainerUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // Builds the pane's content from the layout ("publicvideownd.xml", or
    // "publicvideownd_3.xml" for room kind 31) once the pane is in the room's tree.
    bool Build(LPCTSTR xml);

    // IPubVideoUIBase
    void ShowToolbar(bool show) override;
    void PushVideoFrame(char* data, int size, int width, int height) override;

    void SetVideoUser(LPCTSTR caption, int id);
    // Null image: the default level picture; an empty one clears it. Flag 1: doll gift.
    void SetUserLevel(LPCTSTR image, int flag);
    void SetMicState(LPCTSTR text);
    void PopOut();
    void ClosePopup();
    bool IsPoppedOut() const;
    CWndUserPopupVideo* GetPopup() const;
    // The room window: owner of the frame messages and receiver of the pane's messages.
    void SetOwnerValue(HWND room);
    // The pop-up window's final message: the slot is cleared under the lock the engine
    // thread forwards under, so no frame reaches a window being deleted.
    void OnPopupGone(CWndUserPopupVideo* popup);

    bool HandleNotify(DuiLib::TNotifyUI& msg) override;
    void DoEvent(DuiLib::TEventUI& event) override;
    void SetPos(RECT rc) override;

protected:
    bool PaintBlocked() const override { return IsPoppedOut(); }

private:
    mutable std::mutex m_popupLock;
    CWndUserPopupVideo* m_pPopup = nullptr;
    DuiLib::CControlUI* m_pMicState = nullptr;
};
