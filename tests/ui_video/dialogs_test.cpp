// The camera dialog with the test-pattern camera, the room's AV panel and the volume
// mixer it starts from the system folder.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/ClientApp.h"
#include "dialogs/RoomAvPanelBase.h"
#include "dialogs/WndRoomAudioSetting3.h"
#include "dialogs/WndUserSettingVideo.h"
#include "kernel/CommKernel.h"
#include "pattern_match.h"
#include "session/CommKernelData.h"
#include "video_fixture.h"
#include "win32/files.h"
#include "win32gui/menu.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

// Environment for one test, restored afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old, m_had = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }

private:
    std::string m_name, m_old;
    bool m_had = false;
};

// The camera dialog run modelessly so the test can look at it.
class CameraDialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        winplat::SetModulePath((folder.path() + "/mivora").toStdWString());
        CCommKernel* k = CCommKernel::GetInstance();
        if (!k->m_pData) k->m_pData = new CCommKernelData();
        const std::wstring app = winplat::ToWindowsPath(folder.path().toStdString());
        wcsncpy(k->m_pData->m_szAppPath, app.c_str(), kModulePathChars - 1);
        theApp.m_pKernelData = k->m_pData;
        theApp.m_nVideoDev = 0;
    }
    void TearDown() override {
        winplat::SetModulePath(L"");
        UiTest::TearDown();
    }
    QString AvConfig() const { return folder.path() + "/avconfig.txt"; }

    QTemporaryDir folder;
};

CComboUI* Combo(CSkinWnd& w) {
    return static_cast<CComboUI*>(w.GetPaintManager().FindControl(L"selvideocomb"));
}

}  // namespace

TEST_F(CameraDialogTest, PatternListedSelectedAndPaintedAtTheSizeTheCameraGives) {
    ScopedEnv listed("MIVORA_TEST_CAMERA", "1");
    // Asked for 320 x 240, the camera gives 640 x 480, as real devices may.
    ScopedEnv size("MIVORA_TEST_CAMERA_SIZE", "640x480");
    ScopedEnv name("MIVORA_TEST_CAMERA_NAME", "测试摄像头");
    CWndUserSettingVideo dlg;
    ASSERT_TRUE(dlg.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0));
    dlg.ShowWindow(true, false);
    CComboUI* combo = Combo(dlg);
    ASSERT_NE(combo, nullptr);
    ASSERT_GE(combo->GetCount(), 1);
    const int last = combo->GetCount() - 1;
    // The UTF-8 name arrives in the code page and is shown as it was meant.
    EXPECT_EQ(combo->GetItemAt(last)->GetText(), CDuiString(L"测试摄像头"));
    EXPECT_EQ(combo->GetCurSel(), 0);
    if (last != 0) GTEST_SKIP() << "a real camera is listed first";
    ASSERT_TRUE(dlg.IsRunning());
    EXPECT_EQ(dlg.FrameWidth(), 640);
    EXPECT_EQ(dlg.FrameHeight(), 480);
    ASSERT_TRUE(Pump([&] { return dlg.IsFrameReady(); }));

    CControlUI* preview = dlg.GetPaintManager().FindControl(L"videoimg");
    ASSERT_NE(preview, nullptr);
    InvalidateRect(dlg.GetHWND(), nullptr, FALSE);
    PumpPending();
    QImage shot = winplat::GrabWindowImage(dlg.GetHWND());
    SaveArtifact(shot, "camera_dialog.png");
    // The bars of the pattern, scaled into the preview, line up.
    EXPECT_GE(roomtest::PatternMatch(shot, RectOf(preview->GetPos())), 90);

    dlg.Close(2);
    PumpPending();
    EXPECT_EQ(dlg.Camera(), nullptr);  // closing released the camera
}

