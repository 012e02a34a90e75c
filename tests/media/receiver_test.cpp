#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "media_test_util.h"
#include "rtp/RTPReceiver.h"
#include "rtp/RTPSession.h"
#include "win32/win32.h"

namespace {

using media_test::Bytes;
using media_test::DataFields;
using media_test::IsKind;
using media_test::MakeData;
using media_test::MakeParity;

const uint32_t kSsrc = 77;

// Real sender output for `frames`, read from a bare socket standing in for the relay.
std::vector<Bytes> senderOutput(const std::vector<std::string>& frames, int pt = RTP_PT_VIDEO) {
    media_test::UdpPeer peer;
    RAVO::CRTPSession tx;
    tx.init();
    EXPECT_EQ(tx.createSession("127.0.0.1", 0), 0);
    tx.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), peer.Port());
    (*tx.getParam())[7] = 0;
    tx.createRTPSender(static_cast<int>(kSsrc), pt, pt == RTP_PT_VIDEO);
    peer.Recv();
    peer.Recv();
    for (const std::string& f : frames) {
        std::string copy = f;
        tx.sendData(static_cast<int>(kSsrc), pt, &copy[0], static_cast<int>(copy.size()));
    }
    std::vector<Bytes> out;
    for (Bytes d = peer.Recv(300); !d.empty(); d = peer.Recv(300)) out.push_back(d);
    return out;
}

// A receiver behind a session without socket; datagrams go through the session's
// processing step. Deadlines run on the manual clock.
class Receiver : public ::testing::Test {
protected:
    void SetUp() override {
        winplat::InstallManualClock(1700000000);
        session.setGetRtpFrameCB(&frames);
        receiver = session.createRTPReceiver(static_cast<int>(kSsrc), RTP_PT_VIDEO);
    }
    void TearDown() override { winplat::RemoveManualClock(); }
    void feed(const Bytes& d) { media_test::Feed(session, d); }
    // One whole single-fragment frame.
    void single(uint16_t seq, uint32_t ts, uint8_t fill = 1) {
        DataFields f;
        f.seq = seq;
        f.ts = ts;
        feed(MakeData(f, 10, fill));
    }
    std::vector<uint32_t> delivered() {
        std::vector<uint32_t> ts;
        for (const media_test::Frame& f : frames.Frames()) ts.push_back(f.ts);
        return ts;
    }
    media_test::FrameCollector frames;
    RAVO::CRTPSession session;
    RAVO::CRTPReceiver* receiver = nullptr;
};

TEST_F(Receiver, FramesGoOutInTimestampOrder) {
    single(1, 1001);
    single(3, 1003);  // seq 2 missing: held
    EXPECT_EQ(delivered(), (std::vector<uint32_t>{1001}));
    single(2, 1002);  // fills the gap and is put in front of 1003
    EXPECT_EQ(delivered(), (std::vector<uint32_t>{1001, 1002, 1003}));
    for (const media_test::Frame& f : frames.Frames()) EXPECT_EQ(f.loss, 0);
}

TEST_F(Receiver, AHeldOutOfSequenceFrameGoesOutWithLossAtItsDeadline) {
    single(10, 1001);
    single(12, 1002);
    EXPECT_EQ(frames.Size(), 1u);
    winplat::AdvanceManualClock(999);
    single(13, 1003);  // not yet past the deadline of 1002
    EXPECT_EQ(frames.Size(), 1u);
    winplat::AdvanceManualClock(2);
    single(14, 1004);
    std::vector<media_test::Frame> f = frames.Frames();
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[1].ts, 1002u);
    EXPECT_EQ(f[1].loss, 1);
    EXPECT_EQ(f[2].ts, 1003u);
    EXPECT_EQ(f[2].loss, 0);
    EXPECT_EQ(f[3].ts, 1004u);
}

TEST_F(Receiver, AnIncompleteHeadFrameHoldsLaterFramesUntilItsDeadline) {
    single(1, 2000);
    DataFields half;
    half.seq = 2;
    half.ts = 2001;
    half.count = 2;
    half.marker = false;
    feed(MakeData(half, 1200));  // fragment 1 of 2 never comes
    single(4, 2002);
    single(5, 2003);
    EXPECT_EQ(delivered(), (std::vector<uint32_t>{2000}));
    winplat::AdvanceManualClock(1001);
    single(6, 2004);
    EXPECT_EQ(delivered(), (std::vector<uint32_t>{2000, 2002, 2003, 2004}));
    std::vector<media_test::Frame> f = frames.Frames();
    EXPECT_EQ(f[1].loss, 1);  // seq 2..3 were lost before it
    EXPECT_EQ(f[2].loss, 0);
    EXPECT_EQ(receiver->frameCount(), 0u);
}

