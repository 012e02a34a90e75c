// A scroll bar painted in bands of a few rows. A page that grows repaints its whole
// bar on every line; painted at once, each of the style's fills over the bar's full
// height is split by the raster engine across its thread pool, and the handing out
// and waiting costs far more than the few pixels. Where the style paints every pixel
// of the bar, a band drawn apart and copied in is the same picture; a style that lets
// the ground show through gets Qt's whole paint.
#pragma once

#include <QScrollBar>

class QPaintEvent;
class QStyle;
class QStyleOptionSlider;

namespace DuiLib {
namespace detail {

class BandedScrollBar : public QScrollBar {
public:
    // Short enough that the raster engine fills a band on the painting thread.
    static constexpr int kBandRows = 64;

    explicit BandedScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr)
        : QScrollBar(orientation, parent) {}

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    // Whether the style's bar hides what lies beneath it, found once per style.
    bool StyleCoversTheBar(const QStyleOptionSlider& opt);
    const QStyle* probedStyle_ = nullptr;
    bool styleCovers_ = false;
};

}  // namespace detail
}  // namespace DuiLib
