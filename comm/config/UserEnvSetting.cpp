#include "config/UserEnvSetting.h"

#include <cwchar>
#include <string>

#include "util/LogPrint.h"
#include "win32/win32.h"

namespace {

const wchar_t kAv[] = L"AV";
const wchar_t kRoom[] = L"ROOMSETTING";
const wchar_t kString[] = L"STRING";

struct SwitchKey {
    const wchar_t* section;
    const wchar_t* key;
    bool CUserEnvSetting::*member;
};

// Every switch defaults to off.
const SwitchKey kSwitches[] = {
    {kAv, L"MuteMic", &CUserEnvSetting::m_bMuteMic},
    {kAv, L"MuteSpeak", &CUserEnvSetting::m_bMuteSpeak},
    {kAv, L"MuteVideo", &CUserEnvSetting::m_bMuteVideo},
    {kAv, L"LocalPreview", &CUserEnvSetting::m_bLocalPreview},
    {kAv, L"InitVideoCap", &CUserEnvSetting::m_bInitVideoCap},
    {kAv, L"InitAudioCap", &CUserEnvSetting::m_bInitAudioCap},
    {kRoom, L"Anonymity", &CUserEnvSetting::m_bAnonymity},
    {kRoom, L"AutoReplay", &CUserEnvSetting::m_bAutoReplay},
    {kRoom, L"AutoWellcome", &CUserEnvSetting::m_bAutoWellcome},
    {kRoom, L"MassChatWndAutoScroll", &CUserEnvSetting::m_bMassChatWndAutoScroll},
    {kRoom, L"SelfChatWndAutoScroll", &CUserEnvSetting::m_bSelfChatWndAutoScroll},
    {kRoom, L"SmallSpeabkerAutoScroll", &CUserEnvSetting::m_bSmallSpeabkerAutoScroll},
    {kRoom, L"ShiledPublicChat", &CUserEnvSetting::m_bShiledPublicChat},
    {kRoom, L"ShiledPrivateChat", &CUserEnvSetting::m_bShiledPrivateChat},
    {kRoom, L"ShiledTmpUserChat", &CUserEnvSetting::m_bShiledTmpUserChat},
    {kRoom, L"ShiledInoutMsg", &CUserEnvSetting::m_bShiledInoutMsg},
    {kRoom, L"ShiledGiftOnSmallSpeaker", &CUserEnvSetting::m_bShiledGiftOnSmallSpeaker},
    {kRoom, L"ShiledGiftShow", &CUserEnvSetting::m_bShiledGiftShow},
    {kRoom, L"ShiledGiftEffect", &CUserEnvSetting::m_bShiledGiftEffect},
    {kRoom, L"ShiledGiftEffectSound", &CUserEnvSetting::m_bShiledGiftEffectSound},
    {kRoom, L"CanShiledMicTipMsg", &CUserEnvSetting::m_bCanShiledMicTipMsg},
    {kRoom, L"CanShiledSysTipMsg", &CUserEnvSetting::m_bCanShiledSysTipMsg},
    {kRoom, L"CanShiledTempPubNoticeMsg", &CUserEnvSetting::m_bCanShiledTempPubNoticeMsg},
    {kRoom, L"ForbidInviteUpMic", &CUserEnvSetting::m_bForbidInviteUpMic},
    {kRoom, L"ShiledAutoOpenVIPMic", &CUserEnvSetting::m_bShiledAutoOpenVIPMic},
    {kRoom, L"ShiledColorbar", &CUserEnvSetting::m_bShiledColorbar},
};

struct TextKey {
    const wchar_t* key;
    const wchar_t* defaultValue;
    wchar_t* (*field)(CUserEnvSetting&);
    size_t count;
};

#define TEXT_FIELD(m) \
    [](CUserEnvSetting& s) -> wchar_t* { return s.m; }, sizeof(CUserEnvSetting::m) / sizeof(wchar_t)

const TextKey kTexts[] = {
    {L"AutoReply", L"您好,我有事不在......", TEXT_FIELD(m_szAutoReply)},
    {L"AutoWelcome", L"欢迎来到本房间,祝您玩得开心!", TEXT_FIELD(m_szAutoWelcome)},
    {L"VideoDevice", L"", TEXT_FIELD(m_szVideoDevice)},
    {L"AudioInputDevice", L"", TEXT_FIELD(m_szAudioInputDevice)},
    {L"AudioOutdevice", L"", TEXT_FIELD(m_szAudioOutdevice)},
    {L"FontName", L"Times New Roman", TEXT_FIELD(m_szFontName)},
};

struct StyleKey {
    const wchar_t* key;
    bool CUserEnvSetting::*member;
};

const StyleKey kStyles[] = {
    {L"Bold", &CUserEnvSetting::m_bBold},
    {L"Underline", &CUserEnvSetting::m_bUnderline},
    {L"Italic", &CUserEnvSetting::m_bItalic},
};

struct NumberKey {
    const wchar_t* key;
    int defaultValue;
    int CUserEnvSetting::*member;
};

const NumberKey kNumbers[] = {
    {L"TextColor", 0, &CUserEnvSetting::m_nTextColor},
    {L"size", 14, &CUserEnvSetting::m_nSize},
    {L"videosmooth", 3, &CUserEnvSetting::m_nVideoSmooth},
};

bool writeNumber(const wchar_t* section, const wchar_t* key, int value, const wchar_t* path) {
    return WritePrivateProfileStringW(section, key, std::to_wstring(value).c_str(), path) != FALSE;
}

}  // namespace

