#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "dravik/PicZoom.h"
#include "lumar/KorCodec3.h"

namespace {

struct ScaleCase {
    int sw, sh, dw, dh, format, outSize;
};

class Scaler : public ::testing::TestWithParam<ScaleCase> {};

// Left half one colour, right half another: the halves survive scaling and the output
// has the stated size.
TEST_P(Scaler, ScalesToTheAskedSize) {
    const ScaleCase& c = GetParam();
    const int bpp = c.format == 1 ? 4 : 3;
    std::vector<uint8_t> src(static_cast<size_t>(c.sw) * c.sh * bpp);
    const uint8_t left[4] = {200, 40, 10, 255};
    const uint8_t right[4] = {20, 90, 230, 255};
    for (int y = 0; y < c.sh; ++y)
        for (int x = 0; x < c.sw; ++x)
            std::memcpy(&src[(static_cast<size_t>(y) * c.sw + x) * bpp],
                        x < c.sw / 2 ? left : right, static_cast<size_t>(bpp));

    CKorCodec3 s;
    ASSERT_EQ(s.EncodeInit(c.sw, c.sh, c.dw, c.dh, c.format), 0);
    ASSERT_EQ(s.Encode(src.data(), static_cast<int>(src.size())), 0);
    EXPECT_EQ(s.outSize, c.outSize);
    const uint8_t* out = s.buffer;
    for (int y : {0, c.dh / 2, c.dh - 1}) {
        const uint8_t* l = out + (static_cast<size_t>(y) * c.dw + 2) * bpp;
        const uint8_t* r = out + (static_cast<size_t>(y) * c.dw + c.dw - 3) * bpp;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(l[k], left[k], 2) << "row " << y;
            EXPECT_NEAR(r[k], right[k], 2) << "row " << y;
        }
    }
    EXPECT_EQ(s.EncodeClose(), 0);
    EXPECT_EQ(s.outSize, 0);
    EXPECT_EQ(s.buffer, nullptr);
    EXPECT_EQ(s.sws, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Scaler,
                         ::testing::Values(ScaleCase{640, 480, 320, 240, 1, 320 * 240 * 4},
                                           ScaleCase{320, 240, 224, 168, 1, 224 * 168 * 4},
                                           ScaleCase{320, 240, 256, 192, 0, 256 * 192 * 3},
                                           ScaleCase{160, 120, 320, 240, 1, 320 * 240 * 4},
                                           ScaleCase{176, 144, 352, 288, 0, 352 * 288 * 3}));

// A frame whose last byte is the last readable byte before an inaccessible page, so that a
// read past the frame faults.
class FrameAtPageEnd {
public:
    explicit FrameAtPageEnd(size_t bytes) {
        const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
        size_ = (bytes + page - 1) / page * page + page;
        void* p =
            ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) return;
        base_ = static_cast<uint8_t*>(p);
        if (::mprotect(base_ + size_ - page, page, PROT_NONE) != 0) return;
        frame_ = base_ + size_ - page - bytes;
        std::memset(frame_, 0x5A, bytes);
    }
    ~FrameAtPageEnd() {
        if (base_) ::munmap(base_, size_);
    }
    uint8_t* frame() const { return frame_; }

private:
    uint8_t* base_ = nullptr;
    uint8_t* frame_ = nullptr;
    size_t size_ = 0;
};

// Both pixel formats read nothing past the end of a frame of exactly the stated size.
TEST(Scaler, ReadsNoFurtherThanTheFrame) {
    const ScaleCase cases[] = {{320, 240, 224, 168, 0, 224 * 168 * 3},
                               {640, 480, 320, 240, 0, 320 * 240 * 3},
                               {176, 144, 352, 288, 0, 352 * 288 * 3},
                               {320, 240, 224, 168, 1, 224 * 168 * 4}};
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh
                                        << " format " << c.format);
        FrameAtPageEnd src(static_cast<size_t>(c.sw) * c.sh * (c.format == 1 ? 4 : 3));
        ASSERT_NE(src.frame(), nullptr);
        CKorCodec3 s;
        ASSERT_EQ(s.EncodeInit(c.sw, c.sh, c.dw, c.dh, c.format), 0);
        ASSERT_EQ(s.Encode(src.frame(), 0), 0);
        EXPECT_EQ(s.outSize, c.outSize);
        EXPECT_NEAR(s.buffer[c.outSize - 1], 0x5A, 2);
        s.EncodeClose();
    }
}

TEST(Scaler, WithoutSetUpEncodeRefuses) {
    CKorCodec3 s;
    std::vector<uint8_t> src(64 * 4);
    EXPECT_EQ(s.Encode(src.data(), 0), -1);
    EXPECT_EQ(s.outSize, 0);
    EXPECT_EQ(s.EncodeClose(), 0);
    ASSERT_EQ(s.EncodeInit(0, 0, 0, 0, 1), 0);  // nothing to scale: no scaler, no buffer
    EXPECT_EQ(s.Encode(src.data(), 0), -1);
    s.EncodeClose();
}

