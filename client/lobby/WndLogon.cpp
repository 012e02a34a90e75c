#include "lobby/WndLogon.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwctype>

#include "app/ClientApp.h"
#include "app/LaterWindows.h"
#include "app/ProductInfo.h"
#include "config/UserLogonManager.h"
#include "controls/KernelData.h"
#include "controls/MultiImageUI.h"
#include "kernel/CommKernel.h"
#include "kernel/NotificationCopy.h"
#include "kernel/Notifications.h"
#include "lobby/AnsiText.h"
#include "lobby/LobbyPrompts.h"
#include "lobby/LogonCheck.h"
#include "model/FixedText.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "services/HttpGet.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {
    "CWndLogon",
    L"WndLogin.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    true};

const wchar_t kBadInput[] = L"帐号/密码输入有误,请检查重新输入!";
// The password field of the logon record keeps 16 bytes and its NUL.
constexpr size_t kLogonPasswordBytes = 16;
// The first bytes of the logon record: user id and password.
constexpr size_t kLogonRecordHead = 24;

const wchar_t* const kAdImages[] = {L"logon/111.jpg", L"logon/222.jpg", L"logon/333.jpg",
                                    L"logon/444.jpg", L"logon/555.jpg"};

CCommKernel* Kernel() {
    return CCommKernel::GetInstance();
}

// Whether a logon server entry has an address to connect to.
bool ServerFilled(int index) {
    CCommKernelData* data = KernelData();
    if (!data || !data->m_pLogonSvrTable || index < 0 || index >= kServerTableSize) return false;
    const tag_ServerAddr& entry = data->m_pLogonSvrTable[index];
    return entry.szHost[0] != '\0' && entry.wPort != 0;
}

// The first filled entry from `from` on, going round; `from` itself when none is.
int NextFilledServer(int from) {
    for (int step = 0; step < kServerTableSize; ++step) {
        int index = (from + step) % kServerTableSize;
        if (ServerFilled(index)) return index;
    }
    return from;
}

// A saved account's password: at most 16 characters before its NUL.
std::string FixedPassword(const tag_LogonUserData& rec) {
    return FixedFieldText(rec.szPassword, kLogonPasswordBytes);
}

}  // namespace

int ParseAccountNumber(const wchar_t* text) {
    if (!text || !*text) return 0;
    long long value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p < L'0' || *p > L'9') return 0;
        value = value * 10 + (*p - L'0');
        if (value > INT_MAX) return 0;
    }
    return static_cast<int>(value);
}

CWndLogon::CWndLogon() = default;

CWndLogon::~CWndLogon() = default;

const SkinWndTraits& CWndLogon::Traits() const {
    return kTraits;
}

LRESULT CWndLogon::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (theApp.m_hSmallIcon)
        ::SendMessageW(m_hWnd, WM_SETICON, 0, reinterpret_cast<LPARAM>(theApp.m_hSmallIcon));
    LRESULT r = CSkinWnd::OnCreate(uMsg, wParam, lParam, bHandled);
    m_pm.AddPreMessageFilter(this);
    return r;
}

LRESULT CWndLogon::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
    if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ::PostQuitMessage(0);
        bHandled = true;
    }
    return 0;
}

void CWndLogon::InitWindow() {
    CSkinWnd::InitWindow();
    m_pAdImage = dynamic_cast<CMultiImageUI*>(Find(L"ad_image"));
    m_pMinBtn = Find(L"minbtn");
    m_pAccountEdit = Find(L"accountedit");
    m_pPwdEdit = Find(L"pwdedit");
    m_pLoginBtn = Find(L"login");
    m_pGuestBtn = Find(L"gusetlogin");
    m_pRegisterBtn = Find(L"register");
    m_pGetPwdBtn = Find(L"getpwd");
    m_pSavePwdCheck = Find(L"check_savepwd");
    m_pAutoRunCheck = Find(L"check_autorun");
    m_pAccountCombo = dynamic_cast<CComboUI*>(Find(L"accountcombo"));
    m_pSwitchPane = Find(L"switchpane");
    m_pStateInfo = Find(L"stateinfo");
    m_pCaption = Find(L"wincaption");

    if (m_pCaption) m_pCaption->SetText(MIVORA_PRODUCT_TITLE L"v10.1");
    EnableLogonControls(false);
    m_pCheck = std::make_unique<CLogonCheck>(m_hWnd, theApp.GetDataRoot(), GetUpdateBaseUrl());
    m_pCheck->Start();
    if (m_pAccountEdit) m_pAccountEdit->SetFocus();
    FillSavedAccounts();
    if (m_pAdImage) {
        for (const wchar_t* image : kAdImages) m_pAdImage->AddImage(image);
        m_pAdImage->StartTimer();
    }
}

