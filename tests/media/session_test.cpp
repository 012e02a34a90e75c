#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "media_test_util.h"
#include "rtp/RTPReceiver.h"
#include "rtp/RTPSender.h"
#include "rtp/RTPSession.h"
#include "win32/win32.h"

namespace {

using media_test::Bytes;
using media_test::DataFields;
using media_test::get32le;
using media_test::IsKind;
using media_test::MakeData;

const int kRemote = 77;

// A session whose relay is a bare socket.
class Session : public ::testing::Test {
protected:
    void SetUp() override {
        session.init();
        ASSERT_EQ(session.createSession("127.0.0.1", 0), 0);
        session.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), relay.Port());
        (*session.getParam())[7] = 0;
        session.setGetRtpFrameCB(&frames);
    }
    void TearDown() override { session.stop(); }
    // (op, ssrc, pt) of the next control datagram at `peer`, or op 0.
    struct Control {
        int op, ssrc, pt;
        bool operator==(const Control& o) const {
            return op == o.op && ssrc == o.ssrc && pt == o.pt;
        }
    };
    static Control nextControl(media_test::UdpPeer& peer, int timeoutMs = 10000) {
        Bytes d = peer.Recv(timeoutMs);
        if (!IsKind(d, 1) || d.size() < 13) return {0, 0, 0};
        return {d[7], static_cast<int>(get32le(d, 8)), d[12]};
    }
    media_test::UdpPeer relay;
    media_test::FrameCollector frames;
    RAVO::CRTPSession session;
};

Bytes frameDatagram(uint32_t ts, size_t payload, uint16_t seq = 1) {
    DataFields f;
    f.ssrc = kRemote;
    f.ts = ts;
    f.seq = seq;
    return MakeData(f, payload);
}

TEST_F(Session, DatagramsOf1400BytesAreQueuedAndLongerOnesAreNot) {
    media_test::TraceCatcher trace;
    session.createRTPReceiver(kRemote, RTP_PT_VIDEO);
    session.start();
    relay.SendTo(session.getLocalPort(), frameDatagram(10, 1401 - 32));
    relay.SendTo(session.getLocalPort(), frameDatagram(11, 1400 - 32));
    relay.SendTo(session.getLocalPort(), frameDatagram(12, 100));
    ASSERT_TRUE(trace.WaitFor("datalen=132", 1));
    // The queue is first in, first out: both longer datagrams were seen by now.
    EXPECT_EQ(trace.Count("datalen=1400"), 1u);
    EXPECT_EQ(trace.Count("datalen=1401"), 0u);
    EXPECT_EQ(trace.LastLevel(), 3);
}

TEST_F(Session, TheIncomingQueueHoldsAtMostItsBoundAndDropsTheRest) {
    // Nothing processes: every datagram beyond the bound is refused and freed (the
    // sanitizer build checks the freeing).
    const Bytes d = frameDatagram(10, 100);
    size_t refused = 0;
    for (size_t i = 0; i < RAVO::CRTPSession::kMaxIncoming + 500; ++i) {
        auto* p = new RAVO::RTPPacket;
        std::memcpy(p->data, d.data(), d.size());
        p->len = static_cast<int>(d.size());
        refused += session.addIncomingPacket(p) != 0;
    }
    EXPECT_EQ(session.incomingCount(), RAVO::CRTPSession::kMaxIncoming);
    EXPECT_EQ(refused, 500u);
    while (session.procIncomingData()) {
    }
    EXPECT_EQ(session.incomingCount(), 0u);
    auto* p = new RAVO::RTPPacket;
    p->len = 5;
    EXPECT_EQ(session.addIncomingPacket(p), 0) << "room again once processed";
    session.clear();
}

