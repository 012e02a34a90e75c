#include "lobby/LobbyPrompts.h"

#include "app/OutsideOpen.h"
#include "dialogs/WndMsgBox.h"

namespace {
std::function<void(HWND, const std::wstring&)>& MessageHook() {
    static std::function<void(HWND, const std::wstring&)> hook;
    return hook;
}
std::function<void(const std::wstring&)>& BrowserHook() {
    static std::function<void(const std::wstring&)> hook;
    return hook;
}
}  // namespace

void ShowLobbyMessage(HWND parent, const wchar_t* text) {
    std::wstring t = text ? text : L"";
    if (MessageHook()) {
        MessageHook()(parent, t);
        return;
    }
    CWndMsgBox box;
    box.SetText(t.c_str());
    box.SetButtons(0);
    box.DoModal(parent);
}

void SetLobbyMessageHook(std::function<void(HWND, const std::wstring&)> hook) {
    MessageHook() = std::move(hook);
}

void OpenOutsideBrowser(const wchar_t* url, HWND parent) {
    if (!url || !*url) return;
    if (BrowserHook()) {
        BrowserHook()(url);
        return;
    }
    OpenWebPage(url, parent,
                [parent](const std::wstring& text) { ShowLobbyMessage(parent, text.c_str()); });
}

void SetOutsideBrowserHook(std::function<void(const std::wstring&)> hook) {
    BrowserHook() = std::move(hook);
}
