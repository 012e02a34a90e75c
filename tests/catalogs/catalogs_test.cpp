#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog_files.h"
#include "catalogs/CaitiaoManager.h"
#include "catalogs/CatalogLineReader.h"
#include "catalogs/FaceManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "catalogs/UserLevelInfoManager.h"
#include "win32/files.h"

namespace {

using Lines = std::vector<std::wstring>;

class LineReader : public CatalogFiles {
protected:
    Lines ReadWide(const std::string& bytes, size_t limit = catalog::kLineLimit) {
        std::string p = Path("reader.txt");
        WriteBytes(p, bytes);
        Lines lines;
        EXPECT_TRUE(catalog::ReadWideLines(winplat::Utf8ToWide(p).c_str(), limit,
                                           [&](const std::wstring& l) { lines.push_back(l); }));
        return lines;
    }
};

TEST_F(LineReader, DecodesUtf16AndSkipsWhatIsNoRecord) {
    const std::wstring longLine(1024, L'x'), fullLine(1023, L'y');
    struct Case {
        const char* what;
        std::string bytes;
        Lines expected;
    } cases[] = {
        {"comments, empty lines and line ends",
         Utf16Bytes(L"// c\r\n\r\na=1\r\n\nb\n"),
         {L"a=1", L"b"}},
        {"non-BMP text", Utf16Bytes(L"k=\U0001F600\u4E2D"), {L"k=\U0001F600\u4E2D"}},
        {"too long a line is skipped whole",
         Utf16Bytes(L"a\r\n" + longLine + L"\r\nb"),
         {L"a", L"b"}},
        {"a line at the limit is kept", Utf16Bytes(fullLine + L"\n"), {fullLine}},
        {"no byte-order mark", Utf16Bytes(L"a\nb", false), {L"a", L"b"}},
        {"odd last byte ignored", Utf16Bytes(L"ab\ncd") + "x", {L"ab", L"cd"}},
        {"UTF-8 mark", "\xEF\xBB\xBF\xE4\xB8\xAD\r\nz", {L"\u4E2D", L"z"}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadWide(c.bytes), c.expected) << c.what;
}

TEST_F(LineReader, NarrowLinesHonourTheirLimitAndMissingFilesFail) {
    std::string p = Path("narrow.txt");
    WriteBytes(p, "a\r\n" + std::string(4096, 'c') + "\n" + std::string(4095, 'd') + "\n//x\n");
    std::vector<size_t> sizes;
    ASSERT_TRUE(catalog::ReadNarrowLines(p.c_str(), catalog::kLongLineLimit,
                                         [&](const std::string& l) { sizes.push_back(l.size()); }));
    EXPECT_EQ(sizes, (std::vector<size_t>{1, 4095}));
    auto ignore = [](const std::string&) {};
    EXPECT_FALSE(catalog::ReadNarrowLines("/nonexistent/x.txt", 10, ignore));
    EXPECT_FALSE(catalog::ReadWideLines(L"/nonexistent/x.txt", 10, [](const std::wstring&) {}));
}

class GiftCatalog : public CatalogFiles {
protected:
    int Load(const std::wstring& text) {
        std::wstring p = WriteUtf16("gift.conf", text);
        return gifts_.LoadGiftConfigW(const_cast<wchar_t*>(p.c_str()));
    }
    std::vector<int> GroupIds(int group) {
        std::vector<int> ids;
        if (tag_GiftGroupInfo* g = gifts_.FindGiftGroupItem(group))
            for (auto* item : g->items) ids.push_back(item->giftId);
        return ids;
    }
    CGiftManager gifts_;
};

TEST_F(GiftCatalog, ReadsGiftsGroupsAndListsAsDeclared) {
    ASSERT_EQ(Load(L"// gifts\n"
                   L"group=1:1;2\n"  // before the groups and gifts exist: nothing
                   L"groups=花,1;车,2;bad;x,3,4\n"
                   L"gift=1;5;玫瑰;10;0;6;7;8;9;t1;t2\n"
                   L"gift=2;0;车;2000;3;0;0;0;0;a;b;twelfth\n"
                   L"gift=3;0;ten;1;0;0;0;0;0;a\n"  // ten fields
                   L"gift=1;0;again;99;0;0;0;0;0;a;b\n"
                   L"gift=4;0;x;abc;0;0;0;0;0;a;b\n"  // a price that is no number
                   L"gift=5=0;x\n"
                   L"group=1:2;1;3;2\n"  // 3 is no gift
                   L"group=9:1\n"        // group never declared
                   L"group=100:1;2;3;4;5;6;7;8;9;10;11;12\n"
                   L"group=101:2;77\n"
                   L"group=102:1\n"
                   L"group=103:4;2\n"
                   L"group=101\n"),
              0);
    ASSERT_NE(gifts_.FindGiftItem(1), nullptr);
    const tag_GiftItemInfo& rose = *gifts_.FindGiftItem(1);
    EXPECT_EQ(rose.giftValue1, 5);
    EXPECT_EQ(rose.giftName, L"玫瑰");
    EXPECT_EQ(rose.price, 10);
    EXPECT_EQ(rose.giftValue8, 9);
    EXPECT_EQ(rose.giftText2, L"t2");
    EXPECT_EQ(gifts_.FindGiftItem(2)->giftText2, L"b");
    EXPECT_EQ(gifts_.FindGiftItem(2)->flashId, 3);
    EXPECT_EQ(gifts_.FindGiftItem(3), nullptr);
    EXPECT_EQ(gifts_.FindGiftItem(4)->price, 0);
    EXPECT_EQ(gifts_.FindGiftItem(5), nullptr);
    EXPECT_EQ(gifts_.gifts.size(), 3u);

    EXPECT_EQ(gifts_.FindGiftGroupItem(1)->groupName, L"花");
    EXPECT_EQ(gifts_.FindGiftGroupItem(3), nullptr);
    EXPECT_EQ(GroupIds(1), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(GroupIds(2), (std::vector<int>{}));
    EXPECT_EQ(gifts_.FindGiftGroupItem(9), nullptr);

    std::vector<int> ids;
    gifts_.GetHotGiftIds(ids);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    gifts_.GetSendGiftIds(ids);
    EXPECT_EQ(ids, (std::vector<int>{2, 77}));  // kept whether or not such a gift exists
    gifts_.GetChargeMicGiftIds(ids);
    EXPECT_EQ(ids, (std::vector<int>{1}));
    gifts_.GetGlobalGiftIds(ids);
    EXPECT_EQ(ids, (std::vector<int>{4, 2}));

    // A second file adds to the first; the limit of ten holds per hot line.
    ASSERT_EQ(Load(L"gift=6;0;new;1;0;0;0;0;0;a;b\ngroup=100:6\n"), 0);
    EXPECT_NE(gifts_.FindGiftItem(6), nullptr);
    EXPECT_NE(gifts_.FindGiftItem(1), nullptr);
    gifts_.GetHotGiftIds(ids);
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 6}));

