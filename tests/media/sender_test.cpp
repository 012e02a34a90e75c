#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fec/fec.h"
#include "media_test_util.h"
#include "rtp/RTPSender.h"
#include "rtp/RTPSession.h"

namespace {

using media_test::Bytes;
using media_test::get16be;
using media_test::get16le;
using media_test::get32be;
using media_test::get32le;
using media_test::IsKind;

const int kSsrc = 4242;

// A session whose relay is a bare socket, so the test reads every byte sent.
class SenderBytes : public ::testing::Test {
protected:
    void SetUp() override {
        session.init();
        ASSERT_EQ(session.createSession("127.0.0.1", 0), 0);
        session.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), peer.Port());
        (*session.getParam())[7] = 0;  // no pacing unless a test asks for it
    }
    RAVO::CRTPSender* makeSender(int pt, int video) {
        RAVO::CRTPSender* s = session.createRTPSender(kSsrc, pt, video);
        for (int i = 0; i < 2; ++i) {
            Bytes reg = peer.Recv();
            EXPECT_TRUE(IsKind(reg, 1));
        }
        return s;
    }
    std::vector<Bytes> receive(size_t n) {
        std::vector<Bytes> out;
        while (out.size() < n) {
            Bytes d = peer.Recv();
            if (d.empty()) break;
            out.push_back(d);
        }
        return out;
    }
    // Nothing more arrives: a marker datagram sent after is the next one read.
    bool nothingMore() {
        session.Subscribe(1, 1);
        Bytes d = peer.Recv();
        return IsKind(d, 1) && d[7] == 2;
    }
    int send(int len) {
        std::string frame(static_cast<size_t>(len > 0 ? len : 0), 'f');
        for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<char>(i * 7);
        return session.sendData(kSsrc, RTP_PT_VIDEO, frame.empty() ? nullptr : &frame[0], len);
    }
    media_test::UdpPeer peer;
    RAVO::CRTPSession session;
};

TEST_F(SenderBytes, ControlDatagramsAreByteExact) {
    session.createRTPSender(0x01020304, RTP_PT_AUDIO, 0);
    const Bytes reg = {0x30, 0xDF, 0xE0, 0xA7, 1, 0, 2, 1, 0x04, 0x03, 0x02, 0x01, 97, 0};
    EXPECT_EQ(peer.Recv(), reg);
    EXPECT_EQ(peer.Recv(), reg);
    session.Subscribe(0x0A0B0C0D, RTP_PT_VIDEO);
    session.Unsubscribe(5, RTP_PT_VIDEO);
    session.Unregister(5, RTP_PT_AUDIO);
    EXPECT_EQ(peer.Recv(), (Bytes{0x30, 0xDF, 0xE0, 0xA7, 1, 0, 2, 2, 0x0D, 0x0C, 0x0B, 0x0A, 99}));
    EXPECT_EQ(peer.Recv(), (Bytes{0x30, 0xDF, 0xE0, 0xA7, 1, 0, 2, 4, 5, 0, 0, 0, 99}));
    EXPECT_EQ(peer.Recv(), (Bytes{0x30, 0xDF, 0xE0, 0xA7, 1, 0, 2, 3, 5, 0, 0, 0, 97}));
}

