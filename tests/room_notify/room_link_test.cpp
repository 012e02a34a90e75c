// A room link in a peer's chat line, clicked, as the program runs it: the room window,
// the lobby that joins, the kernel that connects. A listener on loopback stands for
// the peer's server: it must never see a join request (it holds the password).
#include <cstring>
#include <string>

#include "TcpStandIn.h"
#include "app/TrustedGates.h"
#include "lobby_fixture.h"
#include "fenlo/UIlib.h"
#include "notify_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/text.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace roomtest {
namespace {

int g_boxes = 0;
int AnswerYes(LPCWSTR, LPCWSTR, UINT) {
    ++g_boxes;
    return IDYES;
}

class RoomLinkTest : public NotifyTest {
protected:
    void SetUp() override {
        NotifyTest::SetUp();
        ForgetLearntGates();
        g_boxes = 0;
        winplat::SetMessageBoxHook(AnswerYes);
    }
    void TearDown() override {
        winplat::SetMessageBoxHook(nullptr);
        NotifyTest::TearDown();
    }
    // Alice writes `markup` in the public chat; returns the address of the last link
    // the page kept.
    std::wstring LineFromAlice(const std::string& markup) {
        answers::ChatLine line;
        line.roomId = kRoom;
        line.senderId = kAlice;
        line.senderAlias = "alice";
        line.roomName = "room";
        line.text = winplat::WideToAnsi(winplat::Utf8ToWide(markup), 936);
        Play({answers::ChatLineAnswer(line)});
        const std::wstring html = Html(L"pubtextout");
        const size_t at = html.rfind(L"enterchatroom://");
        if (at == std::wstring::npos) return L"";
        return html.substr(at, html.find(L'"', at) - at);
    }
    void Click(const std::wstring& href) {
        auto* view =
            static_cast<CWebBrowserUI*>(room->GetPaintManager().FindControl(L"pubtextout"));
        view->Navigate2(href.c_str());
    }
};

TEST_F(RoomLinkTest, ALinkToAnUnknownServerSendsNothingThereAndAKnownOneAsks) {
    Join(1, {Member(kAlice, "alice")});
    testsupport::TcpStandIn peer;
    const std::string port = std::to_string(peer.port());

    // The peer's server under a name the client never trusted ("localhost" reaches the
    // listener all the same).
    const std::wstring foreign = LineFromAlice("<a href=\"enterchatroom://1234,localhost:" + port +
                                               "\">官方活动 点击进入1234房间</a>");
    ASSERT_EQ(foreign, winplat::Utf8ToWide("enterchatroom://1234,localhost:" + port));
    TakeTrace();
    Click(foreign);
    ASSERT_TRUE(Pump([&] {
        return GetRegisteredRoomWindow() != room || peer.Connections() > 0 ||
               Has(Text(L"privtextout"), kUnknownGateHint);
    }));
    ASSERT_EQ(GetRegisteredRoomWindow(), room) << "the room was left for the peer's server";
    EXPECT_EQ(g_boxes, 0) << "nothing to ask";
    // What the user sees: the peer's line with its link, the hint in the private view.
    room->ShowWindow(true, true);
    PumpPending();
    EXPECT_FALSE(SaveShot(room->GetHWND(), "room_link_unknown_server").empty());

    // The same listener as the stand-ins' own host, which the configuration names: the
    // question comes, and the join goes there. Posted after the first, it arrives after
    // it: a join of the first link would have reached the listener before this one.
    const std::wstring known =
        LineFromAlice("<a href=\"enterchatroom://1235,127.0.0.1:" + port + "\">room</a>");
    Click(known);
    ASSERT_TRUE(Pump([&] { return peer.ReceivedCount() >= 14 + 115; }, 10000));
    EXPECT_EQ(g_boxes, 1);
    EXPECT_EQ(peer.Connections(), 1);
    const Bytes join = peer.Received();
    int32_t roomId = 0;
    std::memcpy(&roomId, &join[14 + 14], 4);
    EXPECT_EQ(roomId, 1235) << "the one join is the known link's";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&join[14 + 22])), "secret");
    room = nullptr;  // the lobby left the room for the new one
}

}  // namespace
}  // namespace roomtest