void CWndLogon::EnableLogonControls(bool enable) {
    for (CControlUI* c : {m_pCloseBtn, m_pLoginBtn, m_pGuestBtn, m_pRegisterBtn})
        if (c) c->SetEnabled(enable);
}

bool CWndLogon::IsChecked(CControlUI* box) const {
    auto* option = box ? static_cast<COptionUI*>(box->GetInterface(L"Option")) : nullptr;
    return option && option->IsSelected();
}

void CWndLogon::SetChecked(CControlUI* box, bool checked) {
    if (auto* option = box ? static_cast<COptionUI*>(box->GetInterface(L"Option")) : nullptr)
        option->Selected(checked, false);
}

void CWndLogon::FillSavedAccounts() {
    CUserLogonManager* mgr = KernelData() ? KernelData()->m_pUserLogonMgr : nullptr;
    if (!mgr) return;
    // Selecting the first item below is not a person's choice: the first account's
    // own rule fills the password.
    m_bFillingAccounts = true;
    if (m_pAccountCombo) {
        for (const tag_LogonUserData& rec : mgr->m_listLogonData) {
            auto* item = new CListLabelElementUI;
            item->SetText(std::to_wstring(rec.nUserId).c_str());
            item->SetTag(static_cast<UINT_PTR>(static_cast<unsigned>(rec.nUserId)));
            m_pAccountCombo->Add(item);
        }
        if (m_pAccountCombo->GetCount() > 0) {
            m_pAccountCombo->SelectItem(0);
            if (m_pAccountEdit) m_pAccountEdit->SetText(m_pAccountCombo->GetText());
        }
    }
    m_bFillingAccounts = false;
    if (!mgr->m_listLogonData.empty()) {
        const tag_LogonUserData& first = mgr->m_listLogonData.front();
        // Byte 17 of the password field is the account's save-password flag.
        std::string pwd = FixedPassword(first);
        if (first.szPassword[17] == 1 && !pwd.empty()) {
            if (m_pPwdEdit) m_pPwdEdit->SetText(WideFromAnsi(pwd, KernelCodePage()).c_str());
            SetChecked(m_pSavePwdCheck, true);
        } else {
            SetChecked(m_pSavePwdCheck, false);
        }
    }
    SetChecked(m_pAutoRunCheck, mgr->m_bAutoStart);
}

void CWndLogon::OnAccountSelected() {
    if (!m_pAccountCombo || m_bFillingAccounts) return;
    if (m_pAccountEdit) m_pAccountEdit->SetText(m_pAccountCombo->GetText());
    // The user id is the chosen item's tag, not the combo's own.
    CControlUI* item = m_pAccountCombo->GetItemAt(m_pAccountCombo->GetCurSel());
    int userId = item ? static_cast<int>(item->GetTag()) : 0;
    if (userId < 1) return;
    CUserLogonManager* mgr = KernelData() ? KernelData()->m_pUserLogonMgr : nullptr;
    tag_LogonUserData* rec = mgr ? mgr->findLogonData(userId) : nullptr;
    std::string pwd = rec ? FixedPassword(*rec) : std::string();
    if (rec && rec->szPassword[17] != 0 && !pwd.empty()) {
        if (m_pPwdEdit) m_pPwdEdit->SetText(WideFromAnsi(pwd, KernelCodePage()).c_str());
        SetChecked(m_pSavePwdCheck, true);
    } else {
        if (m_pPwdEdit) m_pPwdEdit->SetText(L"");
        SetChecked(m_pSavePwdCheck, false);
    }
}