TEST_F(UiTest, ComboSelectsQuietlyWhenAsked) {
    CTestWnd wnd(
        L"<Window size=\"200,60\"><VerticalLayout><Combo name=\"c\">"
        L"<ListLabelElement text=\"a\" /><ListLabelElement text=\"b\" /></Combo>"
        L"</VerticalLayout></Window>");
    int selects = 0;
    wnd.onNotify = [&](TNotifyUI& msg) { selects += msg.sType == DUI_MSGTYPE_ITEMSELECT; };
    ASSERT_TRUE(wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 200, 60));
    auto* combo = static_cast<CComboUI*>(wnd.GetPaintManager().FindControl(L"c"));
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->SelectItem(1, false, false));
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(selects, 0);
    EXPECT_TRUE(combo->SelectItem(0));
    EXPECT_EQ(selects, 1);
}

TEST_F(CameraDialogTest, NoCameraConnectsNothing) {
    ScopedEnv listed("MIVORA_TEST_CAMERA", nullptr);
    theApp.m_nVideoDev = 3;
    CWndUserSettingVideo dlg;
    ASSERT_TRUE(dlg.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0));
    EXPECT_EQ(Combo(dlg)->GetCurSel(), -1);
    EXPECT_EQ(dlg.Camera(), nullptr);
    DestroyWindow(dlg.GetHWND());
}

TEST_F(CameraDialogTest, OkSavesTheChoiceOnlyWhenItChanged) {
    ScopedEnv listed("MIVORA_TEST_CAMERA", "1");
    struct Case {
        int saved;
        int choose;
        bool written;
    } cases[] = {{0, 0, false}, {5, 0, true}};
    for (const Case& c : cases) {
        QFile::remove(AvConfig());
        theApp.m_nVideoDev = c.saved;
        CWndUserSettingVideo dlg;
        ASSERT_TRUE(dlg.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0));
        dlg.ShowWindow(true, false);
        Combo(dlg)->SelectItem(c.choose);
        ClickControl(dlg.GetHWND(), dlg.GetPaintManager().FindControl(L"btn_ok"));
        Pump([&] { return !IsWindow(dlg.GetHWND()); });
        EXPECT_EQ(QFile::exists(AvConfig()), c.written) << c.saved;
        EXPECT_EQ(theApp.m_nVideoDev, c.choose);
        if (IsWindow(dlg.GetHWND())) DestroyWindow(dlg.GetHWND());
    }
}

class AvPanelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        CCommKernel* k = CCommKernel::GetInstance();
        if (!k->m_pData) k->m_pData = new CCommKernelData();
        env = &k->m_pData->m_UserEnv;
    }
    CUserEnvSetting* env = nullptr;
};

TEST_F(AvPanelTest, SmoothnessModeStoredAppliedAndReported) {
    struct Case {
        bool room;
        int result;
        const wchar_t* text;
    } cases[] = {{false, 0, L"设置失败！"},
                 {true, 0, L"设置成功！"},
                 {true, -1, L"设置失败[-1]！"},
                 {true, -10, L"设置失败！"}};
    for (const Case& c : cases) {
        int applied = 0;
        env->m_nVideoSmooth = 3;
        CWndRoomAudioSetting3* panel = nullptr;
        ASSERT_NE(OpenSelfDeleting(panel, nullptr, ReuseAction::kShow), nullptr);
        // What the opening room hands over; a panel opened without a room has nothing.
        if (c.room)
            panel->SetApplyAvModuleConfig([&] {
                ++applied;
                return c.result;
            });
        ClickControl(panel->GetHWND(), panel->GetPaintManager().FindControl(L"optionvideosmooth1"));
        CControlUI* tip = panel->GetPaintManager().FindControl(L"modvideotip");
        Pump([&] { return !tip->GetText().IsEmpty(); });
        EXPECT_EQ(tip->GetText(), CDuiString(c.text)) << c.result;
        EXPECT_EQ(env->m_nVideoSmooth, 1);  // kept whatever the room said
        EXPECT_EQ(applied, c.room ? 1 : 0);
        if (!c.room) SaveArtifact(winplat::GrabWindowImage(panel->GetHWND()), "av_panel.png");
        panel->Close(1);
        Pump([&] { return panel == nullptr; });
    }
}

