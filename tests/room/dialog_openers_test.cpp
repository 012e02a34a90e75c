// The room's web pages and auto-chat settings: one window each, the account page
// refused to guests.
#include "kernel/CommKernel.h"
#include "room_fixture.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"

namespace roomtest {
namespace {

TEST_F(RoomTest, RoomDialogsOpenOnceAndTheAccountPageIsNotForGuests) {
    EnterRoom(1, {});
    struct Case {
        const char* name;
        void (CWndRoom::*open)();
        const wchar_t* className;
    } cases[] = {
        {"icon help", &CWndRoom::ShowIconHelpWnd, L"UIIconHelp"},
        {"top-up", &CWndRoom::ShowGetPaidWnd, L"UIGetPaid"},
        {"auto-chat", &CWndRoom::ShowAutoChatWnd, L"UIRoomAutoChat"},
        {"account", &CWndRoom::ShowAccountWnd, L"UIMyAccount"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (room->*c.open)();
        HWND first = FindWindowW(c.className, nullptr);
        ASSERT_NE(first, nullptr);
        (room->*c.open)();
        DestroyWindow(first);
        EXPECT_EQ(FindWindowW(c.className, nullptr), nullptr) << "the second request made none";
        (room->*c.open)();
        HWND again = FindWindowW(c.className, nullptr);
        EXPECT_NE(again, nullptr) << "a new one after the first closed";
        DestroyWindow(again);
    }

    d->GetLocalUser()->levels[0] = 1;
    room->ShowAccountWnd();
    EXPECT_EQ(FindWindowW(L"UIMyAccount", nullptr), nullptr);
    EXPECT_NE(PrivateText().find(L"您目前的身份是游客，请注册后重新登录。"), std::wstring::npos);
}

}  // namespace
}  // namespace roomtest
