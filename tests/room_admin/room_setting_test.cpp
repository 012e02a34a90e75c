// The room settings dialog: which requests each privilege set sends, the status bits
// the dialog does not show kept, typed ids, widths and relay addresses refused before
// anything goes, changed notices only, and the administration page's query.
#include <string>

#include "admin_fixture.h"
#include "dialogs/WndRoomSetting.h"
#include "http_test_server.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"

namespace roomtest {
namespace {

constexpr int kOwner = 4001;

class RoomSettingTest : public AdminTest {
protected:
    // Joined, then the base-information answer of a room with status 0x114, owner
    // kOwner, one deputy and a password.
    void Open(std::vector<int> privileges) {
        Grant(privileges);
        EnterRoom(1, {});
        answers::RoomBaseInfo info;
        info.roomId = kRoom;
        info.ownerId = kOwner;
        info.deputyOwnerIds[0] = 4002;
        info.roomFlags = 0x114;
        info.roomName = "room";
        info.joinText = "pw";
        info.baseFlag = 1;
        PlayRoom({answers::RoomBaseInfoAnswer(info), answers::RoomTextAnswer(kRoom, 1, "old two")});
        FreeCopies();
        room->ShowRoomSettingWnd();
        wnd = room->m_pWndRoomSetting;
        ASSERT_NE(wnd, nullptr);
        NewHints();
    }
    CWndRoomSetting* wnd = nullptr;
};

Bytes BaseRecord(int creator, int deputy0, int flag, const std::string& name,
                 const std::string& pwd) {
    Bytes b = Le({kRoom, kMe, creator, deputy0, 0, 0, 0, flag});
    Bytes text(32 + 17, 0);
    std::copy(name.begin(), name.end(), text.begin());
    std::copy(pwd.begin(), pwd.end(), text.begin() + 32);
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

TEST_F(RoomSettingTest, BaseSubmitSendsWhatEachPrivilegeAllows) {
    const std::wstring refused = CErrorMessage::m_szErrText[0];
    struct Case {
        const char* what;
        std::vector<int> privileges;
        bool status;  // 105/114 sent
        int creator;  // 105/112 sent with this creator; 0: not sent
        std::wstring hint;
    } cases[] = {
        {"status only", {16}, true, 0, L"数据已提交！"},
        {"owner rights: the typed creator", {28}, false, 4242, L"数据已提交！"},
        {"base rights: the stored creator", {23}, false, kOwner, L"数据已提交！"},
        {"all three", {16, 23, 28}, true, 4242, L"数据已提交！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Open(c.privileges);
        EXPECT_EQ(TextOf(wnd, L"edtcreator"), std::to_wstring(kOwner));
        EXPECT_EQ(TextOf(wnd, L"edtpwd"), L"pw");
        Type(wnd, L"edtcreator", L"4242");
        Click(wnd, L"btnSubmitRoomInfo");
        std::vector<SentFrame> sent = Sent();
        size_t at = 0;
        if (c.status) {
            ASSERT_GT(sent.size(), at);
            EXPECT_EQ(sent[at].subCmd, 114);
            // Frame of 22 bytes; the flags as joined, bits the dialog does not show kept.
            EXPECT_EQ(sent[at].payload, Le({kRoom, kMe, 0x114}));
            ++at;
        }
        if (c.creator) {
            ASSERT_GT(sent.size(), at);
            EXPECT_EQ(sent[at].subCmd, 112);
            EXPECT_EQ(sent[at].payload.size() + 10, 91u);
            EXPECT_EQ(sent[at].payload, BaseRecord(c.creator, 4002, 1, "room", "pw"));
            ++at;
        }
        EXPECT_EQ(sent.size(), at);
        EXPECT_TRUE(Has(NewHints(), c.hint));
        TearDown();
    }
}

TEST_F(RoomSettingTest, TheRoomOpensItOnlyWithARight) {
    Grant({});
    EnterRoom(1, {});
    room->ShowRoomSettingWnd();
    EXPECT_EQ(room->m_pWndRoomSetting, nullptr);
    EXPECT_TRUE(Has(PrivateText(), CErrorMessage::m_szErrText[0]));
}

TEST_F(RoomSettingTest, EverySubmitChecksTheRightsAgain) {
    Open({16, 23, 28, 39});
    d->m_pUserMVManager->ClearData();
    for (const wchar_t* button :
         {L"btnSubmitRoomInfo", L"btnSubmitRoomNotice", L"btnSubmitRoomJieMu", L"btnSubmitMedia"}) {
        Type(wnd, L"inputtext1", L"changed");
        Click(wnd, button);
        EXPECT_TRUE(Sent().empty());
        const std::wstring hints = NewHints();
        EXPECT_TRUE(Has(hints, CErrorMessage::m_szErrText[0]));
        EXPECT_FALSE(Has(hints, L"数据已提交！"));
    }
}

TEST_F(RoomSettingTest, StatusBitsTheDialogDoesNotShowAreKept) {
    Open({16});
    EXPECT_TRUE(
        static_cast<DuiLib::CCheckBoxUI*>(Control(wnd, L"chkClosePublicVideo"))->GetCheck());
    Tick(wnd, L"chkClosePublicVideo", false);
    Tick(wnd, L"chkClosePrivateChat", true);
    Click(wnd, L"btnSubmitRoomInfo");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload, Le({kRoom, kMe, 0x106}));
}

TEST_F(RoomSettingTest, BadInputIsRefusedBeforeAnythingIsSent) {
    struct Case {
        const char* what;
        const wchar_t* edit;
        std::wstring text;
        std::wstring hint;
    } cases[] = {
        {"creator not a number", L"edtcreator", L"abc", L"输入id错误!"},
        {"creator with a tail", L"edtcreator", L"12x", L"输入id错误!"},
        {"creator empty", L"edtcreator", L"", L"输入id错误!"},
        {"creator beyond 31 bits", L"edtcreator", L"2147483648", L"输入id错误!"},
        {"deputy negative", L"edtop2", L"-3", L"输入id错误!"},
        {"name of 32 bytes", L"edtname", std::wstring(16, L'房'), L"输入内容太长!"},
        {"name the code page lacks", L"edtname", L"room\U0001F600", L"含有不支持的字符!"},
        {"password of 18 bytes", L"edtpwd", std::wstring(9, L'密'), L"输入内容太长!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Open({16, 23, 28});
        Type(wnd, c.edit, c.text);
        Click(wnd, L"btnSubmitRoomInfo");
        EXPECT_TRUE(Sent().empty()) << "not even the status request";
        const std::wstring hints = NewHints();
        EXPECT_TRUE(Has(hints, c.hint));
        EXPECT_FALSE(Has(hints, L"数据已提交！"));
        TearDown();
    }
    // Empty and zero deputies mean none; 31 bytes of name fit.
    SetUp();
    Open({23});
    Type(wnd, L"edtop1", L"");
    Type(wnd, L"edtop2", L" 0 ");
    Type(wnd, L"edtname", std::wstring(15, L'房') + L"x");
    Click(wnd, L"btnSubmitRoomInfo");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Bytes(sent[0].payload.begin() + 12, sent[0].payload.begin() + 16), Le({0}));
    EXPECT_EQ(sent[0].payload[32 + 30], 'x');
}

TEST_F(RoomSettingTest, OnlyChangedNoticesGoWithTheirExactLength) {
    Open({16});
    Type(wnd, L"inputtext1", L"");        // as stored: nothing
    Type(wnd, L"inputtext2", L"新公告");  // changed: kind 1, 6 bytes
    Tick(wnd, L"swroomnoticy", true);
    Click(wnd, L"swroomnoticy");
    LayOut(wnd->GetHWND(), wnd->GetPaintManager());
    EXPECT_FALSE(SaveShot(wnd->GetHWND(), "room_setting_notices").empty());
    Click(wnd, L"btnSubmitRoomNotice");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    Bytes want = Le({kRoom, kMe});
    want.push_back(1);
    want.push_back(6);
    want.push_back(0);
    for (unsigned char ch : std::string("\xD0\xC2\xB9\xAB\xB8\xE6")) want.push_back(ch);
    EXPECT_EQ(sent[0].subCmd, 116);
    EXPECT_EQ(sent[0].payload, want);
    EXPECT_TRUE(Has(NewHints(), L"数据已提交！"));

    // The room keeps its text until the server answers: the same notice goes again.
    Click(wnd, L"btnSubmitRoomNotice");
    EXPECT_EQ(Sent().size(), 1u);

    Type(wnd, L"inputjiemu", L"节目");
    Click(wnd, L"btnSubmitRoomJieMu");
    sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload[8], 3);

    Type(wnd, L"inputtext3", std::wstring(1018, L'a'));
    Click(wnd, L"btnSubmitRoomNotice");
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Has(NewHints(), L"输入内容太长!"));
}

TEST_F(RoomSettingTest, MediaAddressesAreJoinedOrRefused) {
    Open({16, 39});
    const wchar_t* hosts[] = {L"edtsvrip1", L"edtsvrip2", L"edtsvrip3", L"edtsvrip4"};
    const wchar_t* ports[] = {L"edtsvrport1", L"edtsvrport2", L"edtsvrport3", L"edtsvrport4"};
    for (int i = 0; i < 4; ++i) {
        Type(wnd, hosts[i], i == 1 ? L"" : L"10.0.0." + std::to_wstring(i));
        Type(wnd, ports[i], std::to_wstring(5000 + i));
    }
    Tick(wnd, L"swroommedia", true);
    Click(wnd, L"swroommedia");
    LayOut(wnd->GetHWND(), wnd->GetPaintManager());
    EXPECT_FALSE(SaveShot(wnd->GetHWND(), "room_setting_media").empty());
    Click(wnd, L"btnSubmitMedia");
    std::vector<SentFrame> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subCmd, 65);
    Bytes want = Le({kRoom, kMe});
    const std::string text = "10.0.0.0:5000;:5001;10.0.0.2:5002;10.0.0.3:5003";
    Bytes field(128, 0);
    std::copy(text.begin(), text.end(), field.begin());
    want.insert(want.end(), field.begin(), field.end());
    EXPECT_EQ(sent[0].payload, want);
    NewHints();