void CWndLogon::OnClick(TNotifyUI& msg) {
    CControlUI* s = msg.pSender;
    if (!s) return;
    if (s == m_pCloseBtn)
        Close(2);
    else if (s == m_pMinBtn)
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (s == m_pRegisterBtn)
        OpenRegistration();
    else if (s == m_pGetPwdBtn)
        OpenPasswordRecovery();
    else if (s == m_pGuestBtn)
        StartGuestLogon();
    else if (s == m_pLoginBtn)
        StartAccountLogon();
}

void CWndLogon::OnNotify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMSELECT && msg.pSender &&
        msg.pSender == static_cast<CControlUI*>(m_pAccountCombo))
        OnAccountSelected();
}

void CWndLogon::StartGuestLogon() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    data->GetLocalUser()->ClearData();
    data->GetLocalUser()->userId = 0;
    std::memset(data->GetCurLogonUserData(), 0, kLogonRecordHead);
    BeginLogon();
}

void CWndLogon::StartAccountLogon() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    int account = ParseAccountNumber(m_pAccountEdit ? m_pAccountEdit->GetText().GetData() : L"");
    std::wstring typed = m_pPwdEdit ? m_pPwdEdit->GetText().GetData() : L"";
    std::string pwd;
    // A password that does not fit the record's field, or has characters the code
    // page cannot hold, would reach the server changed: refused like a missing one.
    if (account < 1 || typed.empty() ||
        !AnsiFieldText(typed.c_str(), static_cast<UINT>(data->GetCodePage()), kLogonPasswordBytes,
                       pwd)) {
        ShowLobbyMessage(m_hWnd, kBadInput);
        return;
    }
    data->GetLocalUser()->ClearData();
    data->GetLocalUser()->userId = 0;
    tag_LogonUserData* rec = data->GetCurLogonUserData();
    std::memset(rec, 0, kLogonRecordHead);
    rec->nUserId = account;
    std::memcpy(rec->szPassword, pwd.data(), pwd.size());
    BeginLogon();
}

void CWndLogon::BeginLogon() {
    EnableLogonControls(false);
    m_nTryLoginCount = 0;
    Kernel()->SetNotifyWnd(SERVER_TYPE_LOGON, m_hWnd);
    TryLogon();
}

void CWndLogon::TryLogon() {
    if (m_nTryLoginCount == 0) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        m_nIndexLoginSvr = NextFilledServer(std::rand() % kServerTableSize);
        m_nTryLoginCount = 1;
    } else {
        ++m_nTryLoginCount;
        m_nIndexLoginSvr = NextFilledServer((m_nIndexLoginSvr + 1) % kServerTableSize);
    }
    Kernel()->SendMsg_LoginReq2(m_nIndexLoginSvr);
    LobbyTrace("tag_logon: step1: 正在获取登陆资料...m_nTryLoginCount=%d, m_nIndexLoginSvr=%d\n",
               m_nTryLoginCount, m_nIndexLoginSvr);
    ::SetTimer(m_hWnd, kLogonTimeoutTimer, kLogonTimeoutMs, nullptr);
}

void CWndLogon::OnLogonTimeout() {
    Kernel()->DisconnectServer(SERVER_TYPE_LOGON);
    ::KillTimer(m_hWnd, kLogonTimeoutTimer);
    EnableLogonControls(true);
    ShowLobbyMessage(m_hWnd, L"登录超时，请重试！");
}

void CWndLogon::OnConnectionLost() {
    if (m_nTryLoginCount < kLogonMaxAttempts) TryLogon();
}

void CWndLogon::OnLogonFailed(char* payload) {
    LobbyTrace("tag_logon: 登录失败!\n");
    m_nTryLoginCount = kLogonMaxAttempts;
    int code = 0;
    if (payload) std::memcpy(&code, payload, sizeof(code));
    const wchar_t* text = L"";
    if (code == 101)
        text = L"你被限制进入,登录失败!请联系在线客服.";
    else if (code == 103)
        text = L"帐号不存在!";
    else if (code == 104)
        text = L"密码错误!";
    ::KillTimer(m_hWnd, kLogonTimeoutTimer);
    EnableLogonControls(true);
    ShowLobbyMessage(m_hWnd, text);
}

