#include "ThresholdEditionRules.h"

#include "model/UserObj.h"

namespace edition {

int ThresholdFinalLevel(const ThresholdEdition& e, CUserObj* user) {
    if (!user) return 0;
    const int level = user->levels[0];
    const int g6 = user->levels[5];
    const int g7 = user->levels[6];
    const int g8 = user->levels[7];
    const int mgr = user->GetRoomMgrLevel();

    if (level >= e.topLevel && level <= e.topLevel + 4) return level;
    if (g7 > 17) return e.g7Codes[0];
    if (g7 > 10) return e.g7Codes[1];
    if (g7 > 0) return e.g7Codes[2];
    if (g8 > 5) return e.g8Code;
    if (g6 >= 20) return e.g6Code;
    if (level == e.hostLevel) return e.hostLevel;
    for (int i = 0; i < e.roleCount; ++i)
        if (e.roles[i].roomMgrLevel == mgr) return e.roles[i].finalLevel;
    if (g8 == 5) return 17;
    if (g8 == 4) return 16;
    if (mgr == ROOM_MGR_DEPUTY_OWNER) return 15;
    if (g8 == 3) return 14;
    if (g8 == 2) return 13;
    if (g8 == 1) return 12;
    if (g6 >= 16 && g6 <= 19) return 11;
    if (g6 >= 11 && g6 <= 15) return 10;
    if (g6 >= 6 && g6 <= 10) return 9;
    if (g6 >= 1 && g6 <= 5) return 8;
    if (level == 7) return 7;
    if (mgr == ROOM_MGR_MANAGER || mgr == ROOM_MGR_TEMP_MANAGER) return 6;
    if (level >= 1 && level <= 5) return level;
    return 0;
}

bool ThresholdCheck(const ThresholdEdition& e, short id, CUserObj* user, int* handled) {
    const int f = ThresholdFinalLevel(e, user);
    const int top = e.topLevel;
    bool granted;
    switch (id) {
        case 4:
        case 5:
        case 6:
        case 18:
        case 19:
        case 20:
        case 37:
        case 38:
            granted = f >= 3;
            break;
        case 14:
            granted = f >= e.exchangeMinLevel;
            break;
        case 9:
        case 40:
        case 41:
            granted = f >= 15;
            break;
        case 10:
            granted = f >= e.hostLevel;
            break;
        // Asked of the user level itself, not of the final level.
        case 15:
            granted = user && (user->levels[0] == 7 || user->levels[0] >= top);
            break;
        case 16:
        case 23:
            granted = f >= top || f == 18;
            break;
        case 17:
            granted = f >= 6;
            break;
        case 24:
        case 35:
            granted = f >= top || f == 18 || f == 15;
            break;
        case 26:
            granted = f >= top || f == 18 || f == 15 || f == 6;
            break;
        case 28:
        case 29:
        case 30:
        case 39:
            granted = f >= top;
            break;
        case 34:
            granted = f >= 1;
            break;
        case 36:
            granted = f <= 2;
            break;
        case 42:
            granted = f >= 4;
            break;
        default:
            return false;  // not ours to decide
    }
    if (handled) *handled = 1;
    return user && granted;
}

bool ThresholdCheck(const ThresholdEdition& e, short id, CUserObj* actor, CUserObj* target,
                    int* handled) {
    const int a = ThresholdFinalLevel(e, actor);
    const int t = ThresholdFinalLevel(e, target);
    bool granted;
    switch (id) {
        case 100:
            granted = a > 6 && t < a;
            break;
        case 107:
            granted = (a >= 18 || a == 15) && t < a;
            break;
        case 108:
            granted = (a >= 15 || a == 6) && t < a;
            break;
        case 111:
            granted = (a == e.hostLevel || a >= e.topLevel) && t < a;
            break;
        case 112:
            granted = a > 14;
            break;
        default:
            return false;  // not ours to decide
    }
    if (handled) *handled = 1;
    return actor && target && granted;
}

}  // namespace edition
