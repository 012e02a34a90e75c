// DrawDib on QPainter: the DIB is wrapped as a QImage (rows flipped for bottom-up
// pictures) and drawn scaled into the destination rectangle.
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <mutex>
#include <unordered_set>

#include "win32gui/qt_bridge.h"
#include "win32gui/vfw.h"

namespace {

struct DrawDibObject {
    int unused = 0;
};

std::mutex g_lock;
std::unordered_set<DrawDibObject*> g_handles;

bool Known(HDRAWDIB hdd) {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_handles.count(reinterpret_cast<DrawDibObject*>(hdd)) != 0;
}

// The picture as shown (top row first), or a null image for a format we do not draw.
QImage PictureOf(const BITMAPINFOHEADER& h, const void* bits) {
    if (!bits || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return QImage();
    if (h.biBitCount != 24 && h.biBitCount != 32) return QImage();
    const long long width = h.biWidth;
    const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (width * height > (1LL << 26)) return QImage();
    const long long stride = ((width * h.biBitCount + 31) / 32) * 4;
    // Windows DIBs are B, G, R(, X) in memory: little-endian 0xXXRRGGBB for 32 bits.
    const QImage::Format format = h.biBitCount == 32 ? QImage::Format_RGB32 : QImage::Format_BGR888;
    QImage wrapped(static_cast<const uchar*>(bits), static_cast<int>(width),
                   static_cast<int>(height), static_cast<qsizetype>(stride), format);
    return h.biHeight > 0 ? wrapped.mirrored(false, true) : wrapped.copy();
}

}  // namespace

HDRAWDIB DrawDibOpen() {
    auto* d = new DrawDibObject;
    std::lock_guard<std::mutex> lock(g_lock);
    g_handles.insert(d);
    return reinterpret_cast<HDRAWDIB>(d);
}

BOOL DrawDibClose(HDRAWDIB hdd) {
    auto* d = reinterpret_cast<DrawDibObject*>(hdd);
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_handles.erase(d)) return FALSE;
    delete d;
    return TRUE;
}

BOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* lpbi, const void* bits, int xSrc, int ySrc, int dxSrc,
                 int dySrc, UINT) {
    if (!Known(hdd) || !lpbi) return FALSE;
    QPainter* painter = winplat::PainterOf(hdc);
    if (!painter) return FALSE;
    QImage picture = PictureOf(*lpbi, bits);
    if (picture.isNull()) return FALSE;
    if (dxSrc < 0) dxSrc = picture.width();
    if (dySrc < 0) dySrc = picture.height();
    if (dxDst < 0) dxDst = dxSrc;
    if (dyDst < 0) dyDst = dySrc;
    const QRect source = QRect(xSrc, ySrc, dxSrc, dySrc).intersected(picture.rect());
    if (source.isEmpty() || dxDst == 0 || dyDst == 0) return TRUE;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(QRect(xDst, yDst, dxDst, dyDst), picture, source);
    painter->restore();
    return TRUE;
}