TEST(Scaler, SecondSetUpReplacesTheFirst) {
    CKorCodec3 s;
    std::vector<uint8_t> src(320 * 240 * 4, 128);
    ASSERT_EQ(s.EncodeInit(320, 240, 160, 120, 1), 0);
    ASSERT_EQ(s.EncodeInit(320, 240, 224, 168, 1), 0);
    ASSERT_EQ(s.Encode(src.data(), 0), 0);
    EXPECT_EQ(s.outSize, 224 * 168 * 4);
    EXPECT_NEAR(s.buffer[224 * 168 * 4 - 2], 128, 1);
    s.EncodeClose();
}

// Zoom of 32-bit pictures for the video panes.
struct ZoomCase {
    long sw, sh, dw, dh;
};

class Zoom : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(Zoom, KeepsColoursAndStaysInsideTheDestination) {
    const ZoomCase& c = GetParam();
    // Horizontal ramp in the first channel, constant elsewhere.
    std::vector<uint32_t> src(static_cast<size_t>(c.sw * c.sh));
    for (long y = 0; y < c.sh; ++y)
        for (long x = 0; x < c.sw; ++x)
            src[static_cast<size_t>(y * c.sw + x)] =
                static_cast<uint32_t>(x * 255 / (c.sw > 1 ? c.sw - 1 : 1)) | 0x40u << 8 |
                0x80u << 16 | 0xFFu << 24;
    // Destination rows padded by 3 pixels that must stay untouched.
    const long stridePx = c.dw + 3;
    std::vector<uint32_t> dst(static_cast<size_t>(stridePx * c.dh), 0xDEADBEEF);
    PicZoom_Bilinear_MMX(DravikPicture{dst.data(), stridePx * 4, c.dw, c.dh},
                         DravikPicture{src.data(), c.sw * 4, c.sw, c.sh});
    for (long y = 0; y < c.dh; ++y) {
        long last = -1;
        for (long x = 0; x < c.dw; ++x) {
            const uint32_t p = dst[static_cast<size_t>(y * stridePx + x)];
            EXPECT_EQ(p >> 8, 0xFF8040u) << x << "," << y;
            const long ramp = static_cast<long>(p & 0xFF);
            EXPECT_GE(ramp, last) << "ramp falls at " << x << "," << y;
            last = ramp;
        }
        for (long x = c.dw; x < stridePx; ++x)
            EXPECT_EQ(dst[static_cast<size_t>(y * stridePx + x)], 0xDEADBEEFu);
    }
    // The ends of the ramp reach the ends of the picture when enlarging or keeping size.
    if (c.sw > 1 && c.dw >= c.sw) {
        EXPECT_EQ(dst[0] & 0xFF, 0u);
        EXPECT_EQ(dst[static_cast<size_t>(c.dw - 1)] & 0xFF, 255u);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Zoom,
                         ::testing::Values(ZoomCase{320, 240, 640, 480},
                                           ZoomCase{320, 240, 198, 182},
                                           ZoomCase{320, 240, 320, 240},
                                           ZoomCase{224, 168, 401, 301}, ZoomCase{1, 1, 5, 3},
                                           ZoomCase{640, 480, 7, 5}));

// Centre-aligned weights: two pixels doubled give a quarter and three quarters between.
TEST(Zoom, WeighsNeighboursByDistance) {
    std::vector<uint32_t> src = {0xFF000000u, 0xFF0000FFu};
    std::vector<uint32_t> dst(4);
    PicZoom_Bilinear_MMX(DravikPicture{dst.data(), 16, 4, 1}, DravikPicture{src.data(), 8, 2, 1});
    const uint32_t expected[4] = {0, 64, 191, 255};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dst[i] & 0xFF, expected[i]) << i;
        EXPECT_EQ(dst[i] >> 24, 0xFFu) << i;
    }
}

TEST(Zoom, UnusablePicturesAreLeftAlone) {
    std::vector<uint32_t> src(16, 0x11223344), dst(16, 0);
    const DravikPicture good{src.data(), 16, 4, 4};
    PicZoom_Bilinear_MMX(DravikPicture{dst.data(), 16, 0, 4}, good);
    PicZoom_Bilinear_MMX(DravikPicture{dst.data(), 8, 4, 4}, good);  // stride too short
    PicZoom_Bilinear_MMX(DravikPicture{dst.data(), 16, 4, 4}, DravikPicture{nullptr, 16, 4, 4});
    for (uint32_t p : dst) EXPECT_EQ(p, 0u);
}

}  // namespace
