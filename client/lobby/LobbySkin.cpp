#include "lobby/LobbySkin.h"

#include "app/SkinTable.h"

void ApplySkinFrame(DuiLib::CControlUI* winBG) {
    if (winBG && g_pCurSkin && g_pCurSkin->szBkImage) winBG->SetBkImage(g_pCurSkin->szBkImage);
}
