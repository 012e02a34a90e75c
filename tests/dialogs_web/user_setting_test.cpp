// The personal settings window: the profile and password requests at the lobby
// stand-in and their refusals, the sound devices, the shields, and the face chooser
// reached from it.
#include <QImage>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "Answers.h"
#include "ScriptedSound.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/UserSettingHost.h"
#include "dialogs/WndSelUserFace.h"
#include "dialogs/WndUserSetting.h"
#include "dialogs/WndUserSettingVideo.h"
#include "dialogs_fixture.h"
#include "kernel/CmdRecords.h"
#include "kernel/CommKernel.h"
#include "model/UserObj.h"
#include "services/MyWaveInCtrl.h"

using namespace DuiLib;
using testsupport::Bytes;
using testsupport::answers::Payload;

namespace {

constexpr size_t kHelloBytes = 14;

// Plays the lobby (its short lobby-server session sends through the kernel) and the
// application object (device settings written as "avconfig.txt" holds them).
class TestHost : public IUserSettingHost {
public:
    explicit TestHost(HWND lobby, std::wstring file) : m_lobby(lobby), m_file(std::move(file)) {}
    void SendSetUserProfileReq(tag_CMDSetUserProfileReq* r) override {
        CCommKernel::GetInstance()->SendMsg_SetUserProfileReq2(r, 0);
    }
    void SendSetUserPwdReq(tag_CMDSetUserPwdReq* r) override {
        CCommKernel::GetInstance()->SendMsg_SetUserPwdReq2(r, 0);
    }
    HWND GetLobbyHwnd() override { return m_lobby; }
    AvDeviceSettings GetAvDevices() override { return devices; }
    void SetAvDevices(const AvDeviceSettings& d) override { devices = d; }
    void SaveAVConfig() override {
        ++saves;
        FILE* f = std::fopen(winplat::WideToUtf8(m_file).c_str(), "w");
        if (!f) return;
        std::fprintf(f, "%u %u %d", devices.waveInDevice, devices.waveOutDevice,
                     devices.videoDevice);
        std::fclose(f);
    }
    AvDeviceSettings devices;
    int saves = 0;

private:
    HWND m_lobby;
    std::wstring m_file;
};

class UserSettingTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        host = std::make_unique<TestHost>(lobby.GetHWND(), dir + L"avconfig.txt");
        SetUserSettingHost(host.get());
    }
    void TearDown() override {
        if (wnd && IsWindow(wnd->GetHWND())) DestroyWindow(wnd->GetHWND());
        SetUserSettingHost(nullptr);
        DialogTest::TearDown();
    }
    // Opens the window as the lobby does.
    void Open() {
        wnd = new CWndUserSetting;
        wnd->SetOwnerSlot(&wnd);
        ASSERT_TRUE(wnd->Create(nullptr, L"个人设置", 0x86880000, 0, 0, 0, 0, 0));
        wnd->CenterWindow();
        wnd->ShowWindow(true, true);
        ASSERT_TRUE(WaitLaidOut(*wnd));
    }
    CControlUI* Ctl(const wchar_t* name) { return wnd->GetPaintManager().FindControl(name); }
    void SetEdit(const wchar_t* name, const std::wstring& text) {
        Ctl(name)->SetText(text.c_str());
    }
    void Click(const wchar_t* name) {
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = Ctl(name);
        wnd->Notify(msg);
    }
    // Bytes the lobby stand-in got on a new connection after `connections` (waits for
    // `expect` bytes, or a short while when nothing should come).
    Bytes LobbyBytesAfter(int connections, size_t expect) {
        testsupport::TcpStandIn& s = servers.lobby();
        if (expect == 0) {
            Pump([] { return false; }, 150);
            return s.Connections() > connections ? s.Received() : Bytes();
        }
        Pump([&] { return s.Connections() > connections && s.ReceivedCount() >= expect; });
        return s.Connections() > connections ? s.Received() : Bytes();
    }
    // A fresh lobby session for the next request.
    void EndLobbySession() {
        CCommKernel::GetInstance()->DisconnectServer(SERVER_TYPE_LOBBY);
        Pump([&] { return servers.lobby().PeerClosed(); }, 2000);
    }
    static Bytes FrameOf(const Bytes& received) {
        return received.size() > kHelloBytes ? Bytes(received.begin() + kHelloBytes, received.end())
                                             : Bytes();
    }

    std::unique_ptr<TestHost> host;
    CWndUserSetting* wnd = nullptr;
};

