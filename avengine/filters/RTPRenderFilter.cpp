#include "filters/RTPRenderFilter.h"

#include "rtp/RTPSession.h"

namespace RAVO {

CRTPRenderFilter::CRTPRenderFilter() : m_session(nullptr) {}

int CRTPRenderFilter::in_sample(int id, int type, unsigned, char* data, int len, int, int) {
    if (CRTPSession* s = m_session) return s->sendData(id, type, data, len);
    return 0;
}

int CRTPRenderFilter::out_sample(int, int, unsigned, char*, int, int, int) {
    return 0;
}

}  // namespace RAVO
