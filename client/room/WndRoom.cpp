// The room window's structure: construction, the message table, creation and layout
// by room kind, sizing, timers, teardown and its entry in the kernel's window table.
#include "room/WndRoom.h"

#include <algorithm>
#include <cstdio>

#include "app/ClientApp.h"
#include "controls/CtrlListFriend.h"
#include "controls/LuckyMsgBox.h"
#include "controls/WindowClassTable.h"
#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"
#include "room/VideoMessages.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

// The lucky-win banner: its size and where it sits from the window's centre.
constexpr int kLuckyBoxWidth = 586;
constexpr int kLuckyBoxHeight = 34;
constexpr int kLuckyBoxLeftOfCentre = 293;
constexpr int kLuckyBoxAboveCentre = 117;

POINT LuckyBoxOrigin(HWND wnd) {
    RECT rc{};
    ::GetWindowRect(wnd, &rc);
    const int cx = (rc.left + rc.right) / 2;
    const int cy = (rc.top + rc.bottom) / 2;
    return POINT{cx - kLuckyBoxLeftOfCentre, cy - kLuckyBoxAboveCentre};
}

}  // namespace

CWndRoom::CWndRoom() {
    m_traits = SkinWndTraits{"CWndRoom",     LayoutForKind(ROOM_KIND_STANDARD), kMsgStandard,
                             ScClose::kQuit, Lifetime::kSelfDeleting,           false};
}

CWndRoom::~CWndRoom() {
    DestroyMenus();
    delete m_pGiftNoticeQueue;
    m_pGiftNoticeQueue = nullptr;
}

const SkinWndTraits& CWndRoom::Traits() const {
    return m_traits;
}

LPCTSTR CWndRoom::GetWindowClassName() const {
    return L"UIRoomFrame";
}

UINT CWndRoom::GetClassStyle() const {
    return CS_DBLCLKS;
}

bool CWndRoom::IsKnownKind(int kind) {
    return kind == ROOM_KIND_STANDARD || kind == ROOM_KIND_PLAIN || kind == ROOM_KIND_FOUR_LISTS;
}

LPCTSTR CWndRoom::LayoutForKind(int kind) {
    switch (kind) {
        case ROOM_KIND_PLAIN:
            return L"WndRoomBig2.xml";
        case ROOM_KIND_FOUR_LISTS:
            return L"WndRoomBig_v31.xml";
        default:
            return L"WndRoomBig.xml";
    }
}

