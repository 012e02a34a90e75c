// Close friends (kept per user on disk) and private spectators (this session only)
// of the local user. The user objects are borrowed, never owned, and may be null.
#pragma once

#include <cstdint>
#include <map>

class CUserObj;

class CUserFriendMgr {
public:
    void AddClosedFriend(int id, CUserObj* user);
    void AddPrivSpectator(int id, CUserObj* user);
    int IsClosedFriend(int id);
    int IsPrivSpectator(int id);
    void ClearClosedFriend(int id);
    void ClearPrivSpectator(int id);
    // Keep the id, forget the user object (the room's users are going away).
    void ClearClosedFriendData(int id);
    void ClearAllClosedFriendData();
    void ClearAllClosedFriend();
    void ClearAllPrivSpectator();
    void clear();

    // "<baseFolder>\<userId>\closedfriend.conf": one 16-byte record per close friend,
    // its id as decimal text padded with NULs, in ascending id order. -1 when there
    // is no close friend (the old file stays) or the file cannot be written; else 0.
    int SaveClosedFriend(char* baseFolder, int userId);
    // -1 when the file cannot be opened; else adds every non-zero id not yet known
    // (with no user object) and gives 0.
    int LoadClosedFriend(char* baseFolder, int userId);

    // Ordered by id as an unsigned 32-bit number.
    std::map<uint32_t, CUserObj*> m_mapClosedFriend;
    std::map<uint32_t, CUserObj*> m_mapPrivSpectator;
};
