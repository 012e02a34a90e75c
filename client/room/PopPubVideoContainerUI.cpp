#include "room/PopPubVideoContainerUI.h"

#include <cstdlib>
#include <cwchar>
#include <new>

#include "controls/DialogBuilderCallbackEx.h"

using namespace DuiLib;

namespace {
// The skins' "PopPubVideo" element: the control factory one floor down cannot name this
// class, so the class gives it its creator at start-up wherever it is linked in.
[[maybe_unused]] const bool kFactoryKnowsMe = CDialogBuilderCallbackEx::SetCreator(
    L"PopPubVideo", []() -> CControlUI* { return new (std::nothrow) CPopPubVideoContainerUI; });

constexpr UINT kTimerRandomBk = 101;
constexpr UINT kTimerHideToolbar = 102;
}  // namespace

CPopPubVideoContainerUI::CPopPubVideoContainerUI() {
    CDialogBuilder builder;
    CDialogBuilderCallbackEx callback;
    CControlUI* root = builder.Create(L"popuppubvideownd.xml", nullptr, &callback, nullptr, this);
    if (root && GetItemIndex(root) < 0) Add(root);
    FindControls(root);
    m_hDrawDib = DrawDibOpen();
}

CPopPubVideoContainerUI::~CPopPubVideoContainerUI() {
    DrawDibClose(m_hDrawDib);
}

LPCTSTR CPopPubVideoContainerUI::GetClass() const {
    return L"PopPubVideoContainerUI";
}

LPVOID CPopPubVideoContainerUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"PopPubVideo") == 0) return this;
    return CContainerUI::GetInterface(pstrName);
}

void CPopPubVideoContainerUI::ShowToolbar(bool show) {
    if (m_pToolbar) m_pToolbar->SetVisible(show);
}

void CPopPubVideoContainerUI::PushVideoFrame(char* data, int size, int width, int height) {
    if (m_bVideoMuted.load() || m_nUserId.load() == 0 || !m_pVideoImg) return;
    StoreFrame(data, size, width, height);
}

void CPopPubVideoContainerUI::SetVideoUser(LPCTSTR caption, int id) {
    SetUserState(CDuiString(caption), id);
}

void CPopPubVideoContainerUI::SetUserLevelImage(LPCTSTR image) {
    m_strLevelImage = image ? image : L"";
    if (m_pLevel) m_pLevel->SetBkImage(m_strLevelImage);
}

void CPopPubVideoContainerUI::ShowVideo(bool show) {
    if (m_pVideoImg) m_pVideoImg->SetVisible(show);
}

void CPopPubVideoContainerUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && event.pSender == this) {
        if (event.wParam == kTimerRandomBk && m_pVideoImg) {
            m_pVideoImg->SetBkColor(0xFF000000u | (static_cast<DWORD>(std::rand()) & 0xFFFFFFu));
        } else if (event.wParam == kTimerHideToolbar) {
            if (m_pManager) m_pManager->KillTimer(this, kTimerHideToolbar);
            if (m_pToolbar) m_pToolbar->SetVisible(false);
        }
        return;
    }
    if (event.Type == UIEVENT_MOUSEENTER) ShowToolbar(true);
    if (event.Type == UIEVENT_MOUSELEAVE && !::PtInRect(&m_rcItem, event.ptMouse))
        ShowToolbar(false);
    if (event.Type == UIEVENT_CONTEXTMENU) {
        if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
        return;
    }
    CContainerUI::DoEvent(event);
}

void CPopPubVideoContainerUI::SetPos(RECT rc) {
    CContainerUI::SetPos(rc);
    if (m_pToolbar) m_pToolbar->SetPos(RECT{rc.left + 1, rc.bottom - 20, rc.right - 1, rc.bottom});
    if (m_pVolume) m_pVolume->SetPos(RECT{rc.left, rc.bottom - 3, rc.right, rc.bottom});
}