TEST_F(SenderBytes, FramesAreCutAt1200Bytes) {
    makeSender(RTP_PT_VIDEO, 1);
    send(1200);
    send(1201);
    std::vector<Bytes> d = receive(3);
    ASSERT_EQ(d.size(), 3u);
    // Header of fragment 0 of the 1200-byte frame, field by field.
    const Bytes& one = d[0];
    ASSERT_EQ(one.size(), 1232u);
    EXPECT_EQ(get32le(one, 0), 0xA7E0DF30u);
    EXPECT_EQ(one[4], 0);
    EXPECT_EQ(one[5], 0);
    EXPECT_EQ(one[6], 0);
    EXPECT_EQ(one[8], 10);  // video k
    EXPECT_EQ(one[9], 0);   // first slot of the order
    EXPECT_EQ(get16le(one, 10), 1220);
    EXPECT_EQ(one[12], 0x80);
    EXPECT_EQ(one[13], 0x80 | 99);
    EXPECT_EQ(get32be(one, 20), static_cast<uint32_t>(kSsrc));
    EXPECT_EQ(get16le(one, 24), 1);
    EXPECT_EQ(get16le(one, 26), 0);
    EXPECT_EQ(get16le(one, 28), 1200);
    EXPECT_EQ(get16le(one, 30), 0);
    EXPECT_EQ(one[32 + 1], 7);  // frame byte 1
    // The first frame carries the random start value + 1 (start in 200..455).
    const uint32_t ts = get32be(one, 16);
    EXPECT_GE(ts, 201u);
    EXPECT_LE(ts, 456u);

    ASSERT_EQ(d[1].size(), 1232u);
    ASSERT_EQ(d[2].size(), 33u);
    EXPECT_EQ(d[1][13], 99);  // no marker before the last fragment
    EXPECT_EQ(d[2][13], 0x80 | 99);
    for (int i : {1, 2}) {
        EXPECT_EQ(get32be(d[i], 16), ts + 1);
        EXPECT_EQ(get16le(d[i], 24), 2);
        EXPECT_EQ(get16le(d[i], 26), i - 1);
        EXPECT_EQ(get16be(d[i], 14), static_cast<uint16_t>(get16be(one, 14) + i));
    }
    EXPECT_EQ(get16le(d[2], 10), 21);
    EXPECT_EQ(get16le(d[2], 28), 1);
    EXPECT_EQ(d[2][32], static_cast<uint8_t>(1200 * 7));
}

TEST_F(SenderBytes, TheKthDatagramClosesTheGroupWithItsParity) {
    makeSender(RTP_PT_VIDEO, 1);
    // 3 + 4 + 3 fragments: the group spans frames; then one more datagram.
    send(2500);
    send(4000);
    send(3000);
    send(10);
    std::vector<Bytes> d = receive(13);
    ASSERT_EQ(d.size(), 13u);
    const int slots[10] = {0, 2, 4, 6, 8, 1, 3, 5, 7, 9};
    const uint8_t group = d[0][7];
    int longest = 0;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(IsKind(d[i], 0)) << i;
        EXPECT_EQ(d[i][7], group);
        EXPECT_EQ(d[i][9], slots[i]) << i;
        if (i > 0) {
            EXPECT_EQ(get16be(d[i], 14), static_cast<uint16_t>(get16be(d[i - 1], 14) + 1));
        }
        longest = std::max(longest, static_cast<int>(get16le(d[i], 10)));
    }
    for (int j = 0; j < 2; ++j) {
        const Bytes& p = d[10 + j];
        ASSERT_TRUE(IsKind(p, 2));
        EXPECT_EQ(p.size(), static_cast<size_t>(longest + 16));
        EXPECT_EQ(p[5], 0);
        EXPECT_EQ(p[6], 99);
        EXPECT_EQ(p[7], group);
        EXPECT_EQ(p[8], 10);
        EXPECT_EQ(p[9], 10 + j);
        EXPECT_EQ(get16le(p, 10), longest + 4);
        EXPECT_EQ(get32le(p, 12), static_cast<uint32_t>(kSsrc));
    }
    // The parity rows cover the data blocks by slot, not by sending order: each
    // from offset 12, zero-padded to the longest.
    std::vector<std::vector<char>> blocks(10, std::vector<char>(longest, 0));
    std::vector<char*> data;
    for (int i = 0; i < 10; ++i) std::copy(d[i].begin() + 12, d[i].end(), blocks[d[i][9]].begin());
    for (std::vector<char>& b : blocks) data.push_back(b.data());
    FEC_CODE* code = FEC_Create(10, 12, nullptr);
    for (int j = 0; j < 2; ++j) {
        std::vector<char> expected(longest);
        FEC_EncodeParity(code, 10 + j, data.data(), expected.data(), longest);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), d[10 + j].begin() + 16,
                               [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
            << "parity " << 10 + j;
    }
    FEC_Release(code);
    // Parity datagrams carry no sequence number: data numbering goes straight on.
    ASSERT_TRUE(IsKind(d[12], 0));
    EXPECT_EQ(d[12][7], static_cast<uint8_t>(group + 1));
    EXPECT_EQ(d[12][9], 0);
    EXPECT_EQ(get16be(d[12], 14), static_cast<uint16_t>(get16be(d[9], 14) + 1));
}

