// The map of all known users keyed by user id. It owns every user in it except the
// local user, who is embedded in the session state and only registered here.
#pragma once

#include <map>

class CUserObj;

class CUserManager {
public:
    CUserManager();
    virtual ~CUserManager();

    void SetLocalUser(CUserObj* user) { localUser = user; }
    CUserObj* GetLocalUser() { return localUser; }
    std::map<int, CUserObj*>* GetUserList() { return &users; }

    // Stores the user under its id, replacing what was stored there.
    void AddUser(CUserObj* user);
    CUserObj* FindUser(int id);
    // Removes the id; deletes the object unless it is the local user.
    void DelUser(int id);
    // Deletes every user but the local user and empties the map.
    void ClearData();
    void Uninit();

    std::map<int, CUserObj*> users;
    CUserObj* localUser;  // not owned

private:
    void Destroy(CUserObj* user);
};
