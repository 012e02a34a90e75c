// Qt side of the layer's handles, for the layer itself and the user-interface
// library only (the program never includes this).
#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>

#include "win32/base.h"

class QWidget;

namespace winplat {

// A device context drawing with painter (not owned); DeletePainterDC frees the handle.
HDC CreatePainterDC(QPainter* painter);
void DeletePainterDC(HDC dc);
// The painter of a device context, or null for an unknown handle.
QPainter* PainterOf(HDC dc);

// The area of a region handle (empty for an unknown handle); SetRegionOf replaces it.
QRegion RegionOf(HRGN rgn);
bool SetRegionOf(HRGN rgn, const QRegion& region);
// The bitmap selected into a memory device context, as a premultiplied picture.
QImage SelectedBitmapImage(HDC dc);

// The frameless widget that shows a top-level window, or null while it is hidden.
QWidget* WidgetOf(HWND hwnd);

// Sent to a window just before the layer paints what is due: a window that lays its
// controls out does it now, so whatever the layout moves joins that same paint instead
// of asking for another one.
UINT LayOutBeforePaintMessage();

}  // namespace winplat

namespace winplat {
// What the shown window looks like now (painted through WM_PAINT, or the picture of a
// layered window); null when hidden.
QImage GrabWindowImage(HWND hwnd);
}  // namespace winplat