void CWndRoom::SetRoomKind(int kind) {
    // The server's 16-bit type may name a kind this program has no layout for: such a
    // room is shown as a standard one rather than as an empty window.
    if (!IsKnownKind(kind)) {
        ::OutputDebugStringW(
            winplat::FormatText(L"room kind %d has no layout, shown as kind 1\n", kind).c_str());
        kind = ROOM_KIND_STANDARD;
    }
    m_nRoomKind = kind;
    m_traits.layout = LayoutForKind(kind);
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CWndRoom::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    using Handler = LRESULT (*)(CWndRoom&, WPARAM, LPARAM, BOOL&);
    struct Row {
        UINT msg;
        Handler run;
    };
    // One row per message the window takes; a handler may clear the flag to let the
    // message go on to the paint manager and the default processing.
    static const Row kTable[] = {
        {WM_CREATE, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                       BOOL& h) { return w.OnCreate(WM_CREATE, wp, lp, h); }},
        {WM_DESTROY, [](CWndRoom& w, WPARAM, LPARAM, BOOL&) { return w.OnDestroy(); }},
        {WM_MOVE, [](CWndRoom& w, WPARAM, LPARAM, BOOL& h) { return w.OnMove(h); }},
        {WM_SIZE,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL& h) { return w.OnSize(WM_SIZE, wp, lp, h); }},
        {WM_ACTIVATE,
         [](CWndRoom&, WPARAM, LPARAM, BOOL& h) -> LRESULT {
             h = FALSE;
             return 0;
         }},
        {WM_GETMINMAXINFO, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                              BOOL& h) { return w.OnGetMinMaxInfo(WM_GETMINMAXINFO, wp, lp, h); }},
        {WM_NCCALCSIZE, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                           BOOL& h) { return w.OnNcCalcSize(WM_NCCALCSIZE, wp, lp, h); }},
        {WM_NCPAINT, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                        BOOL& h) { return w.OnNcPaint(WM_NCPAINT, wp, lp, h); }},
        {WM_NCHITTEST, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                          BOOL& h) { return w.OnNcHitTest(WM_NCHITTEST, wp, lp, h); }},
        {WM_NCACTIVATE, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                           BOOL& h) { return w.OnNcActivate(WM_NCACTIVATE, wp, lp, h); }},
        {WM_COMMAND,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL& h) {
             LRESULT r = w.OnCommand(wp, lp);
             if (!r) h = FALSE;
             return r;
         }},
        {WM_SYSCOMMAND, [](CWndRoom& w, WPARAM wp, LPARAM lp,
                           BOOL& h) { return w.OnSysCommand(WM_SYSCOMMAND, wp, lp, h); }},
        {WM_TIMER,
         [](CWndRoom& w, WPARAM wp, LPARAM, BOOL& h) {
             w.OnTimer(wp);
             h = FALSE;
             return LRESULT(1);
         }},
        {UM_CHAT_INPUT_ENTER,
         [](CWndRoom& w, WPARAM, LPARAM, BOOL&) -> LRESULT {
             w.SendChatFromInput();
             return 0;
         }},
        {UM_VIDEO_FRAME_READY,
         [](CWndRoom& w, WPARAM, LPARAM lp, BOOL&) -> LRESULT {
             w.OnVideoFrameReady(lp);
             return 0;
         }},
        {UM_PANE_QUICK_GIFT,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL&) -> LRESULT {
             w.OnPaneQuickGift(wp, lp);
             return 0;
         }},
        {UM_POPUP_VIDEO_CLOSED,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL&) -> LRESULT {
             w.OnPopupVideoClosed(static_cast<int>(wp), lp);
             return 0;
         }},
        {UM_SHOW_SEAL_WND,
         [](CWndRoom& w, WPARAM wp, LPARAM, BOOL&) -> LRESULT {
             w.ShowSealWnd(static_cast<int>(wp));
             return 0;
         }},
        {UM_SEAL_CHOSEN,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL&) -> LRESULT {
             w.OnSealChosen(static_cast<int>(wp), static_cast<int>(lp));
             return 0;
         }},
        {UM_SHOW_WORD_GIFT_WND,
         [](CWndRoom& w, WPARAM wp, LPARAM, BOOL&) -> LRESULT {
             w.OnShowWordGiftWnd(static_cast<int>(wp));
             return 0;
         }},
        {UM_MUTE_USER_AUDIO,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL&) -> LRESULT {
             w.MuteUserStream(false, static_cast<int>(wp), lp != 0);
             return 0;
         }},
        {UM_MUTE_USER_VIDEO,
         [](CWndRoom& w, WPARAM wp, LPARAM lp, BOOL&) -> LRESULT {
             w.MuteUserStream(true, static_cast<int>(wp), lp != 0);
             return 0;
         }},
        {UM_SELECT_TARGET_USER,
         [](CWndRoom& w, WPARAM wp, LPARAM, BOOL&) -> LRESULT {
             w.OnSelectTargetUser(static_cast<int>(wp));
             return 0;
         }},
        {UM_EFFECT_PLAYER_MISSING,
         [](CWndRoom& w, WPARAM, LPARAM, BOOL&) -> LRESULT {
             w.InsertHintLine(1, 1, L"无法播放礼物特效：特效播放程序不存在！");
             return 0;
         }},
    };

    LRESULT lRes = 0;
    BOOL bHandled = FALSE;
    for (const Row& row : kTable) {
        if (row.msg != uMsg) continue;
        bHandled = TRUE;
        lRes = row.run(*this, wParam, lParam, bHandled);
        break;
    }
    if (bHandled) return lRes;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CWndRoom::HandleExtraMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT CWndRoom::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (theApp.m_hSmallIcon)
        ::SendMessageW(m_hWnd, WM_SETICON, 0, reinterpret_cast<LPARAM>(theApp.m_hSmallIcon));
    // The base builds the layout of the kind, attaches it and runs InitWindow.
    CSkinWnd::OnCreate(uMsg, wParam, lParam, bHandled);

    RECT rcInput{10, 200, 10 + 180, 200 + 100};
    m_chatInput.Create(m_hWnd, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                       rcInput);

    const POINT at = LuckyBoxOrigin(m_hWnd);
    m_pLuckyMsgBox = new CLuckyMsgBox;
    m_pLuckyMsgBox->SetOwnerSlot(&m_pLuckyMsgBox);
    if (!m_pLuckyMsgBox->Create(m_hWnd, L"", WS_POPUP | WS_CLIPSIBLINGS,
                                WS_EX_TOOLWINDOW | WS_EX_LAYERED, at.x, at.y, kLuckyBoxWidth,
                                kLuckyBoxHeight)) {
        // Not created: nothing would delete it.
        delete m_pLuckyMsgBox;
        m_pLuckyMsgBox = nullptr;
    }
    bHandled = TRUE;
    return 0;
}

