// Set-up shared by the chat tests: the kernel with its session data, a room stand-in
// connected as the room server, privileges a test grants, a registered room window
// double, and helpers to read the chat frames the stand-in received.
#pragma once

#include <QImage>

#include <set>
#include <string>
#include <vector>

#include "TcpStandIn.h"
#include "kernel/CmdRecords.h"
#include "model/UserMVManagerDelegate.h"
#include "room_window_double.h"
#include "ui_fixture.h"

constexpr int kChatRoom = 88;
constexpr int kMe = 1001;

// Grants exactly the privileges in `granted`.
class GrantDelegate : public IUserMVManagerDelegate {
public:
    std::set<short> granted;
    bool CheckPrivilege(short id, CUserObj*, int* handled) override {
        *handled = 1;
        return granted.count(id) > 0;
    }
    bool CheckPrivilege(short id, CUserObj*, CUserObj*, int* handled) override {
        *handled = 1;
        return granted.count(id) > 0;
    }
    int GetUserFinalLevel(CUserObj*, int*) override { return 0; }
    int GetUserSortId(CUserObj*, int*) override { return 0; }
};

// One chat request as the stand-in received it.
struct SentChat {
    tag_CMDRoomChatMsg record;  // head and text as sent (the rest zero)
    size_t frameLength = 0;
};

class ChatTest : public UiTest {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Chat frames (43) the client has sent to the room stand-in so far.
    std::vector<SentChat> SentChats();

    GrantDelegate grants;
    testsupport::TcpStandIn roomServer;
    RoomWindowDouble roomEntry;
};

void SaveShot(const QImage& shot, const char* name);
