// What the room window's media part keeps for the window's life: the video window
// manager, the panes' DrawDib handle, and the local user id the engine threads read.
#pragma once

#include <atomic>
#include <memory>

#include "room/UserVideoWndMgr.h"
#include "win32gui/vfw.h"

class CRoomMediaParts {
public:
    CRoomMediaParts() = default;
    ~CRoomMediaParts() {
        if (m_hDrawDib) DrawDibClose(m_hDrawDib);
    }
    CRoomMediaParts(const CRoomMediaParts&) = delete;
    CRoomMediaParts& operator=(const CRoomMediaParts&) = delete;

    std::unique_ptr<CUserVideoWndMgr> m_videoWndMgr;
    HDRAWDIB m_hDrawDib = nullptr;
    // The grab callbacks run on engine threads: the id they put in for mode 1.
    std::atomic<int> m_nLocalUserId{0};
};