LRESULT CWndRoom::OnMove(BOOL& bHandled) {
    // The treasure-box icon is never created, so there is no owner-moved post here.
    if (m_pLuckyMsgBox && ::IsWindow(m_pLuckyMsgBox->GetHWND())) {
        const POINT at = LuckyBoxOrigin(m_hWnd);
        ::SetWindowPos(m_pLuckyMsgBox->GetHWND(), nullptr, at.x, at.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_pLuckyMsgBox->SaveBasePos();
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CWndRoom::OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    CSkinWnd::OnSize(uMsg, wParam, lParam, bHandled);  // round corners
    // The window manager may maximise or restore the room itself, or carry the
    // program's own command out after it has returned.
    if (wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED) ShowMaxOrRestore();
    if (!::IsIconic(m_hWnd) && m_pFlyGiftRace) {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        const int left = rc.left + 200;
        const int right = rc.right - 200;
        if (left < right) m_pFlyGiftRace->SetPos(RECT{left, 5, right, 55});
    }
    LayoutVideoZone();
    PlaceChatInput();
    bHandled = FALSE;
    return 0;
}

CWndRoom::VideoLayout CWndRoom::ComputeVideoLayout(int clientWidth, bool maximised) {
    // A window narrower than the side columns leaves no room: sizes stay at 0 rather
    // than going negative.
    // Three 4:3 panes share the zone. Maximised they grow up to 320 x 240; otherwise they
    // keep 200 x 150, smaller only where three of those would not fit (the zone of the
    // smallest window would hide the third).
    VideoLayout v;
    v.zoneWidth = std::max(0, clientWidth - 403);
    v.paneWidth = 4 * (v.zoneWidth / 12);
    v.paneHeight = std::min(v.paneWidth * 3 / 4, maximised ? 240 : 150);
    v.paneWidth = v.paneHeight * 4 / 3;
    return v;
}

RECT CWndRoom::ComputeChatInputRect(int kind, const RECT& client) {
    int x = 226;
    int width = client.right - 270 - 226;
    if (kind == ROOM_KIND_FOUR_LISTS) {
        x = 270;
        width = client.right - 335 - 270;
    }
    return RECT{x, client.bottom - 50, std::max(0, width), 45};
}

void CWndRoom::LayoutVideoZone() {
    if (!m_pVideoZone || m_nRoomKind != ROOM_KIND_STANDARD) return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const VideoLayout v = ComputeVideoLayout(rc.right - rc.left, ::IsZoomed(m_hWnd) != FALSE);
    m_pVideoZone->SetFixedHeight(v.paneHeight + 20);
    const wchar_t* bk = v.paneHeight < 240 ? L"200x150.png" : L"320x240.png";
    for (CControlUI* pane : m_pPubVideo) {
        if (!pane) continue;
        pane->SetFixedWidth(v.paneWidth);
        pane->SetBkImage(bk);
    }
    char line[80];
    std::snprintf(line, sizeof line, "zone-width:%d,w=%d,h=%d\n", v.zoneWidth, v.paneWidth,
                  v.paneHeight);
    ::OutputDebugStringA(line);
}

void CWndRoom::PlaceChatInput() {
    HWND input = m_chatInput.GetHWND();
    if (!input || !::IsWindow(input)) return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const RECT at = ComputeChatInputRect(m_nRoomKind, rc);
    ::SetWindowPos(input, nullptr, at.left, at.top, at.right, at.bottom, SWP_NOZORDER);
}

LRESULT CWndRoom::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        // Closing the room from the system menu ends the program; the media stop first
        // so that no engine thread outlives the loop. The room is not left on the
        // server (no exit request), as before.
        StopAllMedia();
        ::PostQuitMessage(0);
        bHandled = TRUE;
        return 0;
    }
    const BOOL wasZoomed = ::IsZoomed(m_hWnd);
    LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (wasZoomed != ::IsZoomed(m_hWnd)) ShowMaxOrRestore();
    bHandled = TRUE;
    return lRes;
}

