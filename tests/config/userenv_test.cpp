#include <gtest/gtest.h>

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

TEST(UserEnv, EverySettingSurvivesSaveAndLoad) {
    TempDir dir;
    std::wstring file = dir.path("userenv.conf");
    CUserEnvSetting env;
    ASSERT_EQ(env.LoadUserEnviron(&file[0]), 1);
    bool* switches[] = {
        &env.m_bMuteMic,
        &env.m_bMuteSpeak,
        &env.m_bMuteVideo,
        &env.m_bLocalPreview,
        &env.m_bInitVideoCap,
        &env.m_bInitAudioCap,
        &env.m_bAnonymity,
        &env.m_bAutoReplay,
        &env.m_bAutoWellcome,
        &env.m_bMassChatWndAutoScroll,
        &env.m_bSelfChatWndAutoScroll,
        &env.m_bSmallSpeabkerAutoScroll,
        &env.m_bShiledPublicChat,
        &env.m_bShiledPrivateChat,
        &env.m_bShiledTmpUserChat,
        &env.m_bShiledInoutMsg,
        &env.m_bShiledGiftOnSmallSpeaker,
        &env.m_bShiledGiftShow,
        &env.m_bShiledGiftEffect,
        &env.m_bShiledGiftEffectSound,
        &env.m_bCanShiledMicTipMsg,
        &env.m_bCanShiledSysTipMsg,
        &env.m_bCanShiledTempPubNoticeMsg,
        &env.m_bForbidInviteUpMic,
        &env.m_bShiledAutoOpenVIPMic,
        &env.m_bShiledColorbar,
        &env.m_bBold,
        &env.m_bUnderline,
        &env.m_bItalic,
    };
    // Alternate on and off so a switch stored under another's key shows.
    for (size_t i = 0; i < sizeof switches / sizeof switches[0]; ++i) *switches[i] = i % 2 == 0;
    wcscpy_s(env.m_szAutoReply, L"稍后回来");
    wcscpy_s(env.m_szAutoWelcome, L"欢迎");
    wcscpy_s(env.m_szVideoDevice, L"USB Camera");
    wcscpy_s(env.m_szAudioInputDevice, L"Mic (USB)");
    wcscpy_s(env.m_szAudioOutdevice, L"Speakers");
    wcscpy_s(env.m_szFontName, L"宋体");
    env.m_nTextColor = 0x123456;
    env.m_nSize = 11;
    env.m_nVideoSmooth = 2;
    env.m_nNetType = 1;  // not stored
    ASSERT_EQ(env.SaveUserEnviron(), 1);

    CUserEnvSetting back;
    ASSERT_EQ(back.LoadUserEnviron(&file[0]), 1);
    bool* backSwitches[] = {
        &back.m_bMuteMic,
        &back.m_bMuteSpeak,
        &back.m_bMuteVideo,
        &back.m_bLocalPreview,
        &back.m_bInitVideoCap,
        &back.m_bInitAudioCap,
        &back.m_bAnonymity,
        &back.m_bAutoReplay,
        &back.m_bAutoWellcome,
        &back.m_bMassChatWndAutoScroll,
        &back.m_bSelfChatWndAutoScroll,
        &back.m_bSmallSpeabkerAutoScroll,
        &back.m_bShiledPublicChat,
        &back.m_bShiledPrivateChat,
        &back.m_bShiledTmpUserChat,
        &back.m_bShiledInoutMsg,
        &back.m_bShiledGiftOnSmallSpeaker,
        &back.m_bShiledGiftShow,
        &back.m_bShiledGiftEffect,
        &back.m_bShiledGiftEffectSound,
        &back.m_bCanShiledMicTipMsg,
        &back.m_bCanShiledSysTipMsg,
        &back.m_bCanShiledTempPubNoticeMsg,
        &back.m_bForbidInviteUpMic,
        &back.m_bShiledAutoOpenVIPMic,
        &back.m_bShiledColorbar,
        &back.m_bBold,
        &back.m_bUnderline,
        &back.m_bItalic,
    };
    for (size_t i = 0; i < sizeof backSwitches / sizeof backSwitches[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(*backSwitches[i], i % 2 == 0);
    }
    EXPECT_STREQ(back.m_szAutoReply, L"稍后回来");
    EXPECT_STREQ(back.m_szAutoWelcome, L"欢迎");
    EXPECT_STREQ(back.m_szVideoDevice, L"USB Camera");
    EXPECT_STREQ(back.m_szAudioInputDevice, L"Mic (USB)");
    EXPECT_STREQ(back.m_szAudioOutdevice, L"Speakers");
    EXPECT_STREQ(back.m_szFontName, L"宋体");
    EXPECT_EQ(back.m_nTextColor, 0x123456);
    EXPECT_EQ(back.m_nSize, 11);
    EXPECT_EQ(back.m_nVideoSmooth, 2);
    EXPECT_EQ(back.m_nNetType, 0);
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
