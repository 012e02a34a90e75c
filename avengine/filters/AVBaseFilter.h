// The base of every filter of the engine's chains: a sample comes in with
// in_sample, and a filter's result goes to its sinks with out_sample.
#pragma once

#include <vector>

#include "win32/win32.h"

namespace RAVO {

// A sample is the seven values (id, type, ts, data, len, p1, p2): id is the user
// id (ssrc), type the payload type, p1/p2 the width and height of a picture, or
// the loss flag in p1 on the play side before decoding.
class CAVBaseFilter {
public:
    CAVBaseFilter();
    virtual ~CAVBaseFilter();
    CAVBaseFilter(const CAVBaseFilter&) = delete;
    CAVBaseFilter& operator=(const CAVBaseFilter&) = delete;

    virtual int start();
    virtual int stop();
    virtual int in_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    virtual int out_sample(int id, int type, unsigned ts, char* data, int len, int p1, int p2);
    // -1 when the filter is already a sink; 0.
    virtual int add_sink(CAVBaseFilter* filter);
    // -1 when it is not a sink; 0.
    virtual int del_sink(CAVBaseFilter* filter);
    // Only count: nothing is freed at zero.
    virtual int add_ref();
    virtual int release_ref();

    int sink_count();

protected:
    // Every sink's in_sample with the same values, in the order added, under the
    // sink-list lock.
    int fan_out(int id, int type, unsigned ts, char* data, int len, int p1, int p2);

    std::vector<CAVBaseFilter*> m_sinks;
    CRITICAL_SECTION m_sinkLock;
    int m_ref;
};

// Scoped hold of a critical section.
class CAutoLock {
public:
    explicit CAutoLock(CRITICAL_SECTION* cs) : m_cs(cs) { EnterCriticalSection(m_cs); }
    ~CAutoLock() { LeaveCriticalSection(m_cs); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CRITICAL_SECTION* m_cs;
};

}  // namespace RAVO
