// Turns the encoded frames of one local stream into data datagrams of at most
// 1200 payload bytes and, after every k-th, the group's parity datagrams.
#pragma once

#include <cstdint>

#include "rtp/RTPDefs.h"

namespace RAVO {

class CRTPSession;

class CRTPSender {
public:
    CRTPSender(CRTPSession* session, int ssrc, int pt);
    virtual ~CRTPSender();

    int setFecParam(int k, int n);
    int resetFecEncodeInfo();
    int sendData(char* frame, int len);

    int getSsrc() const { return m_ssrc; }
    int getPayloadType() const { return m_pt; }
    int getK() const { return m_k; }
    int getN() const { return m_n; }

private:
    void pace(int& counter);
    void closeGroup(int& counter);

    int m_ssrc;
    int m_pt;
    uint32_t m_timestamp;
    uint16_t m_sequence;
    uint16_t m_timestampStep;
    int m_k;
    int m_n;
    uint8_t m_groupId;
    uint8_t m_packetsInGroup;
    CRTPSession* m_session;
    char m_store[RTP_FEC_SLOTS][RTP_PACKET_SIZE];
    int m_slotOrder[RTP_FEC_SLOTS];
    char m_parityBuffer[RTP_PACKET_SIZE];
    char m_dataBuffer[RTP_PACKET_SIZE];
    int m_sendLen;
};

}  // namespace RAVO
