#include "lumar/KorCodec3.h"

#include <cstring>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

// Bytes the scaler may read past the end of a row of packed 24-bit pixels.
constexpr size_t kReadSlack = 16;

}  // namespace

CKorCodec3::CKorCodec3()
    : srcWidth(0),
      srcHeight(0),
      dstWidth(0),
      dstHeight(0),
      format(0),
      sws(nullptr),
      buffer(nullptr),
      outSize(0) {}

CKorCodec3::~CKorCodec3() {}

int CKorCodec3::EncodeInit(int sw, int sh, int dw, int dh, int fmt) {
    // A second set-up without EncodeClose would otherwise lose the first scaler and buffer.
    EncodeClose();
    srcWidth = sw;
    srcHeight = sh;
    dstWidth = dw;
    dstHeight = dh;
    format = fmt;
    if (dw > 0 && dh > 0) buffer = new uint8_t[static_cast<size_t>(dw) * dh * 4];
    const AVPixelFormat pix = fmt == 1 ? AV_PIX_FMT_RGBA : AV_PIX_FMT_BGR24;
    // Invalid sizes leave no scaler; Encode then refuses instead of crashing.
    if (sw > 0 && sh > 0 && dw > 0 && dh > 0)
        sws = sws_getContext(sw, sh, pix, dw, dh, pix, SWS_BILINEAR, nullptr, nullptr, nullptr);
    return 0;
}

int CKorCodec3::Encode(unsigned char* src, int srcLen) {
    if (!sws || !buffer || !src) return -1;
    const int bpp = format == 1 ? 4 : 3;
    const int stride = srcWidth * bpp;
    int srcStrides[4] = {stride, 0, 0, 0};
    uint8_t* dstPlanes[4] = {buffer, nullptr, nullptr, nullptr};
    int dstStrides[4] = {dstWidth * bpp, 0, 0, 0};
    const uint8_t* srcPlanes[4] = {src, nullptr, nullptr, nullptr};
    // The 24-bit reader loads four bytes per pixel and so reads a little past the frame's
    // last byte: a 24-bit frame is scaled from a padded copy.
    std::vector<uint8_t> padded;
    if (bpp == 3) {
        const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(srcHeight);
        padded.assign(bytes + kReadSlack, 0);
        std::memcpy(padded.data(), src, bytes);
        srcPlanes[0] = padded.data();
    }
    sws_scale(sws, srcPlanes, srcStrides, 0, srcHeight, dstPlanes, dstStrides);
    outSize = dstWidth * dstHeight * bpp;
    return 0;
}

int CKorCodec3::EncodeClose() {
    if (sws) {
        sws_freeContext(sws);
        sws = nullptr;
    }
    if (buffer) {
        delete[] buffer;
        buffer = nullptr;
    }
    outSize = 0;
    return 0;
}

// The three decode entries share one body in the plug-in: nothing to do.
int CKorCodec3::DecodeInit(int) {
    return 0;
}
int CKorCodec3::Decode(unsigned char*, int) {
    return 0;
}
int CKorCodec3::DecodeClose() {
    return 0;
}
