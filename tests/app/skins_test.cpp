// The skin table, its frame images and how a window wears them.
#include <QColor>
#include <QDir>
#include <QImage>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/SkinTable.h"
#include "app_fixture.h"
#include "dialogs/WndAboutUS.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class SkinTest : public UiTest {
protected:
    void TearDown() override {
        SelectSkin(kDefaultSkinId);
        UiTest::TearDown();
    }
};

QColor Rgb(uint32_t argb) {
    return QColor::fromRgb((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Close enough for a gradient drawn around the colour.
bool Near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

TEST_F(SkinTest, SelectSkinKeepsThePreviousOneForIdsOutsideTheTable) {
    struct Case {
        int before, asked, after;
    } cases[] = {{15, 0, 15}, {15, 1, 1}, {1, 15, 15}, {15, 28, 28}, {28, 29, 28}, {3, -1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        SelectSkin(c.before);
        SelectSkin(c.asked);
        EXPECT_EQ(g_pCurSkin->id, c.after);
    }
}

TEST_F(SkinTest, EveryEntryHasItsOwnIdAndALoadableFrameInItsColours) {
    std::set<int> ids;
    for (const tagSkinInfo& skin : g_SkinTable) {
        SCOPED_TRACE(skin.id);
        ids.insert(skin.id);
        const std::wstring attr = skin.szBkImage;
        EXPECT_EQ(attr, L"file='" + SkinFrameFile(skin) + L"' corner='1038,298,1,1'");
        QImage frame(QString::fromStdWString(std::wstring(MIVORA_SKIN_DIR) + SkinFrameFile(skin)));
        ASSERT_FALSE(frame.isNull());
        EXPECT_GE(frame.width(), 1040);
        EXPECT_GE(frame.height(), 300);
        EXPECT_TRUE(Near(frame.pixelColor(500, 30), Rgb(skin.crDark), 8));
        EXPECT_TRUE(Near(frame.pixelColor(500, 40), Rgb(skin.crLight1), 8));
        EXPECT_TRUE(Near(frame.pixelColor(500, 297), Rgb(skin.crLight2), 8));
    }
    EXPECT_EQ(ids.size(), 28u);
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), 28);
}

// The about box wears the current skin: its caption strip shows the dark colour and
// its body the light one.
TEST_F(SkinTest, WindowFrameFollowsTheCurrentSkin) {
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    for (int id : {15, 1}) {
        SCOPED_TRACE(id);
        SelectSkin(id);
        CWndAboutUS* about = nullptr;
        ASSERT_NE(OpenSelfDeleting(about, nullptr, ReuseAction::kShow), nullptr);
        PumpPending();
        QImage shot = winplat::GrabWindowImage(about->GetHWND());
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(QString(MIVORA_ARTIFACT_DIR "about_skin%1.png").arg(id)));
        EXPECT_TRUE(Near(shot.pixelColor(shot.width() / 2, 20), Rgb(g_pCurSkin->crDark), 24));
        EXPECT_TRUE(Near(shot.pixelColor(20, shot.height() - 60), Rgb(g_pCurSkin->crLight1), 24) ||
                    Near(shot.pixelColor(20, shot.height() - 60), Rgb(g_pCurSkin->crLight2), 24));
        about->Close(1);
        Pump([&] { return about == nullptr; });
        EXPECT_EQ(about, nullptr);
    }
}

// A check box shows its state by a picture or a background of its own, not only by
// the colour of its text: that reads as a plain label nobody knows to click.
TEST(SkinLayouts, EveryCheckBoxShowsItsState) {
    const std::regex tagOf("<CheckBox\\b[^>]*>");
    std::vector<std::string> bare;
    for (const auto& entry :
         std::filesystem::directory_iterator(MIVORA_SOURCE_DIR "/skin/MVChat")) {
        if (entry.path().extension() != ".xml") continue;
        const std::string text = ReadText(entry.path().string());
        // A window's default for its check boxes may give them their pictures.
        const size_t byDefault = text.find("<Default name=\"CheckBox\"");
        if (byDefault != std::string::npos &&
            text.substr(byDefault, text.find('\n', byDefault) - byDefault).find("selectedimage") !=
                std::string::npos)
            continue;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), tagOf);
             it != std::sregex_iterator(); ++it) {
            const std::string tag = it->str();
            if (tag.find("selectedimage=") == std::string::npos &&
                tag.find("selectedbkcolor=") == std::string::npos)
                bare.push_back(entry.path().filename().string() + ": " + tag);
        }
    }
    EXPECT_TRUE(bare.empty()) << ::testing::PrintToString(bare);
}

}  // namespace
