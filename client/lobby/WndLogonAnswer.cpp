// The logon answer: the version check that may start the updater, and the user's
// set-up (folder, skin, environment, saved account, automatic start).
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <string>

#include "app/ClientApp.h"
#include "app/SkinTable.h"
#include "config/UserLogonManager.h"
#include "controls/KernelData.h"
#include "lobby/AnsiText.h"
#include "lobby/WndLogon.h"
#include "model/FixedText.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"
#include "util/SysInfo.h"

using namespace DuiLib;

namespace {

// The value name of the program's automatic start entry.
const wchar_t kAutoStartName[] = L"Mivora";

// The first line of a small text file, at most `limit` characters; empty when the
// file cannot be read.
std::wstring FirstLine(const std::wstring& path, size_t limit) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return std::wstring();
    char buffer[64] = {};
    size_t n = std::fread(buffer, 1, sizeof(buffer) - 1, f);
    std::fclose(f);
    std::string line(buffer, n);
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line.size() > limit) line.resize(limit);
    return WideFromAnsi(line, KernelCodePage());
}

}  // namespace

std::wstring QuoteArgument(const std::wstring& arg) {
    if (arg.find_first_of(L" \t") == std::wstring::npos && !arg.empty()) return arg;
    return L"\"" + arg + L"\"";
}

void CWndLogon::OnLogonOk(char*) {
    LobbyTrace("tag_logon: step2: 正在获取房间组信息!\n");
    if (VersionDiffers()) {
        StartUpdater();
        Close(2);
        return;
    }
    SetUpUser();
}

bool CWndLogon::VersionDiffers() {
    CCommKernelData* data = KernelData();
    uint32_t word = data ? static_cast<uint32_t>(data->m_nVersionWord) : 0;
    unsigned char b[4];
    std::memcpy(b, &word, sizeof(b));
    char quad[32];
    std::snprintf(quad, sizeof(quad), "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    std::wstring version = WideFromAnsi(quad, KernelCodePage());

    std::wstring ini = std::wstring(theApp.GetAppPath()) + L"\\update.ini";
    GetPrivateProfileStringW(L"version", L"updatesubver", L"", theApp.m_szUpdateSubVer,
                             kUpdateSubVerChars, ini.c_str());
    bool present = GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES;
    return !present || version != theApp.m_szUpdateSubVer;
}

void CWndLogon::StartUpdater() {
    CCommKernelData* data = KernelData();
    std::wstring updater = std::wstring(theApp.GetAppPath()) + L"\\OnlineUpdate.exe";
    long now = static_cast<long>(std::time(nullptr));
    const CGLobalConfigFile& conf = data->m_GlobalConfig;
    std::wstring url1 = std::wstring(conf.ver_url1) + L"ver.php?time=" + std::to_wstring(now);
    std::wstring url2 = std::wstring(conf.ver_url2) + L"ver.php?time=" + std::to_wstring(now);
    std::wstring softname =
        WideFromAnsi(FixedFieldText(conf.softname, sizeof(conf.softname)), KernelCodePage());
    // A program folder or an address with a blank would otherwise split into
    // several arguments.
    std::wstring params = QuoteArgument(theApp.m_szUpdateSubVer) + L" " + QuoteArgument(url1) +
                          L" " + QuoteArgument(url2) + L" " + QuoteArgument(data->m_szAppName) +
                          L" " + QuoteArgument(softname);
    std::wstring command = QuoteArgument(updater) + L" " + params;

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring line = command;
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return;
    }
    HINSTANCE r =
        ShellExecuteW(nullptr, L"open", updater.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(r) > 32) return;
    DWORD error = GetLastError();
    const std::wstring text = winplat::FormatText(
        L"启动更新失败, 文件资源被破坏, 请重新从官网上下载最新版本客户端 error = "
        L"%d\n官网地址:%ls",
        static_cast<int>(error), conf.www_page);
    MessageBoxW(nullptr, text.c_str(), L"错误", MB_OK);
}

void CWndLogon::SetUpUser() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    theApp.SetUserDataPath(data->GetLocalUser()->userId);
    std::wstring userDir = theApp.GetUserDataPath();

    std::wstring skin = FirstLine(userDir + L"\\skin.txt", 31);
    if (!skin.empty()) {
        long id = std::wcstol(skin.c_str(), nullptr, 10);
        if (id >= 1 && id <= kSkinCount) SelectSkin(static_cast<int>(id));
    }

    std::wstring env = userDir + L"\\userenv.conf";
    CUserEnvSetting& ue = data->m_UserEnv;
    ue.LoadUserEnviron(&env[0]);
    SetFixedFieldText(data->m_szFontName, kChatFontNameChars, ue.m_szFontName);
    data->m_crTextColor = static_cast<COLORREF>(ue.m_nTextColor);
    data->m_nFontSize = ue.m_nSize;
    data->m_bBold = ue.m_bBold;
    data->m_bUnderline = ue.m_bUnderline;
    data->m_bItalic = ue.m_bItalic;
    data->m_PropsTaskMgr.SetShiledPlayFlash(ue.m_bShiledGiftEffect);
    data->m_PropsTaskMgr.SetShiledPlayFlashSound(ue.m_bShiledGiftEffectSound);

    CUserLogonManager* mgr = data->m_pUserLogonMgr;
    tag_LogonUserData* rec = data->GetCurLogonUserData();
    if (mgr && rec->nUserId != 0) {
        mgr->addLogonData(*rec);
        mgr->setSavePwd(IsChecked(m_pSavePwdCheck));
        mgr->setAutoStart(IsChecked(m_pAutoRunCheck));
        mgr->saveFileData();
    }
    SetAutoStart(kAutoStartName, IsChecked(m_pAutoRunCheck) ? 1 : 0);
}
