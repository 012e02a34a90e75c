// The face chooser (groups from the catalog, previews, its results) and the auto-chat
// settings (what each button stores, and the texts' way through the user's ini file).
#include <QImage>

#include <cwchar>
#include <string>

#include "controls/FaceListUI.h"
#include "dialogs/WndRoomAutoChat.h"
#include "dialogs/WndSelUserFace.h"
#include "dialogs_fixture.h"
#include "win32/profile.h"

using namespace DuiLib;

namespace {

class FaceChooserTest : public DialogTest {
protected:
    void Create(CWndSelUserFace& w) {
        ASSERT_TRUE(w.Create(nullptr, L"selface", 0x96C80000, 0, 0, 0, 0, 0));
        w.CenterWindow();
    }
    static void Click(CSkinWnd& w, CControlUI* sender) {
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = sender;
        w.Notify(msg);
    }
    static CControlUI* Ctl(CSkinWnd& w, const wchar_t* name) {
        return w.GetPaintManager().FindControl(name);
    }
    // The tile button of a face in a list.
    static CControlUI* Tile(CFaceListUI* list, int faceId) {
        for (int i = 0; i < list->GetCount(); ++i) {
            auto* tile = static_cast<CContainerUI*>(list->GetItemAt(i)->GetInterface(L"Container"));
            for (int j = 0; tile && j < tile->GetCount(); ++j)
                if (static_cast<int>(tile->GetItemAt(j)->GetTag()) == faceId)
                    return tile->GetItemAt(j);
        }
        return nullptr;
    }
};

TEST_F(FaceChooserTest, GroupsComeFromTheCatalogAndATileSetsBothPreviews) {
    CWndSelUserFace w;
    Create(w);
    int sizes[3] = {16, 8, 4};
    CFaceListUI* lists[3];
    for (int g = 0; g < 3; ++g) {
        wchar_t name[16];
        std::swprintf(name, 16, L"facelst_%d", g + 1);
        lists[g] = dynamic_cast<CFaceListUI*>(Ctl(w, name));
        ASSERT_NE(lists[g], nullptr);
        EXPECT_EQ(lists[g]->GetCount(), sizes[g]);
    }
    EXPECT_TRUE(lists[0]->IsVisible());
    EXPECT_FALSE(lists[1]->IsVisible());

    w.SetFace(3);
    UINT result = RunModalWith(w, [&] {
        Click(w, Ctl(w, L"facegroup_2"));
        EXPECT_TRUE(lists[1]->IsVisible());
        EXPECT_FALSE(lists[0]->IsVisible());
        // The chosen group's button is drawn over the other two.
        auto* sw = static_cast<CContainerUI*>(Ctl(w, L"faceswitch"));
        EXPECT_EQ(sw->GetItemAt(sw->GetCount() - 1), Ctl(w, L"facegroup_2"));
        CControlUI* tile = Tile(lists[1], 105);
        ASSERT_NE(tile, nullptr);
        Click(w, tile);
        Pump(
            [&] {
                InvalidateRect(w.GetHWND(), nullptr, FALSE);
                return false;
            },
            100);
        QImage shot = Shot(w.GetHWND(), "face_chooser.png");
        for (auto [name, file] : {std::pair{L"bigface", "Face/80/105.png"},
                                  std::pair{L"smallface", "Face/36/105.png"}}) {
            QImage ref(QString::fromWCharArray(MIVORA_SKIN_DIR) + file);
            RECT rc = Ctl(w, name)->GetPos();
            EXPECT_GT(PictureMatch(shot, rc.left, rc.top,
                                   ref.convertToFormat(QImage::Format_ARGB32)
                                       .scaled(rc.right - rc.left, rc.bottom - rc.top)),
                      0.9)
                << file;
        }
        Click(w, Ctl(w, L"btn_ok"));
    });
    EXPECT_EQ(result, 1u);
    EXPECT_EQ(w.GetFace(), 105);
}

TEST_F(FaceChooserTest, ResultsWithoutATileAndTilesWithoutAFace) {
    struct Case {
        const char* name;
        const wchar_t* press;
        UINT result;
    };
    const Case cases[] = {
        {"ok", L"btn_ok", 1}, {"cancel", L"btn_cancel", 2}, {"close", L"closebtn", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CWndSelUserFace w;
        Create(w);
        w.SetFace(12);
        UINT result = RunModalWith(w, [&] {
            // Controls with a tag of 0 or below are no face tiles.
            CButtonUI zero, negative;
            negative.SetTag(static_cast<UINT_PTR>(static_cast<INT_PTR>(-3)));
            Click(w, &zero);
            Click(w, &negative);
            Click(w, Ctl(w, c.press));
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(w.GetFace(), 12);
    }
}

class AutoChatTest : public DialogTest {
protected:
    void Open() {
        wnd = new CWndRoomAutoChat;
        wnd->SetOwnerSlot(&wnd);
        ASSERT_TRUE(wnd->Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0));
        wnd->CenterWindow();
        wnd->ShowWindow(true, true);
        ASSERT_TRUE(WaitLaidOut(*wnd));
    }
    void TearDown() override {
        if (wnd) DestroyWindow(wnd->GetHWND());
        EXPECT_EQ(wnd, nullptr);
        DialogTest::TearDown();
    }
    CControlUI* Ctl(const wchar_t* name) { return wnd->GetPaintManager().FindControl(name); }
    void Click(const wchar_t* name) {
        TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = Ctl(name);
        wnd->Notify(msg);
    }
    CWndRoomAutoChat* wnd = nullptr;
};

TEST_F(AutoChatTest, EachButtonStoresItsOwnPageOnly) {
    std::wcscpy(data->m_UserEnv.m_szAutoWelcome, L"欢迎来到本房间,祝您玩得开心!");
    std::wcscpy(data->m_UserEnv.m_szAutoReply, L"您好,我有事不在......");
    Open();
    EXPECT_EQ(std::wstring(Ctl(L"inputwelcome")->GetText().GetData()),
              L"欢迎来到本房间,祝您玩得开心!");
    EXPECT_EQ(std::wstring(Ctl(L"inputautoreply")->GetText().GetData()), L"您好,我有事不在......");
    Ctl(L"inputwelcome")->SetText(L"changed welcome");
    static_cast<CCheckBoxUI*>(Ctl(L"chkwelcomeword"))->SetCheck(true);
    Ctl(L"inputautoreply")->SetText(L"");
    static_cast<CCheckBoxUI*>(Ctl(L"chkautoreply"))->SetCheck(true);
    Click(L"btnok_reply");
    const CUserEnvSetting& env = data->m_UserEnv;
    EXPECT_TRUE(env.m_bAutoReplay);
    EXPECT_STREQ(env.m_szAutoReply, L"");
    EXPECT_FALSE(env.m_bAutoWellcome);
    EXPECT_STREQ(env.m_szAutoWelcome, L"欢迎来到本房间,祝您玩得开心!");
    // The window stays open: the saved page says so, the other says nothing yet.
    ASSERT_NE(Ctl(L"replytip"), nullptr);
    ASSERT_NE(Ctl(L"welcometip"), nullptr);
    EXPECT_EQ(std::wstring(Ctl(L"replytip")->GetText().GetData()), L"设置成功！");
    EXPECT_EQ(std::wstring(Ctl(L"welcometip")->GetText().GetData()), L"");
    Click(L"btnok_welcome");
    EXPECT_EQ(std::wstring(Ctl(L"welcometip")->GetText().GetData()), L"设置成功！");
    Shot(wnd->GetHWND(), "auto_chat.png");
}

TEST_F(AutoChatTest, TextsComeBackFromTheIniFileAsStored) {
    std::wstring file = dir + L"userenv.conf";
    struct Case {
        const char* name;
        std::wstring typed;
        std::wstring stored;
    };
    const Case cases[] = {
        {"outer blanks", L"  hello  ", L"  hello  "},
        {"surrounding quotes", L"\"quoted\"", L"\"quoted\""},
        {"line break then a key", L"bye\r\nAudioInputDevice=x", L"bye  AudioInputDevice=x"},
        {"600 characters", std::wstring(600, L'字'), std::wstring(511, L'字')},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CUserEnvSetting& env = data->m_UserEnv;
        env.Reset();
        std::wcscpy(env.m_szAudioInputDevice, L"mic1");
        ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);  // adopts the path
        std::wcscpy(env.m_szAudioInputDevice, L"mic1");
        Ctl(L"inputautoreply")->SetText(c.typed.c_str());
        Click(L"btnok_reply");
        EXPECT_EQ(std::wstring(env.m_szAutoReply), c.stored);
        ASSERT_EQ(env.SaveUserEnviron(), 1);

        CUserEnvSetting fresh;
        ASSERT_EQ(fresh.LoadUserEnviron(&file[0]), 1);
        EXPECT_EQ(std::wstring(fresh.m_szAutoReply), c.stored);
        EXPECT_EQ(std::wstring(fresh.m_szAudioInputDevice), L"mic1");
        EXPECT_EQ(std::wstring(fresh.m_szAutoWelcome), env.m_szAutoWelcome);
    }
}

}  // namespace