void CWndLogon::OnLogonComplete() {
    LobbyTrace("tag_logon: 登录完成!\n");
    m_nTryLoginCount = kLogonMaxAttempts;
    ::KillTimer(m_hWnd, kLogonTimeoutTimer);
    Kernel()->DisconnectServer(SERVER_TYPE_LOGON);
    Kernel()->SetNotifyWnd(SERVER_TYPE_LOGON, nullptr);
    if (KernelData() && KernelData()->m_pUserMVManager)
        KernelData()->m_pUserMVManager->SetDelegate(theApp.m_pUserMVDelegate);
    Close(1);
}

void CWndLogon::OpenRegistration() {
    if (m_bRegisterOpen) return;
    m_bRegisterOpen = true;
    std::wstring account, password;
    bool registered = RunUserRegisterWindow(m_hWnd, account, password);
    m_bRegisterOpen = false;
    if (!registered) return;
    if (m_pAccountEdit) m_pAccountEdit->SetText(account.c_str());
    if (m_pPwdEdit) m_pPwdEdit->SetText(password.c_str());
}

void CWndLogon::OpenPasswordRecovery() {
    CCommKernelData* data = KernelData();
    const wchar_t* page = data ? data->m_GlobalConfig.getpwd_page : nullptr;
    // A deployment without the page still answers the click.
    if (!page || !page[0]) {
        ShowLobbyMessage(m_hWnd, L"找回密码功能尚未开通！");
        return;
    }
    OpenOutsideBrowser(page, m_hWnd);
}

void CWndLogon::SetStatus(const wchar_t* text) {
    if (m_pStateInfo) m_pStateInfo->SetText(text);
}

void CWndLogon::OnCheckStage(WPARAM stage) {
    if (!m_pCheck) return;
    if (stage == 1) {
        SetStatus(L"网络检查成功,正在检查组件...");
        return;
    }
    if (stage != 2) return;
    std::wstring text;
    if (m_pCheck->Succeeded()) {
        std::string version = m_pCheck->Version();
        text = L"检查组件成功，当前内核版本";
        text +=
            version.empty() ? std::wstring(L"0.0.1.0") : WideFromAnsi(version, KernelCodePage());
    } else {
        text = L"网络检查失败！当前内核版本0.0.1.0";
    }
    m_pCheck.reset();
    SetStatus(text.c_str());
    EnableLogonControls(true);
}

LRESULT CWndLogon::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // Notify window of the logon connection: whatever copy the kernel posted is freed
    // after the handling, also one of an answer this window has no case for.
    comm::NotificationCopy copy(uMsg, lParam);
    switch (uMsg) {
        case WM_TIMER:
            if (wParam != kLogonTimeoutTimer) break;
            OnLogonTimeout();
            return 0;
        case WM_DESTROY:
            // The check must not outlive the handle it posts to.
            m_pCheck.reset();
            break;
        case UM_LOGON_CHECK_STAGE:
            OnCheckStage(wParam);
            return 0;
        case UM_SERVER_CONNECTED:
            LobbyTrace("connect server succeeded!\n");
            return 0;
        case UM_SERVER_DISCONNECTED:
            LobbyTrace("server disconnected! try again!\n");
            OnConnectionLost();
            return 0;
        case UM_SERVER_CONNECT_ERROR:
            LobbyTrace("connect server error! try again!\n");
            OnConnectionLost();
            return 0;
        case UM_LOGON_OK:
            OnLogonOk(copy.get());
            return 0;
        case UM_LOGON_FAILED:
            OnLogonFailed(copy.get());
            return 0;
        case UM_ROOM_GROUP_LIST_END:
            OnLogonComplete();
            return 0;
        default:
            break;
    }
    bHandled = FALSE;
    return 0;
}

void CWndLogon::OnFinalMessage(HWND hWnd) {
    comm::FreePendingCopies(hWnd);
    m_pCheck.reset();
    m_pm.RemovePreMessageFilter(this);
    CSkinWnd::OnFinalMessage(hWnd);
}
