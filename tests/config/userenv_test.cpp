#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "TempDir.h"
#include "config/UserEnvSetting.h"

namespace {

TEST(UserEnv, DefaultsForAMissingFileAndAfterReset) {
    TempDir dir;
    std::wstring file = dir.path("userenv.conf");
    CUserEnvSetting env;
    EXPECT_EQ(env.m_nSize, 14);
    EXPECT_EQ(env.m_nVideoSmooth, 3);
    EXPECT_STREQ(env.m_szFontName, L"");  // Reset empties every text
    EXPECT_TRUE(env.m_strFilePath.IsEmpty());
    ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);
    EXPECT_FALSE(Exists(file));
    EXPECT_STREQ(env.m_szAutoReply, L"您好,我有事不在......");
    EXPECT_STREQ(env.m_szAutoWelcome, L"欢迎来到本房间,祝您玩得开心!");
    EXPECT_STREQ(env.m_szFontName, L"Times New Roman");
    EXPECT_STREQ(env.m_szVideoDevice, L"");
    EXPECT_FALSE(env.m_bMuteMic);
    EXPECT_FALSE(env.m_bShiledColorbar);
    EXPECT_EQ(env.m_nSize, 14);
    EXPECT_EQ(env.m_nVideoSmooth, 3);
    EXPECT_EQ(env.m_nTextColor, 0);
    EXPECT_EQ(env.LoadUserEnviron(nullptr), 0);
}

TEST(UserEnv, SaveBeforeLoadWritesNothing) {
    CUserEnvSetting env;
    env.m_bMuteMic = true;
    EXPECT_EQ(env.SaveUserEnviron(), 0);
    EXPECT_EQ(env.ReadUserText(nullptr), 0);
    EXPECT_EQ(env.SaveUserText(nullptr), 0);
    EXPECT_EQ(env.ReadChatForamtConfig(nullptr), 0);
    EXPECT_EQ(env.SaveChatForamtConfig(nullptr), 1);
}

TEST(UserEnv, ReadsSwitchesAsNonZeroAndWritesThemAsOne) {
    TempDir dir;
    std::wstring file = dir.path("userenv.conf");
    ASSERT_TRUE(WriteBytes(file,
                           "[AV]\r\nMuteMic=2\r\nmutevideo=-1\r\n"
                           "[ROOMSETTING]\r\nShiledColorbar=1\r\nsize=9\r\nBold=7\r\n"
                           "TextColor=0xFF\r\nvideosmooth=1\r\n"
                           "[STRING]\r\nAutoReply=\r\nVideoDevice=cam0\r\n"));
    CUserEnvSetting env;
    ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);
    EXPECT_TRUE(env.m_bMuteMic);
    EXPECT_TRUE(env.m_bMuteVideo);
    EXPECT_FALSE(env.m_bMuteSpeak);
    EXPECT_TRUE(env.m_bShiledColorbar);
    EXPECT_TRUE(env.m_bBold);
    EXPECT_EQ(env.m_nSize, 9);
    EXPECT_EQ(env.m_nTextColor, 255);
    EXPECT_EQ(env.m_nVideoSmooth, 1);
    EXPECT_STREQ(env.m_szAutoReply, L"");  // present, though empty
    EXPECT_STREQ(env.m_szVideoDevice, L"cam0");
    EXPECT_STREQ(env.m_szFontName, L"Times New Roman");

    ASSERT_EQ(env.SaveUserEnviron(), 1);
    wchar_t text[8];
    GetPrivateProfileStringW(L"AV", L"MuteMic", L"", text, 8, file.c_str());
    EXPECT_STREQ(text, L"1");
    GetPrivateProfileStringW(L"ROOMSETTING", L"Bold", L"", text, 8, file.c_str());
    EXPECT_STREQ(text, L"1");
    GetPrivateProfileStringW(L"ROOMSETTING", L"TextColor", L"", text, 8, file.c_str());
    EXPECT_STREQ(text, L"255");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"userenv.conf"});
}

