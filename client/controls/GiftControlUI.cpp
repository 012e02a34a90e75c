#include "controls/GiftControlUI.h"

#include <cwchar>

using namespace DuiLib;

LPCTSTR CGiftControlUI::GetClass() const {
    return L"ControlUI";
}

LPVOID CGiftControlUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && std::wcscmp(pstrName, L"GiftControl") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CGiftControlUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        if (m_pParent)
            m_pParent->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    if (event.Type == UIEVENT_MOUSEENTER) {
        // Service tiles of the room have no gift to describe.
        if (m_nGiftId < 0) return;
        m_uButtonState |= UISTATE_HOT;
        Invalidate();
        // Read by the notifier during the call only.
        int where[3] = {m_nGiftId, m_rcItem.left, m_rcItem.top + kGiftTipOffsetY};
        if (m_pManager)
            m_pManager->SendNotify(this, L"mouseenter", kGiftHoverNotifyParam,
                                   reinterpret_cast<LPARAM>(where));
        return;
    }
    if (event.Type == UIEVENT_MOUSELEAVE) {
        if ((m_uButtonState & UISTATE_HOT) == 0) return;
        m_uButtonState &= ~UISTATE_HOT;
        Invalidate();
        if (m_pManager) m_pManager->SendNotify(this, L"mouseleave", kGiftHoverNotifyParam, 0);
        return;
    }
    CControlUI::DoEvent(event);
}
