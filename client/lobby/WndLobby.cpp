#include "lobby/WndLobby.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "app/ClientApp.h"
#include "app/LaterWindows.h"
#include "app/ProductInfo.h"
#include "app/SkinFrame.h"
#include "app/SkinTable.h"
#include "app/TrayIcon.h"
#include "app/TrustedGates.h"
#include "controls/KernelData.h"
#include "controls/RoomGroupTreeUI.h"
#include "controls/RoomLink.h"
#include "dialogs/WndAboutUS.h"
#include "kernel/CommKernel.h"
#include "kernel/NotificationCopy.h"
#include "lobby/AnsiText.h"
#include "lobby/LobbyPrompts.h"
#include "lobby/LobbyRelay.h"
#include "lobby/RoomEntryDialogs.h"
#include "lobby/RoomWindowSeam.h"
#include "model/FixedText.h"
#include "model/RoomGroupManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndLobby",       L"WndLobby.xml",         kMsgStandard,
                               ScClose::kDefault, Lifetime::kSelfDeleting, false};

// The program's tray icon resource.
constexpr int kTrayIconResource = 108;

void AppendPercentEncoded(std::wstring& out, const std::string& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    for (unsigned char c : bytes) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<wchar_t>(c);
        } else {
            out += L'%';
            out += static_cast<wchar_t>(kHex[c >> 4]);
            out += static_cast<wchar_t>(kHex[c & 15]);
        }
    }
}

}  // namespace

std::wstring GroupPageAddress(const wchar_t* value, const wchar_t* roomListUrl, int groupId) {
    if (!value) return std::wstring();
    if (value[0] == L'R') {
        // Without a room-list address there is no page to open.
        if (!roomListUrl || !*roomListUrl) return std::wstring();
        return winplat::FormatText(L"%ls?ngroupid=%d", roomListUrl, groupId);
    }
    if (value[0] == L'h') return value;
    return std::wstring();
}

std::wstring GroupPageWithUser(const std::wstring& page, int userId, const std::string& password) {
    std::wstring out = page;
    out += page.find(L'?') == std::wstring::npos ? L"?" : L"&";
    out += L"uname=" + std::to_wstring(userId) + L"&pwd=";
    AppendPercentEncoded(out, password);
    return out;
}

CWndLobby::CWndLobby() : m_pTray(std::make_unique<CTrayIcon>()) {}

CWndLobby::~CWndLobby() {
    if (m_hTrayMenu) ::DestroyMenu(m_hTrayMenu);
}

const SkinWndTraits& CWndLobby::Traits() const {
    return kTraits;
}

CWndLobby* CWndLobby::Current() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel || !kernel->m_pWndTable) return nullptr;
    return static_cast<CWndLobby*>(kernel->m_pWndTable[1]);
}

LRESULT CWndLobby::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (theApp.m_hSmallIcon)
        ::SendMessageW(m_hWnd, WM_SETICON, 0, reinterpret_cast<LPARAM>(theApp.m_hSmallIcon));
    if (theApp.m_pShareBlock)
        theApp.m_pShareBlock->dwLobbyWnd =
            static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m_hWnd));
    return CSkinWnd::OnCreate(uMsg, wParam, lParam, bHandled);
}

void CWndLobby::InitWindow() {
    CSkinWnd::InitWindow();
    m_pLobbyWeb = dynamic_cast<CWebBrowserUI*>(Find(L"ielobby"));
    m_pLobbyWeb2 = dynamic_cast<CWebBrowserUI*>(Find(L"ielobby2"));
    m_pTree = dynamic_cast<CRoomGroupTreeUI*>(Find(L"lefttree"));
    m_pMySettingBtn = Find(L"mysettingbtn");
    m_pBtnClose = Find(L"btnclose");
    m_pBtnMax = Find(L"btnmax");
    m_pBtnMin = Find(L"btnmin");
    m_pBtnRestore = Find(L"btnrestore");
    m_pMyAlias = Find(L"myuseralias");
    m_pMyId = Find(L"myuserid");
    m_pHallSwitch = Find(L"hallswitch");
    m_pRoomSwPane = Find(L"roomswpane");
    m_pGameSwPane = Find(L"gameswpane");
    m_pRoomSwitch = Find(L"roomswitch");
    m_pRoomSwCloseBtn = Find(L"roomswclosebtn");
    m_pGameSwCloseBtn = Find(L"gameswclosebtn");
    m_pIeSwPane = dynamic_cast<CTabLayoutUI*>(Find(L"ieswpane"));

    if (m_pTree) m_pTree->SetPaintManager(&m_pm);
    m_hTrayMenu = ::CreatePopupMenu();
    ::AppendMenuW(m_hTrayMenu, MF_STRING, kTrayShow, L"显示窗口");
    ::AppendMenuW(m_hTrayMenu, MF_STRING, kTrayHide, L"隐藏窗口");
    ::AppendMenuW(m_hTrayMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m_hTrayMenu, MF_STRING, kTrayAbout, L"关于我们");
    ::AppendMenuW(m_hTrayMenu, MF_STRING, kTrayQuit, L"退出");
    for (CWebBrowserUI* web : {m_pLobbyWeb, m_pLobbyWeb2}) {
        if (!web) continue;
        web->SetVisible(false);
        web->SetWebBrowserEventHandler(this);
        web->Navigate2(L"about:blank");
    }
}

