// A room entered as in the room tests, with catalogs the test fills, privileges a
// test grants one by one, and the frames an action sent (cut at a keep-alive the
// fixture sends after it).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "model/UserMVManager.h"
#include "room_fixture.h"

namespace roomtest {

constexpr int kCarol = 503;
constexpr uint16_t kRoomMainCmd = 105;

// Grants the privileges in `granted`; every one when `all` is set.
class GrantSome : public IUserMVManagerDelegate {
public:
    bool CheckPrivilege(short id, CUserObj*, int* handled) override {
        *handled = 1;
        asked.push_back(id);
        return all || granted.count(id) != 0;
    }
    bool CheckPrivilege(short id, CUserObj* a, CUserObj*, int* handled) override {
        return CheckPrivilege(id, a, handled);
    }
    int GetUserFinalLevel(CUserObj*, int*) override { return 0; }
    int GetUserSortId(CUserObj*, int*) override { return 0; }

    bool all = true;
    std::set<short> granted;
    std::vector<short> asked;
};

class ActionsTest : public RoomTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The standard room with Alice, Bob (members) and Carol (a guest).
    void EnterStandardRoom();
    void AddGift(int id, int price, int kind = 1, const std::wstring& name = L"礼物");
    void AddSeal(int id, int price, const std::wstring& name = L"印章", int minutes = 10);
    void AddStrips(int count);
    // Frames of main command 105 the room sent since the last call, keep-alives left out.
    std::vector<SentFrame> Sent();
    // Sub-commands of Sent().
    std::vector<int> SentSubs();
    // Hint lines written since the last call (the private chat's new text).
    std::wstring NewHints();
    void SetCount(const wchar_t* text);

    GrantSome grant;
    size_t hintsSeen = 0;
};

// Little-endian readers of a payload.
int32_t I32(const Bytes& b, size_t at);
int16_t I16(const Bytes& b, size_t at);
std::string Field(const Bytes& b, size_t at, size_t width);

}  // namespace roomtest
