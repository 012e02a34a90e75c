#include "room/PubVideoContainerUI.h"

#include <cstdlib>
#include <cwchar>
#include <new>
#include <vector>

#include "controls/DialogBuilderCallbackEx.h"
#include "room/WndUserPopupVideo.h"
#include "room/VideoMessages.h"

using namespace DuiLib;

namespace {
// The skins' "PubVideo" element: the control factory one floor down cannot name this
// class, so the class gives it its creator at start-up wherever it is linked in.
[[maybe_unused]] const bool kFactoryKnowsMe = CDialogBuilderCallbackEx::SetCreator(
    L"PubVideo", []() -> CControlUI* { return new (std::nothrow) CPubVideoContainerUI; });

constexpr UINT kTimerRandomBk = 101;
constexpr UINT kTimerHideToolbar = 102;
const wchar_t kDefaultLevelImage[] = L"head\\PurpleVip5.gif";
}  // namespace

CPubVideoContainerUI::CPubVideoContainerUI() = default;

CPubVideoContainerUI::~CPubVideoContainerUI() {
    CWndUserPopupVideo* popup = GetPopup();
    if (popup) popup->SetSourcePane(nullptr);
}

LPCTSTR CPubVideoContainerUI::GetClass() const {
    return L"PubVideoContainerUI";
}

LPVOID CPubVideoContainerUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"PubVideo") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

bool CPubVideoContainerUI::Build(LPCTSTR xml) {
    CDialogBuilder builder;
    CDialogBuilderCallbackEx callback;
    CControlUI* root = builder.Create(xml, nullptr, &callback, m_pManager, this);
    if (!root) return false;
    if (GetItemIndex(root) < 0) Add(root);
    FindControls(root);
    m_pMicState = m_pManager ? m_pManager->FindSubControlByName(root, L"micstate") : nullptr;
    if (m_pVideoMenu) {
        m_pVideoMenu->SetVisible(false);
        m_pVideoMenu->SetText(L"送彩条");
    }
    NeedUpdate();
    return true;
}

void CPubVideoContainerUI::SetOwnerValue(HWND room) {
    CVideoContainerBase::SetOwnerValue(room);
    SetRoomWnd(room);
}

void CPubVideoContainerUI::ShowToolbar(bool show) {
    // An idle pane has nobody to mute or pop out.
    if (m_pToolbar) m_pToolbar->SetVisible(show && m_nUserId.load() > 0 && !IsPoppedOut());
}

void CPubVideoContainerUI::PushVideoFrame(char* data, int size, int width, int height) {
    if (m_bVideoMuted.load() || m_nUserId.load() == 0) return;
    {
        std::lock_guard<std::mutex> hold(m_popupLock);
        if (m_pPopup) {
            m_pPopup->PushVideoFrame(data, size, width, height);
            return;
        }
    }
    StoreFrame(data, size, width, height);
}

bool CPubVideoContainerUI::IsPoppedOut() const {
    std::lock_guard<std::mutex> hold(m_popupLock);
    return m_pPopup != nullptr;
}

CWndUserPopupVideo* CPubVideoContainerUI::GetPopup() const {
    std::lock_guard<std::mutex> hold(m_popupLock);
    return m_pPopup;
}

void CPubVideoContainerUI::OnPopupGone(CWndUserPopupVideo* popup) {
    {
        std::lock_guard<std::mutex> hold(m_popupLock);
        if (m_pPopup != popup) return;
        m_pPopup = nullptr;
    }
    if (m_pVideoImg) m_pVideoImg->Invalidate();
}

void CPubVideoContainerUI::SetVideoUser(LPCTSTR caption, int id) {
    SetUserState(CDuiString(caption), id);
    if (id == 0) {
        ClosePopup();
        ShowToolbar(false);
    } else if (CWndUserPopupVideo* popup = GetPopup()) {
        popup->SetVideoUser(caption, id);  // the popped-out window carries the same caption
    }
}

void CPubVideoContainerUI::SetUserLevel(LPCTSTR image, int flag) {
    m_strLevelImage = image ? image : kDefaultLevelImage;
    if (m_pLevel) m_pLevel->SetBkImage(m_strLevelImage);
    m_nGiftFlag = flag;
    if (m_pVideoMenu) m_pVideoMenu->SetText(flag == 1 ? L"送娃娃" : L"送彩条");
}