TEST_F(UserSettingTest, AliasesAreSentWhenTheyFitTheFieldElseRefusedBeforeStoring) {
    struct Case {
        const char* name;
        std::wstring alias;
        const wchar_t* refusal;  // null: sent
    };
    const Case cases[] = {
        {"nine characters", L"abcdefghi", nullptr},
        {"eight CJK, 16 bytes", L"一二三四五六七八", nullptr},
        {"ten characters", L"abcdefghij", L"昵称长度太长!"},
        {"empty", L"", L"昵称长度太短!"},
        {"nine CJK, 18 bytes", L"一二三四五六七八九", L"昵称长度太长!"},
        {"no mapping", L"ab\U0001F600", L"昵称长度太长!"},
    };
    Open();
    Shot(wnd->GetHWND(), "user_setting_profile.png");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data->GetLocalUser()->alias = "nick";
        int connections = servers.lobby().Connections();
        wnd->ShowPage(0);
        SetEdit(L"edt_useralias", c.alias);
        ExpectMessageBoxWhile([&] { Click(L"btn_apply"); }, c.refusal ? c.refusal : L"");
        if (c.refusal) {
            EXPECT_EQ(data->GetLocalUser()->alias, "nick");
            EXPECT_TRUE(LobbyBytesAfter(connections, 0).empty());
            continue;
        }
        std::string ansi = Ansi(c.alias);
        EXPECT_EQ(data->GetLocalUser()->alias, ansi);
        Payload p(43);
        p.i32(0, 7).i32(4, 3).u8(8, 1).text(9, ansi, 17);
        Bytes got = LobbyBytesAfter(connections, kHelloBytes + 53);
        ASSERT_EQ(got.size(), kHelloBytes + 53);
        EXPECT_EQ(FrameOf(got), testsupport::answers::Frame(103, 118, p));
        EndLobbySession();
    }
    EXPECT_TRUE(IsWindow(wnd->GetHWND()));
}

TEST_F(UserSettingTest, PasswordRefusalsTellWhySendNothingAndKeepTheWindowOpen) {
    struct Case {
        const char* name;
        std::string stored;
        std::wstring oldText, newText, confirm;
        const wchar_t* refusal;
    };
    const Case cases[] = {
        {"confirmation differs", "secret", L"secret", L"abc", L"abd", L"两次输入的新密码不一致!"},
        {"17 bytes", "secret", L"secret", std::wstring(17, L'a'), std::wstring(17, L'a'),
         L"新密码长度应为1到16个字节!"},
        {"empty", "secret", L"secret", L"", L"", L"新密码长度应为1到16个字节!"},
        {"wrong old password", "secret", L"wrong", L"abc", L"abc", L"旧密码错误!"},
        {"apostrophe", "secret", L"secret", L"ab'c", L"ab'c", L"新密码不能包含单引号!"},
        {"no mapping", "secret", L"secret", L"a\U0001F600", L"a\U0001F600", L"含有不支持的字符!"},
        // Converted, an unmappable old password would equal a stored "?".
        {"unmappable old meets a stored ?", "?", L"\U0001F600", L"abc", L"abc",
         L"含有不支持的字符!"},
    };
    Open();
    wnd->ShowPage(4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data->GetLocalUser()->password = c.stored;
        int connections = servers.lobby().Connections();
        SetEdit(L"edt_useroldpwd", c.oldText);
        SetEdit(L"edt_usernewpwd", c.newText);
        SetEdit(L"edt_usernewpwd2", c.confirm);
        // OK closes only when nothing was refused.
        ExpectMessageBoxWhile([&] { Click(L"btn_ok"); }, c.refusal);
        EXPECT_TRUE(LobbyBytesAfter(connections, 0).empty());
        ASSERT_TRUE(IsWindow(wnd->GetHWND()));
        EXPECT_EQ(data->GetLocalUser()->password, c.stored);
    }
}

TEST_F(UserSettingTest, AGoodPasswordChangeIsSentAndTheEditsAreCleared) {
    Open();
    wnd->ShowPage(4);
    int connections = servers.lobby().Connections();
    SetEdit(L"edt_useroldpwd", L"secret");
    SetEdit(L"edt_usernewpwd", L"newpw");
    SetEdit(L"edt_usernewpwd2", L"newpw");
    ExpectMessageBoxWhile([&] { Click(L"btn_apply"); }, L"");
    Payload p(43);
    p.i32(0, 7).u8(4, 1).text(5, "secret", 17).text(22, "newpw", 17);
    Bytes got = LobbyBytesAfter(connections, kHelloBytes + 53);
    EXPECT_EQ(FrameOf(got), testsupport::answers::Frame(103, 120, p));
    for (const wchar_t* name : {L"edt_useroldpwd", L"edt_usernewpwd", L"edt_usernewpwd2"})
        EXPECT_TRUE(Ctl(name)->GetText().IsEmpty()) << winplat::WideToUtf8(name);

    // The answer reaches the lobby window with its payload (the lobby then takes the
    // new password).
    CCommKernel::GetInstance()->SetNotifyWnd(SERVER_TYPE_LOBBY, lobby.GetHWND());
    servers.lobby().Send(testsupport::answers::SetUserPwdAnswer(103, 7, 0, 0, 1, "newpw"));
    const PostedMsg* answer = nullptr;
    ASSERT_TRUE(Pump([&] {
        for (const PostedMsg& m : lobby.posted)
            if (m.msg == 11076) answer = &m;
        return answer != nullptr;
    }));
    const char* payload = reinterpret_cast<const char*>(answer->lParam);
    int32_t result = -1;
    std::memcpy(&result, payload + 8, 4);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(payload[12], 1);
    EXPECT_STREQ(payload + 13, "newpw");
    CCommKernel::free_msgdata(const_cast<char*>(payload));
    CCommKernel::GetInstance()->SetNotifyWnd(SERVER_TYPE_LOBBY, nullptr);
}