TEST_F(AvPanelTest, StoredModeSelectsItsOption) {
    for (int mode : {0, 1, 2, 3, 4}) {
        env->m_nVideoSmooth = mode;
        CWndRoomAudioSetting3* panel = nullptr;
        ASSERT_NE(OpenSelfDeleting(panel, nullptr, ReuseAction::kShow), nullptr);
        for (int i = 1; i <= 3; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"optionvideosmooth%d", i);
            auto* option = static_cast<COptionUI*>(panel->GetPaintManager().FindControl(name));
            ASSERT_NE(option, nullptr);
            EXPECT_EQ(option->IsSelected(), i == mode) << mode << " " << i;
        }
        panel->Close(1);
        Pump([&] { return panel == nullptr; });
    }
}

std::vector<std::wstring> g_boxes;
int NoteBox(LPCWSTR text, LPCWSTR, UINT) {
    g_boxes.emplace_back(text ? text : L"");
    return IDOK;
}

// 音量控制 starts the system's volume mixer; where there is none a message box says so
// instead of nothing.
TEST_F(AvPanelTest, AMissingVolumeMixerIsToldByAMessageBox) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScopedEnv system("MIVORA_SYSTEM_DIR", dir.path().toUtf8().constData());
    const QString marker = dir.path() + "/ran";
    winplat::SetMessageBoxHook(NoteBox);
    for (bool present : {false, true}) {
        SCOPED_TRACE(present ? "a mixer" : "no mixer");
        g_boxes.clear();
        if (present) {
            const QString path = dir.path() + "/SndVol.exe";
            std::ofstream(path.toStdString())
                << "#!/bin/sh\ntouch '" << marker.toStdString() << "'\n";
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        }
        CWndRoomAudioSetting3* panel = nullptr;
        ASSERT_NE(OpenSelfDeleting(panel, nullptr, ReuseAction::kShow), nullptr);
        ClickControl(panel->GetHWND(), panel->GetPaintManager().FindControl(L"btnmoreeq"));
        if (present) {
            ASSERT_TRUE(Pump([&] { return QFile::exists(marker); }));
            EXPECT_TRUE(g_boxes.empty());
        } else {
            ASSERT_TRUE(Pump([&] { return !g_boxes.empty(); }));
            EXPECT_EQ(g_boxes,
                      std::vector<std::wstring>{L"无法打开音量控制：没有找到系统的音量控制程序！"});
        }
        panel->Close(1);
        Pump([&] { return panel == nullptr; });
    }
    winplat::SetMessageBoxHook(nullptr);
}

TEST(VolumeMixerTest, StartsWhatTheSystemFolderHolds) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScopedEnv system("MIVORA_SYSTEM_DIR", dir.path().toUtf8().constData());
    const QString marker = dir.path() + "/ran";
    auto program = [&](const char* name) {
        const QString path = dir.path() + "/" + name;
        std::ofstream(path.toStdString())
            << "#!/bin/sh\necho " << name << " > '" << marker.toStdString() << "'\n";
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    };
    EXPECT_EQ(CRoomAvPanelBase::StartVolumeMixer(), nullptr);  // neither there

    program("sndvol32.exe");
    EXPECT_STREQ(CRoomAvPanelBase::StartVolumeMixer(), L"sndvol32.exe");
    ASSERT_TRUE(Pump([&] { return QFile::exists(marker); }));
    QFile::remove(marker);
    program("SndVol.exe");
    EXPECT_STREQ(CRoomAvPanelBase::StartVolumeMixer(), L"SndVol.exe");
    ASSERT_TRUE(Pump([&] { return QFile::exists(marker); }));
    QFile f(marker);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().trimmed(), QByteArray("SndVol.exe"));
}
