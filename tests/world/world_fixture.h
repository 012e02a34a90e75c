// The local world started in-process on free ports, the client library's kernel as
// one client on the real message loop, and raw sockets as the other members.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "LocalWorld.h"
#include "TcpStandIn.h"
#include "kernel/CommKernel.h"
#include "kernel_test_util.h"
#include "world_client.h"

namespace worldtest {

using testsupport::LocalWorld;

// The protocol's text for a wide text (code page 936).
std::string Wire(const std::wstring& text);

class WorldTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The kernel logs on (and closes the logon connection once the group list is in);
    // true when the logon was answered with the list, false on a refusal or silence.
    bool KernelLogon(int userId, const std::string& password);
    // The kernel joins a room; true when the user list arrived.
    bool KernelJoin(int roomId, const std::string& password = "");
    // The first message `msg` posted to the kernel's window at or after `from`, once
    // it has arrived (pumping the loop); null when none comes.
    std::optional<kerneltest::Posted> AwaitPosted(UINT msg, size_t from = 0);
    // Pumps the loop for a short while, so late posts arrive.
    void Settle();
    // The bytes the client's kernel writes for `call` as user `userId` in room `roomId`,
    // for a raw member to send: the world reads the kernel's own layouts, never a
    // request built by hand. While this is used the kernel's room connection goes to a
    // recorder, not to the world.
    Bytes KernelWrites(int userId, int roomId, const std::function<void()>& call);

    // A raw client logged on; its user id (a fresh one for a guest) in *userId.
    std::unique_ptr<RawClient> RawLogon(int userId, const std::string& password, int* gotId);
    // A raw member of a room, logged on and joined (user list complete).
    std::unique_ptr<RawClient> RawMember(int userId, const std::string& password, int roomId,
                                         int* gotId = nullptr);

    static CCommKernel* k;
    static CCommKernelData* d;
    std::mutex logLock;
    std::vector<std::string> worldLog;  // the world's log lines, under logLock
    std::unique_ptr<LocalWorld> world;
    kerneltest::RecorderWindow notify;
    std::unique_ptr<testsupport::TcpStandIn> recorder;  // see KernelWrites
};

}  // namespace worldtest
