// The picture of one video pane: the newest engine frame and its copy scaled to the
// image control. Frames come in on engine threads and are scaled and painted on the
// user-interface thread; the frame, its size and the new-frame flag change together.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "win32gui/vfw.h"

class CVideoFrameStore {
public:
    // 800 x 600 x 4: the largest frame and the largest scaled picture.
    static constexpr int kBufferBytes = 1920000;

    CVideoFrameStore();

    // Engine thread: keeps a copy of a 32-bit bottom-up frame. Refused (false) unless
    // width, height > 0 and width x height x 4 <= size <= kBufferBytes.
    bool Put(const char* data, int size, int width, int height);
    // Forgets the frame (an idle pane).
    void Clear();
    bool HasFrame() const;
    bool IsNew() const;

    // User-interface thread: scales the frame to width x height when it is new or the size
    // changed (a control larger than the buffer gets a smaller copy that painting
    // stretches). False when there is no frame.
    bool Rescale(int width, int height);
    // Paints the scaled picture into the rectangle; clears the new-frame flag. False when
    // there is nothing to paint.
    bool Paint(HDRAWDIB dib, HDC hdc, int x, int y, int width, int height);

    // The frame as stored (for a pop-up window taking over a pane); false without one.
    bool CopyFrame(std::vector<char>& out, int& width, int& height) const;

private:
    bool RescaleLocked(int width, int height);

    mutable std::mutex m_lock;
    std::vector<uint8_t> m_source;
    std::vector<uint8_t> m_scaled;
    int m_srcWidth = 0;
    int m_srcHeight = 0;
    int m_scaledWidth = 0;  // size of the scaled copy
    int m_scaledHeight = 0;
    int m_targetWidth = 0;  // control size the copy was made for
    int m_targetHeight = 0;
    bool m_newFrame = false;
    bool m_scaledStale = true;
    BITMAPINFOHEADER m_header;
};