    gifts_.ClearAll();
    EXPECT_TRUE(gifts_.gifts.empty());
    EXPECT_TRUE(gifts_.giftGroups.empty());
    gifts_.GetSendGiftIds(ids);
    EXPECT_TRUE(ids.empty());
}

TEST_F(GiftCatalog, NarrowTwinAndMissingFile) {
    std::string p =
        WriteAnsi("gift.txt", L"groups=热门,0\r\ngift=8;0;香吻;50;0;0;0;0;0;a;b\r\ngroup=0:8\r\n");
    ASSERT_EQ(gifts_.LoadGiftConfigA(const_cast<char*>(p.c_str())), 0);
    ASSERT_NE(gifts_.FindGiftItem(8), nullptr);
    EXPECT_EQ(gifts_.FindGiftItem(8)->giftName, L"香吻");
    EXPECT_EQ(GroupIds(0), (std::vector<int>{8}));
    EXPECT_EQ(gifts_.LoadGiftConfigW(const_cast<wchar_t*>(L"/nonexistent/gift.conf")), -1);
    EXPECT_EQ(gifts_.LoadGiftConfigA(const_cast<char*>("/nonexistent/gift.conf")), -1);
}

TEST_F(CatalogFiles, SealLinesNeedExactlyFourFields) {
    CSealManager seals;
    std::wstring p =
        WriteUtf16("seal.conf", L"1,猪头,100,10\n2,three,1\n3,five,1,2,3\n1,again,5,5\n4,,x,7\n");
    ASSERT_EQ(seals.LoadSealConfigW(const_cast<wchar_t*>(p.c_str())), 0);
    EXPECT_EQ(seals.seals.size(), 2u);
    ASSERT_NE(seals.FindSealItem(1), nullptr);
    EXPECT_EQ(seals.FindSealItem(1)->name, L"猪头");
    EXPECT_EQ(seals.FindSealItem(1)->price, 100);
    EXPECT_EQ(seals.FindSealItem(4)->price, 0);
    EXPECT_EQ(seals.FindSealItem(4)->time, 7);
    EXPECT_EQ(seals.FindSealItem(2), nullptr);
    EXPECT_EQ(seals.FindSealItem(3), nullptr);

    std::string a = WriteAnsi("seal.txt", L"9,帅哥,200,30\r\n");
    ASSERT_EQ(seals.LoadSealConfigA(const_cast<char*>(a.c_str())), 0);
    EXPECT_EQ(seals.FindSealItem(9)->name, L"帅哥");
    EXPECT_EQ(seals.LoadSealConfigW(const_cast<wchar_t*>(L"/nonexistent/seal.conf")), -1);
}

