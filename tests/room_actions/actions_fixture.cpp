#include "actions_fixture.h"

#include <cstring>

#include "catalogs/CaitiaoManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"

namespace roomtest {

void ActionsTest::SetUp() {
    RoomTest::SetUp();
    d->m_pUserMVManager->SetDelegate(&grant);
    d->m_pGiftManager->ClearAll();
    d->m_pSealManager->ClearAll();
    d->m_pCaitiaoManager->ClearAll();
    d->m_LocalUser.money = 1000000;
}

void ActionsTest::TearDown() {
    RoomTest::TearDown();
    d->m_pUserMVManager->SetDelegate(nullptr);
    d->m_pGiftManager->ClearAll();
    d->m_pSealManager->ClearAll();
    d->m_pCaitiaoManager->ClearAll();
}

void ActionsTest::EnterStandardRoom() {
    answers::UserEntry carol = Member(kCarol, "carol");
    carol.levels[0] = 1;
    EnterRoom(ROOM_KIND_STANDARD, {Member(kAlice, "alice"), Member(kBob, "bob"), carol});
    ASSERT_NE(room, nullptr);
    // The join's member list carries no balance.
    d->m_LocalUser.money = 1000000;
    Sent();
    NewHints();
}

void ActionsTest::AddGift(int id, int price, int kind, const std::wstring& name) {
    auto* item = new tag_GiftItemInfo{};
    item->giftId = id;
    item->giftValue1 = kind;
    item->giftName = name;
    item->price = price;
    item->giftText1 = name + L"的说明";
    auto& slot = d->m_pGiftManager->gifts[id];
    delete slot;
    slot = item;
}

void ActionsTest::AddSeal(int id, int price, const std::wstring& name, int minutes) {
    auto* item = new tag_SealItemInfo{id, name, price, minutes};
    auto& slot = d->m_pSealManager->seals[id];
    delete slot;
    slot = item;
}

void ActionsTest::AddStrips(int count) {
    for (int i = 0; i < count; ++i) {
        auto* item = new tag_CaitiaoItemInfo{i, L"<IMG src=\"c.gif\">"};
        auto& slot = d->m_pCaitiaoManager->strips[i];
        delete slot;
        slot = item;
    }
}

std::vector<SentFrame> ActionsTest::Sent() {
    // A keep-alive after the action: everything before it has arrived once it has.
    k->SendMsg_RoomPingReq();
    std::vector<SentFrame> out;
    bool marker = false;
    kerneltest::Pump([&] {
        for (SentFrame& f : TakeSent(true)) {
            if (f.mainCmd == kRoomMainCmd && f.subCmd == 2) {
                marker = true;
                continue;
            }
            out.push_back(f);
        }
        return marker;
    });
    EXPECT_TRUE(marker) << "the keep-alive never arrived";
    return out;
}

std::vector<int> ActionsTest::SentSubs() {
    std::vector<int> subs;
    for (const SentFrame& f : Sent()) subs.push_back(f.subCmd);
    return subs;
}

std::wstring ActionsTest::NewHints() {
    const std::wstring all = PrivateText();
    std::wstring fresh = hintsSeen <= all.size() ? all.substr(hintsSeen) : all;
    hintsSeen = all.size();
    return fresh;
}

void ActionsTest::SetCount(const wchar_t* text) {
    ASSERT_NE(room->m_pGiftNumEdit, nullptr);
    room->m_pGiftNumEdit->SetText(text);
}

int32_t I32(const Bytes& b, size_t at) {
    int32_t v = 0;
    if (at + 4 <= b.size()) std::memcpy(&v, &b[at], 4);
    return v;
}

int16_t I16(const Bytes& b, size_t at) {
    int16_t v = 0;
    if (at + 2 <= b.size()) std::memcpy(&v, &b[at], 2);
    return v;
}

std::string Field(const Bytes& b, size_t at, size_t width) {
    if (at + width > b.size()) return std::string();
    return std::string(reinterpret_cast<const char*>(&b[at]), width);
}

}  // namespace roomtest