void CPubVideoContainerUI::SetMicState(LPCTSTR text) {
    if (m_pMicState) m_pMicState->SetText(text);
}

void CPubVideoContainerUI::ClosePopup() {
    if (CWndUserPopupVideo* popup = GetPopup()) popup->CloseVideo();
}

void CPubVideoContainerUI::PopOut() {
    const int id = m_nUserId.load();
    if (id < 1 || !m_hRoomWnd) return;
    if (!GetPopup()) {
        auto* popup = new CWndUserPopupVideo;
        popup->SetSourcePane(this);
        {
            std::lock_guard<std::mutex> hold(m_popupLock);
            m_pPopup = popup;
        }
        if (!popup->Create(m_hRoomWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
            // Nothing will delete a window that never existed.
            std::lock_guard<std::mutex> hold(m_popupLock);
            if (m_pPopup == popup) {
                m_pPopup = nullptr;
                delete popup;
            }
            return;
        }
        POINT pt{m_rcItem.left + 100, m_rcItem.top + 100};
        ::ClientToScreen(m_hRoomWnd, &pt);
        ::SetWindowPos(popup->GetHWND(), nullptr, pt.x, pt.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        popup->ShowWindow(true, false);
        popup->SetVideoUser(m_strCaption, id);
        popup->SetUserLevelImage(m_strLevelImage);
        popup->SetMuteState(m_bVideoMuted.load(), m_bAudioMuted.load());
    }
    if (m_pToolbar) m_pToolbar->SetVisible(false);
    if (m_pVideoImg) m_pVideoImg->Invalidate();
    std::vector<char> frame;
    int w = 0, h = 0;
    if (m_frame.CopyFrame(frame, w, h))
        if (CWndUserPopupVideo* popup = GetPopup())
            popup->PushVideoFrame(frame.data(), static_cast<int>(frame.size()), w, h);
}

bool CPubVideoContainerUI::HandleNotify(TNotifyUI& msg) {
    if (!Owns(msg.pSender)) return false;
    if (msg.sType == DUI_MSGTYPE_CLICK) {
        const CDuiString name = msg.pSender->GetName();
        if (name == L"videobtn_3") {
            PopOut();
            return true;
        }
        if (name == L"videomenu") {
            const int id = m_nUserId.load();
            if (id != 0 && m_hRoomWnd) {
                tagPaneQuickGift gift{m_nGiftFlag == 1 ? 1 : 2, id, 208, 1};
                ::SendMessageW(m_hRoomWnd, UM_PANE_QUICK_GIFT, 0, reinterpret_cast<LPARAM>(&gift));
            }
            return true;
        }
    }
    return CVideoContainerBase::HandleNotify(msg);
}

void CPubVideoContainerUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && event.pSender == this) {
        if (event.wParam == kTimerRandomBk && m_pVideoImg) {
            m_pVideoImg->SetBkColor(0xFF000000u | (static_cast<DWORD>(std::rand()) & 0xFFFFFFu));
        } else if (event.wParam == kTimerHideToolbar) {
            if (m_pManager) m_pManager->KillTimer(this, kTimerHideToolbar);
            if (m_pToolbar) m_pToolbar->SetVisible(false);
        }
        return;
    }
    if (event.Type == UIEVENT_CONTEXTMENU) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
        return;
    }
    if (event.Type == UIEVENT_BUTTONDOWN) {
        const int id = m_nUserId.load();
        if (id != 0 && id != LocalUserId() && m_hRoomWnd)
            ::PostMessageW(m_hRoomWnd, UM_SELECT_TARGET_USER, static_cast<WPARAM>(id), 0);
    }
    CContainerUI::DoEvent(event);
}

void CPubVideoContainerUI::SetPos(RECT rc) {
    CContainerUI::SetPos(rc);
    if (m_pToolbar) m_pToolbar->SetPos(RECT{rc.left, rc.top, rc.right, rc.top + 20});
    if (m_pVolume) m_pVolume->SetPos(RECT{rc.left, rc.bottom - 23, rc.right, rc.bottom - 20});
}
