#include "room/VideoFrameStore.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dravik/PicZoom.h"

CVideoFrameStore::CVideoFrameStore()
    : m_source(kBufferBytes, 0), m_scaled(kBufferBytes, 0), m_header{} {
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biPlanes = 1;
    m_header.biBitCount = 32;
    m_header.biCompression = BI_RGB;
}

bool CVideoFrameStore::Put(const char* data, int size, int width, int height) {
    if (!data || width <= 0 || height <= 0 || size <= 0 || size > kBufferBytes) return false;
    const long long needed = static_cast<long long>(width) * height * 4;
    if (needed > size) return false;
    std::lock_guard<std::mutex> hold(m_lock);
    std::memcpy(m_source.data(), data, static_cast<size_t>(needed));
    m_srcWidth = width;
    m_srcHeight = height;
    m_newFrame = true;
    m_scaledStale = true;
    return true;
}

void CVideoFrameStore::Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_srcWidth = m_srcHeight = 0;
    m_scaledWidth = m_scaledHeight = 0;
    m_newFrame = false;
    m_scaledStale = true;
}

bool CVideoFrameStore::HasFrame() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_srcWidth > 0 && m_srcHeight > 0;
}

bool CVideoFrameStore::IsNew() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_newFrame;
}

bool CVideoFrameStore::Rescale(int width, int height) {
    std::lock_guard<std::mutex> hold(m_lock);
    return RescaleLocked(width, height);
}

bool CVideoFrameStore::RescaleLocked(int width, int height) {
    if (m_srcWidth <= 0 || m_srcHeight <= 0 || width <= 0 || height <= 0) return false;
    if (!m_scaledStale && width == m_targetWidth && height == m_targetHeight) return true;
    int w = width, h = height;
    const long long bytes = static_cast<long long>(w) * h * 4;
    if (bytes > kBufferBytes) {
        // Keep the shape, shrink to what the buffer holds; painting stretches it back.
        const double f = std::sqrt(static_cast<double>(kBufferBytes) / static_cast<double>(bytes));
        w = std::max(1, static_cast<int>(w * f));
        h = std::max(1, static_cast<int>(h * f));
        while (static_cast<long long>(w) * h * 4 > kBufferBytes) --h;
    }
    DravikPicture dst{reinterpret_cast<uint32_t*>(m_scaled.data()), static_cast<long>(w) * 4, w, h};
    DravikPicture src{reinterpret_cast<uint32_t*>(m_source.data()),
                      static_cast<long>(m_srcWidth) * 4, m_srcWidth, m_srcHeight};
    PicZoom_Bilinear_MMX(dst, src);
    m_scaledWidth = w;
    m_scaledHeight = h;
    m_targetWidth = width;
    m_targetHeight = height;
    m_header.biWidth = w;
    m_header.biHeight = h;  // rows bottom-up, as the engine delivers them
    m_header.biSizeImage = static_cast<DWORD>(w) * static_cast<DWORD>(h) * 4;
    m_scaledStale = false;
    return true;
}

bool CVideoFrameStore::Paint(HDRAWDIB dib, HDC hdc, int x, int y, int width, int height) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_srcWidth <= 0 || m_srcHeight <= 0) return false;
    m_newFrame = false;
    if (!RescaleLocked(width, height)) return false;
    DrawDibDraw(dib, hdc, x, y, width, height, &m_header, m_scaled.data(), 0, 0, m_scaledWidth,
                m_scaledHeight, 0);
    return true;
}

bool CVideoFrameStore::CopyFrame(std::vector<char>& out, int& width, int& height) const {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_srcWidth <= 0 || m_srcHeight <= 0) return false;
    width = m_srcWidth;
    height = m_srcHeight;
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    out.assign(reinterpret_cast<const char*>(m_source.data()),
               reinterpret_cast<const char*>(m_source.data()) + n);
    return true;
}
