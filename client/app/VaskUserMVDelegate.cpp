#include "VaskUserMVDelegate.h"

#include "ThresholdEditionRules.h"

namespace {

const edition::ThresholdEdition kVask = {
    27,            // top user levels 27..31
    {26, 25, 24},  // levels[6] above 17, 10, 0
    23,            // levels[7] above 5
    22,            // levels[5] of 20 or more
    21,            // host level
    {{5, 20}, {8, 19}, {1, 18}},
    3,
    3,  // privilege 14 from final level 3
};

}  // namespace

CVaskUserMVDelegate::~CVaskUserMVDelegate() = default;

bool CVaskUserMVDelegate::CheckPrivilege(short id, CUserObj* user, int* handled) {
    return edition::ThresholdCheck(kVask, id, user, handled);
}

bool CVaskUserMVDelegate::CheckPrivilege(short id, CUserObj* actor, CUserObj* target,
                                         int* handled) {
    return edition::ThresholdCheck(kVask, id, actor, target, handled);
}

int CVaskUserMVDelegate::GetUserFinalLevel(CUserObj* user, int* handled) {
    if (handled) *handled = 1;
    return edition::ThresholdFinalLevel(kVask, user);
}

int CVaskUserMVDelegate::GetUserSortId(CUserObj*, int* handled) {
    if (handled) *handled = 0;
    return 0;
}
