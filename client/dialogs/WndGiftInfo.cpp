#include "dialogs/WndGiftInfo.h"

#include <string>

#include "catalogs/GiftManager.h"
#include "controls/KernelData.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {
    "CWndGiftInfo",
    L"WndGiftInfo.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};

constexpr UINT_PTR kTimerHide = 401;
constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kBlack = 0xFF000000;

void SetLabelColour(CControlUI* control, DWORD colour) {
    if (auto* label = dynamic_cast<CLabelUI*>(control)) label->SetTextColor(colour);
}

}  // namespace

const SkinWndTraits& CWndGiftInfo::Traits() const {
    return kTraits;
}

void CWndGiftInfo::InitWindow() {
    CSkinWnd::InitWindow();
    m_pImage = Find(L"giftimg");
    m_pName = Find(L"name");
    m_pPrice = Find(L"price");
    m_pPrice2 = Find(L"price2");
    m_pInfo = Find(L"info");
}

void CWndGiftInfo::ShowGift(int giftId) {
    CCommKernelData* data = KernelData();
    tag_GiftItemInfo* gift =
        data && data->m_pGiftManager ? data->m_pGiftManager->FindGiftItem(giftId) : nullptr;
    if (!gift) return;
    if (m_pImage)
        m_pImage->SetBkImage((L"gift/" + std::to_wstring(gift->giftId) + L".png").c_str());
    if (m_pName) m_pName->SetText((L"礼物：" + gift->giftName).c_str());
    if (m_pPrice) m_pPrice->SetText((L"价格：" + std::to_wstring(gift->price) + L" Z币").c_str());
    if (m_pPrice2) {
        // The room sends a gift whose price equals the balance, so only less is too little.
        const bool cannotAfford = data->GetLocalUser()->money < static_cast<int64_t>(gift->price);
        m_pPrice2->SetText(cannotAfford ? L"买不起" : L"");
        SetLabelColour(m_pPrice2, cannotAfford ? kRed : kBlack);
    }
    if (m_pInfo) m_pInfo->SetText(gift->giftText1.c_str());
}

void CWndGiftInfo::KillHideTimer() {
    ::KillTimer(m_hWnd, kTimerHide);
}

LRESULT CWndGiftInfo::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (uMsg == WM_TIMER && wParam == kTimerHide) {
        ShowWindow(false, false);
        bHandled = TRUE;
        return 0;
    }
    bHandled = FALSE;
    return 0;
}
