#include <algorithm>
#include <vector>

#include "fenlo/UIManager.h"
#include "fenlo/UIRichEdit.h"

namespace DuiLib {

namespace {

CControlUI* CALLBACK CollectTabStop(CControlUI* c, LPVOID data) {
    auto* stops = static_cast<std::vector<CControlUI*>*>(data);
    // keyboard="false" keeps any control out of the order (a drop-down arrow, a link).
    if ((c->GetControlFlags() & UIFLAG_TABSTOP) && c->IsKeyboardEnabled()) stops->push_back(c);
    return nullptr;  // keep walking: every stop is wanted
}

}  // namespace

bool CPaintManagerUI::WantsTab(CControlUI* c) {
    if (!c) return false;
    auto* rich = static_cast<CRichEditUI*>(c->GetInterface(L"RichEdit"));
    return rich && rich->IsWantTab();
}

bool CPaintManagerUI::SetNextTabControl(bool bForward) {
    CControlUI* root = GetRoot();
    if (!root) return false;
    // Containers come before their children, children in the order the layout gives them;
    // hidden or disabled branches are skipped as a whole.
    std::vector<CControlUI*> stops;
    root->FindControl(CollectTabStop, &stops, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    stops.erase(std::remove_if(stops.begin(), stops.end(),
                               [this](CControlUI* c) { return c->GetManager() != this; }),
                stops.end());
    if (stops.empty()) return false;
    const int count = static_cast<int>(stops.size());
    auto at = std::find(stops.begin(), stops.end(), GetFocus());
    int next;
    if (at == stops.end())
        next = bForward ? 0 : count - 1;
    else
        next = (static_cast<int>(at - stops.begin()) + (bForward ? 1 : count - 1)) % count;
    SetFocus(stops[static_cast<size_t>(next)]);
    return true;
}

}  // namespace DuiLib
