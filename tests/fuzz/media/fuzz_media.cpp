// Media datagrams as the relay delivers them, through the session's receive step
// into the receivers: envelope, data and parity, the relay's kinds 5 and 6, frame
// assembly, recovery from parity and delivery on a manual clock. A delivered frame is
// read whole and checked against its header.
//
// The session and its receivers live for the whole run, cleared before each input:
// a receiver's group buffers take 760 KB, and making them anew for every input made
// the run ten times slower. What carries over is each receiver's last timestamp and
// sequence number; a session the relay stopped (kinds 5 and 6) is replaced.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzInput.h"
#include "MediaOps.h"
#include "rtp/RTPDefs.h"
#include "rtp/RTPReceiver.h"
#include "rtp/RTPSession.h"
#include "win32/clock.h"

namespace {

using namespace media_fuzz;

constexpr int kMaxOps = 256;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "media fuzz: %s\n", what);
    std::abort();
}

class Sink : public RAVO::IGetRtpFrameCallBack {
public:
    int OnGetRtpFrame(int, int, char* data, int len, RAVO::_rtp_frame* f) override {
        if (!f || !data || len < 0) Fail("a frame without data");
        if (static_cast<size_t>(len) > static_cast<size_t>(f->count) * RAVO::RTP_MAX_PAYLOAD)
            Fail("a frame longer than its fragments");
        if (!f->complete) Fail("an incomplete frame delivered");
        // Every byte is read, so that a frame pointing outside its buffer is seen.
        unsigned sum = 0;
        for (int i = 0; i < len; ++i) sum += static_cast<unsigned char>(data[i]);
        m_sum += sum;
        ++m_frames;
        return 0;
    }
    unsigned m_sum = 0;
    int m_frames = 0;
};

void Feed(RAVO::CRTPSession& session, const std::vector<uint8_t>& d) {
    if (d.empty() || d.size() > static_cast<size_t>(RAVO::RTP_MAX_DATAGRAM)) return;
    auto* packet = new RAVO::RTPPacket;
    std::memcpy(packet->data, d.data(), d.size());
    packet->len = static_cast<int>(d.size());
    session.addIncomingPacket(packet);
    session.procIncomingData();
}

void Envelope(std::vector<uint8_t>& d, uint8_t kind) {
    RAVO::RtpPutU32LE(reinterpret_cast<char*>(d.data()), RAVO::RTP_ENVELOPE_MAGIC);
    d[4] = kind;
}

std::vector<uint8_t> BuildData(fuzzing::FuzzInput& in) {
    const uint8_t stream = in.U8();
    const uint8_t kind = (in.U8() & 1) ? RAVO::RTP_KIND_DATA_ALT : RAVO::RTP_KIND_DATA;
    const uint8_t group = in.U8(), k = in.U8(), slot = in.U8();
    const uint16_t seq = in.U16();
    const uint32_t ts = in.U32();
    const uint16_t count = in.U16(), index = in.U16();
    std::vector<uint8_t> payload = in.Chunk(RAVO::RTP_MAX_PAYLOAD);
    const Stream s = stream < kStreamCount ? kStreams[stream] : Stream{stream, 99};
    std::vector<uint8_t> d(RAVO::RTP_DATA_HEADER + payload.size(), 0);
    char* p = reinterpret_cast<char*>(d.data());
    Envelope(d, kind);
    d[7] = group;
    d[8] = k;
    d[9] = slot;
    RAVO::RtpPutU16LE(p + 10, static_cast<uint16_t>(payload.size() + 20));
    d[12] = 0x80;
    d[13] = static_cast<uint8_t>(0x80 | (s.pt & 0x7F));
    RAVO::RtpPutU16BE(p + 14, seq);
    RAVO::RtpPutU32BE(p + 16, ts);
    RAVO::RtpPutU32BE(p + 20, s.ssrc);
    RAVO::RtpPutU16LE(p + 24, count);
    RAVO::RtpPutU16LE(p + 26, index);
    RAVO::RtpPutU16LE(p + 28, static_cast<uint16_t>(payload.size()));
    if (!payload.empty()) std::memcpy(p + RAVO::RTP_DATA_HEADER, payload.data(), payload.size());
    return d;
}

std::vector<uint8_t> BuildParity(fuzzing::FuzzInput& in) {
    const uint8_t stream = in.U8(), group = in.U8(), k = in.U8(), index = in.U8();
    std::vector<uint8_t> block =
        in.Chunk(static_cast<size_t>(RAVO::RTP_MAX_DATAGRAM - RAVO::RTP_PARITY_HEADER));
    const Stream s = stream < kStreamCount ? kStreams[stream] : Stream{stream, 99};
    std::vector<uint8_t> d(RAVO::RTP_PARITY_HEADER + block.size(), 0);
    char* p = reinterpret_cast<char*>(d.data());
    Envelope(d, RAVO::RTP_KIND_PARITY);
    d[6] = static_cast<uint8_t>(s.pt);
    d[7] = group;
    d[8] = k;
    d[9] = index;
    RAVO::RtpPutU16LE(p + 10, static_cast<uint16_t>(block.size() + 4));
    RAVO::RtpPutU32LE(p + 12, s.ssrc);
    if (!block.empty()) std::memcpy(p + RAVO::RTP_PARITY_HEADER, block.data(), block.size());
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzInput in(data, size);
    // The input's first word is the millisecond clock's reading (it wraps every 49.7
    // days), so that a run does not depend on the ones before it.
    winplat::RemoveManualClock();
    winplat::InstallManualClock(1700000000);
    winplat::AdvanceManualClock(static_cast<uint32_t>(in.U32() - timeGetTime()));
    static Sink sink;
    static RAVO::CRTPSession* session = nullptr;
    static RAVO::CRTPReceiver* receivers[kStreamCount];
    // Once the relay has stopped the session it takes no media: a new one then.
    if (!session || session->isBlocked()) {
        delete session;
        session = new RAVO::CRTPSession;
        session->init();
        session->setGetRtpFrameCB(&sink);
        for (int i = 0; i < kStreamCount; ++i)
            receivers[i] =
                session->createRTPReceiver(static_cast<int>(kStreams[i].ssrc), kStreams[i].pt);
    }
    for (RAVO::CRTPReceiver* r : receivers) r->clear();
    for (int op = 0; op < kMaxOps && !in.empty(); ++op) {
        switch (in.U8() % kOpCount) {
            case kRawDatagram:
                Feed(*session, in.Chunk(RAVO::RTP_MAX_DATAGRAM));
                break;
            case kDataDatagram:
                Feed(*session, BuildData(in));
                break;
            case kParityDatagram:
                Feed(*session, BuildParity(in));
                break;
            case kAdvanceClock:
                winplat::AdvanceManualClock(in.U16());
                for (RAVO::CRTPReceiver* r : receivers) r->GetValidFrame();
                break;
            case kEnvelope: {
                const uint8_t kind = in.U8();
                std::vector<uint8_t> rest = in.Chunk(RAVO::RTP_MAX_DATAGRAM - 5);
                std::vector<uint8_t> d(5, 0);
                Envelope(d, kind);
                d.insert(d.end(), rest.begin(), rest.end());
                Feed(*session, d);
                break;
            }
        }
    }
    // Whatever is still waiting falls due.
    winplat::AdvanceManualClock(60000);
    for (RAVO::CRTPReceiver* r : receivers) {
        r->GetValidFrame();
        if (r->frameCount() != 0) Fail("frames left after every deadline passed");
    }
    return 0;
}
