#include "filters/CodecFilters.h"

namespace RAVO {

CResamplerVideo::CResamplerVideo()
    : m_camWidth(0), m_camHeight(0), m_playWidth(0), m_playHeight(0) {}

CResamplerVideo::~CResamplerVideo() {
    uninit();
}

int CResamplerVideo::init(int srcW, int srcH, int dstW, int dstH) {
    uninit();
    m_camWidth = srcW;
    m_camHeight = srcH;
    m_playWidth = dstW;
    m_playHeight = dstH;
    return m_codec.EncodeInit(srcW, srcH, dstW, dstH, 1);
}

int CResamplerVideo::uninit() {
    m_codec.EncodeClose();
    return 0;
}

int CResamplerVideo::in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    if (!data || m_camWidth <= 0 || m_camHeight <= 0) return -1;
    // The scaler reads a whole camera frame; a shorter sample is not one.
    if (len < m_camWidth * m_camHeight * 4) return -1;
    if (m_playWidth == m_camWidth && m_playHeight == m_camHeight)
        return out_sample(id, type, ts, data, len, m_playWidth, m_playHeight);
    if (m_codec.Encode(reinterpret_cast<unsigned char*>(data), len) != 0) return -1;
    return out_sample(id, type, ts, reinterpret_cast<char*>(m_codec.buffer), m_codec.outSize,
                      m_playWidth, m_playHeight);
}

int CResamplerVideo::out_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

CVideoEncoderFilter::CVideoEncoderFilter() {}

CVideoEncoderFilter::~CVideoEncoderFilter() {
    uninit();
}

int CVideoEncoderFilter::init(int w, int h, int mode, int bitrate, int fps) {
    return m_codec.EncodeInit(w, h, mode, bitrate, fps, 1);
}

int CVideoEncoderFilter::uninit() {
    if (m_codec.opened) m_codec.EncodeClose();
    return 0;
}

int CVideoEncoderFilter::in_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                   int p2) {
    // The encoder reads a whole frame of its own size.
    if (m_codec.opened && (!data || len < m_codec.width * m_codec.height * 4)) return -1;
    int result =
        m_codec.Encode(m_codec.width, m_codec.height, reinterpret_cast<unsigned char*>(data), len);
    return out_sample(id, type, ts, reinterpret_cast<char*>(m_codec.buffer), result, 0, 0);
}

int CVideoEncoderFilter::out_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                    int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

CAudioEncoderFilter::CAudioEncoderFilter() {}

CAudioEncoderFilter::~CAudioEncoderFilter() {
    uninit();
}

int CAudioEncoderFilter::init(int rate, int channels, int bitrate) {
    return m_codec.EncodeInit(rate, channels, bitrate);
}

int CAudioEncoderFilter::uninit() {
    if (m_codec.opened) m_codec.EncodeClose();
    return 0;
}

int CAudioEncoderFilter::in_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                   int p2) {
    int result = m_codec.Encode(data, len);
    if (result > 0) return out_sample(id, type, ts, m_codec.outBuffer, result, p1, p2);
    return 0;
}

int CAudioEncoderFilter::out_sample(int id, int type, unsigned ts, char* data, int len, int p1,
                                    int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

}  // namespace RAVO
