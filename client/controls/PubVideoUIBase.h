// What the video window manager and the owner windows ask of a video pane; frames and
// levels come in on engine threads (slots 2 and 3), the rest on the user-interface thread.
#pragma once

#include "win32/win32.h"

class IPubVideoUIBase {
public:
    virtual ~IPubVideoUIBase() = default;
    virtual void ShowToolbar(bool show) = 0;
    virtual void PushVideoFrame(char* data, int size, int width, int height) = 0;
    virtual void SetVolume(char* pcm, int length) = 0;
    virtual void RefreshVideo() = 0;
    virtual void DrawVideo(HDC hdc) = 0;
    virtual void SetMuteState(int videoMuted, int audioMuted) = 0;
};
