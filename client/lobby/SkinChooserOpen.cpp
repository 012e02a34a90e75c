// The lobby's "selskin": the program-wide skin chooser, shown again when open.
#include "lobby/SkinChooserOpen.h"

#include "app/ClientApp.h"
#include "dialogs/WndSelSkin.h"

void OpenSkinChooserWindowImpl() {
    OpenSelfDeleting(theApp.m_pWndSelSkin, ::GetDesktopWindow(), ReuseAction::kShowAndForeground);
}
