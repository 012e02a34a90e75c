#include "model/UserManager.h"

#include "model/RoomObj.h"
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
    // A room only borrows its members: take the pointer out of it before the object
    // goes, so that the member list never holds a dangling user.
    if (user->room && user->room->FindUser(user->userId) == user)
        user->room->RemoveUser(user->userId);
    user->ClearData();
    delete user;
}
