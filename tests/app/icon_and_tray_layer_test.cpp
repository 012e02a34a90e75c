// What the Windows layer gives the shell: icons from files, the program's icon,
// window icons and notification-area records.
#include <filesystem>

#include "app_fixture.h"
#include "win32gui/shell.h"
#include "win32gui/user.h"

namespace fs = std::filesystem;

namespace {

class IconLayerTest : public AppTest {
protected:
    std::wstring Ico() const {
        return winplat::ToWindowsPath(std::string(MIVORA_PROGRAM_DIR "/MVchat.ico"));
    }
};

TEST_F(IconLayerTest, LoadImageReadsIconFilesAtTheAskedSize) {
    struct Case {
        const char* what;
        UINT type, flags;
        int cx, cy;
        bool loads;
        int w, h;
    } cases[] = {
        {"small icon", IMAGE_ICON, LR_LOADFROMFILE, 16, 16, true, 16, 16},
        {"scaled", IMAGE_ICON, LR_LOADFROMFILE, 20, 20, true, 20, 20},
        {"as stored", IMAGE_ICON, LR_LOADFROMFILE, 0, 0, true, 16, 16},
        {"not from a file", IMAGE_ICON, 0, 16, 16, false, 0, 0},
        {"a bitmap", IMAGE_BITMAP, LR_LOADFROMFILE, 16, 16, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HICON icon =
            static_cast<HICON>(LoadImageW(nullptr, Ico().c_str(), c.type, c.cx, c.cy, c.flags));
        EXPECT_EQ(icon != nullptr, c.loads);
        if (!icon) continue;
        int w = 0, h = 0;
        ASSERT_TRUE(winplat::GetIconSize(icon, &w, &h));
        EXPECT_EQ(w, c.w);
        EXPECT_EQ(h, c.h);
        EXPECT_TRUE(DestroyIcon(icon));
        EXPECT_FALSE(winplat::GetIconSize(icon, &w, &h));
    }
    EXPECT_EQ(LoadImageW(nullptr, L"\\nowhere\\MVchat.ico", IMAGE_ICON, 16, 16, LR_LOADFROMFILE),
              nullptr);
}

TEST_F(IconLayerTest, ProgramIconAndWindowIcons) {
    TempDir program;
    fs::copy(MIVORA_PROGRAM_DIR "/MVchat.ico", program.nativePath("MVchat.ico"));
    winplat::SetModulePath(winplat::ToWindowsPath(program.native()) + L"\\mivora");
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(108));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(109)), nullptr);

    CTestWnd wnd(L"<Window size=\"120,80\"><VerticalLayout/></Window>");
    ASSERT_NE(wnd.Create(nullptr, L"icon", WS_POPUP | WS_VISIBLE, 0, 0, 0, 120, 80), nullptr);
    HWND hwnd = wnd.GetHWND();
    EXPECT_EQ(SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)), icon);
    EXPECT_EQ(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    // SetIcon takes the program's icon resource for both sizes.
    wnd.SetIcon(108);
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)), icon);
    fs::remove(program.nativePath("MVchat.ico"));
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(108)), nullptr);
}

TEST_F(IconLayerTest, NotifyIconRecords) {
    CTestWnd wnd(L"<Window size=\"120,80\"><VerticalLayout/></Window>");
    ASSERT_NE(wnd.Create(nullptr, L"tray", WS_POPUP, 0, 0, 0, 120, 80), nullptr);
    NOTIFYICONDATAW nid{};
    nid.cbSize = 952;
    nid.hWnd = wnd.GetHWND();
    nid.uID = 7;
    nid.uFlags = NIF_MESSAGE | NIF_TIP;
    nid.uCallbackMessage = 12137;
    // A tip that fills its field without a NUL is read to the field's end only.
    for (auto& ch : nid.szTip) ch = L'x';

    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "nothing to modify yet";
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &nid));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &nid)) << "the same id twice";
    auto icons = winplat::TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].tip, std::wstring(128, L'x'));

    wcscpy(nid.szTip, L"新的提示");
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid));
    EXPECT_EQ(winplat::TrayIcons()[0].tip, L"新的提示");

    NOTIFYICONDATAW stranger = nid;
    stranger.hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF1234));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &stranger)) << "not a window";
    EXPECT_FALSE(winplat::ClickTrayIcon(nid.hWnd, 8, false));
    EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &nid));
    EXPECT_TRUE(winplat::TrayIcons().empty());
}

}  // namespace