void CWndLobby::OnPrepare() {
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ApplySkinFrame(m_pWinBG);
    ::SetTimer(m_hWnd, kFirstSessionCheckTimer, kFirstSessionCheckMs, nullptr);
    ShowMyInfo();
    FillTree();
}

void CWndLobby::ShowMyInfo() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserObj* me = data->GetLocalUser();
    if (m_pMyAlias) m_pMyAlias->SetText(WideFromAnsi(me->alias, KernelCodePage()).c_str());
    if (m_pMySettingBtn) {
        const std::wstring image =
            winplat::FormatText(L"file='Face/36/%d.png' dest='2,2,38,38'", me->faceId);
        if (auto* button = static_cast<CButtonUI*>(m_pMySettingBtn->GetInterface(L"Button")))
            button->SetForeImage(image.c_str());
    }
    if (m_pMyId) {
        m_pMyId->SetText(winplat::FormatText(L"(%d)", me->userId).c_str());
    }
    HICON icon = ::LoadIconW(CPaintManagerUI::GetInstance(), MAKEINTRESOURCEW(kTrayIconResource));
    m_pTray->Remove();
    m_pTray->Add(&m_hTrayMenu, this, UM_TRAY_NOTIFY, L"", L"", icon);
}

void CWndLobby::FillTree() {
    CCommKernelData* data = KernelData();
    if (!m_pTree || !data || !data->m_pRoomGroupManager) return;
    for (tag_RoomGroupData* g : *data->m_pRoomGroupManager->GetRoomGroupList()) {
        if (!g) continue;
        std::wstring name =
            WideFromAnsi(FixedFieldText(g->groupName, sizeof(g->groupName)), KernelCodePage());
        std::wstring address = WideFromAnsi(
            FixedFieldText(g->groupAddress, sizeof(g->groupAddress)), KernelCodePage());
        if (g->parentId != 0) {
            CRoomGroupNode* parent = m_pTree->FindNodeById(g->parentId);
            m_pTree->AddNode(g->groupId, name.c_str(), address.c_str(), g->showCount != 0,
                             g->userNum, parent, false, 0);
        } else {
            m_pTree->AddNode(g->groupId, name.c_str(), address.c_str(), g->showCount != 0,
                             g->userNum, nullptr, true, 0);
        }
    }
}

void CWndLobby::OnTreeRowClick(CControlUI* row) {
    CRoomGroupNode* node = m_pTree ? m_pTree->NodeOfRow(row) : nullptr;
    CCommKernelData* data = KernelData();
    if (!node || !data) return;
    RoomGroupNodeData& nd = node->data();
    std::wstring page =
        GroupPageAddress(nd.value.GetData(), data->m_GlobalConfig.roomlist_url, nd.id);
    if (!page.empty()) {
        CUserObj* me = data->GetLocalUser();
        // The account travels only to the configured web server, never to a host that
        // a group's address names.
        std::wstring full =
            IsConfiguredWebPage(page) ? GroupPageWithUser(page, me->userId, me->password) : page;
        // The game page is told by its address, never by what the password holds.
        if (page.find(L"carkelt") != std::wstring::npos) {
            OpenGameWindow(full.c_str(), MIVORA_PRODUCT_SUBTITLE);
            return;
        }
        m_nGroupPage = 1;
        if (m_pLobbyWeb2) {
            if (m_pLobbyWeb && m_pLobbyWeb->IsVisible()) m_pLobbyWeb->SetVisible(false);
            if (!m_pLobbyWeb2->IsVisible()) m_pLobbyWeb2->SetVisible(true);
            m_pLobbyWeb2->Navigate2(full.c_str());
        } else if (m_pLobbyWeb) {
            m_pLobbyWeb->Navigate2(page.c_str());
        }
        if (m_pIeSwPane) {
            if (m_pRoomSwPane) m_pRoomSwPane->SetVisible(true);
            if (m_pRoomSwitch) {
                m_pRoomSwitch->SetText(nd.caption);
                if (auto* option = static_cast<COptionUI*>(m_pRoomSwitch->GetInterface(L"Option")))
                    option->Selected(true, false);
            }
            if (m_pRoomSwPane) m_pIeSwPane->SelectItem(m_pRoomSwPane);
        }
    }
    if (node->has_children()) m_pTree->SetExpanded(node, !nd.expanded);
}

