#include "rtp/RTPSender.h"

#include <cstdlib>
#include <cstring>

#include "fec/fec.h"
#include "rtp/RTPSession.h"
#include "win32/win32.h"

namespace RAVO {

namespace {

// The relay's pacing needs microsecond pauses; a sleep is far too coarse for them.
void busyWaitMicroseconds(int microseconds) {
    if (microseconds <= 0) return;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const long long ticks = frequency.QuadPart / 1000000LL * microseconds;
    do {
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < ticks);
}

}  // namespace

CRTPSender::CRTPSender(CRTPSession* session, int ssrc, int pt)
    : m_ssrc(ssrc),
      m_pt(pt),
      m_timestamp(0),
      m_sequence(0),
      m_timestampStep(1),
      m_k(10),
      m_n(14),
      m_groupId(0),
      m_packetsInGroup(0),
      m_session(session),
      m_sendLen(0) {
    m_groupId = static_cast<uint8_t>(std::rand() & 0xFF);
    m_timestamp = static_cast<uint32_t>(std::rand() % 256 + 200);
    m_sequence = static_cast<uint16_t>(std::rand() % 256);
    std::memset(m_store, 0, sizeof(m_store));
    std::memset(m_slotOrder, 0, sizeof(m_slotOrder));
    std::memset(m_parityBuffer, 0, sizeof(m_parityBuffer));
    std::memset(m_dataBuffer, 0, sizeof(m_dataBuffer));
}

CRTPSender::~CRTPSender() {}

int CRTPSender::setFecParam(int k, int n) {
    std::memset(m_store, 0, sizeof(m_store));
    std::memset(m_parityBuffer, 0, sizeof(m_parityBuffer));
    std::memset(m_dataBuffer, 0, sizeof(m_dataBuffer));
    std::memset(m_slotOrder, 0, sizeof(m_slotOrder));
    m_groupId = static_cast<uint8_t>(m_groupId + 30);
    // A group is kept in 14 slots; a larger k (from a configuration text) cannot
    // be, so such a stream goes without FEC rather than past the store.
    if (k < 0 || k > RTP_FEC_SLOTS) k = 0;
    m_n = n;
    m_k = k;
    m_packetsInGroup = 0;
    const int evens = (k + 1) / 2;
    for (int p = 0; p < evens; ++p) m_slotOrder[p] = 2 * p;
    for (int p = 0; p < k / 2; ++p) m_slotOrder[evens + p] = 2 * p + 1;
    return 0;
}

int CRTPSender::resetFecEncodeInfo() {
    m_groupId = static_cast<uint8_t>(m_groupId + 30);
    m_packetsInGroup = 0;
    return 0;
}

void CRTPSender::pace(int& counter) {
    ++counter;
    const RTPParam& param = *m_session->getParam();
    if (param[7] > 0 && counter >= param[7]) {
        busyWaitMicroseconds(param[6]);
        counter = 0;
    }
}

void CRTPSender::closeGroup(int& counter) {
    int longest = 0;
    char* blocks[RTP_FEC_SLOTS];
    for (int i = 0; i < m_k; ++i) {
        int len = RtpGetU16LE(m_store[i] + 10);
        if (len > longest) longest = len;
        blocks[i] = m_store[i] + RTP_PART_OFFSET;
    }
    Sleep(10);
    counter = 0;
    if (FEC_CODE* code = FEC_Create(m_k, m_n, nullptr)) {
        for (int j = m_k; j < m_n; ++j) {
            FEC_EncodeParity(code, j, blocks, m_parityBuffer + RTP_PARITY_HEADER, longest);
            char* p = m_parityBuffer;
            RtpPutU32LE(p, RTP_ENVELOPE_MAGIC);
            p[4] = RTP_KIND_PARITY;
            p[5] = 0;
            p[6] = static_cast<char>(m_pt);
            p[7] = static_cast<char>(m_groupId);
            p[8] = static_cast<char>(m_k);
            p[9] = static_cast<char>(j);
            RtpPutU16LE(p + 10, static_cast<uint16_t>(longest + 4));
            RtpPutU32LE(p + 12, static_cast<uint32_t>(m_ssrc));
            m_sendLen = longest + RTP_PARITY_HEADER;
            m_session->sendRTPpacket(p, m_sendLen);
            pace(counter);
        }
        FEC_Release(code);
    }
    std::memset(m_store, 0, sizeof(m_store));
    m_groupId = static_cast<uint8_t>(m_groupId + 1);
    m_packetsInGroup = 0;
}

int CRTPSender::sendData(char* frame, int len) {
    m_timestamp += m_timestampStep;
    const int fragments = (len + RTP_MAX_PAYLOAD - 1) / RTP_MAX_PAYLOAD;
    // Receivers refuse frames of more fragments than this, so sending one is pointless.
    if (!frame || fragments <= 0 || fragments > RTP_MAX_FRAME_FRAGMENTS) return 0;
    int counter = 0;
    for (int i = 0; i < fragments; ++i) {
        const int m = (i == fragments - 1) ? len - RTP_MAX_PAYLOAD * i : RTP_MAX_PAYLOAD;
        ++m_sequence;
        const int slot = m_slotOrder[m_packetsInGroup];
        char* d = m_dataBuffer;
        RtpPutU32LE(d, RTP_ENVELOPE_MAGIC);
        d[4] = RTP_KIND_DATA;
        d[5] = 0;
        d[6] = 0;
        d[7] = static_cast<char>(m_groupId);
        d[8] = static_cast<char>(m_k);
        d[9] = static_cast<char>(slot);
        RtpPutU16LE(d + 10, static_cast<uint16_t>(m + 20));
        d[12] = static_cast<char>(0x80);
        d[13] = static_cast<char>(((i == fragments - 1) ? 0x80 : 0) | (m_pt & 0x7F));
        RtpPutU16BE(d + 14, m_sequence);
        RtpPutU32BE(d + 16, m_timestamp);
        RtpPutU32BE(d + 20, static_cast<uint32_t>(m_ssrc));
        RtpPutU16LE(d + 24, static_cast<uint16_t>(fragments));
        RtpPutU16LE(d + 26, static_cast<uint16_t>(i));
        RtpPutU16LE(d + 28, static_cast<uint16_t>(m));
        RtpPutU16LE(d + 30, 0);
        std::memcpy(d + RTP_DATA_HEADER, frame + RTP_MAX_PAYLOAD * i, static_cast<size_t>(m));
        m_sendLen = m + RTP_DATA_HEADER;
        // The rest of the slot stays zero: parity pads every block with zeros, as
        // the receiver does.
        std::memcpy(m_store[slot], d, static_cast<size_t>(m_sendLen));
        std::memset(m_store[slot] + m_sendLen, 0, static_cast<size_t>(RTP_PACKET_SIZE - m_sendLen));
        ++m_packetsInGroup;
        m_session->sendRTPpacket(d, m_sendLen);
        pace(counter);
        if (m_k > 0 && m_k < m_n && m_packetsInGroup == m_k) closeGroup(counter);
        m_packetsInGroup = static_cast<uint8_t>(m_packetsInGroup % RTP_FEC_SLOTS);
    }
    return 0;
}

}  // namespace RAVO
