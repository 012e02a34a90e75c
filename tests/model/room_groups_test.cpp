#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/RoomGroupManager.h"

namespace {

tag_RoomGroupData Group(int id, int parent, int users = 0) {
    tag_RoomGroupData g;
    std::memset(&g, 0, sizeof g);
    g.groupId = id;
    g.parentId = parent;
    g.userNum = users;
    return g;
}

std::vector<int> Ids(CRoomGroupManager& m) {
    std::vector<int> ids;
    for (auto* g : *m.GetRoomGroupList()) ids.push_back(g->groupId);
    return ids;
}

TEST(RoomGroupManager, GroupsNeedTheirParentFirst) {
    CRoomGroupManager m;
    const tag_RoomGroupData arrivals[] = {
        Group(1, 0),
        Group(3, 2) /* parent not yet here */,
        Group(2, 1),
        Group(4, 3) /* child of the dropped group */,
        Group(0, 0),
        Group(2, 0) /* known id */,
        Group(5, 5) /* its own parent */,
    };
    for (auto g : arrivals) m.AddRoomGroupData(&g);
    m.AddRoomGroupData(nullptr);
    EXPECT_EQ(Ids(m), (std::vector<int>{1, 2}));
    EXPECT_EQ(m.FindRoomGroupData(1)->hasChildren, 1);
    EXPECT_EQ(m.FindRoomGroupData(2)->hasChildren, 0);
    EXPECT_EQ(m.FindRoomGroupData(0), nullptr);
    EXPECT_EQ(m.FindRoomGroupData(3), nullptr);
}

TEST(RoomGroupManager, CountsRollUpToEveryAncestor) {
    CRoomGroupManager m;
    for (auto g : {Group(10, 0), Group(20, 10), Group(30, 20), Group(40, 0)})
        m.AddRoomGroupData(&g);
    m.SetGroupUserNum(10, 3);
    m.SetGroupUserNum(20, 2);
    m.SetGroupUserNum(30, 4);
    m.SetGroupUserNum(99, 5);  // unknown: nothing
    m.CalcRoomGroupUserNum();
    EXPECT_EQ(m.FindRoomGroupData(10)->userNum, 9);
    EXPECT_EQ(m.FindRoomGroupData(20)->userNum, 6);
    EXPECT_EQ(m.FindRoomGroupData(30)->userNum, 4);
    EXPECT_EQ(m.FindRoomGroupData(40)->userNum, 0);
    m.ResetRoomGroupUserNum();
    EXPECT_EQ(m.FindRoomGroupData(10)->userNum, 0);
    m.ClearData();
    EXPECT_TRUE(m.GetRoomGroupList()->empty());
}

TEST(RoomGroupManager, StoredTextsAreAlwaysTerminated) {
    tag_RoomGroupData g = Group(1, 0);
    std::memset(g.groupName, 'n', sizeof g.groupName);
    std::memset(g.groupAddress, 'a', sizeof g.groupAddress);
    CRoomGroupManager m;
    m.AddRoomGroupData(&g);
    tag_RoomGroupData* stored = m.FindRoomGroupData(1);
    ASSERT_NE(stored, &g);  // a copy
    EXPECT_EQ(std::strlen(stored->groupName), 16u);
    EXPECT_EQ(std::strlen(stored->groupAddress), 63u);
}

}  // namespace