// The millisecond clock wraps every 49.7 days: a deadline on either side of the wrap
// still falls after the frame's wait, neither at once nor never.
TEST_F(Receiver, DeadlinesHoldAcrossTheClockWrap) {
    const uint32_t starts[] = {0xFFFFFE00u,   // the deadline lies past the wrap
                               0xFFFFFA00u};  // the wait crosses the wrap
    for (uint32_t start : starts) {
        SCOPED_TRACE(start);
        winplat::AdvanceManualClock(static_cast<uint32_t>(start - timeGetTime()));
        media_test::FrameCollector got;
        RAVO::CRTPSession rx;
        rx.setGetRtpFrameCB(&got);
        rx.createRTPReceiver(static_cast<int>(kSsrc), RTP_PT_VIDEO);
        DataFields f;
        f.seq = 1;
        f.ts = 2000;
        media_test::Feed(rx, MakeData(f, 10));
        f.seq = 2;
        f.ts = 2001;
        f.count = 2;
        media_test::Feed(rx, MakeData(f, 10));  // fragment 1 of 2 never comes
        f.seq = 4;
        f.ts = 2002;
        f.count = 1;
        media_test::Feed(rx, MakeData(f, 10));
        EXPECT_EQ(got.Size(), 1u);
        winplat::AdvanceManualClock(999);
        RAVO::CRTPReceiver* r = rx.findRTPReceiver(static_cast<int>(kSsrc), RTP_PT_VIDEO);
        r->GetValidFrame();
        EXPECT_EQ(got.Size(), 1u);
        winplat::AdvanceManualClock(2);
        r->GetValidFrame();
        EXPECT_EQ(got.Size(), 2u);
        EXPECT_EQ(r->frameCount(), 0u);
    }
}

TEST_F(Receiver, OldTimestampsAreDroppedAndFarOlderOnesRestartTheStream) {
    struct Case {
        uint32_t behind;
        bool taken;
    } cases[] = {{0, false}, {1, false}, {199, false}, {200, true}, {5000, true}};
    uint16_t seq = 100;
    uint32_t last = 50000;
    single(seq, last);
    for (const Case& c : cases) {
        const size_t before = frames.Size();
        single(static_cast<uint16_t>(seq + 1), last - c.behind);
        EXPECT_EQ(frames.Size(), before + (c.taken ? 1 : 0)) << c.behind;
        if (c.taken) {
            last -= c.behind;
            ++seq;
        }
    }
}

TEST_F(Receiver, DuplicatesChangeNothing) {
    const std::vector<std::string> sent = {media_test::NumberedFrame(3000, 1),
                                           media_test::NumberedFrame(500, 2),
                                           media_test::NumberedFrame(7000, 3)};
    for (const Bytes& d : senderOutput(sent)) {
        feed(d);
        feed(d);
    }
    std::vector<media_test::Frame> f = frames.Frames();
    ASSERT_EQ(f.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(f[i].data, sent[i]);
        EXPECT_EQ(f[i].recovered, 0);
    }
}

TEST_F(Receiver, LostDataDatagramsAreRecoveredFromParity) {
    // 2 + 5 + 3 fragments fill one video group of 10 (+2 parity); the trailer
    // opens the next group. Data datagrams are numbered 0..9 in sending order.
    const std::vector<std::string> sent = {
        media_test::NumberedFrame(1500, 1), media_test::NumberedFrame(5500, 2),
        media_test::NumberedFrame(2600, 3), media_test::NumberedFrame(40, 4)};
    const std::vector<Bytes> out = senderOutput(sent);
    ASSERT_EQ(out.size(), 13u);
    struct Case {
        std::vector<int> lost;  // data datagrams dropped
        size_t delivered;       // whole frames before the deadline
    } cases[] = {{{}, 4}, {{3}, 4}, {{0, 9}, 4}, {{7, 8, 9}, 2}};
    for (const Case& c : cases) {
        RAVO::CRTPSession rx;
        media_test::FrameCollector got;
        rx.setGetRtpFrameCB(&got);
        rx.createRTPReceiver(static_cast<int>(kSsrc), RTP_PT_VIDEO);
        for (size_t i = 0; i < out.size(); ++i) {
            if (std::find(c.lost.begin(), c.lost.end(), static_cast<int>(i)) != c.lost.end())
                continue;
            media_test::Feed(rx, out[i]);
        }
        std::vector<media_test::Frame> f = got.Frames();
        ASSERT_EQ(f.size(), c.delivered) << "lost " << c.lost.size();
        for (size_t i = 0; i < f.size(); ++i) EXPECT_EQ(f[i].data, sent[i]) << i;
        if (c.delivered == 4 && !c.lost.empty()) {
            // Datagram 3 belongs to frame 1, datagrams 0 and 9 to frames 0 and 2.
            EXPECT_EQ(f[0].recovered, c.lost[0] == 0 ? 1 : 0);
            EXPECT_EQ(f[1].recovered, c.lost[0] == 3 ? 1 : 0);
            EXPECT_EQ(f[3].recovered, 0);
        }
    }
}

