// A room entered the way the lobby enters it: the join answer and the member list
// come from a room stand-in through the kernel, then the window is created, set up
// with InitRoom and registered. Notifications land in a recorder; a test relays what
// it needs to the window itself.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Answers.h"
#include "ServerSet.h"
#include "kernel_test_util.h"
#include "room/WndRoom.h"

class CCommKernel;
class CCommKernelData;
class CWndLobby;

namespace roomtest {

using testsupport::Bytes;
namespace answers = testsupport::answers;

constexpr int kMe = 1001;
constexpr int kRoom = 88;
constexpr int kAlice = 501;
constexpr int kBob = 502;

// One frame the client sent: its main and sub command and payload.
struct SentFrame {
    uint16_t mainCmd;
    uint16_t subCmd;
    Bytes payload;
};

class RoomTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Join over a fresh room connection with the local user and `others` as members,
    // then open the room window of `kind` as the lobby does.
    void EnterRoom(int kind, std::vector<answers::UserEntry> others);
    static answers::UserEntry Member(int id, const std::string& alias);
    // Sends frames on the room connection and pumps until the kernel posted them all.
    void PlayRoom(const std::vector<Bytes>& frames);
    // Frames the room stand-in received on its last connection since the last call.
    // The keep-alives (105/2) are left out unless asked for: the room sends one every
    // 5 s, so any test a loaded machine stretches would find them among its action's.
    std::vector<SentFrame> TakeSent(bool keepAlives = false);
    // The media connection requests (105/69) among `frames`: (user, operation).
    static std::vector<std::pair<int, int>> ConnRequestsIn(const std::vector<SentFrame>& frames);
    // Those the room stand-in got since the last look, once all the client sent arrived.
    std::vector<std::pair<int, int>> ConnRequests();
    // The private chat's text (every hint line).
    std::wstring PrivateText();
    // Privileges as the logon's privilege list gives them (over a logon stand-in
    // connection); the list lands in the temporary table and is swapped in.
    void GrantFromLogon(const std::vector<answers::Privilege>& list);
    // Frees the payload copies the kernel posted to the recorder.
    void FreeCopies();
    void CloseRoomWindow();

    // The lobby window, for tests that enter rooms through it: it joins and relays the
    // room's notifications to the room window.
    void OpenLobby();
    // The lobby leaves its room (the room window goes with it) and closes.
    void CloseLobby();
    // The lobby asks to join kRoom at the room stand-in's gate and the stand-in answers:
    // the local user entered kRoom, a room of `kind` named "room", with `join`'s other
    // fields.
    void JoinByLobby(int kind, answers::JoinRoom join = {});

    // Menus: the hook records each menu opened and answers with `menuAnswer`.
    static std::vector<HMENU> openedMenus;
    static UINT_PTR menuAnswer;
    static UINT_PTR MenuHook(HMENU menu);

    static CCommKernel* k;
    static CCommKernelData* d;
    kerneltest::RecorderWindow notify;
    testsupport::ServerSet servers;
    CWndRoom* room = nullptr;
    CWndLobby* lobby = nullptr;
    size_t sentSeen = 0;
};

// The process's threads but Qt's global pool (its image scaling and painting start
// them when first needed and keep them idle for a while).
int ThreadCount();

}  // namespace roomtest
