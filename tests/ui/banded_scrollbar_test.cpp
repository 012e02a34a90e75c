// The page's scroll bar, painted in bands, looks exactly like Qt's own whole paint of
// the same bar, in every position and size and for a repaint of only some of it.
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include <string>

#include "BandedScrollBar.h"
#include "real_display.h"
#include "ui_fixture.h"

namespace {

class BandedScrollBarTest : public UiTest {};

void Place(QScrollBar& bar, int height, int max, int page, int value, bool enabled) {
    bar.resize(bar.style()->pixelMetric(QStyle::PM_ScrollBarExtent), height);
    bar.setRange(0, max);
    bar.setPageStep(page);
    bar.setValue(value);
    bar.setEnabled(enabled);
}

// The bar painted within `region` onto a ground that shows what was left unpainted.
QImage Paint(QScrollBar& bar, const QRegion& region) {
    QImage out(bar.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::magenta);
    bar.render(&out, region.boundingRect().topLeft(), region, QWidget::DrawChildren);
    return out;
}

// Where two paints differ: the count of such pixels and the first one, for the message.
std::string Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    int count = 0;
    QPoint first;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0) first = QPoint(x, y);
    if (count == 0) return {};
    return std::to_string(count) + " pixels, first at " + std::to_string(first.x()) + "," +
           std::to_string(first.y()) + ": " + std::to_string(a.pixel(first)) + " vs " +
           std::to_string(b.pixel(first));
}

TEST_F(BandedScrollBarTest, PaintsTheSamePixelsAsTheWholeBar) {
    const struct {
        int height, max, page, value;
        bool enabled;
    } cases[] = {
        {40, 100, 10, 0, true},          // shorter than one band
        {64, 100, 10, 50, true},         // exactly one band
        {65, 100, 10, 100, true},        // one row into the second band
        {300, 100, 50, 0, true},         // handle at the top
        {300, 100, 50, 100, true},       // handle at the bottom
        {300, 100000, 20, 99000, true},  // smallest handle
        {517, 3, 1, 2, true},            // long handle, odd height
        {300, 0, 10, 0, true},           // nothing to scroll
        {300, 100, 10, 30, false},       // disabled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.height << " max " << c.max << " value "
                                        << c.value << " enabled " << c.enabled);
        QScrollBar plain(Qt::Vertical);
        DuiLib::detail::BandedScrollBar banded(Qt::Vertical);
        Place(plain, c.height, c.max, c.page, c.value, c.enabled);
        Place(banded, c.height, c.max, c.page, c.value, c.enabled);
        const int w = plain.width();
        const QRegion whole(plain.rect());
        // Two separate strips, the second crossing a band's edge.
        const QRegion strips = QRegion(0, 3, w, 20) + QRegion(0, c.height / 2 - 5, w, 80);
        for (const QRegion& region : {whole, strips}) {
            EXPECT_EQ(Differences(Paint(banded, region), Paint(plain, region)), "");
        }
    }
}

// Painted through the window's backing store and read back from the X server, beside
// Qt's own bar, at first and after the range grew (the repaint a page's new line asks).
TEST_F(BandedScrollBarTest, RealDisplayShowsTheSameBarAsQt) {
    if (!realdisplay::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
    QWidget top;
    top.resize(120, 340);
    QScrollBar plain(Qt::Vertical, &top);
    DuiLib::detail::BandedScrollBar banded(Qt::Vertical, &top);
    for (QScrollBar* bar : {static_cast<QScrollBar*>(&plain), static_cast<QScrollBar*>(&banded)})
        Place(*bar, 300, 100, 20, 40, true);
    plain.move(13, 9);
    banded.move(61, 17);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    auto shownAlike = [&] {
        const QImage expected = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage screen = realdisplay::GrabScreen();
        auto on = [&](const QWidget& w) {
            return screen.copy(QRect(w.mapToGlobal(QPoint()), w.size()))
                .convertToFormat(QImage::Format_RGB32);
        };
        return on(plain) == expected && on(banded) == expected;
    };
    EXPECT_TRUE(QTest::qWaitFor(shownAlike, 10000));
    for (QScrollBar* bar : {static_cast<QScrollBar*>(&plain), static_cast<QScrollBar*>(&banded)}) {
        bar->setRange(0, 5000);
        bar->setValue(5000);
    }
    EXPECT_TRUE(QTest::qWaitFor(shownAlike, 10000));
}

}  // namespace
