// The room window's controls: look-up and set-up once the layout is built, and every
// notification they send.
#include <cwchar>
#include <string>

#include "controls/CtrlListFriend.h"
#include "controls/KernelData.h"
#include "controls/RoomCtrlUI.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace {

template <class T>
T* As(CControlUI* control, LPCTSTR iface) {
    return control ? static_cast<T*>(control->GetInterface(iface)) : nullptr;
}

bool Is(const TNotifyUI& msg, LPCTSTR type) {
    return msg.sType == type;
}

// Gift items report mouse entry and exit with this wParam.
constexpr WPARAM kGiftItemHover = 101;
// The seal-clearing tile of the gift pane.
constexpr int kClearSealTag = 400;

}  // namespace

void CWndRoom::FindControls() {
    m_pWinBGCtl = Find(L"winBG");
    m_pWinBG = m_pWinBGCtl;
    m_pMySettingBtn = Find(L"mysettingbtn");
    m_pBtnClose = Find(L"btnclose");
    m_pBtnMin = Find(L"btnmin");
    m_pBtnMax = Find(L"btnmax");
    m_pBtnRestore = Find(L"btnrestore");
    m_pMyUserAlias = Find(L"myuseralias");
    m_pMyUserId = Find(L"myuserid");
    m_pRoomName = Find(L"roomname");
    m_pEdtSearchUser = Find(L"edtsearchuser");
    m_pMgrUserSel = Find(L"mgrusersel");
    m_pAllUserSel = Find(L"allusersel");
    m_pApcUserSel = Find(L"apcusersel");
    m_pOnMicUserSel = Find(L"onmicusersel");
    if (!m_pApcUserSel || !m_pOnMicUserSel) {
        m_pApcUserSel = Find(L"apcusersel2");
        m_pOnMicUserSel = Find(L"onmicusersel2");
    }
    m_pRoomUserList = dynamic_cast<CCtrlListFriend*>(Find(L"roomuserlist"));
    m_pRoomMgrList = dynamic_cast<CCtrlListFriend*>(Find(L"roommgrlist"));
    m_pWaitMicList = dynamic_cast<CCtrlListFriend*>(Find(L"waitmiclist"));
    m_pOnMicList = dynamic_cast<CCtrlListFriend*>(Find(L"onmiclist"));
    m_pPubTextOut = As<CWebBrowserUI>(Find(L"pubtextout"), L"WebBrowser");
    m_pPrivTextOut = As<CWebBrowserUI>(Find(L"privtextout"), L"WebBrowser");
    m_pLabaZone = As<CWebBrowserUI>(Find(L"labazone"), L"WebBrowser");
    m_pSiegeTextOut = As<CWebBrowserUI>(Find(L"siegetextout"), L"WebBrowser");
    m_pGiftPaneSwitch = As<CTabLayoutUI>(Find(L"giftpane_switch"), L"TabLayout");
    for (int i = 0; i < 4; ++i) {
        m_pGiftList[i] = Find(winplat::FormatText(L"giftlist_%d", i + 1).c_str());
    }
    m_pAppList = Find(L"applist");
    m_pGiftUserCombo = As<CComboUI>(Find(L"giftusercombo"), L"Combo");
    m_pGiftNumCombo = As<CComboUI>(Find(L"giftnumcombo"), L"Combo");
    m_pGiftNumEdit = Find(L"giftnumedit");
    m_pChatUserCombo = As<CComboUI>(Find(L"chatusercombo"), L"Combo");
    m_pRoomYugao = Find(L"roomyugao");
    m_pFlyGiftRace = Find(L"flygiftrace");
    // The layout's colour for the gift strip, kept for every skin it still reads on.
    if (auto* strip = As<CLabelUI>(m_pFlyGiftRace, L"Label"))
        m_dwGiftStripInk = strip->GetTextColor();
    m_pStaNk = Find(L"sta_nk");
    m_pStaNb = Find(L"sta_nb");
    m_pZjZone = Find(L"zjzone");
    m_pVideoZone = Find(L"videozone");
    m_pPubVideo[0] = Find(L"pubvideo1");
    m_pPubVideo[1] = Find(L"pubvideo2");
    m_pPubVideo[2] = Find(L"pubvideo3");
    m_pRoomCtrl = dynamic_cast<CRoomCtrlUI*>(Find(L"roomctrl"));
    m_pToolEmo = Find(L"tool_emo");
    m_pWaitMicPane = Find(L"waitmicpane");
    m_pDafuwen = Find(L"dafuwen");
    m_pSendMenuBtn = Find(L"sendmenubtn");
}