CUserEnvSetting::CUserEnvSetting() {
    Reset();
}

void CUserEnvSetting::Reset() {
    m_nReserved1 = m_nReserved2 = m_nReserved3 = m_nReserved4 = 0;
    m_nNetType = 0;
    for (const SwitchKey& k : kSwitches) this->*k.member = false;
    for (const TextKey& k : kTexts) std::wmemset(k.field(*this), 0, k.count);
    for (const StyleKey& k : kStyles) this->*k.member = false;
    m_nTextColor = 0;
    m_nSize = 14;
    m_nVideoSmooth = 3;
}

int CUserEnvSetting::LoadUserEnviron(wchar_t* path) {
    if (!path) return 0;
    m_strFilePath = path;
    for (const SwitchKey& k : kSwitches)
        this->*k.member = GetPrivateProfileIntW(k.section, k.key, 0, path) != 0;
    for (const TextKey& k : kTexts)
        GetPrivateProfileStringW(kString, k.key, k.defaultValue, k.field(*this),
                                 static_cast<DWORD>(k.count), path);
    for (const NumberKey& k : kNumbers)
        this->*k.member =
            static_cast<int>(GetPrivateProfileIntW(kRoom, k.key, k.defaultValue, path));
    for (const StyleKey& k : kStyles)
        this->*k.member = GetPrivateProfileIntW(kRoom, k.key, 0, path) != 0;
    return 1;
}

int CUserEnvSetting::SaveUserEnviron() {
    if (m_strFilePath.IsEmpty()) return 0;
    // The keys go into a copy that then replaces the file in one step: a crash half-way
    // leaves the old settings whole, never some keys old and some new.
    const std::wstring target = m_strFilePath.GetString();
    const std::wstring work = target + L".saving";
    DeleteFileW(work.c_str());
    if (PathFileExistsW(target.c_str()) && !CopyFileW(target.c_str(), work.c_str(), FALSE)) {
        __log_print__("tag_userenv: 用户设置写入失败, 文件保持原样.");
        return 0;
    }
    const wchar_t* path = work.c_str();
    bool ok = true;
    for (const SwitchKey& k : kSwitches)
        ok &= WritePrivateProfileStringW(k.section, k.key, this->*k.member ? L"1" : L"0", path) !=
              FALSE;
    for (const TextKey& k : kTexts) {
        // The windows fill these fields; never read past one that lost its NUL.
        std::wstring text(k.field(*this), wcsnlen(k.field(*this), k.count));
        if (k.field(*this) == m_szAutoReply || k.field(*this) == m_szAutoWelcome) {
            // Free texts: a line break would end the value (and the next line become a
            // key), and the reader trims blanks and one pair of quotes, so the value
            // goes on one line inside quotes of its own.
            for (wchar_t& c : text)
                if (c == L'\r' || c == L'\n') c = L' ';
            text = L"\"" + text + L"\"";
        }
        ok &= WritePrivateProfileStringW(kString, k.key, text.c_str(), path) != FALSE;
    }
    ok &= writeNumber(kRoom, L"TextColor", m_nTextColor, path);
    ok &= writeNumber(kRoom, L"size", m_nSize, path);
    for (const StyleKey& k : kStyles)
        ok &=
            WritePrivateProfileStringW(kRoom, k.key, this->*k.member ? L"1" : L"0", path) != FALSE;
    ok &= writeNumber(kRoom, L"videosmooth", m_nVideoSmooth, path);
    if (ok && MoveFileExW(path, target.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
    DeleteFileW(path);
    __log_print__("tag_userenv: 用户设置写入失败, 文件保持原样.");
    return 0;
}

int CUserEnvSetting::ReadUserText(wchar_t*) {
    return 0;
}

int CUserEnvSetting::SaveUserText(wchar_t*) {
    return 0;
}

int CUserEnvSetting::ReadChatForamtConfig(char*) {
    return 0;
}

int CUserEnvSetting::SaveChatForamtConfig(char*) {
    return 1;
}
