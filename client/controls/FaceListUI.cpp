#include "controls/FaceListUI.h"

#include <cwchar>

#include "controls/DialogBuilderCallbackEx.h"

using namespace DuiLib;

namespace {
CControlUI* CALLBACK MatchName(CControlUI* control, LPVOID name) {
    return control->GetName() == static_cast<const wchar_t*>(name) ? control : nullptr;
}

// The first control of the tile (the tile itself included) with that name.
CControlUI* FindInTile(CControlUI* tile, const wchar_t* name) {
    return tile->FindControl(MatchName, const_cast<wchar_t*>(name), UIFIND_ALL);
}
}  // namespace

CFaceListUI::CFaceListUI() {
    // Parsed once; the first tree only proves the layout and is dropped.
    CDialogBuilderCallbackEx callback;
    delete m_dlgBuilder.Create(L"facedesk.xml", nullptr, &callback, nullptr, nullptr);
}

void CFaceListUI::AddFace(int faceId) {
    CDialogBuilderCallbackEx callback;
    CControlUI* tile = m_dlgBuilder.Create(&callback, nullptr, nullptr);
    if (!tile) return;
    if (!Add(tile)) {
        delete tile;
        return;
    }
    // A list element without an item size would stretch one tile over each row.
    const SIZE item = GetItemSize();
    if (item.cx <= 0 || item.cy <= 0)
        SetItemSize(SIZE{tile->GetFixedWidth(), tile->GetFixedHeight()});
    if (CControlUI* button = FindInTile(tile, L"btnfaceid")) {
        button->SetTag(static_cast<UINT_PTR>(static_cast<INT_PTR>(faceId)));
        button->SetUserData(L"FaceId");
    }
    if (CControlUI* image = FindInTile(tile, L"faceimg")) {
        image->SetBkImage(winplat::FormatText(L"Face\\36\\%d.png", faceId).c_str());
    }
}