// Every key as the file names it, in its section. Existing users' files carry these
// names, so a misspelt key or a wrong section must show.
struct SwitchKey {
    const char* section;
    const char* key;
    bool CUserEnvSetting::*member;
};
const SwitchKey kSwitchKeys[] = {
    {"AV", "MuteMic", &CUserEnvSetting::m_bMuteMic},
    {"AV", "MuteSpeak", &CUserEnvSetting::m_bMuteSpeak},
    {"AV", "MuteVideo", &CUserEnvSetting::m_bMuteVideo},
    {"AV", "LocalPreview", &CUserEnvSetting::m_bLocalPreview},
    {"AV", "InitVideoCap", &CUserEnvSetting::m_bInitVideoCap},
    {"AV", "InitAudioCap", &CUserEnvSetting::m_bInitAudioCap},
    {"ROOMSETTING", "Anonymity", &CUserEnvSetting::m_bAnonymity},
    {"ROOMSETTING", "AutoReplay", &CUserEnvSetting::m_bAutoReplay},
    {"ROOMSETTING", "AutoWellcome", &CUserEnvSetting::m_bAutoWellcome},
    {"ROOMSETTING", "MassChatWndAutoScroll", &CUserEnvSetting::m_bMassChatWndAutoScroll},
    {"ROOMSETTING", "SelfChatWndAutoScroll", &CUserEnvSetting::m_bSelfChatWndAutoScroll},
    {"ROOMSETTING", "SmallSpeabkerAutoScroll", &CUserEnvSetting::m_bSmallSpeabkerAutoScroll},
    {"ROOMSETTING", "ShiledPublicChat", &CUserEnvSetting::m_bShiledPublicChat},
    {"ROOMSETTING", "ShiledPrivateChat", &CUserEnvSetting::m_bShiledPrivateChat},
    {"ROOMSETTING", "ShiledTmpUserChat", &CUserEnvSetting::m_bShiledTmpUserChat},
    {"ROOMSETTING", "ShiledInoutMsg", &CUserEnvSetting::m_bShiledInoutMsg},
    {"ROOMSETTING", "ShiledGiftOnSmallSpeaker", &CUserEnvSetting::m_bShiledGiftOnSmallSpeaker},
    {"ROOMSETTING", "ShiledGiftShow", &CUserEnvSetting::m_bShiledGiftShow},
    {"ROOMSETTING", "ShiledGiftEffect", &CUserEnvSetting::m_bShiledGiftEffect},
    {"ROOMSETTING", "ShiledGiftEffectSound", &CUserEnvSetting::m_bShiledGiftEffectSound},
    {"ROOMSETTING", "CanShiledMicTipMsg", &CUserEnvSetting::m_bCanShiledMicTipMsg},
    {"ROOMSETTING", "CanShiledSysTipMsg", &CUserEnvSetting::m_bCanShiledSysTipMsg},
    {"ROOMSETTING", "CanShiledTempPubNoticeMsg", &CUserEnvSetting::m_bCanShiledTempPubNoticeMsg},
    {"ROOMSETTING", "ForbidInviteUpMic", &CUserEnvSetting::m_bForbidInviteUpMic},
    {"ROOMSETTING", "ShiledAutoOpenVIPMic", &CUserEnvSetting::m_bShiledAutoOpenVIPMic},
    {"ROOMSETTING", "ShiledColorbar", &CUserEnvSetting::m_bShiledColorbar},
    {"ROOMSETTING", "Bold", &CUserEnvSetting::m_bBold},
    {"ROOMSETTING", "Underline", &CUserEnvSetting::m_bUnderline},
    {"ROOMSETTING", "Italic", &CUserEnvSetting::m_bItalic},
};

struct ValueKey {
    const char* section;
    const char* key;
    std::wstring (*get)(const CUserEnvSetting&);
};
// The numbers first, so that the test's file keeps one ROOMSETTING section.
const ValueKey kValueKeys[] = {
    {"ROOMSETTING", "TextColor",
     [](const CUserEnvSetting& e) { return std::to_wstring(e.m_nTextColor); }},
    {"ROOMSETTING", "size", [](const CUserEnvSetting& e) { return std::to_wstring(e.m_nSize); }},
    {"ROOMSETTING", "videosmooth",
     [](const CUserEnvSetting& e) { return std::to_wstring(e.m_nVideoSmooth); }},
    {"STRING", "AutoReply", [](const CUserEnvSetting& e) { return std::wstring(e.m_szAutoReply); }},
    {"STRING", "AutoWelcome",
     [](const CUserEnvSetting& e) { return std::wstring(e.m_szAutoWelcome); }},
    {"STRING", "VideoDevice",
     [](const CUserEnvSetting& e) { return std::wstring(e.m_szVideoDevice); }},
    {"STRING", "AudioInputDevice",
     [](const CUserEnvSetting& e) { return std::wstring(e.m_szAudioInputDevice); }},
    {"STRING", "AudioOutdevice",
     [](const CUserEnvSetting& e) { return std::wstring(e.m_szAudioOutdevice); }},
    {"STRING", "FontName", [](const CUserEnvSetting& e) { return std::wstring(e.m_szFontName); }},
};

