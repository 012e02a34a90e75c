// The current skin's frame image on a window's background control.
#pragma once

#include "fenlo/UIlib.h"

// Sets winBG's background image to the current skin's frame image; null is ignored.
void ApplySkinFrame(DuiLib::CControlUI* winBG);
