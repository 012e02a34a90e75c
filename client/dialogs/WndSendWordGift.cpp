#include "dialogs/WndSendWordGift.h"

#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/SkinTable.h"
#include "catalogs/GiftManager.h"
#include "controls/GiftListUI.h"
#include "controls/KernelData.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {
    "CWndSendWordGift",
    L"WndSendWordGift.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};

CGiftManager* Gifts() {
    CCommKernelData* data = KernelData();
    return data ? data->m_pGiftManager : nullptr;
}

}  // namespace

const SkinWndTraits& CWndSendWordGift::Traits() const {
    return kTraits;
}

void CWndSendWordGift::InitWindow() {
    CSkinWnd::InitWindow();
    m_pGiftList = dynamic_cast<CGiftListUI*>(Find(L"giftlist"));
    m_pGiftText = Find(L"gifttext");
    m_pUserText = Find(L"usertext");
    m_pInput = Find(L"inputtext");
    // What does not fit the words is refused at the keyboard, not dropped unseen.
    if (auto* edit = dynamic_cast<CEditUI*>(m_pInput)) edit->SetMaxChar(kMaxWords);
    if (m_pWinBG && g_pCurSkin && g_pCurSkin->szBkImage)
        m_pWinBG->SetBkImage(g_pCurSkin->szBkImage);
    FillGiftList();
}

void CWndSendWordGift::FillGiftList() {
    CGiftManager* gifts = Gifts();
    if (!gifts || !m_pGiftList) return;
    std::vector<int> ids;
    gifts->GetSendGiftIds(ids);
    for (int id : ids) {
        tag_GiftItemInfo* gift = gifts->FindGiftItem(id);
        if (!gift) continue;
        const std::wstring image = std::to_wstring(id) + L".png";
        m_pGiftList->AddGiftItem(id, image.c_str(), gift->giftName.c_str());
    }
}

void CWndSendWordGift::SetTargetName(LPCTSTR alias) {
    m_alias = alias ? alias : L"";
    if (!m_pUserText) return;
    m_pUserText->SetText(
        winplat::FormatText(L"你选择的赠送对象：%ls(%d)", m_alias.c_str(), m_nTargetUserId)
            .c_str());
}

void CWndSendWordGift::ShowGiftInfo(int giftId) {
    CGiftManager* gifts = Gifts();
    tag_GiftItemInfo* gift = gifts ? gifts->FindGiftItem(giftId) : nullptr;
    if (!gift) return;
    if (m_pGiftText) {
        m_pGiftText->SetText(
            winplat::FormatText(L"名称：%ls 价格: %d 币", gift->giftName.c_str(), gift->price)
                .c_str());
    }
    m_nGiftId = giftId;
}

void CWndSendWordGift::Send() {
    std::wstring words = m_pInput ? m_pInput->GetText().GetData() : L"";
    if (words.size() > kMaxWords) words.resize(kMaxWords);
    if (m_send) m_send(m_nTargetUserId, m_nGiftId, m_nCount, winplat::WideToAnsi(words).c_str());
}

void CWndSendWordGift::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const CDuiString& name = msg.pSender->GetName();
    if (name == L"btn_ok")
        Send();
    else if (msg.pSender == m_pCloseBtn || name == L"btn_cancel")
        Close(1);
}

void CWndSendWordGift::OnNotify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMCLICK && msg.pSender &&
        std::wcscmp(msg.pSender->GetClass(), L"GiftListItemUI") == 0)
        ShowGiftInfo(static_cast<int>(msg.pSender->GetTag()));
}