TEST_F(Receiver, AFragmentCannotWriteOutsideItsFrame) {
    DataFields first;
    first.seq = 1;
    first.ts = 3000;
    first.count = 2;
    first.marker = false;
    feed(MakeData(first, 1200, 0x11));
    // Same frame, but claiming a larger count and an index past the real one.
    DataFields liar = first;
    liar.seq = 4;
    liar.count = 5;
    liar.index = 3;
    feed(MakeData(liar, 1200, 0x22));
    EXPECT_EQ(frames.Size(), 0u);
    DataFields second = first;
    second.seq = 2;
    second.index = 1;
    second.marker = true;
    feed(MakeData(second, 7, 0x33));
    std::vector<media_test::Frame> f = frames.Frames();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].data, std::string(1200, '\x11') + std::string(7, '\x33'));
}

Bytes withU16(Bytes d, size_t at, uint16_t v) {
    media_test::put16le(d, at, v);
    return d;
}
Bytes withByte(Bytes d, size_t at, uint8_t v) {
    d[at] = v;
    return d;
}

TEST_F(Receiver, MalformedDatagramsAreDropped) {
    DataFields f;
    f.ts = 4000;
    const Bytes good = MakeData(f, 100);
    DataFields fec = f;
    fec.k = 10;
    fec.slot = 2;
    const Bytes goodFec = MakeData(fec, 100);
    DataFields big = f;
    const Bytes tooBig = MakeData(big, 1201);
    struct Case {
        const char* what;
        Bytes d;
    } cases[] = {
        {"truncated header", Bytes(good.begin(), good.begin() + 28)},
        {"length at 10 lies", withU16(good, 10, 121)},
        {"length at 28 lies", withU16(good, 28, 99)},
        {"payload past 1200", tooBig},
        {"frame count 0", withU16(good, 24, 0)},
        {"frame count past the limit", withU16(good, 24, RAVO::RTP_MAX_FRAME_FRAGMENTS + 1)},
        {"index past the count", withU16(withU16(good, 24, 2), 26, 2)},
        {"slot past k", withByte(goodFec, 9, 10)},
        {"slot past 13", withByte(withByte(goodFec, 8, 20), 9, 14)},
        {"slot without k", withByte(good, 9, 3)},
        {"another magic", withByte(good, 0, 0x31)},
    };
    for (const Case& c : cases) {
        feed(c.d);
        EXPECT_EQ(frames.Size(), 0u) << c.what;
        EXPECT_EQ(receiver->frameCount(), 0u) << c.what;
    }
    // Too short to hold even the kind.
    std::vector<char> tiny(3, 0);
    EXPECT_EQ(receiver->AppendDataToFecSet(tiny.data(), 3), nullptr);
    feed(good);
    EXPECT_EQ(frames.Size(), 1u);
}