void CWndRoom::InitWindow() {
    FindControls();

    for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList}) {
        if (!list) continue;
        list->SetSorted(1);
        list->SetListType(USERLIST_ONE_ROW_PER_USER);
    }
    if (m_pWaitMicList) m_pWaitMicList->SetListType(USERLIST_QUEUE);
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pWaitMicList, m_pRoomMgrList})
        if (list) list->SetPaintManager(&m_pm);

    for (CWebBrowserUI* web : {m_pPubTextOut, m_pPrivTextOut, m_pLabaZone, m_pSiegeTextOut})
        if (web) web->SetWebBrowserEventHandler(this);

    if (m_pRoomCtrl) {
        if (m_nRoomKind == ROOM_KIND_STANDARD)
            m_pRoomCtrl->Build(L"roomctrl.xml");
        else if (m_nRoomKind == ROOM_KIND_FOUR_LISTS)
            m_pRoomCtrl->Build(L"roomctrl2.xml");
    }
    CreateMenus();
    InitPanes();

    for (CWebBrowserUI* web : {m_pPubTextOut, m_pPrivTextOut, m_pLabaZone, m_pSiegeTextOut})
        if (web) web->InitDocument();
    for (CWebBrowserUI* web : {m_pPubTextOut, m_pPrivTextOut, m_pLabaZone})
        if (web) web->SetContextMenuMode(1);
}

// ---------------------------------------------------------------------------
// Notifications

void CWndRoom::Notify(TNotifyUI& msg) {
    if (OfferNotifyToPanes(msg)) return;
    if (Is(msg, DUI_MSGTYPE_WINDOWINIT))
        OnWindowInit();
    else if (Is(msg, DUI_MSGTYPE_CLICK))
        OnClick(msg);
    else
        OnNotify(msg);
}

