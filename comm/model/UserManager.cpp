#include "model/UserManager.h"

#include "model/UserObj.h"

CUserManager::CUserManager() : localUser(nullptr) {}

CUserManager::~CUserManager() {
    ClearData();
}

void CUserManager::AddUser(CUserObj* user) {
    if (user) users[user->userId] = user;
}

CUserObj* CUserManager::FindUser(int id) {
    auto it = users.find(id);
    return it == users.end() ? nullptr : it->second;
}

void CUserManager::DelUser(int id) {
    auto it = users.find(id);
    if (it == users.end()) return;
    CUserObj* user = it->second;
    users.erase(it);
    if (user != localUser) Destroy(user);
}

void CUserManager::ClearData() {
    for (auto& entry : users)
        if (entry.second != localUser) Destroy(entry.second);
    users.clear();
}

void CUserManager::Uninit() {
    ClearData();
    localUser = nullptr;
}

void CUserManager::Destroy(CUserObj* user) {
    if (!user) return;
    // `room` is borrowed and may name a room that is gone: it is not followed here.
    // Whoever drops a member takes him out of the room first (CRoomObj::RemoveUser).
    user->ClearData();
    delete user;
}
