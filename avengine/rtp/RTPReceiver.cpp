#include "rtp/RTPReceiver.h"

#include <cstdlib>
#include <cstring>

#include "fec/fec.h"
#include "rtp/RTPSession.h"
#include "util/AVLogger.h"
#include "win32/win32.h"

namespace RAVO {

namespace {

// Offsets inside the RTP part (a data datagram from its offset 12).
const int kPartMarkerType = 1;
const int kPartSequence = 2;
const int kPartTimestamp = 4;
const int kPartSsrc = 8;
const int kPartCount = 12;
const int kPartIndex = 14;
const int kPartLength = 16;
const int kPartHeader = 20;

// Fragments wait in arrival order in slots of 1200 bytes (fragment i in slot
// received[i] - 1), in a buffer that grows by doubling: a frame holds about what
// arrived of it, whatever count it claims. Once whole it is laid out in order.
size_t slotCapacity(size_t used, size_t count) {
    if (used == 0) return 0;
    size_t capacity = 1;
    while (capacity < used) capacity <<= 1;
    return capacity < count ? capacity : count;
}

size_t slotsUsed(const _rtp_frame* frame) {
    size_t used = 0;
    for (int i = 0; i < frame->count; ++i) used += frame->received[i] != 0;
    return used;
}

size_t frameBytes(const _rtp_frame* frame) {
    const size_t slots =
        frame->complete ? frame->count : slotCapacity(slotsUsed(frame), frame->count);
    return static_cast<size_t>(frame->count) * sizeof(int) + slots * RTP_MAX_PAYLOAD;
}

void freeFrame(_rtp_frame* frame) {
    std::free(frame->data);
    delete[] frame->received;
    delete frame;
}

}  // namespace

CFECBlockSet::CFECBlockSet() {
    std::memset(m_blocks, 0, sizeof(m_blocks));
    std::memset(m_recovery, 0, sizeof(m_recovery));
    reset();
}

void CFECBlockSet::reset() {
    m_groupId = -1;
    m_dataCount = 0;
    m_packetCount = 0;
    m_k = 0;
    m_n = RTP_FEC_SLOTS;
    m_longest = 0;
    m_state = STATE_EMPTY;
    std::memset(m_present, 0, sizeof(m_present));
}

CRTPReceiver::CRTPReceiver(CRTPSession* session, int ssrc, int pt, int deadlineMs)
    : m_ssrc(ssrc),
      m_pt(pt),
      m_deadlineMs(deadlineMs),
      m_subscribed(0),
      m_held(0),
      m_lastTs(0),
      m_lastSeq(0),
      m_session(session),
      m_fecSets(new CFECBlockSet[RTP_FEC_GROUP_BUFFERS]) {}

CRTPReceiver::~CRTPReceiver() {
    clear();
    delete[] m_fecSets;
}

int CRTPReceiver::clear() {
    for (_rtp_frame* frame : m_rtpframelst) freeFrame(frame);
    m_rtpframelst.clear();
    m_heldBytes = 0;
    for (int i = 0; i < RTP_FEC_GROUP_BUFFERS; ++i) m_fecSets[i].reset();
    return 0;
}

// A data datagram whose length fields, fragment numbers and FEC fields all add up.
bool CRTPReceiver::validData(const char* d, int len) {
    if (len < RTP_DATA_HEADER || len > RTP_DATA_HEADER + RTP_MAX_PAYLOAD) return false;
    if (RtpGetU16LE(d + 10) + 12 != len || RtpGetU16LE(d + 28) + RTP_DATA_HEADER != len)
        return false;
    const int count = RtpGetU16LE(d + 24), index = RtpGetU16LE(d + 26);
    if (count == 0 || count > RTP_MAX_FRAME_FRAGMENTS || index >= count) return false;
    const int k = static_cast<unsigned char>(d[8]), slot = static_cast<unsigned char>(d[9]);
    if (k == 0 && slot == 0) return true;  // a stream without FEC
    return k <= RTP_FEC_SLOTS && slot < k;
}

bool CRTPReceiver::validParity(const char* d, int len) {
    if (len < 24 || len > RTP_PACKET_SIZE) return false;
    if (RtpGetU16LE(d + 10) + 12 != len) return false;
    const int k = static_cast<unsigned char>(d[8]), index = static_cast<unsigned char>(d[9]);
    return k >= 1 && index >= k && index < RTP_FEC_SLOTS;
}

int CRTPReceiver::in_sample(int ssrc, int pt, char* datagram, int len) {
    if (!datagram || len < 5) return 0;
    const int kind = static_cast<unsigned char>(datagram[4]);
    AV_LOG("CRTPReceiver[ssrc:%d, pt:%d] in_sample datatype=%d, datalen=%d\n", ssrc, pt, kind, len);
    if (kind == RTP_KIND_DATA || kind == RTP_KIND_DATA_ALT) {
        if (!validData(datagram, len)) return 0;
        AppendDataToFrameList(datagram + RTP_PART_OFFSET, len - RTP_PART_OFFSET, 0,
                              static_cast<unsigned char>(datagram[7]));
        AppendDataToFecSet(datagram, len);
    } else if (kind == RTP_KIND_PARITY) {
        RecvFecData(datagram, len);
    }
    return 0;
}

CFECBlockSet* CRTPReceiver::AppendDataToFecSet(char* d, int len) {
    if (!d || len < 5) return nullptr;
    const int kind = static_cast<unsigned char>(d[4]);
    const bool parity = kind == RTP_KIND_PARITY;
    if (parity ? !validParity(d, len) : !validData(d, len)) return nullptr;
    const int k = static_cast<unsigned char>(d[8]), slot = static_cast<unsigned char>(d[9]);
    if (k == 0 && slot == 0) return nullptr;
    const int groupId = static_cast<unsigned char>(d[7]);
    CFECBlockSet* set = &m_fecSets[groupId % RTP_FEC_GROUP_BUFFERS];
    AV_LOG(
        "AppendDataToFecSet() data_len=%d, slotid=%d, slot_fecid=%d, data_fecid=%d, "
        "bs_state=%d\n",
        len, slot, set->m_groupId, groupId, set->m_state);
    if (set->m_state == CFECBlockSet::STATE_DONE) {
        if (set->m_groupId == groupId) return nullptr;
        set->reset();
    } else if (set->m_state == CFECBlockSet::STATE_COLLECTING && set->m_groupId != groupId) {
        set->reset();
    }
    // Blocks of one group must agree on k, or recovery would mix up the rows.
    if (set->m_packetCount > 0 && set->m_k != k) return nullptr;
    const int blockLen = parity ? RtpGetU16LE(d + 10) - 4 : RtpGetU16LE(d + 10);
    set->m_groupId = groupId;
    set->m_k = k;
    set->m_n = RTP_FEC_SLOTS;
    if (blockLen > set->m_longest) set->m_longest = blockLen;
    if (set->m_present[slot]) return nullptr;
    char* block = set->m_blocks[slot];
    std::memcpy(block, d + (parity ? RTP_PARITY_HEADER : RTP_PART_OFFSET),
                static_cast<size_t>(blockLen));
    // Every block is zero beyond its end, as the sender padded it.
    std::memset(block + blockLen, 0, static_cast<size_t>(RTP_PACKET_SIZE - blockLen));
    set->m_present[slot] = 1;
    ++set->m_packetCount;
    if (!parity) ++set->m_dataCount;
    if (set->m_dataCount >= set->m_k)
        set->m_state = CFECBlockSet::STATE_DONE;
    else if (set->m_state == CFECBlockSet::STATE_EMPTY)
        set->m_state = CFECBlockSet::STATE_COLLECTING;
    return set;
}

int CRTPReceiver::RecvFecData(char* d, int len) {
    if (!validParity(d, len)) return 0;
    CFECBlockSet* set = AppendDataToFecSet(d, len);
    if (!set) return 0;
    if (set->m_state == CFECBlockSet::STATE_EMPTY || set->m_state == CFECBlockSet::STATE_DONE)
        return 0;
    const int k = set->m_k;
    if (set->m_packetCount < k) {
        set->m_state = CFECBlockSet::STATE_COLLECTING;
        return 0;
    }
    if (set->m_dataCount >= k) {
        const int groupId = set->m_groupId;
        set->reset();
        set->m_groupId = groupId;
        set->m_state = CFECBlockSet::STATE_DONE;
        return 0;
    }
    char* blocks[RTP_FEC_SLOTS];
    int indexes[RTP_FEC_SLOTS];
    int next = k;
    for (int j = 0; j < k; ++j) {
        if (set->m_present[j]) {
            blocks[j] = set->m_blocks[j];
            indexes[j] = j;
            continue;
        }
        while (next < RTP_FEC_SLOTS && !set->m_present[next]) ++next;
        if (next >= RTP_FEC_SLOTS) return 0;
        blocks[j] = set->m_blocks[next];
        indexes[j] = next++;
    }
    std::memset(set->m_recovery, 0, sizeof(set->m_recovery));
    char* out[RTP_FEC_SLOTS];
    for (int j = 0; j < k; ++j) out[j] = set->m_recovery[j];
    FEC_CODE* code = FEC_Create(k, RTP_FEC_SLOTS, out);
    if (!code) return 0;
    const int ok = FEC_decode(code, blocks, indexes, set->m_longest);
    FEC_Release(code);
    if (!ok) return 0;

    char* recovered[RTP_FEC_SLOTS];
    int recoveredCount = 0;
    for (int j = 0; j < k; ++j) {
        if (set->m_present[j]) continue;
        char* block = blocks[j];
        const int payload = RtpGetU16LE(block + kPartLength);
        AV_LOG(
            "@@@@@@@@@@@@@@@@@@@@@@@@ recorty packet: infec-id:%d, ts=%d, seq=%d, "
            "inframe-id:%d, len_2=%d.\n",
            j, static_cast<int>(RtpGetU32BE(block + kPartTimestamp)),
            RtpGetU16BE(block + kPartSequence), RtpGetU16LE(block + kPartIndex),
            payload + kPartHeader);
        // Garbage in (blocks of two different groups, a forged parity) gives a block
        // that does not describe a fragment of this stream: it is not used.
        if (payload + kPartHeader > set->m_longest ||
            static_cast<unsigned char>(block[0]) != 0x80 ||
            (block[kPartMarkerType] & 0x7F) != (m_pt & 0x7F) ||
            RtpGetU32BE(block + kPartSsrc) != static_cast<uint32_t>(m_ssrc))
            continue;
        recovered[recoveredCount++] = block;
    }
    set->m_state = CFECBlockSet::STATE_DONE;
    if (recoveredCount > 0) {
        AV_LOG("try FEC_decode() success: get packet:\n");
        for (int i = 0; i < recoveredCount; ++i)
            AppendDataToFrameList(recovered[i],
                                  RtpGetU16LE(recovered[i] + kPartLength) + kPartHeader, 1,
                                  set->m_groupId);
    }
    return recoveredCount;
}

int CRTPReceiver::AppendDataToFrameList(char* rtp, int len, int recovered, int groupId) {
    if (!rtp || len < kPartHeader) return 0;
    const int payload = RtpGetU16LE(rtp + kPartLength);
    const int count = RtpGetU16LE(rtp + kPartCount);
    const int index = RtpGetU16LE(rtp + kPartIndex);
    const uint32_t ts = RtpGetU32BE(rtp + kPartTimestamp);
    const uint16_t seq = RtpGetU16BE(rtp + kPartSequence);
    AV_LOG("//---------------AppendDataToFrameList() ts=%d, seq=%d, pt=%d, bfec=%d, fec_id=%d.\n",
           static_cast<int>(ts), seq, rtp[kPartMarkerType] & 0x7F, recovered, groupId);
    if (payload > RTP_MAX_PAYLOAD || kPartHeader + payload > len || count == 0 ||
        count > RTP_MAX_FRAME_FRAGMENTS || index >= count)
        return 0;
    if (!(ts > m_lastTs || m_lastTs - ts >= 200)) {
        AV_LOG("~~~~~~~~~~~~~~~~~~~~ts is old, in_ts=%d, last_ts=%d.\n", static_cast<int>(ts),
               static_cast<int>(m_lastTs));
        return 0;
    }
    _rtp_frame* frame = nullptr;
    for (_rtp_frame* f : m_rtpframelst) {
        if (f->ts == ts) {
            frame = f;
            break;
        }
    }
    if (!frame) {
        frame = new _rtp_frame();
        frame->ts = ts;
        frame->count = static_cast<uint16_t>(count);
        frame->first_seq = static_cast<uint16_t>(seq - index);
        frame->last_seq = static_cast<uint16_t>(frame->first_seq + count - 1);
        frame->complete = 0;
        frame->recovered = 0;
        frame->deadline = timeGetTime() + static_cast<uint32_t>(m_deadlineMs);
        frame->total = 0;
        frame->data = nullptr;
        frame->received = new int[static_cast<size_t>(count)]();
        frame->loss = 0;
        m_heldBytes += frameBytes(frame);
        auto it = m_rtpframelst.begin();
        while (it != m_rtpframelst.end() && ts - (*it)->ts < 0x8000000u) ++it;
        m_rtpframelst.insert(it, frame);
        AV_LOG("insert frame[pt=%d, ts=%d, firstseq=%d], m_rtpframelst[size=%d].\n", m_pt,
               static_cast<int>(ts), frame->first_seq, static_cast<int>(m_rtpframelst.size()));
    }
    // The frame's own count bounds its buffer, whatever a later fragment claims.
    if (index < frame->count && !frame->received[index])
        storeFragment(frame, index, rtp + kPartHeader, payload, recovered);
    // A flood of new timestamps (far off, or claiming many fragments) pushes the
    // oldest frames out instead of growing the list.
    while (m_rtpframelst.size() > 1 &&
           (m_rtpframelst.size() > kMaxHeldFrames || m_heldBytes > kMaxHeldBytes))
        giveUpFront();
    GetValidFrame();
    return 0;
}

void CRTPReceiver::storeFragment(_rtp_frame* frame, int index, const char* payload, int len,
                                 int recovered) {
    const size_t before = frameBytes(frame);
    const size_t used = slotsUsed(frame);
    if (used == slotCapacity(used, frame->count)) {
        const size_t grown = slotCapacity(used + 1, frame->count);
        char* more = static_cast<char*>(std::realloc(frame->data, grown * RTP_MAX_PAYLOAD));
        if (!more) return;
        frame->data = more;
    }
    char* slot = frame->data + used * RTP_MAX_PAYLOAD;
    std::memcpy(slot, payload, static_cast<size_t>(len));
    // Zero beyond the payload: a short fragment inside a frame leaves zeros, not
    // leftovers, in what the decoder reads.
    std::memset(slot + len, 0, static_cast<size_t>(RTP_MAX_PAYLOAD - len));
    frame->received[index] = static_cast<int>(used + 1);
    frame->total += static_cast<uint32_t>(len);
    if (recovered) frame->recovered = 1;
    if (used + 1 == frame->count) {
        const size_t bytes = static_cast<size_t>(frame->count) * RTP_MAX_PAYLOAD;
        char* ordered = static_cast<char*>(std::malloc(bytes));
        if (!ordered) return;  // stays incomplete: given up at its deadline
        for (int i = 0; i < frame->count; ++i)
            std::memcpy(ordered + static_cast<size_t>(i) * RTP_MAX_PAYLOAD,
                        frame->data + static_cast<size_t>(frame->received[i] - 1) * RTP_MAX_PAYLOAD,
                        RTP_MAX_PAYLOAD);
        std::free(frame->data);
        frame->data = ordered;
        frame->complete = 1;
    }
    m_heldBytes = m_heldBytes - before + frameBytes(frame);
}

int CRTPReceiver::GetValidFrame() {
    if (m_rtpframelst.empty()) return 0;
    AV_LOG("GetValidFrame() m_rtpframelst[size=%d].\n", static_cast<int>(m_rtpframelst.size()));
    const uint32_t now = timeGetTime();
    while (!m_rtpframelst.empty()) {
        _rtp_frame* frame = m_rtpframelst.front();
        const bool inSequence =
            m_lastSeq == 0 || static_cast<uint16_t>(m_lastSeq + 1) == frame->first_seq;
        if (frame->complete && inSequence) {
            frame->loss = 0;
            popFront(true);
        } else if (static_cast<int32_t>(now - frame->deadline) > 0) {
            // Compared as a difference: the millisecond clock wraps every 49.7 days,
            // and a plain comparison then gave a frame up at once or never.
            giveUpFront();
        } else {
            break;
        }
    }
    return 0;
}

void CRTPReceiver::giveUpFront() {
    _rtp_frame* frame = m_rtpframelst.front();
    const bool inSequence =
        m_lastSeq == 0 || static_cast<uint16_t>(m_lastSeq + 1) == frame->first_seq;
    frame->loss = (m_lastSeq != 0 && !inSequence) ? 1 : 0;
    popFront(frame->complete != 0);
}

void CRTPReceiver::popFront(bool deliver) {
    _rtp_frame* frame = m_rtpframelst.front();
    m_rtpframelst.pop_front();
    m_heldBytes -= frameBytes(frame);
    if (deliver) {
        if (m_session) m_session->out_sample(m_ssrc, m_pt, frame);
        AV_LOG("-----------out_sample(), ts=%d, pktnum=%d,len=%d, loss=%d\n",
               static_cast<int>(frame->ts), frame->count, static_cast<int>(frame->total),
               frame->loss);
        m_lastSeq = frame->last_seq;
    }
    m_lastTs = frame->ts;
    freeFrame(frame);
}

}  // namespace RAVO
