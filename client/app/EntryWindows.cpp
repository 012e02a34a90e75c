#include "app/EntryWindows.h"

#include <utility>

namespace {

EntryWindowsT& Windows() {
    static EntryWindowsT windows;
    return windows;
}

}  // namespace

void SetEntryWindows(EntryWindowsT windows) {
    Windows() = std::move(windows);
}

int RunLogonWindow(const wchar_t* title) {
    return Windows().runLogon ? Windows().runLogon(title) : -1;
}

bool CreateLobbyWindow(const wchar_t* title) {
    return Windows().createLobby && Windows().createLobby(title);
}