// One video group of ten data datagrams with the fifth (slot 8) lost, so a sound
// parity datagram completes the frame. Each bad parity goes through the session
// and straight into the receiver; the real parity must still recover afterwards.
TEST_F(Receiver, MalformedParityRecoversNothingAndSpoilsNothing) {
    const std::string sent = media_test::NumberedFrame(12000, 1);
    const std::vector<Bytes> out = senderOutput({sent});
    ASSERT_EQ(out.size(), 12u);
    const size_t lost = 4;
    ASSERT_EQ(out[lost][9], 8);
    const Bytes& parity = out[10];
    struct Case {
        const char* what;
        Bytes d;
        bool sessionDrops;
    } cases[] = {
        {"length lies", withU16(parity, 10, static_cast<uint16_t>(parity.size() - 11)), true},
        // Filed, it would take parity 10's place.
        {"too short", MakeParity(kSsrc, RTP_PT_VIDEO, parity[7], 10, 10, 4), true},
        // Filed, it would stand in for the lost data block.
        {"index of a data slot", withByte(parity, 9, 8), false},
        {"index past 13", withByte(parity, 9, 14), false},
        {"without k", withByte(parity, 8, 0), false},
    };
    for (const Case& c : cases) {
        media_test::TraceCatcher trace;
        RAVO::CRTPSession rx;
        media_test::FrameCollector got;
        rx.setGetRtpFrameCB(&got);
        RAVO::CRTPReceiver* r = rx.createRTPReceiver(static_cast<int>(kSsrc), RTP_PT_VIDEO);
        for (size_t i = 0; i < 10; ++i)
            if (i != lost) media_test::Feed(rx, out[i]);
        media_test::Feed(rx, c.d);
        EXPECT_EQ(trace.Count("datatype=2"), c.sessionDrops ? 0u : 1u) << c.what;
        Bytes direct = c.d;
        r->in_sample(static_cast<int>(kSsrc), RTP_PT_VIDEO, reinterpret_cast<char*>(direct.data()),
                     static_cast<int>(direct.size()));
        EXPECT_EQ(got.Size(), 0u) << c.what;
        media_test::Feed(rx, parity);
        std::vector<media_test::Frame> f = got.Frames();
        ASSERT_EQ(f.size(), 1u) << c.what;
        EXPECT_EQ(f[0].data, sent) << c.what;
        EXPECT_EQ(f[0].recovered, 1) << c.what;
    }
}

// A flood at the media port: random bytes, and datagrams that look like the watched
// stream's with random timestamps, sequence numbers and fragment counts, whose frames
// never complete. What the stream holds stays within its window whatever arrives, and
// the real stream goes on afterwards.
TEST_F(Receiver, AFloodHoldsNoMoreThanTheWindowAndTheStreamGoesOn) {
    uint32_t x = 20261210u;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    // A frame that claims the most fragments and sends one holds about that one.
    DataFields claim;
    claim.ts = 500;
    claim.count = RAVO::RTP_MAX_FRAME_FRAGMENTS;
    claim.marker = false;
    feed(MakeData(claim, 1200));
    EXPECT_EQ(receiver->frameCount(), 1u);
    EXPECT_LE(receiver->heldBytes(), 1200u + RAVO::RTP_MAX_FRAME_FRAGMENTS * sizeof(int));

    size_t mostFrames = 0, mostBytes = 0;
    for (int i = 0; i < 20000; ++i) {
        Bytes d;
        if (i % 4 == 0) {
            d.resize(1 + next() % 1400);
            for (uint8_t& b : d) b = static_cast<uint8_t>(next());
        } else {
            DataFields f;
            f.seq = static_cast<uint16_t>(next());
            f.ts = next();
            f.count = static_cast<uint16_t>(2 + next() % 1023);
            f.index = static_cast<uint16_t>(next() % f.count);
            f.marker = false;
            d = MakeData(f, 1 + next() % 1200, static_cast<uint8_t>(next()));
        }
        feed(d);
        mostFrames = std::max(mostFrames, receiver->frameCount());
        mostBytes = std::max(mostBytes, receiver->heldBytes());
    }
    EXPECT_LE(mostFrames, RAVO::CRTPReceiver::kMaxHeldFrames);
    EXPECT_LE(mostBytes, RAVO::CRTPReceiver::kMaxHeldBytes);
    EXPECT_GT(mostFrames, 0u) << "the flood reached the stream";

    // The stream's own frames: once the flood's frames are past their deadline, they
    // go out again.
    winplat::AdvanceManualClock(1001);
    const size_t before = frames.Size();
    for (uint16_t seq = 1; seq <= 3; ++seq) single(seq, 0x70000000u + seq);
    winplat::AdvanceManualClock(1001);
    single(4, 0x70000004u);
    std::vector<uint32_t> got = delivered();
    got.erase(got.begin(), got.begin() + static_cast<long>(before));
    EXPECT_EQ(got, (std::vector<uint32_t>{0x70000001u, 0x70000002u, 0x70000003u, 0x70000004u}));
    EXPECT_EQ(receiver->frameCount(), 0u);
    EXPECT_EQ(receiver->heldBytes(), 0u);
}

TEST_F(Receiver, KindThreeIsReadLikeData) {
    DataFields f;
    f.ts = 4000;
    feed(withByte(MakeData(f, 10), 4, 3));
    EXPECT_EQ(frames.Size(), 0u);  // the session never passes kind 3 on
    Bytes d = withByte(MakeData(f, 10), 4, 3);
    receiver->in_sample(static_cast<int>(kSsrc), RTP_PT_VIDEO, reinterpret_cast<char*>(d.data()),
                        static_cast<int>(d.size()));
    EXPECT_EQ(frames.Size(), 1u);
}

}  // namespace
