// Gives a window's "winBG" control the current skin's frame image.
#pragma once

namespace DuiLib {
class CControlUI;
}

// Nothing for a null control.
void ApplySkinFrame(DuiLib::CControlUI* winBG);
