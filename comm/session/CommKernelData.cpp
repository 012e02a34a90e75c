#include "session/CommKernelData.h"

#include <netdb.h>
#include <netinet/in.h>
#include <arpa/inet.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "catalogs/CaitiaoManager.h"
#include "catalogs/FaceManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "catalogs/UserLevelInfoManager.h"
#include "config/UserLogonManager.h"
#include "model/FixedText.h"
#include "model/RoomGroupManager.h"
#include "model/RoomManager.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "services/MyWaveInCtrl.h"
#include "util/FieldSplit.h"
#include "util/LogPrint.h"

namespace {

const wchar_t kFontSection[] = L"font";
const wchar_t kChatFontFile[] = L"userenv.ini";
const int kDefaultFontSize = 14;
// Longest font name read from the file.
const DWORD kFontNameReadChars = 32;

template <class T>
void DeleteAndNull(T*& p) {
    delete p;
    p = nullptr;
}

}  // namespace

void FillServerTable(tag_ServerAddr* table, const char* text) {
    if (!table) return;
    std::memset(table, 0, sizeof(tag_ServerAddr) * kServerTableSize);
    if (!text) return;
    std::vector<std::string> pieces = fields::Split(std::string(text), ';');
    for (size_t i = 0; i < pieces.size() && i < static_cast<size_t>(kServerTableSize); ++i) {
        std::vector<std::string> parts = fields::Split(pieces[i], ':');
        if (parts.size() != 2) continue;
        // A host that does not fit its field is refused rather than cut into another
        // name.
        if (parts[0].size() >= sizeof table[i].szHost) {
            __log_print__("tag_kerneldata: server host too long, entry %d left empty",
                          static_cast<int>(i));
            continue;
        }
        SetFixedFieldText(table[i].szHost, sizeof table[i].szHost, parts[0].c_str());
        table[i].wPort = static_cast<uint16_t>(fields::ToInt(parts[1]));
    }
}

CCommKernelData::CCommKernelData()
    : m_nCodePage(0),
      m_nLogonWord(0),
      m_nVersionWord(0),
      m_nLogonWord2(0),
      m_szAppPath{},
      m_szAppName{},
      m_nCurRoomId(0),
      m_CurLogonUserData{},
      m_CurJoinRoomUserData{},
      m_GiftRollInfo{},
      m_pUserManager(nullptr),
      m_pRoomManager(nullptr),
      m_pRoomGroupManager(nullptr),
      m_pUserMVManager(nullptr),
      m_pUserLevelInfoManager(nullptr),
      m_pGiftManager(nullptr),
      m_pSealManager(nullptr),
      m_pUserLogonMgr(nullptr),
      m_pCaitiaoManager(nullptr),
      m_pFaceManager(nullptr),
      m_pWaveInCtrl(nullptr),
      m_pLogonSvrTable(nullptr),
      m_pLobbySvrTable(nullptr),
      m_pRoomGateTable(nullptr),
      m_szFontName{},
      m_crTextColor(0),
      m_nFontSize(0),
      m_bBold(0),
      m_bUnderline(0),
      m_bItalic(0) {}

CCommKernelData::~CCommKernelData() {
    uninit();
}

void CCommKernelData::ResetChatFont() {
    std::wmemset(m_szFontName, 0, kChatFontNameChars);
    m_crTextColor = 0;
    m_nFontSize = 0;
    m_bBold = m_bUnderline = m_bItalic = 0;
}

