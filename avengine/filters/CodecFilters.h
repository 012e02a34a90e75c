// The filters around the codec plug-ins: picture scaler, H.264 encoder and audio
// encoder. Each works in the buffers its codec allocated at init.
#pragma once

#include "aurik/KorCodec6.h"
#include "filters/AVBaseFilter.h"
#include "lumar/KorCodec3.h"
#include "pindor/KorCodec4.h"

namespace RAVO {

// Scales camera frames (32-bit pixels) to the play size.
class CResamplerVideo : public CAVBaseFilter {
public:
    CResamplerVideo();
    ~CResamplerVideo() override;
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    int init(int srcW, int srcH, int dstW, int dstH);
    int uninit();

    CKorCodec3 m_codec;
    int m_camWidth;
    int m_camHeight;
    int m_playWidth;
    int m_playHeight;
};

class CVideoEncoderFilter : public CAVBaseFilter {
public:
    CVideoEncoderFilter();
    ~CVideoEncoderFilter() override;
    // The encoder's result is passed on as the length even when negative; the
    // sender sends nothing for it.
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    // mode 2: constant quantiser (bitrate is the quantiser), else average bit rate.
    int init(int w, int h, int mode, int bitrate, int fps);
    int uninit();

    CKorCodec4 m_codec;
};

class CAudioEncoderFilter : public CAVBaseFilter {
public:
    CAudioEncoderFilter();
    ~CAudioEncoderFilter() override;
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    int init(int rate, int channels, int bitrate);
    int uninit();

    CKorCodec6 m_codec;
};

}  // namespace RAVO
