#include "controls/VideoImgPreviewUI.h"

#include <cwchar>

LPCTSTR CVideoImgPreviewUI::GetClass() const {
    return L"VideoImgPreviewUI";
}

LPVOID CVideoImgPreviewUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"VideoImgPreview") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CVideoImgPreviewUI::PaintStatusImage(HDC hDC) {
    if (m_pCallBack) m_pCallBack->OnCustomDraw(hDC, m_rcItem.left, m_rcItem.top);
}
