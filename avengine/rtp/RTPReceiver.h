// Rebuilds the frames of one remote stream from its data and parity datagrams,
// recovers lost data datagrams from parity and hands finished frames on in order.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <list>

#include "rtp/RTPDefs.h"

namespace RAVO {

class CRTPSession;

// One FEC group being collected: block j is data slot j for j < k, parity
// index j for j >= k.
class CFECBlockSet {
public:
    enum { STATE_COLLECTING = 0, STATE_DONE = 1, STATE_EMPTY = 2 };

    CFECBlockSet();
    // Forgets the group: no id, nothing present, every block zero again.
    void reset();

    int m_groupId;      // -1 = none
    int m_dataCount;    // data packets present
    int m_packetCount;  // data and parity packets present
    int m_k;
    int m_n;  // always 14 on the receiving side: parity rows do not depend on n
    int m_longest;
    int m_state;
    char m_blocks[RTP_FEC_SLOTS][RTP_PACKET_SIZE];
    uint8_t m_present[RTP_FEC_SLOTS];
    char m_recovery[25][RTP_PACKET_SIZE];
};

class CRTPReceiver {
public:
    // What one stream may hold in frames being assembled, whatever arrives: beyond
    // either bound the oldest frames are given up as their deadline would.
    static constexpr size_t kMaxHeldFrames = 128;
    static constexpr size_t kMaxHeldBytes = 2u << 20;

    CRTPReceiver(CRTPSession* session, int ssrc, int pt, int deadlineMs);
    virtual ~CRTPReceiver();

    int in_sample(int ssrc, int pt, char* datagram, int len);
    CFECBlockSet* AppendDataToFecSet(char* datagram, int len);
    int RecvFecData(char* datagram, int len);
    int AppendDataToFrameList(char* rtp, int len, int recovered, int groupId);
    int GetValidFrame();
    int clear();

    int getSsrc() const { return m_ssrc; }
    int getPayloadType() const { return m_pt; }
    int isSubscribed() const { return m_subscribed; }
    void setSubscribed(int on) { m_subscribed = on; }
    int isHeld() const { return m_held; }
    void setHeld(int on) { m_held = on; }
    size_t frameCount() const { return m_rtpframelst.size(); }
    size_t heldBytes() const { return m_heldBytes; }

private:
    static bool validData(const char* datagram, int len);
    static bool validParity(const char* datagram, int len);
    // Keeps fragment `index` of the frame (its payload of `len` bytes).
    void storeFragment(_rtp_frame* frame, int index, const char* payload, int len, int recovered);
    // Takes the head frame off the list, hands it on when `deliver`, frees it.
    void popFront(bool deliver);
    // The head frame's deadline has come (or room is needed): it goes out only whole.
    void giveUpFront();

    int m_ssrc;
    int m_pt;
    int m_deadlineMs;
    // Set by the owner's thread, read by the processing thread's refresh.
    std::atomic<int> m_subscribed;
    std::atomic<int> m_held;
    uint32_t m_lastTs;
    uint16_t m_lastSeq;
    CRTPSession* m_session;
    CFECBlockSet* m_fecSets;  // 13 groups, allocated once
    std::list<_rtp_frame*> m_rtpframelst;
    size_t m_heldBytes = 0;  // buffers and tables of the frames in the list
};

}  // namespace RAVO
