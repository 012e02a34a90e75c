// The per-user room preferences (audio and video switches, chat and shielding
// switches, automatic texts, devices, the chat font), kept in the user's ini file.
// The windows read and write the members directly; the file is written at shutdown.
#pragma once

#include "win32/cstring.h"

class CUserEnvSetting {
public:
    CUserEnvSetting();

    // Every switch, number and style 0, every text empty, size 14, smoothness 3.
    void Reset();
    // 0 for a null path; otherwise keeps the path and reads every key (the defaults
    // for a missing file or key); 1.
    int LoadUserEnviron(wchar_t* path);
    // 0 while no file was loaded, or when the file cannot be written; 1 otherwise.
    int SaveUserEnviron();
    int ReadUserText(wchar_t* path);
    int SaveUserText(wchar_t* path);
    int ReadChatForamtConfig(char* path);
    int SaveChatForamtConfig(char* path);

    CString m_strFilePath;
    int m_nReserved1;
    int m_nReserved2;
    int m_nReserved3;
    int m_nReserved4;
    int m_nNetType;  // set by the session state's network check, never stored

    // Section "AV".
    bool m_bMuteMic;
    bool m_bMuteSpeak;
    bool m_bMuteVideo;
    bool m_bLocalPreview;
    bool m_bInitVideoCap;
    bool m_bInitAudioCap;
    // Section "ROOMSETTING"; members carry the names of their keys.
    bool m_bAnonymity;
    bool m_bAutoReplay;
    bool m_bAutoWellcome;
    bool m_bMassChatWndAutoScroll;
    bool m_bSelfChatWndAutoScroll;
    bool m_bSmallSpeabkerAutoScroll;
    bool m_bShiledPublicChat;
    bool m_bShiledPrivateChat;
    bool m_bShiledTmpUserChat;
    bool m_bShiledInoutMsg;
    bool m_bShiledGiftOnSmallSpeaker;
    bool m_bShiledGiftShow;
    bool m_bShiledGiftEffect;
    bool m_bShiledGiftEffectSound;
    bool m_bCanShiledMicTipMsg;
    bool m_bCanShiledSysTipMsg;
    bool m_bCanShiledTempPubNoticeMsg;
    bool m_bForbidInviteUpMic;
    bool m_bShiledAutoOpenVIPMic;
    bool m_bShiledColorbar;

    // Section "STRING".
    wchar_t m_szAutoReply[512];
    wchar_t m_szAutoWelcome[512];
    wchar_t m_szVideoDevice[64];
    wchar_t m_szAudioInputDevice[64];
    wchar_t m_szAudioOutdevice[64];
    wchar_t m_szFontName[64];

    // Section "ROOMSETTING": the chat font's colour, size and styles, and the
    // video smoothness preset (1 to 3).
    int m_nTextColor;
    int m_nSize;
    bool m_bBold;
    bool m_bUnderline;
    bool m_bItalic;
    int m_nVideoSmooth;
};
