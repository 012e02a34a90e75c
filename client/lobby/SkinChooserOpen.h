// The program-wide skin chooser (app/LaterWindows.h's openSkinChooser).
#pragma once

void OpenSkinChooserWindowImpl();
