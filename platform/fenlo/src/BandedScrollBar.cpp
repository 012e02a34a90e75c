#include "BandedScrollBar.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace DuiLib {
namespace detail {

void BandedScrollBar::paintEvent(QPaintEvent* e) {
    // A bar under the pointer or being pressed is drawn with a hovered or pressed part
    // only the base class knows of: that one paints it whole.
    if (orientation() != Qt::Vertical || underMouse() || isSliderDown() ||
        QGuiApplication::mouseButtons() != Qt::NoButton) {
        QScrollBar::paintEvent(e);
        return;
    }
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    opt.subControls = QStyle::SC_All;
    opt.activeSubControls = QStyle::SC_None;
    const qreal ratio = devicePixelRatioF();
    QPainter painter(this);
    // Each band is drawn whole into a picture of its own size (the style sets clips of
    // its own, which a clip of the painter's would not bound) and copied in: the bar's
    // paint covers every pixel of it.
    QImage piece;
    for (const QRect& r : e->region()) {
        for (int top = r.top(); top <= r.bottom(); top += kBandRows) {
            const QRect band(r.left(), top, r.width(), std::min(kBandRows, r.bottom() + 1 - top));
            const QSize pixels = (QSizeF(band.size()) * ratio).toSize();
            if (piece.size() != pixels) piece = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            piece.setDevicePixelRatio(ratio);
            piece.fill(Qt::transparent);
            QPainter p(&piece);
            p.translate(-band.topLeft());
            style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &p, this);
            p.end();
            painter.drawImage(band.topLeft(), piece);
        }
    }
}

}  // namespace detail
}  // namespace DuiLib
