#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "win32/win32.h"

namespace {

const char kIni[] =
    "; a comment line\r\n"
    "[AV]\r\n"
    "MuteMic=1\r\n"
    "  Spaced Key  =  spaced value  \r\n"
    "Quoted=\"  in quotes  \"\r\n"
    "Single='x'\r\n"
    "Empty=\r\n"
    "Eq=a=b\r\n"
    "Number= 12abc\r\n"
    "Hex=0x1F\r\n"
    "Negative=-3\r\n"
    "Word=abc\r\n"
    "MuteMic=2\r\n"
    "\r\n"
    "[Second]\r\n"
    "k=second\r\n"
    "[av]\r\n"
    "Late=not seen\r\n";

std::wstring get(const wchar_t* section, const wchar_t* key, const wchar_t* def,
                 const std::wstring& file, DWORD size = 64, DWORD* result = nullptr) {
    wchar_t buf[128];
    std::wmemset(buf, L'#', 128);
    DWORD n = GetPrivateProfileStringW(section, key, def, buf, size, file.c_str());
    if (result) *result = n;
    return std::wstring(buf, n);
}

TEST(ProfileString, ReadsWithTheWindowsRules) {
    TempDir dir;
    const std::wstring file = dir.path("a.ini");
    ASSERT_TRUE(WriteBytes(file, kIni));
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* def;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"AV", L"MuteMic", L"d", L"1"},  // first of two wins
        {L"av", L"mutemic", L"d", L"1"},  // names ignore case
        {L"AV", L"Spaced Key", L"d", L"spaced value"},
        {L"AV", L"Quoted", L"d", L"  in quotes  "},
        {L"AV", L"Single", L"d", L"x"},
        {L"AV", L"Empty", L"d", L""},  // present but empty: not the default
        {L"AV", L"Eq", L"d", L"a=b"},
        {L"AV", L"Late", L"d", L"d"},           // a repeated section is not searched
        {L"AV", L"missing", L"def  ", L"def"},  // trailing blanks of the default go
        {L"AV", L"missing", nullptr, L""},
        {L"Second", L"k", L"d", L"second"},
        {L"None", L"k", L"d", L"d"},
        {L"AV", L"; a comment line", L"d", L"d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.section << "/" << (c.key ? c.key : L"(null)"));
        EXPECT_EQ(get(c.section, c.key, c.def, file), c.expected);
    }
    EXPECT_EQ(get(L"AV", L"k", L"from default", dir.path("missing.ini")), L"from default");
}

TEST(ProfileString, CutsToTheBufferAndListsNames) {
    TempDir dir;
    const std::wstring file = dir.path("a.ini");
    ASSERT_TRUE(WriteBytes(file, kIni));
    DWORD n = 0;
    EXPECT_EQ(get(L"AV", L"Spaced Key", nullptr, file, 5, &n), L"spac");
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(get(L"AV", L"nokey", L"default", file, 4, &n), L"def");
    EXPECT_EQ(GetPrivateProfileStringW(L"AV", L"MuteMic", L"", nullptr, 10, file.c_str()), 0u);

    // Section names (a repeated one once), then the key names of a section.
    wchar_t list[64];
    n = GetPrivateProfileStringW(nullptr, nullptr, nullptr, list, 64, file.c_str());
    EXPECT_EQ(std::wstring(list, n + 1), std::wstring(L"AV\0Second\0\0", 11));
    EXPECT_EQ(list[n], 0);
    n = GetPrivateProfileStringW(L"second", nullptr, nullptr, list, 64, file.c_str());
    EXPECT_EQ(std::wstring(list, n + 1), std::wstring(L"k\0\0", 3));
    // Too small: the last name is cut and the list still ends in two NULs.
    n = GetPrivateProfileStringW(nullptr, nullptr, nullptr, list, 6, file.c_str());
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::wstring(list, 6), std::wstring(L"AV\0S\0\0", 6));
    n = GetPrivateProfileStringW(L"nosection", nullptr, nullptr, list, 64, file.c_str());
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[1], 0);
}

