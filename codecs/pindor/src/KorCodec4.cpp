#include "pindor/KorCodec4.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libswscale/swscale.h>
#include <x264.h>
}

namespace {

void PutU16(uint8_t* p, unsigned v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

size_t BufferBytes(int width, int height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

}  // namespace

CKorCodec4::CKorCodec4()
    : opened(false),
      width(0),
      height(0),
      inputFormat(0),
      encoder(nullptr),
      param(nullptr),
      picture(nullptr),
      sws(nullptr),
      buffer(nullptr) {}

CKorCodec4::~CKorCodec4() {}

int CKorCodec4::EncodeInit(int w, int h, int rcMode, int rate, int fps, int format) {
    if (opened) return -1;
    // Sizes x264 would refuse are refused here: its failed open leaks what it copied.
    // 4:2:0 needs even sizes; the frame header carries 16 bits of each.
    if (w <= 0 || h <= 0 || w > 0xFFFF || h > 0xFFFF || (w | h) & 1 || fps <= 0) return -2;

    // A block left from an encoder that did not open is reused rather than lost.
    if (param) {
        x264_param_cleanup(param);
    } else {
        param = new x264_param_t;
        std::memset(param, 0, sizeof *param);
    }
    if (x264_param_default_preset(param, "medium", "zerolatency") < 0) return -2;
    width = w;
    height = h;
    inputFormat = format;

    float x = static_cast<float>(rate * 0.92);
    if (x > 10000) x = x - 10000;

    param->i_width = w;
    param->i_height = h;
    param->b_repeat_headers = 1;
    param->b_cabac = 1;
    param->i_fps_num = static_cast<uint32_t>(fps);
    param->i_fps_den = 1;

    if (rcMode == 2) {
        param->rc.i_rc_method = X264_RC_CQP;
        param->rc.i_qp_constant = std::clamp(rate, 20, 50);
        param->rc.i_qp_min = 20;
        param->rc.i_qp_max = 40;
        param->rc.i_qp_step = 1;
    } else {
        param->rc.i_rc_method = X264_RC_ABR;
        param->rc.i_bitrate = static_cast<int>(x / 1000);
        param->rc.f_rate_tolerance = 0.1f;
        param->rc.i_vbv_max_bitrate = static_cast<int>((x + 5000) / 1000);
        param->rc.i_vbv_buffer_size = param->rc.i_vbv_max_bitrate;
        param->rc.f_vbv_buffer_init = 0.5f;
    }

    param->i_frame_total = 0;  // doubles as the frame counter
    param->i_threads = 1;
    param->i_keyint_max = fps;
    param->i_keyint_min = fps;

    x264_param_apply_profile(param, "baseline");
    param->i_log_level = X264_LOG_NONE;
    param->i_bframe = 0;

    encoder = x264_encoder_open(param);
    if (!encoder) return -2;

    picture = new x264_picture_t;
    if (x264_picture_alloc(picture, X264_CSP_I420, w, h) < 0) {
        delete picture;
        picture = nullptr;
        x264_encoder_close(encoder);
        encoder = nullptr;
        return -2;
    }
    picture->i_type = X264_TYPE_AUTO;
    picture->i_qpplus1 = 0;
    buffer = new uint8_t[BufferBytes(w, h)];
    const AVPixelFormat in = format == 1 ? AV_PIX_FMT_RGBA : AV_PIX_FMT_BGR24;
    sws =
        sws_getContext(w, h, in, w, h, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    opened = true;
    if (!sws) {
        // Without the converter every Encode would fail; report it as a failed open.
        EncodeClose();
        return -2;
    }
    return 0;
}

int CKorCodec4::Encode(int srcWidth, int srcRows, unsigned char* src, int srcLen) {
    if (!opened) return -2;
    // The converter reads `width` pixels of every row: a narrower source would be overrun.
    if (!src || srcWidth < width || srcRows <= 0) return -1;

    const int rows = std::min(srcRows, height);
    const int bpp = inputFormat == 1 ? 4 : 3;
    const size_t lumaBytes = static_cast<size_t>(width) * height;
    uint8_t* planes[4] = {buffer, buffer + lumaBytes, buffer + lumaBytes * 5 / 4, nullptr};
    int strides[4] = {width, width / 2, width / 2, 0};
    const uint8_t* srcPlanes[4] = {src, nullptr, nullptr, nullptr};
    int srcStrides[4] = {srcWidth * bpp, 0, 0, 0};
    sws_scale(sws, srcPlanes, srcStrides, 0, rows, planes, strides);

    for (int p = 0; p < 3; ++p) {
        const int pw = p == 0 ? width : width / 2;
        const int ph = p == 0 ? height : height / 2;
        for (int y = 0; y < ph; ++y) {
            std::memcpy(picture->img.plane[p] + static_cast<size_t>(y) * picture->img.i_stride[p],
                        planes[p] + static_cast<size_t>(y) * strides[p], static_cast<size_t>(pw));
        }
    }
    param->i_frame_total += 1;
    picture->i_pts = static_cast<int64_t>(param->i_frame_total) * param->i_fps_den;

    x264_nal_t* nals = nullptr;
    int nalCount = 0;
    x264_picture_t out;
    x264_picture_init(&out);
    const int size = x264_encoder_encode(encoder, &nals, &nalCount, picture, &out);
    if (size < 0) {
        std::printf("x264_encoder_encode() error.\n");
        return -1;
    }

    const size_t capacity = BufferBytes(width, height);
    PutU16(buffer, static_cast<unsigned>(width));
    PutU16(buffer + 2, static_cast<unsigned>(height));
    PutU32(buffer + 4, size > 0 && out.i_type == X264_TYPE_IDR ? 1u : 0u);
    size_t used = 8;
    for (int i = 0; i < nalCount; ++i) {
        const size_t n = static_cast<size_t>(nals[i].i_payload);
        // A frame that does not fit the buffer is an encoder error, not an overrun.
        if (n > capacity - used) return -1;
        std::memcpy(buffer + used, nals[i].p_payload, n);
        used += n;
    }
    return static_cast<int>(used);
}

int CKorCodec4::EncodeClose() {
    if (!opened) return -1;
    if (encoder) x264_encoder_close(encoder);
    if (param) {
        x264_param_cleanup(param);
        delete param;
    }
    if (picture) {
        x264_picture_clean(picture);
        delete picture;
    }
    if (sws) sws_freeContext(sws);
    delete[] buffer;
    opened = false;
    width = 0;
    height = 0;
    inputFormat = 0;
    encoder = nullptr;
    param = nullptr;
    picture = nullptr;
    sws = nullptr;
    buffer = nullptr;
    return 0;
}

// The three decode entries share one body in the plug-in: nothing to do.
int CKorCodec4::DecodeInit(int) {
    return 0;
}
int CKorCodec4::Decode(unsigned char*, int) {
    return 0;
}
int CKorCodec4::DecodeClose() {
    return 0;
}
