// What the video windows need of the layers below: DrawDib, camera names in the code
// page, the AV log thread.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/AVLogThread.h"
#include "vexacam/NormalCameraHelper.h"
#include "win32gui/qt_bridge.h"
#include "win32gui/vfw.h"

namespace {

QImage Draw(const BITMAPINFOHEADER& h, const void* bits, int w, int hgt) {
    QImage out(w, hgt, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::black);
    QPainter painter(&out);
    HDC dc = winplat::CreatePainterDC(&painter);
    HDRAWDIB dib = DrawDibOpen();
    EXPECT_TRUE(DrawDibDraw(dib, dc, 0, 0, w, hgt, &h, bits, 0, 0, -1, -1, 0));
    DrawDibClose(dib);
    winplat::DeletePainterDC(dc);
    return out;
}

BITMAPINFOHEADER Header(int w, int h, int bits) {
    BITMAPINFOHEADER hdr{};
    hdr.biSize = sizeof hdr;
    hdr.biWidth = w;
    hdr.biHeight = h;
    hdr.biPlanes = 1;
    hdr.biBitCount = static_cast<WORD>(bits);
    hdr.biCompression = BI_RGB;
    return hdr;
}

}  // namespace

TEST(DrawDibTest, RowsBottomUpStretchedOntoTheDc) {
    // 32 bits, 2 x 2, bottom-up: first stored row (blue, green) is the bottom.
    const uint32_t px32[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
    QImage a = Draw(Header(2, 2, 32), px32, 20, 20);
    EXPECT_EQ(a.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(a.pixel(17, 2), qRgb(255, 255, 255));
    EXPECT_EQ(a.pixel(2, 17), qRgb(0, 0, 255));
    // A negative height is top-down.
    QImage b = Draw(Header(2, -2, 32), px32, 2, 2);
    EXPECT_EQ(b.pixel(0, 0), qRgb(0, 0, 255));

    // 24 bits, 3 pixels wide: rows are padded to 12 bytes.
    const uint8_t px24[24] = {0,   0, 255, 0,   0, 255, 0,   0, 255, 0xEE, 0xEE, 0xEE,
                              255, 0, 0,   255, 0, 0,   255, 0, 0,   0xEE, 0xEE, 0xEE};
    QImage c = Draw(Header(3, 2, 24), px24, 3, 2);
    EXPECT_EQ(c.pixel(2, 0), qRgb(0, 0, 255));  // second stored row is the top
    EXPECT_EQ(c.pixel(0, 1), qRgb(255, 0, 0));
}

TEST(DrawDibTest, RefusesWhatItCannotDraw) {
    const uint32_t px[1] = {0};
    QImage img(4, 4, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&img);
    HDC dc = winplat::CreatePainterDC(&painter);
    HDRAWDIB dib = DrawDibOpen();
    BITMAPINFOHEADER h16 = Header(1, 1, 16);
    EXPECT_FALSE(DrawDibDraw(dib, dc, 0, 0, 4, 4, &h16, px, 0, 0, 1, 1, 0));
    BITMAPINFOHEADER ok = Header(1, 1, 32);
    EXPECT_FALSE(DrawDibDraw(nullptr, dc, 0, 0, 4, 4, &ok, px, 0, 0, 1, 1, 0));
    EXPECT_FALSE(DrawDibDraw(dib, nullptr, 0, 0, 4, 4, &ok, px, 0, 0, 1, 1, 0));
    EXPECT_TRUE(DrawDibClose(dib));
    EXPECT_FALSE(DrawDibClose(dib));
    winplat::DeletePainterDC(dc);
}

TEST(CameraNameTest, NamesComeInTheAnsiCodePage) {
    struct Case {
        const char* utf8;
        std::string ansi;  // code page 936
    } cases[] = {
        {"Mivora Cam", "Mivora Cam"},
        {"测试摄像头", "\xB2\xE2\xCA\xD4\xC9\xE3\xCF\xF1\xCD\xB7"},
        {"Cam \xF0\x9F\x93\xB7", "Cam ?"},  // no form in 936
    };
    setenv("MIVORA_TEST_CAMERA", "1", 1);
    for (const Case& c : cases) {
        setenv("MIVORA_TEST_CAMERA_NAME", c.utf8, 1);
        CNormalCameraHelper camera;
        std::string last;
        for (_DEVIECENAME_LIST* e = camera.getDeviceList(1); e; e = e->next) last = e->name;
        EXPECT_EQ(last, c.ansi) << c.utf8;
        // Connecting by the listed name opens the test camera.
        _VIDEO_CONFIG config{3, 7, 15};
        camera.SetConfig(&config);
        EXPECT_NE(camera.Connect(0, -1, last.c_str(), nullptr), 0) << c.utf8;
    }
    unsetenv("MIVORA_TEST_CAMERA_NAME");
    unsetenv("MIVORA_TEST_CAMERA");
}

TEST(AVLogThreadTest, LongLinesCutAndEveryLineBeforeStopWritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = (dir.path() + "/av.log").toStdString();
    CAVLogThread log(2);
    ASSERT_TRUE(log.Start(path.c_str()));
    log.Log(1, "below the minimum\n");
    const std::string longLine(2000, 'x');
    log.Log(3, "%s", longLine.c_str());
    log.Log(3, "\n");
    for (int i = 0; i < 500; ++i) log.Log(2, "line %d\n", i);
    log.Stop();  // right away: the queue is still full

    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    std::istringstream lines(all.str());
    std::string first, line;
    std::getline(lines, first);
    EXPECT_EQ(first, std::string(1023, 'x'));
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(line, "line " + std::to_string(count));
        ++count;
    }
    EXPECT_EQ(count, 500);
    EXPECT_EQ(all.str().find("below"), std::string::npos);
}