void CWndLobby::OpenGameWindow(const wchar_t* url, const wchar_t* title) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    if (data->GetLocalUser()->levels[0] <= 1) {
        ShowLobbyMessage(m_hWnd, L"游客不能进入游戏,赶快去注册号码吧!");
        return;
    }
    ::OpenGameWindow(m_hWnd, url ? url : L"", title ? title : L"");
}

void CWndLobby::BeforeNavigate2(CWebBrowserUI* pWeb, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                                bool& cancel) {
    if (!url || !IsRoomLinkWord(url)) return;
    cancel = true;
    const auto link = ParseRoomLink(url);
    if (!link) return;
    // The page the link stands on decides whether its gate may be new to the client.
    const std::wstring page = pWeb ? pWeb->GetLocationUrl().GetData() : L"";
    if (!AcceptRoomLink(*link, page, "lobby")) {
        ShowLobbyMessage(m_hWnd, kUnknownGateHint);
        return;
    }
    JoinRoom(link->roomId, 1, link->gate.text.c_str());
}

void CWndLobby::NavigateComplete2(CWebBrowserUI* pWeb, LPCTSTR) {
    if (!pWeb) return;
    int done = 0;
    if (pWeb == m_pLobbyWeb)
        done = ++m_nLobbyWebDone;
    else if (pWeb == m_pLobbyWeb2)
        done = ++m_nLobbyWeb2Done;
    else
        return;
    if (done == 1) {
        pWeb->Navigate2(L"about:blank");
        return;
    }
    if (done != 2 || pWeb != m_pLobbyWeb || m_nGroupPage != 0) return;
    CCommKernelData* data = KernelData();
    if (!data || !data->m_GlobalConfig.dating_url[0]) return;
    const std::wstring hall = winplat::FormatText(
        L"%ls?nuserid=%d", data->m_GlobalConfig.dating_url, data->GetLocalUser()->userId);
    pWeb->Navigate2(hall.c_str());
    if (!pWeb->IsVisible()) pWeb->SetVisible(true);
}

void CWndLobby::OnClick(TNotifyUI& msg) {
    CControlUI* s = msg.pSender;
    if (!s) return;
    const CDuiString& name = s->GetName();
    if (s == m_pBtnClose) {
        QuitApp();
    } else if (s == m_pBtnMax) {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (s == m_pBtnMin) {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (s == m_pBtnRestore) {
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (s == m_pRoomSwCloseBtn) {
        if (m_pRoomSwPane) m_pRoomSwPane->SetVisible(false);
        // The hall page shows again: its tab is the one marked.
        if (m_pHallSwitch)
            if (auto* hall = static_cast<COptionUI*>(m_pHallSwitch->GetInterface(L"Option")))
                hall->Selected(true, false);
        if (m_pLobbyWeb) m_pLobbyWeb->SetVisible(true);
        if (m_pLobbyWeb2) m_pLobbyWeb2->SetVisible(false);
    } else if (s == m_pHallSwitch) {
        m_nGroupPage = 0;
        if (m_pIeSwPane) m_pIeSwPane->SelectItem(m_pHallSwitch);
        if (m_pLobbyWeb2) m_pLobbyWeb2->SetVisible(false);
        if (m_pLobbyWeb) m_pLobbyWeb->SetVisible(true);
    } else if (s == m_pRoomSwitch) {
        m_nGroupPage = 1;
        if (m_pIeSwPane && m_pRoomSwPane) m_pIeSwPane->SelectItem(m_pRoomSwPane);
        if (m_pLobbyWeb) m_pLobbyWeb->SetVisible(false);
        if (m_pLobbyWeb2) m_pLobbyWeb2->SetVisible(true);
    } else if (name == L"selskin") {
        OpenSkinChooserWindow();
    } else if (s == m_pMySettingBtn) {
        OpenUserSettingWindow();
    } else if (name == L"findroom") {
        if (m_bFinderOpen) return;
        m_bFinderOpen = true;
        RunFinderWindow(m_hWnd);
        m_bFinderOpen = false;
    } else if (name == L"chongzhi") {
        CCommKernelData* data = KernelData();
        if (!data || !data->m_GlobalConfig.userpay_url[0]) return;
        OpenOutsideBrowser(
            winplat::FormatText(L"%ls?uid=%d&gid=0", data->m_GlobalConfig.userpay_url,
                                data->GetLocalUser()->userId)
                .c_str(),
            m_hWnd);
    } else if (name == L"help") {
        if (KernelData()) OpenOutsideBrowser(KernelData()->m_GlobalConfig.userhelp_url, m_hWnd);
    } else if (name == L"top10") {
        OpenNetworkChooser();
    }
}

void CWndLobby::OpenNetworkChooser() {
    if (m_pNetChooseWnd) return;
    CWndNetworkChoose chooser;
    m_pNetChooseWnd = &chooser;
    if (chooser.Create(m_hWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
        chooser.CenterWindow();
        chooser.ShowModal();
    }
    m_pNetChooseWnd = nullptr;
}

void CWndLobby::ShowAbout() {
    // One about box: a second click brings the open one forward.
    OpenSelfDeleting(m_pAboutWnd, m_hWnd, ReuseAction::kShow, WS_EX_TOOLWINDOW);
}

void CWndLobby::OnNotify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMCLICK && msg.pSender &&
        std::wcscmp(msg.pSender->GetClass(), L"ListContainerElementUI") == 0)
        OnTreeRowClick(msg.pSender);
}

void CWndLobby::OnCommand(UINT id) {
    switch (id) {
        case kTrayShow:
            ShowWindow(true, true);
            ::SetForegroundWindow(m_hWnd);
            break;
        case kTrayHide:
            ShowWindow(false, false);
            break;
        case kTrayAbout:
            ShowAbout();
            break;
        case kTrayQuit:
            QuitApp();
            break;
        default:
            break;
    }
}

void CWndLobby::ShowLobbyAgain() {
    if (::IsIconic(m_hWnd))
        ::ShowWindow(m_hWnd, SW_RESTORE);
    else if (!::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOW);
}

void CWndLobby::ApplySkin() {
    ApplySkinFrame(m_pWinBG);
    if (IRoomWindow* room = CurrentRoomWindow()) room->ApplySkinColors(g_pCurSkin);
}

void CWndLobby::QuitApp() {
    LeaveCurrentRoom();
    m_pTray->Remove();
    ::PostQuitMessage(0);
}

LRESULT CWndLobby::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        // The engine must not be left running when the loop ends; no exit request.
        if (IRoomWindow* room = CurrentRoomWindow()) room->StopAllMedia();
        m_pTray->Remove();
        ::PostQuitMessage(0);
        bHandled = TRUE;
        return 0;
    }
    BOOL wasZoomed = ::IsZoomed(m_hWnd);
    LRESULT r = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (wasZoomed != ::IsZoomed(m_hWnd)) ShowMaxOrRestore();
    bHandled = TRUE;
    return r;
}