void CCommKernelData::init() {
    m_nVersionWord = 0;
    m_nLogonWord2 = 0;
    m_LocalUser.ClearData();
    m_GlobalConfig.Reset();
    m_UserEnv.Reset();
    std::memset(&m_CurLogonUserData, 0, sizeof m_CurLogonUserData);
    std::memset(&m_CurJoinRoomUserData, 0, sizeof m_CurJoinRoomUserData);
    std::memset(&m_GiftRollInfo, 0, sizeof m_GiftRollInfo);
    ResetChatFont();

    // Program folder and file name: the module path cut at its last backslash.
    wchar_t module[kModulePathChars] = {0};
    // A module path cut to the field would name another folder: none is known then.
    if (GetModuleFileNameW(nullptr, module, kModulePathChars) >=
        static_cast<DWORD>(kModulePathChars))
        module[0] = 0;
    module[kModulePathChars - 1] = 0;
    std::wmemset(m_szAppPath, 0, kModulePathChars);
    std::wmemset(m_szAppName, 0, kModulePathChars);
    if (wchar_t* cut = std::wcsrchr(module, L'\\')) {
        std::wcsncpy(m_szAppName, cut + 1, kModulePathChars - 1);
        *cut = 0;
        std::wcsncpy(m_szAppPath, module, kModulePathChars - 1);
    } else {
        std::wcsncpy(m_szAppName, module, kModulePathChars - 1);
    }

    if (!m_pUserManager) m_pUserManager = new CUserManager();
    if (!m_pRoomManager) m_pRoomManager = new CRoomManager();
    if (!m_pRoomGroupManager) m_pRoomGroupManager = new CRoomGroupManager();
    if (!m_pUserMVManager) m_pUserMVManager = new CUserMVManager();
    if (!m_pUserLevelInfoManager) m_pUserLevelInfoManager = new CUserLevelInfoManager();
    if (!m_pGiftManager) m_pGiftManager = new CGiftManager();
    if (!m_pSealManager) m_pSealManager = new CSealManager();
    if (!m_pUserLogonMgr) m_pUserLogonMgr = new CUserLogonManager();
    if (!m_pCaitiaoManager) m_pCaitiaoManager = new CCaitiaoManager();
    if (!m_pFaceManager) m_pFaceManager = new CFaceManager();
    if (!m_pWaveInCtrl) m_pWaveInCtrl = new CMyWaveInCtrl();
    if (!m_pLogonSvrTable) m_pLogonSvrTable = new tag_ServerAddr[kServerTableSize]();
    if (!m_pLobbySvrTable) m_pLobbySvrTable = new tag_ServerAddr[kServerTableSize]();
    if (!m_pRoomGateTable) m_pRoomGateTable = new tag_ServerAddr[kServerTableSize]();
    m_pUserManager->SetLocalUser(&m_LocalUser);

    // Traditional-Chinese systems talk to the same servers: use GBK when it is there.
    UINT cp = GetACP();
    if (cp == 950 && IsValidCodePage(936)) cp = 936;
    m_nCodePage = static_cast<int32_t>(cp);

    CheckSysNetType();

    m_PropsTaskMgr.Init();
    m_PropsTaskMgr.SetAppPath(m_szAppPath);
}

int CCommKernelData::LoadGlobalConf(wchar_t* path) {
    m_GlobalConfig.SetCodePage(static_cast<unsigned>(m_nCodePage));
    if (!m_GlobalConfig.LoadFile(path)) return 0;
    char text[sizeof m_GlobalConfig.logonsvr + 1];
    // The fields came from a file: read them as bounded texts.
    SetFixedFieldText(
        text, sizeof text,
        FixedFieldText(m_GlobalConfig.logonsvr, sizeof m_GlobalConfig.logonsvr).c_str());
    FillServerTable(m_pLogonSvrTable, text);
    SetFixedFieldText(
        text, sizeof text,
        FixedFieldText(m_GlobalConfig.lobbysvr, sizeof m_GlobalConfig.lobbysvr).c_str());
    FillServerTable(m_pLobbySvrTable, text);
    return 1;
}

void CCommKernelData::SetRoomGateAddr(char* text) {
    FillServerTable(m_pRoomGateTable, text);
}

void CCommKernelData::CheckSysNetType() {
    m_UserEnv.m_nNetType = 0;
    const char* host = std::getenv(MIVORA_NET_PROBE_ENV);
    if (!host || !*host) return;
    hostent* he = gethostbyname(host);
    if (!he || he->h_addrtype != AF_INET || !he->h_addr_list || !he->h_addr_list[0]) return;
    in_addr first;
    std::memcpy(&first, he->h_addr_list[0], sizeof first);
    if (std::strcmp(inet_ntoa(first), "10.0.0.2") == 0) m_UserEnv.m_nNetType = 1;
}

wchar_t* CCommKernelData::GetLevelImgName(int kind, int level) {
    if (!m_pUserLevelInfoManager) return nullptr;
    tag_UserLevelDescInfo* desc = m_pUserLevelInfoManager->FindLevelDesc(kind, level);
    if (!desc || desc->image1.empty()) return nullptr;
    return &desc->image1[0];
}

int CCommKernelData::GetLevelSortId(int kind, int level) {
    if (!m_pUserLevelInfoManager) return 0;
    tag_UserLevelDescInfo* desc = m_pUserLevelInfoManager->FindLevelDesc(kind, level);
    return desc ? desc->descValue1 : 0;
}

