#include "chat_fixture.h"

#include <QDir>

#include <cstring>
#include <cwchar>
#include <string>

#include "kernel/CommKernel.h"
#include "kernel_test_util.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "session/CommKernelData.h"
#include "win32/loop.h"
#include "win32/text.h"

void ChatTest::SetUpTestSuite() {
    CCommKernel* k = CCommKernel::GetInstance();
    if (!k->m_pData) {
        k->init(nullptr);
        k->m_pData->init();
    }
}

void ChatTest::SetUp() {
    UiTest::SetUp();
    CCommKernel* k = CCommKernel::GetInstance();
    CCommKernelData* d = k->m_pData;
    d->m_pUserMVManager->SetDelegate(&grants);
    // The program folder is the source tree, whose skin folder holds the chat's pictures
    // and style sheet.
    std::string root = MIVORA_SKIN_ROOT;
    root.erase(root.size() - std::strlen("/skin/"));
    // In the form the layer hands the program its folder: backslashes.
    std::wstring folder = winplat::Utf8ToWide(root);
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    std::wmemset(d->m_szAppPath, 0, kModulePathChars);
    folder.copy(d->m_szAppPath, kModulePathChars - 1);
    d->m_nCurRoomId = kChatRoom;
    CUserObj& me = d->m_LocalUser;
    me.userId = kMe;
    me.alias = "\xCE\xD2\xD7\xD4\xBC\xBA";  // 我自己
    me.levels[0] = 5;
    me.chatBanned = false;
    if (!d->m_pRoomManager->FindRoom(kChatRoom)) {
        auto* room = new CRoomObj;
        room->roomId = kChatRoom;
        room->roomName = "lounge";
        d->m_pRoomManager->AddRoom(room);
    }
    roomEntry.roomId = kChatRoom;
    SetCurrentRoomWindow(&roomEntry);
    k->DisconnectServer(SERVER_TYPE_ROOM);
    ASSERT_TRUE(k->ConnectServer(SERVER_TYPE_ROOM, "127.0.0.1", roomServer.port()));
    ASSERT_TRUE(Pump([k] { return k->IsConnected(SERVER_TYPE_ROOM); }));
}

void ChatTest::TearDown() {
    CCommKernel* k = CCommKernel::GetInstance();
    k->DisconnectServer(SERVER_TYPE_ROOM);
    SetCurrentRoomWindow(nullptr);
    k->m_pData->m_pUserMVManager->SetDelegate(nullptr);
    UiTest::TearDown();
}

std::vector<SentChat> ChatTest::SentChats() {
    EXPECT_TRUE(kerneltest::SettleSent(roomServer, SERVER_TYPE_ROOM));
    std::vector<SentChat> out;
    const testsupport::Bytes got = roomServer.Received();
    size_t at = 0;
    while (at + 10 <= got.size()) {
        size_t len = static_cast<size_t>(got[at]) | static_cast<size_t>(got[at + 1]) << 8 |
                     static_cast<size_t>(got[at + 2]) << 16 |
                     static_cast<size_t>(got[at + 3]) << 24;
        if (len < 10 || at + len > got.size()) break;
        uint16_t main = static_cast<uint16_t>(got[at + 6] | got[at + 7] << 8);
        uint16_t sub = static_cast<uint16_t>(got[at + 8] | got[at + 9] << 8);
        if (main == 105 && sub == 43 && len >= 10 + kRoomChatHeadSize) {
            SentChat s;
            std::memset(&s.record, 0, sizeof s.record);
            std::memcpy(&s.record, &got[at + 10], std::min(len - 10, sizeof s.record));
            s.frameLength = len;
            out.push_back(s);
        }
        at += len;
    }
    return out;
}

void SaveShot(const QImage& shot, const char* name) {
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    shot.save(QString::fromUtf8(MIVORA_ARTIFACT_DIR) + QString::fromUtf8(name));
}
