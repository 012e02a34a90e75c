#include "controls/GiftListUI.h"

#include <string>

#include "controls/DialogBuilderCallbackEx.h"
#include "controls/GiftControlUI.h"
#include "controls/GiftListItem.h"

using namespace DuiLib;

namespace {
// A tile names its gift with this many characters at most.
constexpr size_t kTileNameChars = 4;
}  // namespace

CGiftListUI::CGiftListUI() {
    SetItemSize(SIZE{50, 68});
    // Parsed once; the first tree only proves the layout and is dropped.
    CDialogBuilderCallbackEx callback;
    delete m_dlgBuilder.Create(L"giftdesk.xml", nullptr, &callback, nullptr, nullptr);
}

void CGiftListUI::AddGiftItem(int giftId, LPCTSTR image, LPCTSTR name) {
    CDialogBuilderCallbackEx callback;
    CControlUI* built = m_dlgBuilder.Create(&callback, nullptr, nullptr);
    if (!built) return;
    auto* item = dynamic_cast<CGiftListItem*>(built);
    if (!item) {
        // A tile that cannot carry its gift id would report clicks on nothing.
        delete built;
        return;
    }
    item->SetOwner(this);
    if (!Add(item)) {
        delete item;
        return;
    }

    bool imageDone = false, nameDone = false, idDone = false;
    for (int i = 0; i < item->GetCount(); ++i) {
        CControlUI* child = item->GetItemAt(i);
        CDuiString childName = child->GetName();
        if (!imageDone && childName == L"giftimg") {
            imageDone = true;
            child->SetBkImage((std::wstring(L"gift/") + (image ? image : L"")).c_str());
        } else if (!nameDone && childName == L"giftname") {
            nameDone = true;
            std::wstring text = name ? name : L"";
            child->SetText(text.substr(0, kTileNameChars).c_str());
        } else if (!idDone && childName == L"giftbk") {
            idDone = true;
            if (auto* hover = dynamic_cast<CGiftControlUI*>(child)) hover->SetGiftId(giftId);
        }
    }
    item->SetGiftId(giftId);
    item->SetTag(static_cast<UINT_PTR>(static_cast<INT_PTR>(giftId)));
}
