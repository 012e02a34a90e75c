#include "controls/MultiImageUI.h"

#include <cwchar>

using namespace DuiLib;

LPCTSTR CMultiImageUI::GetClass() const {
    return L"MultiImageUI";
}

LPVOID CMultiImageUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"MultiImageUI") == 0) return this;
    return nullptr;
}

void CMultiImageUI::AddImage(LPCTSTR pstrImage) {
    if (!pstrImage) return;
    for (const tagTImageObject& image : m_images)
        if (image.sImageName == pstrImage) return;
    tagTImageObject image;
    image.sImageName = pstrImage;
    m_images.push_back(image);
    Invalidate();
}

void CMultiImageUI::StartTimer() {
    if (m_pManager) m_pManager->SetTimer(this, kMultiImageTimerId, kMultiImageIntervalMs);
}

void CMultiImageUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && event.wParam == kMultiImageTimerId) {
        // Wrapped when painted, so a hidden control goes on with the next picture.
        ++m_nCurIndex;
        Invalidate();
        return;
    }
    CControlUI::DoEvent(event);
}

void CMultiImageUI::PaintStatusImage(HDC hDC) {
    if (m_nCurIndex < 0 || m_nCurIndex >= GetImageCount()) m_nCurIndex = 0;
    if (m_images.empty()) return;
    DrawImage(hDC, m_images[static_cast<size_t>(m_nCurIndex)].sImageName);
}