void CCommKernelData::ChatFontFile(wchar_t* out, size_t count) const {
    swprintf(out, count, L"%ls\\%ls", m_szAppPath, kChatFontFile);
}

int CCommKernelData::LoadChatFont() {
    wchar_t file[kModulePathChars + 32];
    ChatFontFile(file, sizeof file / sizeof file[0]);
    if (GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES) return 0;
    wchar_t name[kFontNameReadChars + 1] = {0};
    GetPrivateProfileStringW(kFontSection, L"name", L"", name, kFontNameReadChars + 1, file);
    std::wmemset(m_szFontName, 0, kChatFontNameChars);
    std::wcsncpy(m_szFontName, name, kChatFontNameChars - 1);
    m_nFontSize =
        static_cast<int32_t>(GetPrivateProfileIntW(kFontSection, L"size", kDefaultFontSize, file));
    m_bBold = GetPrivateProfileIntW(kFontSection, L"bold", 0, file) ? 1 : 0;
    m_bUnderline = GetPrivateProfileIntW(kFontSection, L"underline", 0, file) ? 1 : 0;
    m_bItalic = GetPrivateProfileIntW(kFontSection, L"italic", 0, file) ? 1 : 0;
    m_crTextColor = static_cast<COLORREF>(GetPrivateProfileIntW(kFontSection, L"color", 0, file));
    return 1;
}

void CCommKernelData::SaveChatFont() {
    wchar_t file[kModulePathChars + 32];
    ChatFontFile(file, sizeof file / sizeof file[0]);
    wchar_t number[32];
    WritePrivateProfileStringW(kFontSection, L"name", m_szFontName, file);
    swprintf(number, 32, L"%d", m_nFontSize);
    WritePrivateProfileStringW(kFontSection, L"size", number, file);
    swprintf(number, 32, L"%d", m_bBold);
    WritePrivateProfileStringW(kFontSection, L"bold", number, file);
    swprintf(number, 32, L"%d", m_bUnderline);
    WritePrivateProfileStringW(kFontSection, L"underline", number, file);
    swprintf(number, 32, L"%d", m_bItalic);
    WritePrivateProfileStringW(kFontSection, L"italic", number, file);
    swprintf(number, 32, L"%u", static_cast<unsigned>(m_crTextColor));
    WritePrivateProfileStringW(kFontSection, L"color", number, file);
}

void CCommKernelData::SetRichEdtFont(const wchar_t* name, int size, bool bold, bool underline,
                                     bool italic) {
    std::wmemset(m_szFontName, 0, kChatFontNameChars);
    if (name) std::wcsncpy(m_szFontName, name, kChatFontNameChars - 1);
    m_nFontSize = size;
    m_bBold = bold ? 1 : 0;
    m_bUnderline = underline ? 1 : 0;
    m_bItalic = italic ? 1 : 0;
}

void CCommKernelData::SetRichEdtTextColor(unsigned long colour) {
    m_crTextColor = static_cast<COLORREF>(colour);
}

void CCommKernelData::uninit() {
    m_UserEnv.SaveUserEnviron();
    m_PropsTaskMgr.Uninit();
    delete[] m_pLogonSvrTable;
    delete[] m_pLobbySvrTable;
    delete[] m_pRoomGateTable;
    m_pLogonSvrTable = m_pLobbySvrTable = m_pRoomGateTable = nullptr;
    if (m_pUserManager) m_pUserManager->Uninit();
    DeleteAndNull(m_pUserManager);
    if (m_pRoomGroupManager) m_pRoomGroupManager->ClearData();
    DeleteAndNull(m_pRoomGroupManager);
    if (m_pUserMVManager) m_pUserMVManager->ClearData();
    DeleteAndNull(m_pUserMVManager);
    if (m_pUserLogonMgr) m_pUserLogonMgr->clearData();
    DeleteAndNull(m_pUserLogonMgr);
    DeleteAndNull(m_pRoomManager);
    DeleteAndNull(m_pCaitiaoManager);
    DeleteAndNull(m_pFaceManager);
    // The remaining catalogs and the mixer go too, so that nothing is left behind
    // when the object is destroyed.
    DeleteAndNull(m_pUserLevelInfoManager);
    DeleteAndNull(m_pGiftManager);
    DeleteAndNull(m_pSealManager);
    DeleteAndNull(m_pWaveInCtrl);
}
