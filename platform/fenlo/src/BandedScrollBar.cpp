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

bool BandedScrollBar::StyleCoversTheBar(const QStyleOptionSlider& opt) {
    if (probedStyle_ == style()) return styleCovers_;
    // The bar drawn over black and over white: the same picture when it leaves nothing
    // of the ground showing.
    QImage grounds[2];
    const Qt::GlobalColor colors[2] = {Qt::black, Qt::white};
    for (int i = 0; i < 2; ++i) {
        grounds[i] = QImage(opt.rect.size(), QImage::Format_ARGB32_Premultiplied);
        grounds[i].fill(colors[i]);
        QPainter p(&grounds[i]);
        p.translate(-opt.rect.topLeft());
        style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &p, this);
    }
    probedStyle_ = style();
    styleCovers_ = grounds[0] == grounds[1];
    return styleCovers_;
}

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
    if (!StyleCoversTheBar(opt)) {
        QScrollBar::paintEvent(e);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QPainter painter(this);
    // Each band is drawn whole into a picture of its own size (the style sets clips of
    // its own, which a clip of the painter's would not bound) and copied in.
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
