#include "filters/SourceRTP.h"

#include "rtp/RTPSession.h"

namespace RAVO {

CSourceRTP::CSourceRTP() : m_session(nullptr) {}

int CSourceRTP::start() {
    if (CRTPSession* s = m_session) return s->start();
    return 0;
}

int CSourceRTP::stop() {
    if (CRTPSession* s = m_session) return s->stop();
    return 0;
}

int CSourceRTP::out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    return fan_out(id, type, ts, data, len, p1, p2);
}

int CSourceRTP::OnGetRtpFrame(int ssrc, int pt, char* data, int len, _rtp_frame* frame) {
    if (!frame) return 0;
    return out_sample(ssrc, pt, frame->ts, data, len, frame->loss, 0);
}

}  // namespace RAVO
