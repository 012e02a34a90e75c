#include "filters/AVBaseFilter.h"

#include <algorithm>

namespace RAVO {

CAVBaseFilter::CAVBaseFilter() : m_ref(1) {
    InitializeCriticalSection(&m_sinkLock);
}

CAVBaseFilter::~CAVBaseFilter() {
    {
        CAutoLock lock(&m_sinkLock);
        m_sinks.clear();  // the sinks belong to whoever built the chain
    }
    DeleteCriticalSection(&m_sinkLock);
}

int CAVBaseFilter::start() {
    return 0;
}
int CAVBaseFilter::stop() {
    return 0;
}
int CAVBaseFilter::in_sample(int, int, unsigned, char*, int, int, int) {
    return 0;
}
int CAVBaseFilter::out_sample(int, int, unsigned, char*, int, int, int) {
    return 0;
}

int CAVBaseFilter::add_sink(CAVBaseFilter* filter) {
    CAutoLock lock(&m_sinkLock);
    if (std::find(m_sinks.begin(), m_sinks.end(), filter) != m_sinks.end()) return -1;
    m_sinks.push_back(filter);
    return 0;
}

int CAVBaseFilter::del_sink(CAVBaseFilter* filter) {
    CAutoLock lock(&m_sinkLock);
    auto it = std::find(m_sinks.begin(), m_sinks.end(), filter);
    if (it == m_sinks.end()) return -1;
    m_sinks.erase(it);
    return 0;
}

int CAVBaseFilter::add_ref() {
    return ++m_ref;
}
int CAVBaseFilter::release_ref() {
    return --m_ref;
}

int CAVBaseFilter::sink_count() {
    CAutoLock lock(&m_sinkLock);
    return static_cast<int>(m_sinks.size());
}

int CAVBaseFilter::fan_out(int id, int type, unsigned ts, char* data, int len, int p1, int p2) {
    CAutoLock lock(&m_sinkLock);
    for (CAVBaseFilter* sink : m_sinks) sink->in_sample(id, type, ts, data, len, p1, p2);
    return 0;
}

}  // namespace RAVO
