#include "DoruUserMVDelegate.h"

#include "ThresholdEditionRules.h"

namespace {

const edition::ThresholdEdition kDoru = {
    40,            // top user levels 40..44
    {35, 34, 33},  // levels[6] above 17, 10, 0
    32,            // levels[7] above 5
    31,            // levels[5] of 20 or more
    30,            // host level
    {{1, 18}, {5, 23}, {7, 25}, {8, 22}, {9, 24}, {11, 20}, {12, 21}},
    7,
    2,  // privilege 14 from final level 2
};

}  // namespace

CDoruUserMVDelegate::~CDoruUserMVDelegate() = default;

bool CDoruUserMVDelegate::CheckPrivilege(short id, CUserObj* user, int* handled) {
    return edition::ThresholdCheck(kDoru, id, user, handled);
}

bool CDoruUserMVDelegate::CheckPrivilege(short id, CUserObj* actor, CUserObj* target,
                                         int* handled) {
    return edition::ThresholdCheck(kDoru, id, actor, target, handled);
}

int CDoruUserMVDelegate::GetUserFinalLevel(CUserObj* user, int* handled) {
    if (handled) *handled = 1;
    return edition::ThresholdFinalLevel(kDoru, user);
}

int CDoruUserMVDelegate::GetUserSortId(CUserObj*, int* handled) {
    if (handled) *handled = 0;
    return 0;
}