void CWndRoom::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    using Action = void (*)(CWndRoom&, TNotifyUI&);
    struct Row {
        const wchar_t* name;
        Action run;
    };
    static const Row kClicks[] = {
        {L"btnclose", [](CWndRoom& w, TNotifyUI&) { w.LeaveRoomToLobby(); }},
        {L"btnmax", [](CWndRoom& w, TNotifyUI&) { w.SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0); }},
        {L"btnmin", [](CWndRoom& w, TNotifyUI&) { w.SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
        {L"btnrestore",
         [](CWndRoom& w, TNotifyUI&) { w.SendMessageW(WM_SYSCOMMAND, SC_RESTORE, 0); }},
        {L"selskin", [](CWndRoom& w, TNotifyUI&) { w.ShowSkinChooser(); }},
        {L"mysettingbtn", [](CWndRoom& w, TNotifyUI&) { w.ShowPersonalSettings(); }},
        {L"giftselbtn",
         [](CWndRoom& w, TNotifyUI&) {
             if (w.m_pGiftPaneSwitch) w.m_pGiftPaneSwitch->SelectItem(0);
         }},
        {L"appselbtn",
         [](CWndRoom& w, TNotifyUI&) {
             if (w.m_pGiftPaneSwitch) w.m_pGiftPaneSwitch->SelectItem(1);
         }},
        {L"qunshua", [](CWndRoom& w, TNotifyUI&) { w.ShowGroupGiftWnd(); }},
        {L"giftgroup_1", [](CWndRoom& w, TNotifyUI&) { w.ShowGiftGroup(0); }},
        {L"giftgroup_2", [](CWndRoom& w, TNotifyUI&) { w.ShowGiftGroup(1); }},
        {L"giftgroup_3", [](CWndRoom& w, TNotifyUI&) { w.ShowGiftGroup(2); }},
        {L"giftgroup_4", [](CWndRoom& w, TNotifyUI&) { w.ShowGiftGroup(3); }},
        {L"mgrusersel", [](CWndRoom& w, TNotifyUI&) { w.ShowUserListTab(0); }},
        {L"allusersel", [](CWndRoom& w, TNotifyUI&) { w.ShowUserListTab(1); }},
        {L"apcusersel", [](CWndRoom& w, TNotifyUI&) { w.ShowUserListTab(2); }},
        {L"onmicusersel", [](CWndRoom& w, TNotifyUI&) { w.ShowUserListTab(3); }},
        {L"apcusersel2", [](CWndRoom& w, TNotifyUI&) { w.ShowUserListTab2(0); }},
        {L"onmicusersel2", [](CWndRoom& w, TNotifyUI&) { w.ShowUserListTab2(1); }},
        {L"sendchatbtn", [](CWndRoom& w, TNotifyUI&) { w.SendChatFromInput(); }},
        {L"tool_font", [](CWndRoom& w, TNotifyUI&) { w.ChooseChatFont(); }},
        {L"tool_emo", [](CWndRoom& w, TNotifyUI&) { w.ShowChatEmotion(); }},
        {L"tool_flower", [](CWndRoom& w, TNotifyUI&) { w.SendCaitiaoToChatTarget(); }},
        {L"tool_laba", [](CWndRoom& w, TNotifyUI&) { w.ShowLabaWnd(); }},
        {L"tool_app", [](CWndRoom& w, TNotifyUI&) { w.ShowGonggaoWnd(); }},
        {L"tool_lookmelist", [](CWndRoom& w, TNotifyUI&) { w.ShowLookMeWnd(); }},
        {L"tool_menu", [](CWndRoom& w, TNotifyUI&) { w.ShowSettingsMenu(); }},
        {L"wyczbtn", [](CWndRoom& w, TNotifyUI&) { w.ShowTopUpHint(); }},
        {L"wdzhbtn", [](CWndRoom& w, TNotifyUI&) { w.ShowAccountWnd(); }},
        {L"upmicbtn", [](CWndRoom& w, TNotifyUI&) { w.TrackMenu(kMenuUpMic, TPM_BOTTOMALIGN); }},
        {L"downmicbtn", [](CWndRoom& w, TNotifyUI&) { w.LeaveMyMic(); }},
        {L"mutemicbtn",
         [](CWndRoom& w, TNotifyUI& m) {
             auto* box = As<CCheckBoxUI>(m.pSender, L"CheckBox");
             if (box) w.SetMicMute(!box->GetCheck());
         }},
        {L"mutespeakbtn",
         [](CWndRoom& w, TNotifyUI& m) {
             auto* box = As<CCheckBoxUI>(m.pSender, L"CheckBox");
             if (box) w.SetSpeakerMute(!box->GetCheck());
         }},
        {L"btniconhelp", [](CWndRoom& w, TNotifyUI&) { w.ShowIconHelpWnd(); }},
        {L"upwaitmicbtn", [](CWndRoom& w, TNotifyUI&) { w.JoinWaitMic(); }},
        {L"settingbtn", [](CWndRoom& w, TNotifyUI&) { w.ShowAudioSettingWnd(); }},
        // The panel has a song button but the program offers no song requests: say so.
        {L"gequbtn",
         [](CWndRoom& w, TNotifyUI&) { w.InsertHintLine(1, 1, L"点歌功能尚未开通！"); }},
        {L"closedafuwen",
         [](CWndRoom& w, TNotifyUI&) {
             if (w.m_pDafuwen) w.m_pDafuwen->SetVisible(false);
         }},
        {L"guanlroom", [](CWndRoom& w, TNotifyUI&) { w.ShowRoomSettingWnd(); }},
        {L"btnxinhao", [](CWndRoom& w, TNotifyUI&) { w.ShowNetworkChoose(); }},
        {L"soucroom", [](CWndRoom& w, TNotifyUI&) { w.CollectRoom(); }},
        {L"btnwhereme", [](CWndRoom& w, TNotifyUI&) { w.LocateUser(0); }},
        {L"moregongneng", [](CWndRoom& w, TNotifyUI&) { w.LaunchGame(); }},
        {L"btn_hidepane2", [](CWndRoom& w, TNotifyUI&) { w.ToggleWaitMicPane(); }},
        {L"sendmenubtn",
         [](CWndRoom& w, TNotifyUI&) { w.TrackMenu(kMenuQuickPhrase, TPM_BOTTOMALIGN); }},
    };
    const CDuiString& name = msg.pSender->GetName();
    for (const Row& row : kClicks) {
        if (name == row.name) {
            row.run(*this, msg);
            return;
        }
    }
}

