// The kernel against a logon and a room stand-in server, through real sockets and
// the real message loop: the servers send answers, the fixture pumps until a marker
// answer has been posted, so everything sent before it has been dispatched.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/CommKernel.h"
#include "kernel_test_util.h"
#include "Answers.h"
#include "ServerSet.h"

namespace dispatchtest {

using kerneltest::Posted;
using testsupport::Bytes;

constexpr int kMe = 1001;
constexpr int kRoom = 88;
constexpr int kOtherRoom = 77;
constexpr int kUserA = 501;
constexpr int kUserB = 502;

using kerneltest::CarriesCopy;

// A readable digest of the whole model, to see that a refused answer changed nothing.
std::string ModelDigest(CCommKernelData* d);

class SessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The model as after start-up: no rooms, no users but the local user.
    void ResetModel();
    // Logon request out on a fresh logon connection (hello and request seen).
    void ConnectLogon();
    // Join request out on a fresh room connection.
    void ConnectRoom();
    // Sends the frames and then a marker answer on that server's connection, pumps
    // until the marker was posted, and returns what was posted before it.
    std::vector<Posted> Play(testsupport::ServerSet::Kind kind, const std::vector<Bytes>& frames);
    std::vector<Posted> PlayRoom(const std::vector<Bytes>& frames) {
        return Play(testsupport::ServerSet::kRoom, frames);
    }
    std::vector<Posted> PlayLogon(const std::vector<Bytes>& frames) {
        return Play(testsupport::ServerSet::kLogon, frames);
    }
    // The room joined with the local user and users A and B in it, list complete.
    void EnterRoom();
    // Frees every copy posted so far.
    void FreeCopies();
    // Trace lines of the dispatch since the last call.
    int TakeDispatchTraces();

    static CCommKernel* k;
    static CCommKernelData* d;
    kerneltest::RecorderWindow notify;
    testsupport::ServerSet servers;
};

// The payload bytes (after the header) of a frame.
Bytes PayloadOf(const Bytes& frame);
// Whether the copy in `p` holds exactly the payload of `frame` (plus its NUL guard).
bool CopyEquals(const Posted& p, const Bytes& frame);

}  // namespace dispatchtest