LRESULT CWndLobby::OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // The display may carry a maximise out after the command has returned.
    if (wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED) ShowMaxOrRestore();
    return CSkinWnd::OnSize(uMsg, wParam, lParam, bHandled);
}

void CWndLobby::ShowMaxOrRestore() {
    BOOL zoomed = ::IsZoomed(m_hWnd);
    if (m_pBtnMax) m_pBtnMax->SetVisible(!zoomed);
    if (m_pBtnRestore) m_pBtnRestore->SetVisible(zoomed != FALSE);
}

void CWndLobby::OnFinalMessage(HWND hWnd) {
    // The blocks of its own join posts first: the kernel's sweep below and the end of the
    // queue would drop them unfreed.
    FreePendingJoinPosts(hWnd);
    comm::FreePendingCopies(hWnd);
    m_pTray->Remove();
    if (Current() == this) CCommKernel::GetInstance()->m_pWndTable[1] = nullptr;
    CSkinWnd::OnFinalMessage(hWnd);
}

LRESULT CWndLobby::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // The lobby is the notify window of the lobby and room connections: a copy the
    // kernel posted is freed after the handling, whether or not anything read it.
    comm::NotificationCopy copy(uMsg, lParam);
    switch (uMsg) {
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_COMMAND: {
            UINT id = LOWORD(wParam);
            if (id >= kTrayShow && id <= kTrayQuit) {
                OnCommand(id);
                return 0;
            }
            break;
        }
        case UM_TRAY_NOTIFY:
            m_pTray->OnTrayMessage(wParam, lParam);
            return 0;
        case UM_GAME_LINK_CLOSE:
            if (theApp.m_pShareBlock) theApp.m_pShareBlock->dwPeerWnd = 0;
            if (theApp.m_GameProcess[0].hThread) ::CloseHandle(theApp.m_GameProcess[0].hThread);
            if (theApp.m_GameProcess[0].hProcess) ::CloseHandle(theApp.m_GameProcess[0].hProcess);
            std::memset(&theApp.m_GameProcess[0], 0, sizeof(theApp.m_GameProcess[0]));
            return 0;
        case WM_ACTIVATE:
            break;
        default:
            if (RelayRoomMessage(uMsg, wParam, lParam)) return 0;
            break;
    }
    bHandled = FALSE;
    return 0;
}
