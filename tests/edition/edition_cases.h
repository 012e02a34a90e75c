// Shared pieces of the edition tests: level lists written the way the rule tables
// write them ("2..19, -117..-106, -103") and users with a given user level and room role.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <sstream>
#include <string>

#include "model/RoomObj.h"
#include "model/UserObj.h"

namespace edition_test {

// "a..b" is every integer from a to b; entries are separated by commas.
inline std::set<int> Levels(const std::string& text) {
    std::set<int> out;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        size_t dots = item.find("..");
        int lo = std::stoi(item.substr(0, dots));
        int hi = dots == std::string::npos ? lo : std::stoi(item.substr(dots + 2));
        if (lo > hi) std::swap(lo, hi);
        for (int v = lo; v <= hi; ++v) out.insert(v);
    }
    return out;
}

inline bool In(const std::set<int>& s, int v) {
    return s.count(v) != 0;
}

// Users with a given user level and room role, each in a room of his own. Roles come
// out of GetRoomMgrLevel as the rules see them: 1 and 2 from the room's owner and deputy
// ids, 4 from the temporary-manager flag, the others from the stored level.
class Users {
public:
    CUserObj* Make(int level, int mgr, int g6 = 0, int g7 = 0, int g8 = 0) {
        entries.emplace_back();
        Entry& e = entries.back();
        CUserObj* u = &e.user;
        u->userId = static_cast<int>(entries.size()) + 1000;
        u->levels[0] = level;
        u->levels[5] = g6;
        u->levels[6] = g7;
        u->levels[7] = g8;
        u->room = &e.room;
        if (mgr == 1)
            e.room.ownerId = u->userId;
        else if (mgr == 2)
            e.room.deputyOwnerIds[1] = u->userId;
        else if (mgr == 4)
            u->flags |= USER_FLAG_TEMP_MANAGER;
        else
            u->roomMgrLevel = mgr;
        EXPECT_EQ(u->GetRoomMgrLevel(), mgr) << "set-up of level " << level;
        return u;
    }

private:
    struct Entry {
        CRoomObj room;
        CUserObj user;
    };
    std::deque<Entry> entries;
};

}  // namespace edition_test