// A value, or with a null key the section's key names, as the profile call gives them.
std::wstring profileText(const char* section, const char* key, const std::wstring& file) {
    wchar_t buf[2048];
    std::wstring s = winplat::Utf8ToWide(section), k = key ? winplat::Utf8ToWide(key) : L"";
    DWORD n = GetPrivateProfileStringW(s.c_str(), key ? k.c_str() : nullptr, L"(missing)", buf,
                                       2048, file.c_str());
    return std::wstring(buf, n);
}

std::set<std::wstring> names(const std::wstring& list) {
    std::set<std::wstring> out;
    for (size_t at = 0; at < list.size();) {
        size_t end = list.find(L'\0', at);
        if (end == std::wstring::npos) end = list.size();
        out.insert(list.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

TEST(UserEnv, EveryKeyLoadsAndSavesUnderItsNameAndSection) {
    // Two phases with opposite switches: every switch is once on, so a key the code
    // spells otherwise cannot pass by loading the default.
    for (int phase = 0; phase < 2; ++phase) {
        SCOPED_TRACE(phase);
        TempDir dir;
        std::wstring file = dir.path("userenv.conf"), fresh = dir.path("fresh.conf");
        auto on = [&](size_t i) { return (i + static_cast<size_t>(phase)) % 2 == 0; };
        auto value = [&](const ValueKey& k) {
            if (std::strcmp(k.section, "STRING") == 0)
                return L"值" + winplat::Utf8ToWide(k.key) + std::to_wstring(phase);
            return std::to_wstring(std::strlen(k.key) * 7 + static_cast<size_t>(phase));
        };
        std::wstring text;
        std::string section;
        auto line = [&](const char* s, const char* key, const std::wstring& v) {
            if (section != s) text += L"[" + winplat::Utf8ToWide(section = s) + L"]\r\n";
            text += winplat::Utf8ToWide(key) + L"=" + v + L"\r\n";
        };
        for (size_t i = 0; i < std::size(kSwitchKeys); ++i)
            line(kSwitchKeys[i].section, kSwitchKeys[i].key, on(i) ? L"1" : L"0");
        for (const ValueKey& k : kValueKeys) line(k.section, k.key, value(k));
        ASSERT_TRUE(WriteBytes(file, winplat::WideToAnsi(text, 936)));

        CUserEnvSetting env;
        ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);
        for (size_t i = 0; i < std::size(kSwitchKeys); ++i)
            EXPECT_EQ(env.*kSwitchKeys[i].member, on(i)) << kSwitchKeys[i].key;
        for (const ValueKey& k : kValueKeys) EXPECT_EQ(k.get(env), value(k)) << k.key;

        // Saved into a new file: each key under its own name, spelt as above, and
        // nothing else (the network-type flag is not stored).
        env.m_nNetType = 1;
        env.m_strFilePath = fresh.c_str();
        ASSERT_EQ(env.SaveUserEnviron(), 1);
        std::map<std::string, std::set<std::wstring>> keysOf;
        for (size_t i = 0; i < std::size(kSwitchKeys); ++i) {
            const SwitchKey& k = kSwitchKeys[i];
            EXPECT_EQ(profileText(k.section, k.key, fresh), on(i) ? L"1" : L"0") << k.key;
            keysOf[k.section].insert(winplat::Utf8ToWide(k.key));
        }
        for (const ValueKey& k : kValueKeys) {
            EXPECT_EQ(profileText(k.section, k.key, fresh), value(k)) << k.key;
            keysOf[k.section].insert(winplat::Utf8ToWide(k.key));
        }
        ASSERT_EQ(keysOf.size(), 3u);  // AV, ROOMSETTING, STRING
        for (const auto& entry : keysOf)
            EXPECT_EQ(names(profileText(entry.first.c_str(), nullptr, fresh)), entry.second)
                << entry.first;
    }
}

TEST(UserEnv, LongTextsAreCutToTheirFields) {
    TempDir dir;
    std::wstring file = dir.path("userenv.conf");
    ASSERT_TRUE(WriteBytes(file, "[STRING]\nVideoDevice=" + std::string(100, 'v') +
                                     "\nAutoReply=" + std::string(600, 'r') + "\n"));
    CUserEnvSetting env;
    ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);
    EXPECT_EQ(std::wstring(env.m_szVideoDevice), std::wstring(63, L'v'));
    EXPECT_EQ(std::wstring(env.m_szAutoReply), std::wstring(511, L'r'));
}

TEST(UserEnv, SaveIntoAMissingFolderFails) {
    TempDir dir;
    std::wstring file = dir.path("gone\\userenv.conf");
    CUserEnvSetting env;
    ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);
    EXPECT_EQ(env.SaveUserEnviron(), 0);
}

}  // namespace
