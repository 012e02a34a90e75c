// Hostile notifications: markup in names and addresses, names that fill their field,
// indexes and counts at their limits, and copies no longer than their layout. The
// sanitizer build reports any read past a copy; the pages hold escaped text only.
#include <cstring>
#include <string>
#include <vector>

#include "kernel/dispatch/Dispatch.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "notify_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/text.h"

namespace roomtest {
namespace {

class HostileTest : public NotifyTest {
protected:
    void SetUp() override {
        NotifyTest::SetUp();
        AddLevel(1, 5, true, 0, L"会员");
        AddGift(7, L"玫瑰", 100, 0);
        AddGift(8, L"幸运星", 100, 0);
    }
};

const char kMarkup[] = "<b>x</b><i>y</i>";  // fills an alias field to its NUL
const char kFull[] = "ABCDEFGHIJKLMNOPQ";   // 17 bytes, no room for a NUL

TEST_F(HostileTest, NetworkTextReachesThePagesAsText) {
    Join(1, {Member(kAlice, kMarkup)});
    ClearViews();
    answers::Gift full;
    full.roomId = kRoom;
    full.giverId = 7001;  // not in the room: the link shows the record's name
    full.receiverId = kAlice;
    full.giftId = 7;
    full.count = 2147483647;
    full.giver = kFull;
    full.receiver = kFull;
    full.third = kFull;
    answers::Siege siege;
    siege.lordId = kAlice;
    siege.ladyId = kMe;
    siege.lordAlias = kFull;
    siege.ladyAlias = kMarkup;
    const std::vector<Bytes> frames = {
        answers::UserEnterAnswer(Member(kBob, kMarkup)),
        answers::SeeUserIpAnswer(kRoom, kMe, kAlice, kMarkup),
        answers::GiftAnswer(full),
        answers::LuckyGiftAnswer(kRoom, kAlice, 8, {32767, -1, 0}),
        answers::MicStateAnswer(kRoom, kAlice, kAlice, 1, 255),
        answers::MicStateAnswer(kRoom, kAlice, kAlice, 0xFF, 255),
        answers::LoudspeakerAnswer(2, std::string(kMarkup) + "<script>bad()</script>"),
        answers::SiegeAnswer(siege),
        answers::ConnMediaRespAnswer(kRoom, kMe, kAlice),
    };
    Play(frames);
    // The gift line comes from the notice queue's timer.
    ASSERT_TRUE(Pump([&] { return Has(Text(L"pubtextout"), L"[ABCDEFGHIJKLMNOPQ]送给"); }));
    for (const wchar_t* view : {L"pubtextout", L"privtextout", L"labazone", L"siegetextout"}) {
        const std::wstring html = Html(view);
        // Markup from the network shows as text: escaped in the page, never elements.
        EXPECT_FALSE(Has(html, L"<b>x")) << winplat::WideToUtf8(view);
        EXPECT_FALSE(Has(html, L"<i>y")) << winplat::WideToUtf8(view);
        EXPECT_FALSE(Has(html, L"bad()")) << winplat::WideToUtf8(view);
    }
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"<b>x</b><i>y</i>来到本房间"));
    EXPECT_TRUE(Has(Text(L"privtextout"), L"用户 501 的IP地址为: <b>x</b><i>y</i>"));
    EXPECT_TRUE(Has(Text(L"pubtextout"), L"[ABCDEFGHIJKLMNOPQ]送给"))
        << winplat::WideToUtf8(Text(L"pubtextout"));
    EXPECT_FALSE(Has(Text(L"pubtextout"), L"OPQABC"));
    EXPECT_TRUE(Has(Text(L"siegetextout"), L"恭喜ABCDEFGHIJKLMNOP(501)"));
    EXPECT_TRUE(Has(Text(L"labazone"), L"x"));
    CRoomObj* r = d->m_pRoomManager->FindRoom(kRoom);
    for (const tag_PubMicInfo& mic : r->pubMics) EXPECT_NE(mic.userId, kAlice);
    EXPECT_EQ(User(kAlice)->micIndex, 255);
    EXPECT_EQ(User(kAlice)->flags & 0x6020u, 0x2000u)
        << "lord by the siege only; never a manager by the byte";
}

TEST_F(HostileTest, AnAddressOfAnyLengthIsShownWhole) {
    Join(1, {Member(kAlice, "alice")});
    // Around the old fixed line of 320 characters, and up to what one frame holds.
    for (size_t length : {size_t{300}, size_t{306}, size_t{307}, size_t{2000}, size_t{8100}}) {
        SCOPED_TRACE(length);
        ClearViews();
        std::string address(length, '7');
        address.front() = '<';
        address.back() = '>';
        Play({answers::SeeUserIpAnswer(kRoom, kMe, kAlice, address)});
        const std::wstring expected = L"用户 501 的IP地址为: " + winplat::Utf8ToWide(address);
        const std::wstring text = Text(L"privtextout");
        EXPECT_TRUE(Has(text, expected)) << text.size();
        EXPECT_FALSE(Has(Html(L"privtextout"), L"<7777")) << "the address shows as text";
    }
}

TEST_F(HostileTest, CopiesNoLongerThanTheirLayoutAreReadInside) {
    Join(1, {Member(kAlice, "alice")});
    using Handler = void (CWndRoom::*)(const char*);
    const struct {
        uint16_t sub;
        Handler handler;
    } rows[] = {
        {75, &CWndRoom::OnUserMicStateChanged},  {74, &CWndRoom::OnMicStateFailed},
        {108, &CWndRoom::OnWaitMicIndexChanged}, {92, &CWndRoom::OnUserBanned},
        {86, &CWndRoom::OnUserPriorityChanged},  {102, &CWndRoom::OnMicTypeChanged},
        {137, &CWndRoom::OnSiegeStateChanged},   {48, &CWndRoom::OnTradeGiftFailed},
        {49, &CWndRoom::OnTradeGiftNotify},      {61, &CWndRoom::OnLoudspeakerMsg},
        {60, &CWndRoom::OnLuckyGiftReward},      {57, &CWndRoom::OnFireworksPicked},
        {95, &CWndRoom::OnSealNotify},           {88, &CWndRoom::OnSeeUserIpResp},
        {70, &CWndRoom::OnConnMediaResp},        {71, &CWndRoom::OnConnMediaErr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sub);
        const comm::dispatch::AnswerEntry* entry = comm::dispatch::FindAnswer(105, row.sub);
        ASSERT_NE(entry, nullptr);
        // The shortest copy the kernel posts: the layout's bytes and the one NUL after
        // them, every byte of the layout at its most awkward.
        for (uint8_t fill : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
            std::vector<char> copy(entry->minPayload + 1u, static_cast<char>(fill));
            copy.back() = 0;
            // The kernel refuses a lucky reward whose count passes the copy.
            if (row.sub == 60) copy[10] = copy[11] = 0;
            char* heap = new char[copy.size()];
            std::memcpy(heap, copy.data(), copy.size());
            (room->*row.handler)(heap);
            delete[] heap;
        }
    }
    room->OnPubMicInfoChanged(255);
    room->OnUserKickedOut(0, 999999, 0, 0);
    room->OnUserAliasChanged(999999);
}

}  // namespace
}  // namespace roomtest
