#include "controls/GiftListItem.h"

#include "controls/GiftListUI.h"

using namespace DuiLib;

LPCTSTR CGiftListItem::GetClass() const {
    return L"GiftListItemUI";
}

void CGiftListItem::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent)
            m_pParent->DoEvent(event);
        else
            CContainerUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_DBLCLICK:
        case UIEVENT_BUTTONUP:
        case UIEVENT_MOUSEMOVE:
            return;
        case UIEVENT_BUTTONDOWN:
            if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMCLICK, 0, 0);
            break;
        default:
            break;
    }
    // The list scrolls for the wheel over any of its tiles.
    if (m_pOwner)
        m_pOwner->DoEvent(event);
    else
        CContainerUI::DoEvent(event);
}

void CGiftListItem::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT rcTemp;
    if (!UIIntersectRect(&rcTemp, rcPaint, m_rcItem)) return;
    CContainerUI::DoPaint(hDC, rcPaint);
}
