#include "pindor2/KorCodec5.h"

#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace {

// Pictures beyond this are refused: the frame header carries 16-bit sizes, and nothing
// the engine sends is near it.
constexpr int kMaxSide = 4096;
// Packets are one frame of a low-rate stream; anything this large is garbage.
constexpr int kMaxPacket = 8 * 1024 * 1024;
// libswscale's vector paths may store a few pixels past the end of the last row.
constexpr int kOutputSlack = 256;

}  // namespace

CKorCodec5::CKorCodec5()
    : opened(0),
      format(0),
      context(nullptr),
      frame(nullptr),
      packet(nullptr),
      sws(nullptr),
      outBuffer(nullptr),
      outSize(0),
      outWidth(0),
      outHeight(0),
      outCapacity(0),
      input(nullptr),
      inputCapacity(0) {}

CKorCodec5::~CKorCodec5() {
    DecodeClose();
}

int CKorCodec5::DecodeInit(int fmt) {
    if (opened) return -1;
    // Damaged packets from the network would otherwise fill standard error.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });

    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    if (!codec) return -2;
    context = avcodec_alloc_context3(codec);
    if (!context) return -2;
    context->thread_count = 1;
    context->flags |= AV_CODEC_FLAG_LOW_DELAY;
    // Concealed pictures are not shown: the stream waits for the next key frame instead.
    context->flags &= ~AV_CODEC_FLAG_OUTPUT_CORRUPT;
    context->err_recognition |= AV_EF_EXPLODE | AV_EF_BITSTREAM | AV_EF_BUFFER;
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return -2;
    }
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    if (!frame || !packet) {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
        return -2;
    }
    format = fmt;
    opened = 1;
    return 0;
}

int CKorCodec5::Decode(const void* data, int len, int expectWidth, int expectHeight) {
    if (!opened) return -2;
    // An empty packet would be taken as the end of the stream.
    if (!data || len <= 0 || len > kMaxPacket) return -1;

    const int padded = len + AV_INPUT_BUFFER_PADDING_SIZE;
    if (padded > inputCapacity) {
        av_free(input);
        input = static_cast<uint8_t*>(av_malloc(static_cast<size_t>(padded)));
        inputCapacity = input ? padded : 0;
        if (!input) return -1;
    }
    std::memcpy(input, data, static_cast<size_t>(len));
    std::memset(input + len, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    packet->data = input;
    packet->size = len;

    if (avcodec_send_packet(context, packet) < 0) {
        av_packet_unref(packet);
        return -1;
    }
    av_packet_unref(packet);

    bool got = false;
    bool damaged = false;
    for (;;) {
        av_frame_unref(frame);
        const int r = avcodec_receive_frame(context, frame);
        if (r < 0) break;
        got = true;
        damaged = frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT);
        // Keep the newest picture; with one-frame packets there is only one.
        if (!damaged) break;
    }
    if (!got || damaged) return -1;

    const int w = frame->width;
    const int h = frame->height;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return -1;
    if ((expectWidth >= 0 && expectWidth != w) || (expectHeight >= 0 && expectHeight != h))
        return -3;

    const int bpp = format == 1 ? 4 : 3;
    const AVPixelFormat outFormat = format == 1 ? AV_PIX_FMT_RGBA : AV_PIX_FMT_BGR24;
    sws = sws_getCachedContext(sws, w, h, static_cast<AVPixelFormat>(frame->format), w, h,
                               outFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws) return -1;

    const int bytes = w * h * bpp;
    if (bytes + kOutputSlack > outCapacity) {
        delete[] outBuffer;
        outCapacity = bytes + kOutputSlack;
        outBuffer = new char[static_cast<size_t>(outCapacity)];
    }
    uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(outBuffer), nullptr, nullptr, nullptr};
    int dstStride[4] = {w * bpp, 0, 0, 0};
    if (sws_scale(sws, frame->data, frame->linesize, 0, h, dst, dstStride) != h) return -1;
    outWidth = w;
    outHeight = h;
    outSize = bytes;
    return bytes;
}

int CKorCodec5::DecodeClose() {
    if (!opened) return -1;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    if (sws) sws_freeContext(sws);
    sws = nullptr;
    delete[] outBuffer;
    outBuffer = nullptr;
    av_free(input);
    input = nullptr;
    inputCapacity = 0;
    outSize = outWidth = outHeight = outCapacity = 0;
    format = 0;
    opened = 0;
    return 0;
}