TEST(ProfileInt, ParsesLikeTheSystem) {
    TempDir dir;
    const std::wstring file = dir.path("a.ini");
    ASSERT_TRUE(WriteBytes(file, kIni));
    struct Case {
        const wchar_t* key;
        int expected;
    };
    const Case cases[] = {
        {L"MuteMic", 1}, {L"Number", 12}, {L"Hex", 31},     {L"Negative", -3},
        {L"Word", 0},    {L"Empty", 77},  {L"missing", 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key);
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntW(L"AV", c.key, 77, file.c_str())),
                  c.expected);
    }
}

TEST(ProfileWrite, CreatesFileAndSectionsInAnsi) {
    TempDir dir;
    const std::wstring file = dir.path("new.ini");
    ASSERT_TRUE(WritePrivateProfileStringW(L"STRING", L"AutoReply", L"您好", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"AV", L"MuteMic", L"1", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"string", L"FontName", L"Arial", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringW(L"String", L"autoreply", L"again", file.c_str()));
    EXPECT_EQ(ReadBytes(file),
              "[STRING]\r\nautoreply=again\r\nFontName=Arial\r\n[AV]\r\nMuteMic=1\r\n");
    ASSERT_TRUE(WritePrivateProfileStringW(L"STRING", L"AutoReply", L"您好", file.c_str()));
    EXPECT_NE(ReadBytes(file).find(winplat::WideToAnsi(L"AutoReply=您好")), std::string::npos);
    EXPECT_EQ(get(L"string", L"AUTOREPLY", L"", file), L"您好");
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"new.ini"});
    EXPECT_FALSE(WritePrivateProfileStringW(L"S", L"k", L"v", dir.path("no\\such\\x.ini").c_str()));
    EXPECT_FALSE(WritePrivateProfileStringW(nullptr, L"k", L"v", file.c_str()));
}

TEST(ProfileWrite, EditsInPlaceAndDeletes) {
    TempDir dir;
    const std::wstring file = dir.path("a.ini");
    ASSERT_TRUE(WriteBytes(file, "; keep me\n[A]\nx=1\n\n[B]\ny=2\n"));
    ASSERT_TRUE(WritePrivateProfileStringW(L"a", L"z", L"3", file.c_str()));
    EXPECT_EQ(ReadBytes(file), "; keep me\n[A]\nx=1\nz=3\n\n[B]\ny=2\n");  // its own line ends
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"X", nullptr, file.c_str()));
    EXPECT_EQ(ReadBytes(file), "; keep me\n[A]\nz=3\n\n[B]\ny=2\n");
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"gone", nullptr, file.c_str()));  // no such key
    ASSERT_TRUE(WritePrivateProfileStringW(L"B", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(ReadBytes(file), "; keep me\n[A]\nz=3\n\n");
    // Deleting from a missing file creates nothing.
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"x", nullptr, dir.path("none.ini").c_str()));
    EXPECT_FALSE(Exists(dir.path("none.ini")));
}

TEST(ProfileWrite, KeepsAUtf16File) {
    TempDir dir;
    const std::wstring file = dir.path("u.ini");
    std::u16string text = u"[STRING]\r\nFontName=宋体\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    ASSERT_TRUE(WriteBytes(file, bytes));
    EXPECT_EQ(get(L"STRING", L"FontName", L"", file), L"宋体");
    ASSERT_TRUE(WritePrivateProfileStringW(L"STRING", L"AutoReply", L"稍后回来", file.c_str()));
    std::string after = ReadBytes(file);
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(get(L"STRING", L"AutoReply", L"", file), L"稍后回来");
    EXPECT_EQ(get(L"STRING", L"FontName", L"", file), L"宋体");
}

}  // namespace
