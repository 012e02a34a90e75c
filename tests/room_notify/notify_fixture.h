// A room entered through the lobby window, which is the kernel's notify window here:
// every frame the room stand-in sends reaches the room window through the lobby's
// relay, as in the program. Helpers read the chat views, the lists and captions, the
// room's trace lines, and the panes, streams and windows the handlers left.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/UserMVManager.h"
#include "room_fixture.h"

class CWndLobby;
class CCtrlListFriend;
struct tag_GiftItemInfo;

namespace roomtest {

constexpr int kCarol = 503;

// Every privilege granted (the private chat of the automatic welcome needs one).
class AllowAll : public IUserMVManagerDelegate {
public:
    bool CheckPrivilege(short, CUserObj*, int* handled) override { return *handled = 1, true; }
    bool CheckPrivilege(short, CUserObj*, CUserObj*, int* handled) override {
        return *handled = 1, true;
    }
    int GetUserFinalLevel(CUserObj*, int*) override { return 0; }
    int GetUserSortId(CUserObj*, int*) override { return 0; }
};

class NotifyTest : public RoomTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The lobby joins a room of `kind` with the local user and `members`; the list end
    // follows unless `endList` is false.
    void Join(int kind, const std::vector<answers::UserEntry>& members, bool endList = true);
    // Sends frames on the room connection as one burst (one write, so the kernel takes
    // them all before the lobby relays the first); returns when all are relayed.
    void Play(const std::vector<Bytes>& frames);

    // What a reader sees of a chat view ("privtextout", "pubtextout", "labazone",
    // "siegetextout"), and its HTML.
    std::wstring Text(const wchar_t* view);
    std::wstring Html(const wchar_t* view);
    // Forget what the views showed so far.
    void ClearViews();
    std::wstring Caption(const wchar_t* name);
    // User ids of a list's rows, in order.
    static std::vector<int> Rows(CCtrlListFriend* list);
    CUserObj* User(int id);

    // Catalog entries for the tests (levels of kind 1 and the castle, gifts).
    void AddLevel(int kind, int level, bool show, int flash, const std::wstring& title);
    void AddGift(int id, const std::wstring& name, int price, int flash);

    // Trace lines of the room ("tag_room: ...") since the last call.
    std::vector<std::string> TakeTrace();

    // The media the handlers left: the title of public pane 0..2, whether the engine
    // holds both streams of a member, and whether his private window is open.
    std::wstring PaneTitle(int pane);
    bool Subscribed(int id);
    bool HasWindow(int id);

    int marker = 0;
};

size_t Count(const std::wstring& text, const std::wstring& part);
bool Has(const std::wstring& text, const std::wstring& part);

}  // namespace roomtest
