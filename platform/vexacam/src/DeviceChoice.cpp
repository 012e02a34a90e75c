#include "vexacam/DeviceChoice.h"

#include <cstring>

namespace vexacam {

int ChooseCameraDevice(const std::vector<std::string>& names, int index, const char* name) {
    if (index >= 0 && static_cast<size_t>(index) < names.size()) return index;
    if (name && *name) {
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace vexacam
