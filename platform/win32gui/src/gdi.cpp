// Device contexts over QPainter and regions over QRegion.
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>
#include <mutex>
#include <unordered_set>

#include "win32gui/font.h"
#include "win32gui/gdi.h"
#include "win32gui/qt_bridge.h"

namespace {

struct BitmapObject {
    int width;
    int height;
    bool bottomUp;
    std::vector<uint32_t> bits;
};
struct DcObject {
    QPainter* painter;
    bool memory;
    BitmapObject* selected;
    // A memory DC paints straight into its selected bitmap's bits, made on first use.
    std::unique_ptr<QImage> image;
    std::unique_ptr<QPainter> own;
};

// Ends a memory DC's own painter before its bitmap changes or goes.
void EndOwnPainter(DcObject* d) {
    if (!d->own) return;
    d->own->end();
    d->own.reset();
    d->image.reset();
    d->painter = nullptr;
}
struct RgnObject {
    QRegion region;
};

// Handles are checked against these sets so a stale or foreign handle is refused.
std::mutex g_lock;
std::unordered_set<DcObject*> g_dcs;
std::unordered_set<RgnObject*> g_rgns;
std::unordered_set<BitmapObject*> g_bitmaps;

RgnObject* Rgn(HRGN h) {
    auto* r = reinterpret_cast<RgnObject*>(h);
    std::lock_guard<std::mutex> lock(g_lock);
    return g_rgns.count(r) ? r : nullptr;
}

HRGN NewRgn(const QRegion& region) {
    auto* r = new RgnObject{region};
    std::lock_guard<std::mutex> lock(g_lock);
    g_rgns.insert(r);
    return reinterpret_cast<HRGN>(r);
}

int Kind(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

namespace winplat {

HDC CreatePainterDC(QPainter* painter) {
    auto* d = new DcObject{painter, false, nullptr};
    std::lock_guard<std::mutex> lock(g_lock);
    g_dcs.insert(d);
    return reinterpret_cast<HDC>(d);
}

void DeletePainterDC(HDC dc) {
    auto* d = reinterpret_cast<DcObject*>(dc);
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_dcs.erase(d)) delete d;
}

QPainter* PainterOf(HDC dc) {
    auto* d = reinterpret_cast<DcObject*>(dc);
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_dcs.count(d)) return nullptr;
    if (!d->painter && d->memory && d->selected && g_bitmaps.count(d->selected)) {
        BitmapObject* b = d->selected;
        d->image =
            std::make_unique<QImage>(reinterpret_cast<uchar*>(b->bits.data()), b->width, b->height,
                                     b->width * 4, QImage::Format_ARGB32_Premultiplied);
        d->own = std::make_unique<QPainter>(d->image.get());
        // Bottom-up rows: flip the coordinates so that y grows downwards as on screen.
        if (b->bottomUp) d->own->setTransform(QTransform(1, 0, 0, -1, 0, b->height));
        d->painter = d->own.get();
    }
    return d->painter;
}

bool SetRegionOf(HRGN rgn, const QRegion& region) {
    RgnObject* r = Rgn(rgn);
    if (!r) return false;
    r->region = region;
    return true;
}

QImage SelectedBitmapImage(HDC dc) {
    auto* d = reinterpret_cast<DcObject*>(dc);
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_dcs.count(d) || !d->selected || !g_bitmaps.count(d->selected)) return QImage();
    BitmapObject* b = d->selected;
    QImage img(b->width, b->height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < b->height; ++y) {
        int row = b->bottomUp ? b->height - 1 - y : y;
        memcpy(img.scanLine(y), &b->bits[static_cast<size_t>(row) * static_cast<size_t>(b->width)],
               static_cast<size_t>(b->width) * 4);
    }
    return img;
}

QRegion RegionOf(HRGN rgn) {
    RgnObject* r = Rgn(rgn);
    return r ? r->region : QRegion();
}

}  // namespace winplat

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return NewRgn(QRegion(QRect(QPoint(std::min(left, right), std::min(top, bottom)),
                                QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1))));
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
    return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
    // Like GDI, the right and bottom edges are exclusive.
    QRect rect(left, top, right - left - 1, bottom - top - 1);
    if (rect.width() <= 0 || rect.height() <= 0) return NewRgn(QRegion());
    if (w <= 0 || h <= 0) return NewRgn(QRegion(rect));
    QPainterPath path;
    path.addRoundedRect(QRectF(rect), w / 2.0, h / 2.0);
    return NewRgn(QRegion(path.toFillPolygon().toPolygon()));
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    RgnObject* d = Rgn(dest);
    RgnObject* a = Rgn(src1);
    if (!d || !a) return ERROR_REGION;
    RgnObject* b = Rgn(src2);
    QRegion r;
    switch (mode) {
        case RGN_COPY:
            r = a->region;
            break;
        case RGN_AND:
            if (!b) return ERROR_REGION;
            r = a->region & b->region;
            break;
        case RGN_OR:
            if (!b) return ERROR_REGION;
            r = a->region | b->region;
            break;
        case RGN_XOR:
            if (!b) return ERROR_REGION;
            r = a->region ^ b->region;
            break;
        case RGN_DIFF:
            if (!b) return ERROR_REGION;
            r = a->region - b->region;
            break;
        default:
            return ERROR_REGION;
    }
    d->region = r;
    return Kind(r);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    RgnObject* r = Rgn(rgn);
    return r && r->region.contains(QPoint(x, y)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN rgn, LPRECT rc) {
    RgnObject* r = Rgn(rgn);
    if (!r || !rc) return ERROR_REGION;
    QRect b = r->region.boundingRect();
    rc->left = b.left();
    rc->top = b.top();
    rc->right = b.isEmpty() ? b.left() : b.right() + 1;
    rc->bottom = b.isEmpty() ? b.top() : b.bottom() + 1;
    return Kind(r->region);
}