void CWndRoom::ShowMaxOrRestore() {
    const BOOL zoomed = ::IsZoomed(m_hWnd);
    if (m_pBtnMax) m_pBtnMax->SetVisible(!zoomed);
    if (m_pBtnRestore) m_pBtnRestore->SetVisible(zoomed != FALSE);
}

LRESULT CWndRoom::OnTimer(UINT_PTR id) {
    CCommKernel* kernel = CCommKernel::GetInstance();
    switch (id) {
        case kTimerRoomPing:
            kernel->SendMsg_RoomPingReq();
            break;
        case kTimerGiftNotice:
            if (m_pGiftNoticeQueue) m_pGiftNoticeQueue->ShowNext();
            if (!m_pGiftNoticeQueue || m_pGiftNoticeQueue->GetCount() == 0)
                ::KillTimer(m_hWnd, kTimerGiftNotice);
            break;
        case kTimerMicCountdown:
            MicCountdownTick();
            break;
        case kTimerSeals:
            for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList, m_pWaitMicList})
                if (list) list->RefreshSeals();
            RunGroupGiftTimer();
            break;
        case kTimerGroupGift:
            RunGroupGiftTimer();
            break;
        case kTimerReconnect:
            Reconnect();
            break;
        case kTimerFireworks:
            kernel->SendMsg_PlayFireworksReq(
                static_cast<unsigned>(m_nRoomId),
                m_pRoomUserList ? m_pRoomUserList->GetUserMap() : nullptr,
                m_pRoomMgrList ? m_pRoomMgrList->GetUserMap() : nullptr);
            break;
        default:
            break;
    }
    return 1;
}

LRESULT CWndRoom::OnDestroy() {
    DestroyChildWindows();
    // The banner goes with the room (it clears its own slot as it goes).
    if (m_pLuckyMsgBox && ::IsWindow(m_pLuckyMsgBox->GetHWND()))
        ::DestroyWindow(m_pLuckyMsgBox->GetHWND());
    DestroyMenus();
    StopAllMedia();
    return 0;
}

void CWndRoom::OnFinalMessage(HWND) {
    if (m_pFlyGiftRace) m_pm.RemovePostPaint(m_pFlyGiftRace);
    // Readers of the window table (the chat input, the dialogs) must not find a
    // deleted window there.
    if (CurrentRoomWindow() == static_cast<IRoomWindow*>(this)) SetCurrentRoomWindow(nullptr);
    delete this;
}

// ---------------------------------------------------------------------------
// The window table and the lobby's factory

CWndRoom* GetRegisteredRoomWindow() {
    return dynamic_cast<CWndRoom*>(CurrentRoomWindow());
}

IRoomWindow* CreateRoomWindowObject() {
    return new CWndRoom;
}
