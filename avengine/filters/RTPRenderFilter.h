// End of a capture chain: hands each encoded frame to the session's sender.
#pragma once

#include <atomic>

#include "filters/AVBaseFilter.h"

namespace RAVO {

class CRTPSession;

class CRTPRenderFilter : public CAVBaseFilter {
public:
    CRTPRenderFilter();
    int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;
    int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2) override;

    void setRTPSession(CRTPSession* session) { m_session = session; }
    CRTPSession* getRTPSession() const { return m_session; }

    std::atomic<CRTPSession*> m_session;
};

}  // namespace RAVO
