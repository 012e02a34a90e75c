// A large picture stretched over a control (a window's background) looks the same
// however the window is repainted: whole, in pieces, at another size, or after the
// picture itself changed.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <unistd.h>

#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class StretchedImageTest : public UiTest {};

// A 40x40 picture of four coloured quarters, stretched a lot by the tests.
void SaveQuarters(const QString& path, QColor topLeft) {
    QImage img(40, 40, QImage::Format_ARGB32);
    QPainter p(&img);
    p.fillRect(0, 0, 20, 20, topLeft);
    p.fillRect(20, 0, 20, 20, Qt::green);
    p.fillRect(0, 20, 20, 20, Qt::blue);
    p.fillRect(20, 20, 20, 20, QColor(255, 255, 255, 128));
    p.end();
    ASSERT_TRUE(img.save(path));
}

// The picture stretched over the whole canvas, painted in the given pieces.
QImage Paint(CPaintManagerUI& pm, const std::wstring& file, QSize size,
             const std::vector<RECT>& pieces) {
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::black);
    QPainter p(&out);
    HDC dc = winplat::CreatePainterDC(&p);
    const RECT item{0, 0, size.width(), size.height()};
    for (const RECT& piece : pieces)
        CRenderEngine::DrawImageString(dc, &pm, item, piece, file.c_str());
    winplat::DeletePainterDC(dc);
    return out;
}

// What Qt draws for the picture stretched in one go.
QImage Reference(const QString& path, QSize size) {
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::black);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint(0, 0), size), QImage(path));
    return out;
}

TEST_F(StretchedImageTest, LooksTheSameWholeInPiecesAtEverySizeAndAfterAChange) {
    const QString path = QDir::tempPath() + QStringLiteral("/mivora-stretch-%1.png").arg(getpid());
    SaveQuarters(path, Qt::red);
    const std::wstring file = path.toStdWString();
    CPaintManagerUI pm;
    const struct {
        const char* what;
        QSize size;
        std::vector<RECT> pieces;
    } cases[] = {
        {"whole", QSize(300, 200), {RECT{0, 0, 300, 200}}},
        {"in pieces",
         QSize(300, 200),
         {RECT{0, 0, 300, 50}, RECT{0, 50, 300, 117}, RECT{0, 117, 151, 200},
          RECT{151, 117, 300, 200}}},
        {"larger", QSize(400, 300), {RECT{0, 0, 400, 300}}},
        {"back to the first size", QSize(300, 200), {RECT{0, 0, 150, 200}, RECT{150, 0, 300, 200}}},
    };
    for (const auto& c : cases) {
        const QImage want = Reference(path, c.size);
        // Painting twice shows the same as painting once.
        Paint(pm, file, c.size, c.pieces);
        EXPECT_EQ(Paint(pm, file, c.size, c.pieces), want) << c.what;
    }
    // The same file with other pixels, loaded again: the new picture shows.
    SaveQuarters(path, Qt::yellow);
    pm.RemoveAllImages();
    const QImage want = Reference(path, QSize(300, 200));
    const QImage got = Paint(pm, file, QSize(300, 200), {RECT{0, 0, 300, 200}});
    EXPECT_EQ(got.pixel(10, 10), qRgb(255, 255, 0));
    EXPECT_EQ(got, want);
    QFile::remove(path);
}

}  // namespace
