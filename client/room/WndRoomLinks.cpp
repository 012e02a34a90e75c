// Link commands inside the room's chat views.
#include "room/WndRoom.h"

// The chat issue fills this; until then links navigate as the browser does.
void CWndRoom::BeforeNavigate2(DuiLib::CWebBrowserUI*, LPCTSTR, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                               bool&) {}
