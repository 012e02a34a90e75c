// Seeds of the media target: what a real sender puts on the wire for a few video
// and audio frames (read from a bare loopback socket standing in for the relay),
// whole, with data lost so that parity recovers it, reordered, and followed by the
// relay's kinds 5 and 6; and the same streams made with the tests' builders.
#include <string>
#include <vector>

#include "MediaOps.h"
#include "SeedWriter.h"
#include "media_test_util.h"
#include "rtp/RTPSession.h"

using media_test::Bytes;

namespace {

std::vector<Bytes> SenderOutput(const std::vector<std::string>& frames, int pt, int ssrc) {
    media_test::UdpPeer peer;
    RAVO::CRTPSession tx;
    tx.init();
    if (tx.createSession("127.0.0.1", 0) != 0) return {};
    tx.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), peer.Port());
    (*tx.getParam())[7] = 0;  // no pacing
    tx.createRTPSender(ssrc, pt, pt == RTP_PT_VIDEO);
    std::vector<Bytes> out;
    for (Bytes d = peer.Recv(1000); !d.empty(); d = peer.Recv(100))
        if (media_test::IsKind(d, 0) || media_test::IsKind(d, 2)) out.push_back(d);
    for (size_t i = 0; i < frames.size(); ++i) {
        std::string copy = frames[i];
        tx.sendData(ssrc, pt, &copy[0], static_cast<int>(copy.size()));
    }
    for (Bytes d = peer.Recv(1000); !d.empty(); d = peer.Recv(300))
        if (media_test::IsKind(d, 0) || media_test::IsKind(d, 2)) out.push_back(d);
    return out;
}

class Ops {
public:
    explicit Ops(uint32_t clockStart) { u32(clockStart); }
    Ops& datagram(const Bytes& d) {
        m_bytes.push_back(media_fuzz::kRawDatagram);
        u16(static_cast<uint16_t>(d.size()));
        m_bytes.insert(m_bytes.end(), d.begin(), d.end());
        return *this;
    }
    Ops& advance(uint16_t ms) {
        m_bytes.push_back(media_fuzz::kAdvanceClock);
        u16(ms);
        return *this;
    }
    Ops& kind(uint8_t k) {
        m_bytes.push_back(media_fuzz::kEnvelope);
        m_bytes.push_back(k);
        u16(0);
        return *this;
    }
    const Bytes& bytes() const { return m_bytes; }

private:
    void u16(uint16_t v) {
        m_bytes.push_back(static_cast<uint8_t>(v));
        m_bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    Bytes m_bytes;
};

}  // namespace

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    const std::vector<std::string> video = {media_test::NumberedFrame(3000, 1),
                                            media_test::NumberedFrame(500, 2),
                                            media_test::NumberedFrame(2500, 3)};
    const std::vector<std::string> audio = {media_test::NumberedFrame(160, 1),
                                            media_test::NumberedFrame(120, 2)};
    const std::vector<Bytes> v = SenderOutput(video, RTP_PT_VIDEO, 77);
    const std::vector<Bytes> a = SenderOutput(audio, RTP_PT_AUDIO, 77);
    if (v.empty() || a.empty()) {
        std::fprintf(stderr, "the sender gave nothing\n");
        return 1;
    }

    Ops whole(0x10000000);
    for (const Bytes& d : v) whole.datagram(d).advance(5);
    for (const Bytes& d : a) whole.datagram(d);
    seeds.Add(whole.advance(2000).bytes());

    // The first two data datagrams lost: parity stands in for them. Near the clock's
    // wrap, so that deadlines cross it.
    Ops lost(0xFFFFFF00u);
    int dropped = 0;
    for (const Bytes& d : v) {
        if (media_test::IsKind(d, 0) && dropped < 2) {
            ++dropped;
            continue;
        }
        lost.datagram(d);
    }
    seeds.Add(lost.advance(1500).bytes());

    Ops reordered(0x20000000);
    for (size_t i = v.size(); i-- > 0;) reordered.datagram(v[i]);
    seeds.Add(reordered.advance(100).advance(1000).bytes());

    Ops blocked(0x30000000);
    blocked.datagram(a[0]).kind(5).datagram(a[1]).kind(6);
    seeds.Add(blocked.advance(1200).bytes());

    // Builders: a frame of three fragments without FEC, one fragment twice, and a
    // parity block of another group.
    Ops built(0x40000000);
    media_test::DataFields f;
    f.count = 3;
    for (uint16_t i = 0; i < 3; ++i) {
        f.seq = static_cast<uint16_t>(10 + i);
        f.index = i;
        built.datagram(media_test::MakeData(f, 40 + i, static_cast<uint8_t>(i)));
    }
    built.datagram(media_test::MakeData(f, 42, 2));
    built.datagram(media_test::MakeParity(77, RTP_PT_VIDEO, 3, 10, 11, 64));
    seeds.Add(built.advance(1001).bytes());
    return 0;
}
