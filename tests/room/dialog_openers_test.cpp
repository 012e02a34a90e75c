// The room's web pages and auto-chat settings: one window each, the account page
// refused to guests.
#include <functional>

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
        std::function<void(CWndRoom&)> open;
        const wchar_t* className;
    } cases[] = {
        {"icon help", [](CWndRoom& r) { r.ShowIconHelpWnd(); }, L"UIIconHelp"},
        {"top-up", [](CWndRoom& r) { r.ShowGetPaidWnd(); }, L"UIGetPaid"},
        {"auto-chat", [](CWndRoom& r) { r.ShowAutoChatWnd(); }, L"UIRoomAutoChat"},
        {"account", [](CWndRoom& r) { r.ShowAccountWnd(); }, L"UIMyAccount"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.open(*room);
        HWND first = FindWindowW(c.className, nullptr);
        ASSERT_NE(first, nullptr);
        c.open(*room);
        DestroyWindow(first);
        EXPECT_EQ(FindWindowW(c.className, nullptr), nullptr) << "the second request made none";
        c.open(*room);
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
