// Head of the play chain: takes every finished frame from the session and hands
// it to both stream managers, each of which keeps its own payload type.
#pragma once

#include <atomic>

#include "filters/AVBaseFilter.h"
#include "rtp/RTPDefs.h"

namespace RAVO {

class CRTPSession;

class CSourceRTP : public CAVBaseFilter, public IGetRtpFrameCallBack {
public:
    CSourceRTP();
    // Start and stop the session's threads.
    int start() override;
    int stop() override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    // p1 of the sample is the frame's loss flag.
    int OnGetRtpFrame(int ssrc, int pt, char* data, int len, _rtp_frame* frame) override;

    void setRTPSession(CRTPSession* session) { m_session = session; }
    CRTPSession* getRTPSession() const { return m_session; }

    std::atomic<CRTPSession*> m_session;
};

}  // namespace RAVO
