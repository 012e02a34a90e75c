// The executable: everything happens in WinMain, which tests call in-process too.
#include "app/WinMain.h"

int main() {
    return WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
}
