// Set-up of the targets that draw: the Qt layer (offscreen in every run) and the
// skin folder as the resource path. Include from the target's one source only.
#pragma once

#include "fenlo/UIlib.h"
#include "win32gui/user.h"

namespace fuzzing {

inline void FuzzGuiOnce() {
    static const bool ready = [] {
        winplat::InstallGui();
        DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
        return true;
    }();
    (void)ready;
}

}  // namespace fuzzing

// Fontconfig, under Qt's font database, keeps its caches where the leak check cannot
// trace them; the check stays on for everything else.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
