// Until these windows are built there is nothing to open. Each window's own file
// takes its function over when it lands (and its line here goes).
#include "lobby/LaterWindows.h"

void OpenSkinChooserWindowImpl() {}
