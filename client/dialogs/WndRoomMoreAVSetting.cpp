#include "dialogs/WndRoomMoreAVSetting.h"

using namespace DuiLib;

namespace {
void Fill(CControlUI* c, const std::vector<std::wstring>& names) {
    auto* combo = c ? static_cast<CComboUI*>(c->GetInterface(L"Combo")) : nullptr;
    if (!combo) return;
    combo->RemoveAll();
    for (const std::wstring& name : names) {
        auto* item = new CListLabelElementUI;
        item->SetText(name.c_str());
        combo->Add(item);
    }
    combo->SelectItem(0, false, false);
}
}  // namespace

const SkinWndTraits& CWndRoomMoreAVSetting::Traits() const {
    static const SkinWndTraits traits{
        "CWndRoomMoreAVSetting", L"WndRoomMoreAVSetting.xml", kMsgStandard,
        ScClose::kClose,         Lifetime::kSelfDeleting,     false};
    return traits;
}

void CWndRoomMoreAVSetting::InitWindow() {
    CRoomAvPanelBase::InitWindow();
    Fill(Find(L"comAudioIn"), m_audioInNames);
    Fill(Find(L"comAudioOut"), m_audioOutNames);
}

void CWndRoomMoreAVSetting::OnClick(TNotifyUI& msg) {
    const CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    CControlUI* c = Find(L"switch");
    auto* tabs = c ? static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout")) : nullptr;
    if (name == L"swroombase") {
        if (tabs) tabs->SelectItem(0);
    } else if (name == L"swroomnoticy") {
        if (tabs) tabs->SelectItem(1);
    } else {
        CRoomAvPanelBase::OnClick(msg);
    }
}
