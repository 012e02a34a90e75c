#include "dialogs/WndUserSeal.h"

#include <string>

#include "app/RoomView.h"
#include "app/SkinTable.h"
#include "catalogs/SealManager.h"
#include "controls/KernelData.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {
    "CWndUserSeal",
    L"WndUserSeal.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};

const wchar_t kSealPrefix[] = L"btn_seal_list";
constexpr size_t kIdOffset = 14;  // the prefix and its separator
constexpr long kMaxSealId = 0xFFFF;
constexpr int kStampTabs = 6;

}  // namespace

const SkinWndTraits& CWndUserSeal::Traits() const {
    return kTraits;
}

int CWndUserSeal::SealIdOfName(LPCTSTR name) {
    if (!name) return 0;
    const std::wstring text = name;
    const size_t at = text.find(kSealPrefix);
    if (at == std::wstring::npos || at + kIdOffset >= text.size()) return 0;
    long id = 0;
    for (size_t i = at + kIdOffset; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return 0;
        id = id * 10 + (text[i] - L'0');
        if (id > kMaxSealId) return 0;
    }
    return static_cast<int>(id);
}

void CWndUserSeal::InitWindow() {
    CSkinWnd::InitWindow();
    m_pStampSwitch = dynamic_cast<CTabLayoutUI*>(Find(L"stamp_switch"));
    m_pSealName = Find(L"Seal_name");
    m_pSealPrice = Find(L"Seal_Price");
    m_pSealTime = Find(L"Seal_Time");
    if (m_pWinBG && g_pCurSkin && g_pCurSkin->szBkImage)
        m_pWinBG->SetBkImage(g_pCurSkin->szBkImage);
}

void CWndUserSeal::ShowSealInfo(int sealId) {
    CCommKernelData* data = KernelData();
    tag_SealItemInfo* seal =
        data && data->m_pSealManager ? data->m_pSealManager->FindSealItem(sealId) : nullptr;
    if (!seal) return;
    if (m_pSealName) m_pSealName->SetText(seal->name.c_str());
    if (m_pSealPrice) m_pSealPrice->SetText(std::to_wstring(seal->price).c_str());
    if (m_pSealTime) m_pSealTime->SetText(std::to_wstring(seal->time).c_str());
}

void CWndUserSeal::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const std::wstring name = msg.pSender->GetName().GetData();
    if (msg.pSender == m_pCloseBtn) {
        Close(1);
        return;
    }
    for (int tab = 0; tab < kStampTabs; ++tab) {
        if (name == L"stamp_" + std::to_wstring(tab + 1)) {
            if (m_pStampSwitch) m_pStampSwitch->SelectItem(tab);
            return;
        }
    }
    if (name.find(kSealPrefix) == std::wstring::npos) return;
    const int sealId = SealIdOfName(name.c_str());
    IRoomView* room = CurrentRoomView();
    HWND roomWnd = room && room->Window() ? room->Window()->GetHWND() : nullptr;
    // The picker stays open for more seals.
    if (sealId > 0 && roomWnd && ::IsWindow(roomWnd))
        ::SendMessageW(roomWnd, UM_SEAL_CHOSEN, static_cast<WPARAM>(m_nTargetUserId),
                       static_cast<LPARAM>(sealId));
}

void CWndUserSeal::OnNotify(TNotifyUI& msg) {
    if (!msg.pSender || msg.sType != DUI_MSGTYPE_MOUSEENTER ||
        msg.wParam != kButtonHoverNotifyParam)
        return;
    const std::wstring name = msg.pSender->GetName().GetData();
    if (name.find(kSealPrefix) != std::wstring::npos) ShowSealInfo(SealIdOfName(name.c_str()));
}
