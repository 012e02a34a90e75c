#include "dialogs/WndQunshuaOK.h"

#include <cstdio>

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndQunshuaOK",   L"WndQunshuaOK.xml", kMsgStandard,
                               ScClose::kWmClose, Lifetime::kStack,    false};

}  // namespace

const SkinWndTraits& CWndQunshuaOK::Traits() const {
    return kTraits;
}

void CWndQunshuaOK::InitWindow() {
    CSkinWnd::InitWindow();
}

int64_t CWndQunshuaOK::Total(int unitPrice, int count, int recipients) {
    return static_cast<int64_t>(unitPrice) * count * recipients;
}

void CWndQunshuaOK::SetGiftInfo(int giftId, int unitPrice, int count, int recipients) {
    if (CControlUI* c = Find(L"giftprice"))
        c->SetText(winplat::FormatText(L"单价：%d币", unitPrice).c_str());
    if (CControlUI* c = Find(L"giftnum"))
        c->SetText(winplat::FormatText(L"数量：%d个*%d人", count, recipients).c_str());
    if (CControlUI* c = Find(L"totalcost"))
        c->SetText(winplat::FormatText(L"总额：%lld币",
                                       static_cast<long long>(Total(unitPrice, count, recipients)))
                       .c_str());
    if (CControlUI* c = Find(L"giftimg"))
        c->SetBkImage(winplat::FormatText(L"gift/%d.png", giftId).c_str());
}

void CWndQunshuaOK::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const CDuiString& name = msg.pSender->GetName();
    if (name == L"btnok")
        Close(1);
    else if (name == L"btncancel")
        Close(2);
    else if (msg.pSender == m_pCloseBtn)
        Close(0);
}
