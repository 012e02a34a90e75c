#include "app/SkinFrame.h"

#include "app/SkinTable.h"
#include "fenlo/UIlib.h"

void ApplySkinFrame(DuiLib::CControlUI* winBG) {
    if (winBG && g_pCurSkin) winBG->SetBkImage(g_pCurSkin->szBkImage);
}
