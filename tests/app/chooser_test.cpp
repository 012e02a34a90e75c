// The skin chooser: one window, hidden on close, a choice applied and stored.
#include <QDir>
#include <QImage>

#include <filesystem>

#include "app/ClientApp.h"
#include "app/SkinTable.h"
#include "app_fixture.h"
#include "dialogs/WndSelSkin.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;
namespace fs = std::filesystem;

namespace {

class ChooserTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        SelectSkin(kDefaultSkinId);
    }
    void TearDown() override {
        if (CWndSelSkin* w = theApp.m_pWndSelSkin) {
            DestroyWindow(w->GetHWND());
            PumpPending();
        }
        EXPECT_EQ(theApp.m_pWndSelSkin, nullptr) << "the chooser clears its slot when it goes";
        theApp.m_szUserDataPath[0] = L'\0';
        SelectSkin(kDefaultSkinId);
        AppTest::TearDown();
    }
    CWndSelSkin* Open() {
        return OpenSelfDeleting(theApp.m_pWndSelSkin, nullptr, ReuseAction::kShow);
    }

    // The skin button with that tag.
    static CControlUI* SkinButton(CControlUI* c, int id) {
        if (!c) return nullptr;
        if (c->GetName() == L"btnskin" && c->GetTag() == static_cast<UINT_PTR>(id)) return c;
        if (auto* box = dynamic_cast<CContainerUI*>(c))
            for (int i = 0; i < box->GetCount(); ++i)
                if (CControlUI* found = SkinButton(box->GetItemAt(i), id)) return found;
        return nullptr;
    }
    static CControlUI* SkinButton(CWndSelSkin* w, int id) {
        return SkinButton(w->GetPaintManager().GetRoot(), id);
    }
};

TEST_F(ChooserTest, AskedTwiceItIsOneWindowAndClosingOnlyHidesIt) {
    CWndSelSkin* first = Open();
    ASSERT_NE(first, nullptr);
    PumpPending();
    wchar_t title[64] = {0};
    GetWindowTextW(first->GetHWND(), title, 64);
    EXPECT_STREQ(title, L"选择皮肤");
    EXPECT_EQ(Open(), first);

    ClickControl(first->GetHWND(), first->GetPaintManager().FindControl(L"closebtn"));
    PumpPending();
    EXPECT_FALSE(IsWindowVisible(first->GetHWND()));
    EXPECT_EQ(theApp.m_pWndSelSkin, first);

    EXPECT_EQ(Open(), first);
    EXPECT_TRUE(IsWindowVisible(first->GetHWND()));
}

TEST_F(ChooserTest, TheLayoutHoldsOneButtonPerSkin) {
    CWndSelSkin* w = Open();
    ASSERT_NE(w, nullptr);
    PumpPending();
    for (const tagSkinInfo& skin : g_SkinTable) {
        SCOPED_TRACE(skin.id);
        CControlUI* button = SkinButton(w, skin.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetBkColor(), skin.crDark);
    }
}

TEST_F(ChooserTest, ChoosingASkinAppliesAndStoresIt) {
    theApp.SetUserDataPath(4321);
    const std::string skinFile = DocumentsDir() + "/KeltSQShow/4321/skin.txt";
    CWndSelSkin* w = Open();
    ASSERT_NE(w, nullptr);
    PumpPending();
    QImage before = winplat::GrabWindowImage(w->GetHWND());

    ClickControl(w->GetHWND(), SkinButton(w, 7));
    PumpPending();
    EXPECT_EQ(g_pCurSkin->id, 7);
    EXPECT_EQ(ReadText(skinFile), "7");
    CControlUI* winBG = w->GetPaintManager().FindControl(L"winBG");
    ASSERT_NE(winBG, nullptr);
    EXPECT_EQ(std::wstring(winBG->GetBkImage()), g_pCurSkin->szBkImage);

    QImage after = winplat::GrabWindowImage(w->GetHWND());
    ASSERT_FALSE(after.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(before.save(QStringLiteral(MIVORA_ARTIFACT_DIR "chooser_skin15.png")));
    EXPECT_TRUE(after.save(QStringLiteral(MIVORA_ARTIFACT_DIR "chooser_skin7.png")));
    // Skin 7's dark colour is 0x1449C3; the caption shades it a little lighter.
    const QColor caption = after.pixelColor(after.width() / 2, 28);
    EXPECT_NEAR(caption.red(), 0x14, 16);
    EXPECT_NEAR(caption.green(), 0x49, 16);
    EXPECT_NEAR(caption.blue(), 0xC3, 16);
    EXPECT_NE(before.pixelColor(before.width() / 2, 20), caption) << "the frame recoloured";
}

TEST_F(ChooserTest, WithoutAPerUserFolderNoFileIsWrittenButTheSkinChanges) {
    ASSERT_EQ(theApp.GetUserDataPath()[0], L'\0');
    CWndSelSkin* w = Open();
    ASSERT_NE(w, nullptr);
    w->ChooseSkin(20);
    EXPECT_EQ(g_pCurSkin->id, 20);
    EXPECT_FALSE(fs::exists(home_.nativePath("skin.txt")));
    EXPECT_FALSE(fs::exists("/skin.txt"));
    // An id not in the table changes nothing.
    w->ChooseSkin(29);
    EXPECT_EQ(g_pCurSkin->id, 20);
}

}  // namespace