TEST_F(SenderBytes, WithoutParityTheSlotCounterWrapsAt14) {
    struct Case {
        int k, n;
        std::vector<int> slots;  // of 16 datagrams
    } cases[] = {
        {0, 0, std::vector<int>(16, 0)},
        {12, 12, {0, 2, 4, 6, 8, 10, 1, 3, 5, 7, 9, 11, 0, 0, 0, 2}},
        // More than the 14 slots of the store: sent without FEC.
        {20, 24, std::vector<int>(16, 0)},
    };
    int ssrc = 100;
    for (const Case& c : cases) {
        (*session.getParam())[2] = c.k;
        (*session.getParam())[3] = c.n;
        session.createRTPSender(++ssrc, RTP_PT_VIDEO, 1);
        receive(2);
        std::string frame(16 * 1200, 'x');
        session.sendData(ssrc, RTP_PT_VIDEO, &frame[0], static_cast<int>(frame.size()));
        std::vector<Bytes> d = receive(16);
        ASSERT_EQ(d.size(), 16u);
        for (int i = 0; i < 16; ++i) {
            ASSERT_TRUE(IsKind(d[i], 0)) << "k=" << c.k << " datagram " << i;
            EXPECT_EQ(d[i][8], c.k > 14 ? 0 : c.k);
            EXPECT_EQ(d[i][9], c.slots[i]) << "k=" << c.k << " datagram " << i;
        }
        EXPECT_TRUE(nothingMore()) << "k=" << c.k;
    }
}

TEST_F(SenderBytes, EmptyAndNegativeFramesSendNothing) {
    makeSender(RTP_PT_VIDEO, 1);
    EXPECT_EQ(send(0), 0);
    EXPECT_EQ(send(-5), 0);
    EXPECT_EQ(send(-2400), 0);
    EXPECT_TRUE(nothingMore());
    // Each call still stepped the timestamp.
    send(5);
    Bytes d = peer.Recv();
    ASSERT_TRUE(IsKind(d, 0));
    EXPECT_GE(get32be(d, 16), 204u);
}

TEST_F(SenderBytes, AudioUsesItsOwnGroupsAndPacedSendingLosesNothing) {
    (*session.getParam())[6] = 200;  // microseconds
    (*session.getParam())[7] = 2;
    session.createRTPSender(kSsrc, RTP_PT_AUDIO, 0);
    receive(2);
    std::string frame(5 * 1200, 'a');
    session.sendData(kSsrc, RTP_PT_AUDIO, &frame[0], static_cast<int>(frame.size()));
    std::vector<Bytes> d = receive(6);
    ASSERT_EQ(d.size(), 6u);
    const int slots[5] = {0, 2, 4, 1, 3};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(d[i][8], 5);
        EXPECT_EQ(d[i][9], slots[i]);
        EXPECT_EQ(d[i][13], 97 | (i == 4 ? 0x80 : 0));
    }
    ASSERT_TRUE(IsKind(d[5], 2));
    EXPECT_EQ(d[5][9], 5);
    EXPECT_EQ(d[5][6], 97);
    EXPECT_TRUE(nothingMore());
}

TEST_F(SenderBytes, SettingFecParametersOpensANewGroup) {
    RAVO::CRTPSender* s = makeSender(RTP_PT_VIDEO, 1);
    send(10);
    const uint8_t first = peer.Recv()[7];
    s->setFecParam(5, 6);
    send(10);
    Bytes d = peer.Recv();
    EXPECT_EQ(d[7], static_cast<uint8_t>(first + 30));
    EXPECT_EQ(d[8], 5);
    EXPECT_EQ(d[9], 0);
    s->resetFecEncodeInfo();
    send(10);
    EXPECT_EQ(peer.Recv()[7], static_cast<uint8_t>(first + 60));
}

}  // namespace