TEST_F(UserSettingTest, ThePasswordEditShowsAsterisksOnly) {
    Open();
    wnd->ShowPage(4);
    auto* edit = static_cast<CEditUI*>(Ctl(L"edt_usernewpwd"));
    ASSERT_TRUE(edit->IsPasswordMode());
    ASSERT_TRUE(Pump([&] {
        InvalidateRect(wnd->GetHWND(), nullptr, FALSE);
        return !IsRectEmpty(&edit->GetPos());
    }));
    auto crop = [&](const char* file) {
        edit->Invalidate();
        PumpPending();
        RECT rc = edit->GetPos();
        QImage c = Shot(wnd->GetHWND(), nullptr)
                       .copy(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top)
                       .convertToFormat(QImage::Format_ARGB32);
        if (file) c.scaled(c.width() * 4, c.height() * 4).save(QString(MIVORA_ARTIFACT_DIR) + file);
        return c;
    };
    edit->SetText(L"abc123");
    QImage typed = crop("password_edit.png");
    edit->SetPasswordMode(false);
    edit->SetText(L"******");
    QImage stars = crop("password_stars.png");
    edit->SetText(L"abc123");
    QImage plain = crop("password_plain.png");
    edit->SetPasswordMode(true);
    // Ink of the text shown: the typed password must look like the asterisks, not itself.
    EXPECT_GT(PictureMatch(typed, 0, 0, stars), 0.95);
    EXPECT_LT(PictureMatch(typed, 0, 0, plain), 0.8);
}

TEST_F(UserSettingTest, DevicesAreStoredAndAnnouncedOnlyWhenTheChoiceChanged) {
    auto sound = std::make_shared<mivora_test::ScriptedSoundSystem>();
    sound->AddCapture({L"Mic A", nullptr});
    sound->AddCapture({L"Mic B", nullptr});
    sound->AddPlayback({L"Speaker A"});
    winplat::InstallSoundSystem(sound);
    CMyWaveInCtrl* mixer = data->m_pWaveInCtrl;
    mixer->setWaveInDevId(WAVE_MAPPER);
    mixer->setWaveOutDevId(WAVE_MAPPER);
    auto posts = [&] {
        int n = 0;
        for (const PostedMsg& m : lobby.posted) n += m.msg == UM_AUDIO_DEVICE_CHANGED;
        return n;
    };
    Open();
    auto* mic = static_cast<CComboUI*>(Ctl(L"selmincombo"));
    auto* speaker = static_cast<CComboUI*>(Ctl(L"selspeakcombo"));

    // The defaults the mixer already uses: nothing written, nothing posted.
    Click(L"gaiyuyinbtn");
    EXPECT_EQ(wnd->GetPage(), 2);
    ASSERT_EQ(mic->GetCount(), 3);
    ASSERT_EQ(speaker->GetCount(), 2);
    EXPECT_EQ(std::wstring(mic->GetItemAt(0)->GetText().GetData()), L"默认捕获设备");
    EXPECT_EQ(std::wstring(mic->GetItemAt(2)->GetText().GetData()), L"Mic B");
    EXPECT_EQ(mic->GetCurSel(), 0);
    Click(L"btn_apply");
    PumpPending();
    EXPECT_EQ(host->saves, 0);
    EXPECT_EQ(posts(), 0);

    // A change: the mixer, the stored settings, the file and the lobby learn it.
    mic->SelectItem(2);
    Click(L"btn_apply");
    ASSERT_TRUE(Pump([&] { return posts() == 1; }));
    EXPECT_EQ(mixer->getCurWaveInDevId(), 1u);
    EXPECT_EQ(host->saves, 1);
    std::ifstream f(winplat::WideToUtf8(dir + L"avconfig.txt"));
    std::stringstream text;
    text << f.rdbuf();
    EXPECT_EQ(text.str(), "1 4294967295 0");

    // A stored device the list no longer has selects the default item.
    host->devices.waveInDevice = 5;
    Click(L"gaiyuyinbtn");
    EXPECT_EQ(mic->GetCurSel(), 0);
    EXPECT_EQ(speaker->GetCurSel(), 0);
    winplat::InstallSoundSystem(nullptr);
}