    struct Case {
        const wchar_t* edit;
        const wchar_t* text;
    } bad[] = {{L"edtsvrip1", L"1.2.3.4:9"},
               {L"edtsvrip2", L"a;b"},
               {L"edtsvrip3", L"a b"},
               {L"edtsvrport4", L"65536"},
               {L"edtsvrport1", L"-1"}};
    for (const Case& c : bad) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        const std::wstring before = TextOf(wnd, c.edit);
        Type(wnd, c.edit, c.text);
        Click(wnd, L"btnSubmitMedia");
        EXPECT_TRUE(Sent().empty());
        EXPECT_TRUE(Has(NewHints(), L"媒体服务器地址输入错误!"));
        Type(wnd, c.edit, before);
    }
}

TEST_F(RoomSettingTest, AdministrationPageGetsTheEncodedPassword) {
    testsupport::HttpTestServer web;
    std::wcsncpy(
        d->m_GlobalConfig.vcbmanager_url,
        std::wstring(L"http://127.0.0.1:" + std::to_wstring(web.port()) + L"/manage").c_str(), 255);
    d->m_LocalUser.password = "a&b#c";
    Open({16});
    Click(wnd, L"swroomguanli");
    ASSERT_TRUE(kerneltest::Pump([&] { return web.requests().size() >= 1; }));
    const std::string line = web.requests().front().line;
    EXPECT_NE(line.find("?userid=1001&userpwd=a%26b%23c&roomid=88&time="), std::string::npos)
        << line;
    Click(wnd, L"swroomguanli");  // already shown: not loaded again
    Click(wnd, L"swroombase");
    Click(wnd, L"swroomguanli");
    EXPECT_TRUE(kerneltest::Pump([&] { return web.requests().size() >= 2; }));
    LayOut(wnd->GetHWND(), wnd->GetPaintManager());
    Click(wnd, L"swroombase");
    LayOut(wnd->GetHWND(), wnd->GetPaintManager());
    EXPECT_FALSE(SaveShot(wnd->GetHWND(), "room_setting_base").empty());
}

}  // namespace
}  // namespace roomtest
