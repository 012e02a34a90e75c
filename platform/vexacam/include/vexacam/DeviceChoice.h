// Which listed device a Connect call means.
#pragma once

#include <string>
#include <vector>

namespace vexacam {

// The position in `names` of the device that Connect(mode, index, name, ...) opens, or -1.
// The index decides: the camera dialog passes its combo index with a fixed name, and the
// engine the chosen index with the first device's name. The name serves only when the
// index is outside the list.
int ChooseCameraDevice(const std::vector<std::string>& names, int index, const char* name);

}  // namespace vexacam