TEST_F(Session, MediaFromAnotherHostThanTheRelayIsDropped) {
    media_test::TraceCatcher trace;
    session.createRTPReceiver(kRemote, RTP_PT_VIDEO);
    // The relay the session was given lives on another (loopback) host.
    session.setRemoteServerAddr2(const_cast<char*>("127.0.0.2"), relay.Port());
    session.start();
    relay.SendTo(session.getLocalPort(), frameDatagram(20, 50));
    ASSERT_TRUE(trace.WaitFor("drop UDP packet from 127.0.0.1:", 1));
    session.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), relay.Port());
    relay.SendTo(session.getLocalPort(), frameDatagram(21, 60));
    // The relay's host, whatever the port it answers from.
    media_test::UdpPeer otherPort;
    otherPort.SendTo(session.getLocalPort(), frameDatagram(22, 60, 2));
    ASSERT_TRUE(frames.WaitForSize(2));
    session.stop();
    std::vector<media_test::Frame> f = frames.Frames();
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].ts, 21u);
    EXPECT_EQ(f[1].ts, 22u);
    EXPECT_EQ(trace.Count("get UDP packet from m_recvpacketlst."), 2u);
}

TEST_F(Session, KindFiveOrSixStopsMediaButNotControl) {
    for (uint8_t kind : {5, 6}) {
        RAVO::CRTPSession s;
        s.createSession("127.0.0.1", 0);
        s.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), relay.Port());
        media_test::FrameCollector got;
        s.setGetRtpFrameCB(&got);
        s.createRTPReceiver(kRemote, RTP_PT_VIDEO);
        auto put = [&s](const Bytes& d) { media_test::Feed(s, d); };
        put(frameDatagram(100, 10, 1));
        EXPECT_EQ(got.Size(), 1u);
        put(Bytes{0x30, 0xDF, 0xE0, 0xA7, kind});
        EXPECT_TRUE(s.isBlocked());
        media_test::TraceCatcher trace;
        put(frameDatagram(101, 10, 2));
        put(media_test::MakeParity(kRemote, RTP_PT_VIDEO, 0, 1, 1, 30));
        EXPECT_EQ(got.Size(), 1u) << int(kind);
        EXPECT_EQ(trace.Count("in_sample"), 0u) << int(kind);  // neither reached the receiver
        s.Subscribe(kRemote, RTP_PT_VIDEO);
        EXPECT_EQ(nextControl(relay), (Control{2, kRemote, RTP_PT_VIDEO}));
    }
}

TEST_F(Session, CreatingAnExistingSenderReturnsItAndSendsNothing) {
    RAVO::CRTPSender* s = session.createRTPSender(5, RTP_PT_VIDEO, 1);
    EXPECT_EQ(nextControl(relay), (Control{1, 5, 99}));
    EXPECT_EQ(nextControl(relay), (Control{1, 5, 99}));
    EXPECT_EQ(session.createRTPSender(5, RTP_PT_VIDEO, 1), s);
    EXPECT_EQ(session.createRTPReceiver(6, 97), session.createRTPReceiver(6, 97));
    session.Unsubscribe(9, 9);  // marker
    EXPECT_EQ(nextControl(relay), (Control{4, 9, 9}));
    EXPECT_EQ(s->getK(), 10);
    EXPECT_EQ(s->getN(), 12);
    EXPECT_EQ(session.createRTPSender(5, RTP_PT_AUDIO, 0)->getK(), 5);
}

TEST_F(Session, DeletingSendsTheGoodbyesTwice) {
    EXPECT_EQ(session.delRTPSender(8, 99), 0);  // none there: sent anyway
    EXPECT_EQ(nextControl(relay), (Control{3, 8, 99}));
    EXPECT_EQ(nextControl(relay), (Control{3, 8, 99}));
    EXPECT_EQ(session.delRTPReceiver(8, 99, true), -1);
    session.createRTPReceiver(8, 99);
    EXPECT_EQ(session.delRTPReceiver(8, 99, true), 0);
    EXPECT_EQ(session.findRTPReceiver(8, 99), nullptr);
    EXPECT_EQ(nextControl(relay), (Control{4, 8, 99}));
    EXPECT_EQ(nextControl(relay), (Control{4, 8, 99}));
    session.createRTPReceiver(9, 97);
    EXPECT_EQ(session.delRTPReceiver(9, 97, false), 0);
    session.Subscribe(1, 1);  // marker: nothing came in between
    EXPECT_EQ(nextControl(relay), (Control{2, 1, 1}));
}

