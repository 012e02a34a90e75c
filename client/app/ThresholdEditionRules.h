// The rules the Vask and Doru editions share: final levels ranked by thresholds on the
// user level and three further level bytes, privileges granted from a minimum level.
// The editions differ only in the constants below.
#pragma once

class CUserObj;

namespace edition {

struct ThresholdEdition {
    int topLevel;    // the lowest of the five top user levels, which rank as themselves
    int g7Codes[3];  // levels[6] above 17, above 10, above 0
    int g8Code;      // levels[7] above 5
    int g6Code;      // levels[5] of 20 or more
    int hostLevel;   // the host user level, which ranks as itself
    struct Role {
        int roomMgrLevel;
        int finalLevel;
    } roles[7];
    int roleCount;
    int exchangeMinLevel;  // privilege 14
};

int ThresholdFinalLevel(const ThresholdEdition& e, CUserObj* user);
// Both checks decide only the ids these editions know; others stay unhandled.
bool ThresholdCheck(const ThresholdEdition& e, short id, CUserObj* user, int* handled);
bool ThresholdCheck(const ThresholdEdition& e, short id, CUserObj* actor, CUserObj* target,
                    int* handled);

}  // namespace edition
