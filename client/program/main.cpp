// The executable: the floors are wired here, then everything happens in WinMain, which
// tests call in-process too.
#include "app/WinMain.h"
#include "program/ProgramWiring.h"

int main() {
    InstallProgramWiring();
    return WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
}