void CWndRoom::OnNotify(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    const CDuiString& name = sender->GetName();
    const bool isRow = std::wcscmp(sender->GetClass(), L"ListContainerElementUI") == 0;

    if (Is(msg, DUI_MSGTYPE_ITEMSELECT)) {
        if (sender == m_pGiftNumCombo && m_pGiftNumEdit)
            m_pGiftNumEdit->SetText(m_pGiftNumCombo->GetText());
    } else if (Is(msg, DUI_MSGTYPE_VALUECHANGED)) {
        if (!m_pRoomCtrl) return;
        if (name == L"speakslider")
            m_pRoomCtrl->OnSpeakerSlider();
        else if (name == L"micslider")
            m_pRoomCtrl->OnMicSlider();
    } else if (Is(msg, DUI_MSGTYPE_ITEMCLICK)) {
        if (std::wcscmp(sender->GetClass(), L"GiftListItemUI") == 0) {
            const int tag = static_cast<int>(static_cast<intptr_t>(sender->GetTag()));
            if (tag < 0) {
                OnAppTileClick(tag);
            } else if (tag == kClearSealTag) {
                CCommKernelData* data = KernelData();
                const int target =
                    m_pGiftUserCombo && m_pGiftUserCombo->GetCurSel() >= 0
                        ? static_cast<int>(
                              m_pGiftUserCombo->GetItemAt(m_pGiftUserCombo->GetCurSel())->GetTag())
                        : 0;
                if (target > 0 && data && data->m_pUserManager &&
                    data->m_pUserManager->FindUser(target))
                    SendSealReq(target, 0);
            } else {
                OnGiftItemClick(tag);
            }
        } else if (isRow) {
            OnUserRowClick(msg, false);
        }
    } else if (Is(msg, DUI_MSGTYPE_ITEMDBCLICK)) {
        if (isRow) OnUserRowClick(msg, true);
    } else if (Is(msg, DUI_MSGTYPE_MENU)) {
        if (name == L"chatinput") return;
        if (isRow) {
            OnListItemMenu(msg);
            return;
        }
        const int pane = PaneIndexOf(sender);
        if (pane >= 0) OnPaneMenu(msg, pane);
    } else if (Is(msg, L"mouseenter") || Is(msg, L"mouseleave")) {
        if (msg.wParam != kGiftItemHover) return;
        const bool show = Is(msg, L"mouseenter");
        ::OutputDebugStringW(show ? L"显示礼物提示窗口 \n" : L"隐藏礼物提示窗口 \n");
        POINT pt{0, 0};
        ::GetCursorPos(&pt);
        // The hover control names its gift in the notification ({gift id, left, top}),
        // not in its tag; a leave carries nothing.
        const int* gift = reinterpret_cast<const int*>(msg.lParam);
        ShowGiftTip(show, show && gift ? gift[0] : 0, pt.x, pt.y);
    } else if (Is(msg, DUI_MSGTYPE_TEXTCHANGED)) {
        if (sender != m_pEdtSearchUser || !m_pRoomUserList) return;
        m_pRoomUserList->SetFilter(sender->GetText());
        m_pRoomUserList->RemoveAll();
        FillAllUserList();
    }
}

CCtrlListFriend* CWndRoom::ListOfRow(CControlUI* row) const {
    if (!row) return nullptr;
    CControlUI* parent = row->GetParent();
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList, m_pWaitMicList, m_pOnMicList})
        if (list && parent == list) return list;
    return nullptr;
}

CUserObj* CWndRoom::UserOfRow(CControlUI* row) const {
    CCtrlListFriend* list = ListOfRow(row);
    CCommKernelData* data = KernelData();
    if (!list || !data || !data->m_pUserManager) return nullptr;
    // Rows are read by the id they were added with: the user may be gone.
    const int id = list->GetRowUserId(row);
    return id > 0 ? data->m_pUserManager->FindUser(id) : nullptr;
}

void CWndRoom::OnUserRowClick(TNotifyUI& msg, bool doubleClick) {
    CUserObj* user = UserOfRow(msg.pSender);
    if (!user) return;
    if (doubleClick) ConnectUserVideo(user, false);
    SelectGiftTarget(user);
    SelectChatTarget(user);
}

void CWndRoom::OnListItemMenu(TNotifyUI& msg) {
    CCtrlListFriend* list = ListOfRow(msg.pSender);
    if (!list) return;
    m_nSelUserId = list->GetRowUserId(msg.pSender);
    if (auto* item = static_cast<IListItemUI*>(msg.pSender->GetInterface(L"ListItem")))
        m_nSelItemIndex = item->GetIndex();
    if (list == m_pRoomUserList)
        TrackMenu(kMenuListUser, TPM_LEFTBUTTON);
    else if (list == m_pRoomMgrList)
        TrackMenu(kMenuManagerList, TPM_LEFTBUTTON);
    else if (list == m_pWaitMicList)
        TrackMenu(kMenuWaitMic, TPM_LEFTBUTTON);
}

void CWndRoom::OnPaneMenu(TNotifyUI&, int pane) {
    m_nSelPaneIndex = pane;
    HMENU menu = m_hMenus[kMenuPane];
    const UINT userState = GetPaneUserId(pane) > 0 ? MF_ENABLED : (MF_DISABLED | MF_GRAYED);
    for (UINT id : {13964u, 13967u}) ::EnableMenuItem(menu, id, userState);
    const bool extendable = GetPaneUserId(pane) > 0 && PaneMicTimed(pane);
    ::EnableMenuItem(menu, 13963, extendable ? MF_ENABLED : (MF_DISABLED | MF_GRAYED));
    CCommKernelData* data = KernelData();
    CRoomObj* room = nullptr;
    if (data && data->m_pRoomManager) room = data->m_pRoomManager->FindRoom(m_nRoomId);
    const bool open = room && room->pubMics[pane].micType != 0;
    ::EnableMenuItem(menu, 13966, open ? MF_ENABLED : (MF_DISABLED | MF_GRAYED));
    TrackMenu(kMenuPane, TPM_LEFTBUTTON);
}
