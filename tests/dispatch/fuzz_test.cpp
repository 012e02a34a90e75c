// Random frames into OnSocketRead, bounded in count: valid answers cut and changed at
// random, and frames of random bytes under known command numbers. Nothing may read
// past a frame (the sanitizer build watches), every copy is freed, and the model
// keeps no pointer to a deleted user.
#include <cstdlib>
#include <random>

#include "SampleAnswers.h"
#include "dispatch_fixture.h"
#include "kernel/TMLSocket.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"

namespace dispatchtest {
namespace {

namespace answers = testsupport::answers;

constexpr int kFrames = 20000;

// The mutated answers name the ids the fixture's model knows, so that handlers go deep.
static_assert(answers::kSampleMe == kMe && answers::kSampleRoom == kRoom &&
              answers::kSampleOtherRoom == kOtherRoom && answers::kSampleUserA == kUserA &&
              answers::kSampleUserB == kUserB);

// A longer run by hand: MIVORA_FUZZ_SEED and MIVORA_FUZZ_FRAMES.
uint32_t Seed() {
    const char* s = std::getenv("MIVORA_FUZZ_SEED");
    return s ? static_cast<uint32_t>(std::strtoul(s, nullptr, 10)) : 20261210u;
}
int Frames() {
    const char* s = std::getenv("MIVORA_FUZZ_FRAMES");
    return s ? std::atoi(s) : kFrames;
}

class FrameSource {
public:
    explicit FrameSource(uint32_t seed) : m_rng(seed), m_templates(answers::SampleAnswers()) {}

    Bytes Next() {
        switch (Pick(4)) {
            case 0:
            case 1:
                return Mutated();
            case 2:
                return Random(Pick(3) == 0 ? answers::kLogonMain : answers::kRoomMain,
                              static_cast<uint16_t>(Pick(150)));
            default:
                return Random(static_cast<uint16_t>(Pick(2) ? 105 : m_rng()),
                              static_cast<uint16_t>(m_rng()));
        }
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    Bytes Mutated() {
        Bytes f = m_templates[Pick(m_templates.size())];
        size_t edits = Pick(4);
        for (size_t i = 0; i < edits && f.size() > 10; ++i) {
            size_t at = 10 + Pick(f.size() - 10);
            f[at] = static_cast<uint8_t>(Pick(3) == 0 ? 0xFF : m_rng());
        }
        if (Pick(2)) f.resize(Pick(f.size() + 1));  // cut anywhere, header included
        return f;
    }

    // Payload words mostly from the ids the model knows, so that handlers go deep.
    Bytes Random(uint16_t mainCmd, uint16_t subCmd) {
        static const int32_t kWords[] = {kRoom, kMe, kUserA, kUserB, 0, 1, 2, 3, -1, 0x7FFFFFFF};
        answers::Payload p;
        size_t size = Pick(320);
        for (size_t at = 0; at + 4 <= size; at += 4)
            p.i32(at, Pick(2) ? kWords[Pick(sizeof kWords / sizeof kWords[0])]
                              : static_cast<int32_t>(m_rng()));
        p.resize(size);
        return answers::Frame(mainCmd, subCmd, p);
    }

    std::mt19937 m_rng;
    std::vector<Bytes> m_templates;
};

// Every member pointer of a room is a live object: the one the user map holds, or
// the local user, who is never deleted.
void ExpectNoStaleUsers(CCommKernelData* d) {
    for (auto& [roomId, room] : d->m_pRoomManager->rooms)
        for (auto& [userId, user] : room->users) {
            if (user == &d->m_LocalUser) continue;
            ASSERT_EQ(d->m_pUserManager->FindUser(userId), user)
                << "room " << roomId << " keeps user " << userId;
            (void)user->alias.size();
        }
}

using DispatchFuzz = SessionTest;

TEST_F(DispatchFuzz, RandomFramesOnEveryConnection) {
    FrameSource source(Seed());
    size_t posts = 0;
    const int frames = Frames();
    for (int i = 0; i < frames; ++i) {
        Bytes frame = source.Next();
        // Connections as the receive loop hands frames over: at least one byte, and
        // the socket of the logon, lobby or room connection, or an unknown one.
        if (frame.empty()) frame.push_back(1);
        void* socket = (i % 7 == 6) ? nullptr : &k->m_pSockets[i % 3];
        EXPECT_EQ(k->OnSocketRead(frame.data(), static_cast<int>(frame.size()), socket), 0);
        if (i % 500 == 499) {
            notify.Drain();
            posts += notify.posted().size();
            FreeCopies();
            ExpectNoStaleUsers(d);
            if (HasFatalFailure()) return;
        }
    }
    notify.Drain();
    posts += notify.posted().size();
    FreeCopies();
    ExpectNoStaleUsers(d);
    // The stream reached the handlers, and refused some answers.
    EXPECT_GT(posts, static_cast<size_t>(frames / 20));
    EXPECT_GT(TakeDispatchTraces(), 0);
}

TEST_F(DispatchFuzz, RandomFramesThroughTheRoomSocket) {
    EnterRoom();
    FrameSource source(7);
    std::vector<Bytes> frames;
    for (int i = 0; i < 400; ++i) {
        Bytes f = source.Next();
        // Keep the stream in step: each frame's length word is its size, 10 to 8192.
        if (f.size() < 10) f.resize(10, 0);
        uint32_t n = static_cast<uint32_t>(f.size());
        for (int b = 0; b < 4; ++b) f[b] = static_cast<uint8_t>(n >> (8 * b));
        // The marker answer ends a batch: keep it out of the random stream.
        if (f[6] == 105 && f[7] == 0 && f[8] == 128 && f[9] == 0) f[8] = 129;
        frames.push_back(f);
    }
    PlayRoom(frames);
    EXPECT_TRUE(k->IsConnected(SERVER_TYPE_ROOM));
    ExpectNoStaleUsers(d);
}

}  // namespace
}  // namespace dispatchtest