TEST_F(CatalogFiles, FaceGroupsNeedAtLeastOneFace) {
    CFaceManager faces;
    std::string p = WriteAnsi("userface.dat", L"// 表情\n7,1,2,3\n8\n7,9\n9,,4\n");
    ASSERT_EQ(faces.LoadBaseFaceConfig(const_cast<char*>(p.c_str())), 0);
    ASSERT_NE(faces.FindFaceGroupItem(7), nullptr);
    EXPECT_EQ(faces.FindFaceGroupItem(7)->faces, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(faces.FindFaceGroupItem(8), nullptr);
    EXPECT_EQ(faces.FindFaceGroupItem(9)->faces, (std::vector<int>{0, 4}));
    EXPECT_EQ(faces.LoadBaseFaceConfig(const_cast<char*>("/nonexistent/userface.dat")), -1);
}

TEST_F(CatalogFiles, StripsAreNumberedByTheirCLinesOnly) {
    winplat::SetModulePath(L"C:\\Mivora\\mivora.exe");
    CCaitiaoManager strips;
    std::string p =
        WriteAnsi("caotiao.txt", L"c1.gif\r\nx.gif\r\n\r\n// c\r\nc2.gif\r\nC3.gif\r\nc4.gif\r\n");
    ASSERT_EQ(strips.LoadConfig(p.c_str()), 0);
    winplat::SetModulePath(L"");
    EXPECT_EQ(strips.GetCaitiaoCount(), 3);
    ASSERT_NE(strips.FindCaitiaoItem(1), nullptr);
    EXPECT_EQ(strips.FindCaitiaoItem(1)->index, 1);
    EXPECT_EQ(strips.FindCaitiaoItem(1)->html,
              L"<IMG src=\"C:\\Mivora\\skin\\MVChat\\gift\\c2.gif\">");
    EXPECT_EQ(strips.FindCaitiaoItem(2)->html,
              L"<IMG src=\"C:\\Mivora\\skin\\MVChat\\gift\\c4.gif\">");
    EXPECT_EQ(strips.FindCaitiaoItem(3), nullptr);
    EXPECT_EQ(strips.LoadConfig("/nonexistent/caotiao.txt"), -1);
}

TEST_F(CatalogFiles, LevelDescriptionsAreKeyedByKindAndLevel) {
    CUserLevelInfoManager levels;
    std::wstring p = WriteUtf16("leveldesc.dat",
                                L"1,5,1,2,3,b.png,a.png,12,黄金会员\n"
                                L"5,1,0,0,0,,c.png,0,other\n"
                                L"1,6,0,0,0,,d.png,0\n"          // eight fields
                                L"1,7,0,0,0,,d.png,0,t,extra\n"  // ten fields
                                L"1,5,0,0,0,,e.png,0,again\n");
    ASSERT_EQ(levels.LoadLevelConfigW(const_cast<wchar_t*>(p.c_str())), 0);
    tag_UserLevelDescInfo* gold = levels.FindLevelDesc(1, 5);
    ASSERT_NE(gold, nullptr);
    EXPECT_EQ(gold->showFlag, 1);
    EXPECT_EQ(gold->descValue1, 2);
    EXPECT_EQ(gold->descValue2, 3);
    EXPECT_EQ(gold->image2, L"b.png");
    EXPECT_EQ(gold->image1, L"a.png");
    EXPECT_EQ(gold->flashId, 12);
    EXPECT_EQ(gold->title, L"黄金会员");
    ASSERT_NE(levels.FindLevelDesc(5, 1), nullptr);
    EXPECT_EQ(levels.FindLevelDesc(5, 1)->title, L"other");
    EXPECT_EQ(levels.FindLevelDesc(1, 6), nullptr);
    EXPECT_EQ(levels.FindLevelDesc(1, 7), nullptr);
    EXPECT_EQ(levels.levels.size(), 2u);

    std::string a = WriteAnsi("leveldesc.txt", L"4,101,1,0,0,,l.png,15,城主\n");
    ASSERT_EQ(levels.LoadLevelConfigA(const_cast<char*>(a.c_str())), 0);
    EXPECT_EQ(levels.FindLevelDesc(LEVEL_KIND_CASTLE, LEVEL_CASTLE_LORD)->title, L"城主");
    EXPECT_EQ(levels.LoadLevelConfigW(const_cast<wchar_t*>(L"/nonexistent/l.dat")), -1);
}

// The catalogs committed with the skin load the way the program entry loads them.
TEST(SkinCatalogs, CommittedFilesLoadWithAnEntryEach) {
    const std::string root = MIVORA_SOURCE_DIR;
    const std::wstring skin = winplat::Utf8ToWide(root) + L"\\skin\\";
    std::string skinA = root + "/skin/";

    CGiftManager gifts;
    std::wstring giftPath = skin + L"MVChat" + L"/gift/gift.conf";
    ASSERT_EQ(gifts.LoadGiftConfigW(const_cast<wchar_t*>(giftPath.c_str())), 0);
    ASSERT_NE(gifts.FindGiftItem(1), nullptr);
    EXPECT_EQ(gifts.FindGiftItem(1)->giftName, L"玫瑰");
    ASSERT_NE(gifts.FindGiftGroupItem(0), nullptr);
    EXPECT_FALSE(gifts.FindGiftGroupItem(0)->items.empty());
    EXPECT_FALSE(gifts.sendGiftIds.empty());

    CSealManager seals;
    std::wstring sealPath = skin + L"Seal/seal.conf";
    ASSERT_EQ(seals.LoadSealConfigW(const_cast<wchar_t*>(sealPath.c_str())), 0);
    ASSERT_NE(seals.FindSealItem(1), nullptr);
    EXPECT_EQ(seals.FindSealItem(1)->name, L"猪头");

    CFaceManager faces;
    ASSERT_EQ(faces.LoadBaseFaceConfig(const_cast<char*>((skinA + "userface.dat").c_str())), 0);
    ASSERT_NE(faces.FindFaceGroupItem(1), nullptr);
    EXPECT_FALSE(faces.FindFaceGroupItem(1)->faces.empty());

    CCaitiaoManager strips;
    ASSERT_EQ(strips.LoadConfig((skinA + "caotiao.txt").c_str()), 0);
    ASSERT_GT(strips.GetCaitiaoCount(), 0);
    EXPECT_NE(strips.FindCaitiaoItem(0)->html.find(L"caitiao_01.gif"), std::wstring::npos);

    CUserLevelInfoManager levels;
    std::wstring levelPath = skin + L"leveldesc.dat";
    ASSERT_EQ(levels.LoadLevelConfigW(const_cast<wchar_t*>(levelPath.c_str())), 0);
    ASSERT_NE(levels.FindLevelDesc(LEVEL_KIND_CASTLE, LEVEL_CASTLE_LADY), nullptr);
    EXPECT_EQ(levels.FindLevelDesc(LEVEL_KIND_CASTLE, LEVEL_CASTLE_LADY)->title, L"城主夫人");
    EXPECT_NE(levels.FindLevelDesc(LEVEL_KIND_USER, 5), nullptr);
    EXPECT_NE(levels.FindLevelDesc(LEVEL_KIND_USER, 11), nullptr)
        << "the local world's member level";
}

// Every picture a committed catalog names is in the skin: a missing one shows as a
// broken picture (a gift tile, a colour strip line, a badge) on screen.
TEST(SkinCatalogs, EveryPictureTheyNameIsInTheSkin) {
    const std::string root = MIVORA_SOURCE_DIR;
    const std::string skin = root + "/skin/";
    const std::string mvchat = skin + "MVChat/";
    std::vector<std::string> missing;
    auto need = [&](const std::string& path) {
        if (!std::filesystem::is_regular_file(path)) missing.push_back(path);
    };

    CGiftManager gifts;
    std::wstring giftPath = winplat::Utf8ToWide(mvchat + "gift/gift.conf");
    ASSERT_EQ(gifts.LoadGiftConfigW(const_cast<wchar_t*>(giftPath.c_str())), 0);
    // The tile of the gift panel, and the picture a gift's chat line and the gift strip show.
    for (const auto& [id, gift] : gifts.gifts) {
        need(mvchat + "gift/" + std::to_string(id) + ".png");
        need(mvchat + "gift/" + std::to_string(id) + "_1.gif");
    }
    // The icons of the loudspeaker lines (the users' kinds and the official one).
    for (const char* icon : {"trumpet/goldSpeaker.gif", "trumpet/guanfang.gif"})
        need(mvchat + icon);

    CSealManager seals;
    std::wstring sealPath = winplat::Utf8ToWide(skin + "Seal/seal.conf");
    ASSERT_EQ(seals.LoadSealConfigW(const_cast<wchar_t*>(sealPath.c_str())), 0);
    for (const auto& [id, seal] : seals.seals) need(skin + "Seal/" + std::to_string(id) + "_a.png");

    CFaceManager faces;
    ASSERT_EQ(faces.LoadBaseFaceConfig(const_cast<char*>((skin + "userface.dat").c_str())), 0);
    for (const auto& [group, info] : faces.faceGroups)
        for (int face : info->faces)
            for (const char* size : {"36", "80"})
                need(mvchat + "Face/" + size + "/" + std::to_string(face) + ".png");

    // A strip's line names its picture below the program's folder.
    CCaitiaoManager strips;
    ASSERT_EQ(strips.LoadConfig((skin + "caotiao.txt").c_str()), 0);
    for (int i = 0; i < strips.GetCaitiaoCount(); ++i) {
        const std::wstring& html = strips.FindCaitiaoItem(i)->html;
        const size_t at = html.find(L"\\skin\\");
        const size_t end = html.find(L'"', at == std::wstring::npos ? 0 : at);
        ASSERT_NE(at, std::wstring::npos) << winplat::WideToUtf8(html);
        std::string rel = winplat::WideToUtf8(html.substr(at + 6, end - at - 6));
        std::replace(rel.begin(), rel.end(), '\\', '/');
        need(skin + rel);
    }

    CUserLevelInfoManager levels;
    std::wstring levelPath = winplat::Utf8ToWide(skin + "leveldesc.dat");
    ASSERT_EQ(levels.LoadLevelConfigW(const_cast<wchar_t*>(levelPath.c_str())), 0);
    for (const auto& [key, level] : levels.levels)
        for (const std::wstring* image : {&level->image1, &level->image2})
            if (!image->empty()) need(mvchat + winplat::WideToUtf8(*image));

    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

}  // namespace