TEST_F(UserSettingTest, ShieldsWriteOnlyBoxesTheUserChanged) {
    data->m_UserEnv.m_bShiledPublicChat = false;
    data->m_UserEnv.m_bShiledGiftShow = true;
    Open();
    auto box = [&](const wchar_t* name) { return static_cast<CCheckBoxUI*>(Ctl(name)); };
    EXPECT_TRUE(box(L"check_giftrun")->GetCheck());
    EXPECT_FALSE(box(L"check_shieldprivate")->GetCheck());
    // Meanwhile the room menu shields private chat.
    data->m_UserEnv.m_bShiledPrivateChat = true;
    box(L"check_shieldpublic")->SetCheck(true);
    box(L"check_giftrun")->SetCheck(false);
    box(L"check_shieldinviteupmic")->SetCheck(true);
    wnd->ShowPage(5);
    Pump(
        [&] {
            InvalidateRect(wnd->GetHWND(), nullptr, FALSE);
            return false;
        },
        100);
    Shot(wnd->GetHWND(), "user_setting_shields.png");
    Click(L"btn_apply");
    EXPECT_TRUE(data->m_UserEnv.m_bShiledPublicChat);
    EXPECT_FALSE(data->m_UserEnv.m_bShiledGiftShow);
    EXPECT_TRUE(data->m_UserEnv.m_bShiledPrivateChat) << "the menu's toggle survives";
    EXPECT_TRUE(data->GetLocalUser()->forbidCarryToMic);
}

TEST_F(UserSettingTest, ALevelZeroUserAppliesNothingButDevices) {
    data->GetLocalUser()->levels[0] = 0;
    Open();
    int connections = servers.lobby().Connections();
    SetEdit(L"edt_useralias", L"other");
    wnd->ShowPage(0);
    ExpectMessageBoxWhile([&] { Click(L"btn_apply"); }, L"");
    static_cast<CCheckBoxUI*>(Ctl(L"check_shieldpublic"))->SetCheck(true);
    wnd->ShowPage(5);
    Click(L"btn_apply");
    EXPECT_EQ(data->GetLocalUser()->alias, "nick");
    EXPECT_FALSE(data->m_UserEnv.m_bShiledPublicChat);
    EXPECT_TRUE(LobbyBytesAfter(connections, 0).empty());
}

TEST_F(UserSettingTest, AChosenFaceIsKeptOnCancelButNothingIsSent) {
    Open();
    int connections = servers.lobby().Connections();
    // The chooser runs modally from the button; pick face 105 of group 2 and confirm.
    UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND h = FindWindowW(L"UIUserFace", nullptr);
        auto* chooser = h ? dynamic_cast<CWndSelUserFace*>(
                                reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(h, GWLP_USERDATA)))
                          : nullptr;
        if (!chooser) return;
        KillTimer(nullptr, id);
        chooser->SetFace(105);
        chooser->Close(1);
    });
    Click(L"headimgbtn");
    KillTimer(nullptr, timer);
    EXPECT_EQ(data->GetLocalUser()->faceId, 105);
    EXPECT_EQ(std::wstring(Ctl(L"userface")->GetBkImage()), L"Face/80/105.png");
    HWND h = wnd->GetHWND();
    Click(L"btn_cancel");
    ASSERT_TRUE(Pump([&] { return !IsWindow(h); }));
    EXPECT_EQ(wnd, nullptr);
    EXPECT_TRUE(LobbyBytesAfter(connections, 0).empty());
}

TEST_F(UserSettingTest, TheCameraButtonRunsTheCameraDialogModallyOverTheWindow) {
    Open();
    static HWND s_parent;
    static std::wstring s_title;
    s_parent = nullptr;
    s_title.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND h = FindWindowW(L"UIUserSettingVideoFrame", nullptr);
        auto* camera = h ? dynamic_cast<CWndUserSettingVideo*>(
                               reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(h, GWLP_USERDATA)))
                         : nullptr;
        if (!camera) return;
        KillTimer(nullptr, id);
        s_parent = GetParent(h);
        wchar_t title[32] = {};
        GetWindowTextW(h, title, 32);
        s_title = title;
        camera->Close(2);
    });
    Click(L"videosetbtn");
    KillTimer(nullptr, timer);
    EXPECT_EQ(s_parent, wnd->GetHWND());
    EXPECT_EQ(s_title, L"selvideo");
    EXPECT_EQ(FindWindowW(L"UIUserSettingVideoFrame", nullptr), nullptr) << "gone on return";
    EXPECT_TRUE(IsWindow(wnd->GetHWND())) << "the settings stay open";
}

}  // namespace