BOOL EqualRgn(HRGN a, HRGN b) {
    RgnObject* x = Rgn(a);
    RgnObject* y = Rgn(b);
    return x && y && x->region == y->region ? TRUE : FALSE;
}

BOOL DeleteObject(HGDIOBJ obj) {
    std::lock_guard<std::mutex> lock(g_lock);
    auto* r = static_cast<RgnObject*>(obj);
    if (g_rgns.erase(r)) {
        delete r;
        return TRUE;
    }
    auto* b = static_cast<BitmapObject*>(obj);
    if (g_bitmaps.erase(b)) {
        for (DcObject* d : g_dcs)
            if (d->selected == b) {
                EndOwnPainter(d);
                d->selected = nullptr;
            }
        delete b;
        return TRUE;
    }
    return winplat::DeleteFontObject(obj) ? TRUE : FALSE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0)
        return nullptr;
    long long w = h.biWidth, hh = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    if (w * hh > (1LL << 26)) return nullptr;  // more than 256 MB of pixels is refused
    auto* b = new BitmapObject{static_cast<int>(w), static_cast<int>(hh), h.biHeight > 0,
                               std::vector<uint32_t>(static_cast<size_t>(w * hh), 0u)};
    if (bits) *bits = b->bits.data();
    std::lock_guard<std::mutex> lock(g_lock);
    g_bitmaps.insert(b);
    return reinterpret_cast<HBITMAP>(b);
}

HDC CreateCompatibleDC(HDC) {
    auto* d = new DcObject{nullptr, true, nullptr};
    std::lock_guard<std::mutex> lock(g_lock);
    g_dcs.insert(d);
    return reinterpret_cast<HDC>(d);
}

BOOL DeleteDC(HDC dc) {
    auto* d = reinterpret_cast<DcObject*>(dc);
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_dcs.count(d) || !d->memory) return FALSE;
    g_dcs.erase(d);
    EndOwnPainter(d);
    delete d;
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj) {
    auto* d = reinterpret_cast<DcObject*>(dc);
    auto* b = static_cast<BitmapObject*>(obj);
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_dcs.count(d)) return nullptr;
    if (g_rgns.count(static_cast<RgnObject*>(obj))) return obj;  // clipping regions are not carried
    if (!g_bitmaps.count(b) || !d->memory) return nullptr;
    BitmapObject* old = d->selected;
    if (old != b) EndOwnPainter(d);
    d->selected = b;
    return old;
}

BOOL SetRect(LPRECT rc, int left, int top, int right, int bottom) {
    if (!rc) return FALSE;
    *rc = RECT{left, top, right, bottom};
    return TRUE;
}
BOOL SetRectEmpty(LPRECT rc) {
    return SetRect(rc, 0, 0, 0, 0);
}
BOOL CopyRect(LPRECT dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}
BOOL IsRectEmpty(const RECT* rc) {
    return !rc || rc->right <= rc->left || rc->bottom <= rc->top ? TRUE : FALSE;
}
BOOL PtInRect(const RECT* rc, POINT pt) {
    return rc && pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom
               ? TRUE
               : FALSE;
}
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (r.right <= r.left || r.bottom <= r.top) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    if (IsRectEmpty(a)) {
        *dst = *b;
        return !IsRectEmpty(b);
    }
    if (IsRectEmpty(b)) {
        *dst = *a;
        return TRUE;
    }
    *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE;
}
BOOL OffsetRect(LPRECT rc, int dx, int dy) {
    if (!rc) return FALSE;
    rc->left += dx;
    rc->right += dx;
    rc->top += dy;
    rc->bottom += dy;
    return TRUE;
}
BOOL InflateRect(LPRECT rc, int dx, int dy) {
    if (!rc) return FALSE;
    rc->left -= dx;
    rc->right += dx;
    rc->top -= dy;
    rc->bottom += dy;
    return TRUE;
}
BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right &&
                   a->bottom == b->bottom
               ? TRUE
               : FALSE;
}
