#include <gtest/gtest.h>

#include <string>

#include "MediaRelay.h"
#include "SessionPair.h"
#include "media_test_util.h"
#include "rtp/RTPSession.h"

namespace {

using media_test::Bytes;
using mivora_test::MediaRelay;
using mivora_test::RelayAction;
using mivora_test::SessionPair;

const int kSpeaker = 1001;

// One speaking session and one listening session, both through the stand-in relay.
struct Room {
    explicit Room(MediaRelay::Rule rule)
        : relayReady(StartRelay(std::move(rule))), pair(relay, kSpeaker, &frames) {
        EXPECT_TRUE(relayReady);
        EXPECT_TRUE(pair.Joined());
        speaker.start();
        listener.start();
        // Until a first frame went out, any whole frame is taken as the start of
        // the stream; the faults begin after it.
        send(media_test::NumberedFrame(10, -1));
        EXPECT_TRUE(frames.WaitForSize(1));
    }
    ~Room() {
        speaker.stop();
        listener.stop();
        relay.Stop();
    }
    void send(std::string frame) {
        speaker.sendData(kSpeaker, RTP_PT_VIDEO, &frame[0], static_cast<int>(frame.size()));
    }
    bool StartRelay(MediaRelay::Rule rule) {
        const bool started = relay.Start();
        if (rule) relay.SetRule(std::move(rule));
        return started;
    }

    // In this order: the relay runs before the sessions join it.
    MediaRelay relay{20000};
    media_test::FrameCollector frames;
    bool relayReady;
    SessionPair pair;
    RAVO::CRTPSession& speaker = pair.speaker;
    RAVO::CRTPSession& listener = pair.listener;
};

bool isData(const Bytes& d) {
    return d.size() >= 32 && d[4] == 0;
}

TEST(RelayEndToEnd, FramesArriveWholeAndInOrderWithAndWithoutLoss) {
    const size_t sizes[] = {1, 100, 1199, 1200, 1201, 2400, 5000, 12000, 30000, 700, 64000, 3};
    struct Case {
        const char* what;
        MediaRelay::Rule rule;
    } cases[] = {
        {"clean", nullptr},
        // At most one data datagram in ten consecutive ones is lost, so every group
        // of the (10, 12) code can be rebuilt; duplicates and swaps on top.
        {"lossy",
         [](const Bytes& d, uint64_t index) {
             if (index == 0) return RelayAction::Forward;  // the warm-up frame
             if (isData(d) && ((d[14] << 8) | d[15]) % 11 == 3) return RelayAction::Drop;
             if (index % 5 == 0) return RelayAction::Duplicate;
             if (index % 13 == 6) return RelayAction::Hold;
             return RelayAction::Forward;
         }},
    };
    for (const Case& c : cases) {
        Room room(c.rule);
        std::vector<std::string> sent;
        for (size_t i = 0; i < sizeof(sizes) / sizeof(sizes[0]); ++i) {
            sent.push_back(media_test::NumberedFrame(sizes[i], static_cast<int>(i)));
            room.send(sent.back());
        }
        // Trailing frames close the last group, so its parity is sent.
        for (int i = 0; i < 2; ++i) room.send(media_test::NumberedFrame(12000, 1000 + i));
        ASSERT_TRUE(room.frames.WaitForSize(sent.size() + 1, 10000)) << c.what;
        std::vector<media_test::Frame> got = room.frames.Frames();
        got.erase(got.begin());
        int recovered = 0;
        for (size_t i = 0; i < sent.size(); ++i) {
            EXPECT_EQ(got[i].data.size(), sent[i].size()) << c.what << " frame " << i;
            EXPECT_TRUE(got[i].data == sent[i]) << c.what << " frame " << i;
            EXPECT_EQ(got[i].ssrc, kSpeaker);
            EXPECT_EQ(got[i].pt, RTP_PT_VIDEO);
            EXPECT_EQ(got[i].loss, 0);
            recovered += got[i].recovered;
        }
        if (c.rule) {
            EXPECT_GT(room.relay.DroppedCount(), 0u);
            EXPECT_GT(recovered, 0);
        } else {
            EXPECT_EQ(recovered, 0);
        }
    }
}

TEST(RelayEndToEnd, KindFiveFromTheRelayEndsTheListenersMedia) {
    Room room(nullptr);
    room.send(media_test::NumberedFrame(3000, 1));
    ASSERT_TRUE(room.frames.WaitForSize(2));
    media_test::TraceCatcher trace;
    room.relay.SendTo(room.listener.getLocalPort(), Bytes{0x30, 0xDF, 0xE0, 0xA7, 5, 0, 0, 0});
    ASSERT_TRUE(trace.WaitFor("get UDP packet", 1));
    EXPECT_TRUE(room.listener.isBlocked());
    const size_t forwarded = room.relay.ForwardedCount();
    room.send(media_test::NumberedFrame(3000, 2));
    ASSERT_TRUE(room.relay.WaitUntil([&] { return room.relay.ForwardedCount() >= forwarded + 3; }));
    room.relay.SendTo(room.listener.getLocalPort(), Bytes{1});
    ASSERT_TRUE(trace.WaitFor("get UDP packet", 5));
    EXPECT_EQ(room.frames.Size(), 2u);
    EXPECT_EQ(trace.Count("in_sample"), 0u);
}

}  // namespace