TEST_F(Session, RefreshRegistersAndSubscribesEveryFiveSeconds) {
    media_test::TraceCatcher trace;
    winplat::InstallManualClock(1700000000);
    session.createRTPSender(1, RTP_PT_VIDEO, 1);
    nextControl(relay);
    nextControl(relay);
    session.createRTPReceiver(2, RTP_PT_VIDEO)->setSubscribed(1);
    session.createRTPReceiver(3, RTP_PT_VIDEO);  // not subscribed: never refreshed
    session.start();
    // The first pass refreshes at once.
    EXPECT_EQ(nextControl(relay), (Control{1, 1, 99}));
    EXPECT_EQ(nextControl(relay), (Control{2, 2, 99}));
    // One full pass of the processing loop after the clock moved.
    size_t passes = 0;
    auto onePass = [&] {
        for (int i = 0; i < 2; ++i) {
            relay.SendTo(session.getLocalPort(), Bytes{1, 2, 3});
            ASSERT_TRUE(trace.WaitFor("get UDP packet", ++passes));
        }
    };
    winplat::AdvanceManualClock(4000);
    onePass();
    EXPECT_EQ(nextControl(relay, 100).op, 0);
    winplat::AdvanceManualClock(1000);
    EXPECT_EQ(nextControl(relay), (Control{1, 1, 99}));
    EXPECT_EQ(nextControl(relay), (Control{2, 2, 99}));
    onePass();
    EXPECT_EQ(nextControl(relay, 100).op, 0);
    session.stop();
    winplat::RemoveManualClock();
}

TEST_F(Session, SwitchingRelaysSaysGoodbyeFirstAndHelloAfter) {
    media_test::UdpPeer next;
    session.createRTPSender(1, RTP_PT_VIDEO, 1);
    session.createRTPSender(1, RTP_PT_AUDIO, 0);
    for (int i = 0; i < 4; ++i) nextControl(relay);
    RAVO::CRTPReceiver* subscribed = session.createRTPReceiver(2, RTP_PT_VIDEO);
    subscribed->setSubscribed(1);
    session.createRTPReceiver(3, RTP_PT_VIDEO);
    char addr[] = "127.0.0.1";
    session.switchRemoteServerAddr2(addr, next.Port());
    const std::vector<Control> old = {{3, 1, 99}, {3, 1, 99}, {3, 1, 97},
                                      {3, 1, 97}, {4, 2, 99}, {4, 2, 99}};
    const std::vector<Control> fresh = {{1, 1, 99}, {1, 1, 99}, {1, 1, 97},
                                        {1, 1, 97}, {2, 2, 99}, {2, 2, 99}};
    for (const Control& c : old) EXPECT_EQ(nextControl(relay), c);
    for (const Control& c : fresh) EXPECT_EQ(nextControl(next), c);
    EXPECT_EQ(nextControl(relay, 100).op, 0);
    EXPECT_EQ(nextControl(next, 100).op, 0);
    EXPECT_EQ(subscribed->isHeld(), 0);
}

TEST_F(Session, WithoutRelayOrSocketNothingIsSent) {
    RAVO::CRTPSession bare;
    char d[4] = {1, 2, 3, 4};
    EXPECT_EQ(bare.sendRTPpacket(d, 4), -1);
    EXPECT_EQ(bare.Register(1, 99), -1);
    // Binding a taken port fails and leaves the session without socket.
    RAVO::CRTPSession taken;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(taken.createSession("127.0.0.1", relay.Port()), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "bind to port " + std::to_string(relay.Port()) + " failed\n");
    taken.setRemoteServerAddr2(const_cast<char*>("127.0.0.1"), relay.Port());
    EXPECT_EQ(taken.Register(1, 99), -1);
    EXPECT_EQ(taken.sendRTPpacket(d, 4), -1);
}

TEST_F(Session, ParametersLoadFromAFileOfLines) {
    char path[] = "/tmp/mivora-rtpparamXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string text = "7\n900\n4\n6\nxyz\n 3\n";
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fd);
    session.loadParamConfig(path);
    const RAVO::RTPParam& p = *session.getParam();
    const int expected[8] = {7, 900, 4, 6, 0, 3, 2000, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p[i], expected[i]) << i;
    unlink(path);
    char missing[] = "/tmp/mivora-no-such-rtpparam";
    session.loadParamConfig(missing);
    EXPECT_EQ(p[1], 900);
}

}  // namespace
