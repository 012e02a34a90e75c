#include "config/UserFriendMgr.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "win32/win32.h"

namespace {

const size_t kRecordSize = 16;

// "<baseFolder>\<userId>\closedfriend.conf", built without a fixed buffer: a cut path
// would name another file.
std::wstring friendFile(const char* baseFolder, int userId) {
    std::string path = baseFolder ? baseFolder : "";
    path += '\\';
    path += std::to_string(static_cast<unsigned>(userId));
    path += "\\closedfriend.conf";
    return winplat::AnsiToWide(path);
}

uint32_t key(int id) {
    return static_cast<uint32_t>(id);
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

void CUserFriendMgr::AddClosedFriend(int id, CUserObj* user) {
    m_mapClosedFriend[key(id)] = user;
}

void CUserFriendMgr::AddPrivSpectator(int id, CUserObj* user) {
    m_mapPrivSpectator[key(id)] = user;
}

int CUserFriendMgr::IsClosedFriend(int id) {
    return m_mapClosedFriend.count(key(id)) ? 1 : 0;
}

int CUserFriendMgr::IsPrivSpectator(int id) {
    return m_mapPrivSpectator.count(key(id)) ? 1 : 0;
}

void CUserFriendMgr::ClearClosedFriend(int id) {
    m_mapClosedFriend.erase(key(id));
}

void CUserFriendMgr::ClearPrivSpectator(int id) {
    m_mapPrivSpectator.erase(key(id));
}

void CUserFriendMgr::ClearClosedFriendData(int id) {
    auto it = m_mapClosedFriend.find(key(id));
    if (it != m_mapClosedFriend.end()) it->second = nullptr;
}

void CUserFriendMgr::ClearAllClosedFriendData() {
    for (auto& entry : m_mapClosedFriend) entry.second = nullptr;
}

void CUserFriendMgr::ClearAllClosedFriend() {
    m_mapClosedFriend.clear();
}

void CUserFriendMgr::ClearAllPrivSpectator() {
    m_mapPrivSpectator.clear();
}

void CUserFriendMgr::clear() {
    ClearAllClosedFriend();
    ClearAllPrivSpectator();
}

int CUserFriendMgr::SaveClosedFriend(char* baseFolder, int userId) {
    if (m_mapClosedFriend.empty()) return -1;
    std::string data;
    data.reserve(m_mapClosedFriend.size() * kRecordSize);
    for (const auto& entry : m_mapClosedFriend) {
        char record[kRecordSize + 1] = {};
        std::snprintf(record, sizeof record, "%u", entry.first);
        data.append(record, kRecordSize);
    }
    return winplat::WriteFileAtomically(friendFile(baseFolder, userId), data.data(), data.size())
               ? 0
               : -1;
}

int CUserFriendMgr::LoadClosedFriend(char* baseFolder, int userId) {
    std::unique_ptr<FILE, FileCloser> file(_wfopen(friendFile(baseFolder, userId).c_str(), L"rb"));
    if (!file) return -1;
    char record[kRecordSize + 1];
    // A short last record is what is left of a cut file: ignored.
    while (std::fread(record, 1, kRecordSize, file.get()) == kRecordSize) {
        record[kRecordSize] = 0;  // a record of 16 digits has no NUL of its own
        uint32_t id = static_cast<uint32_t>(std::strtoll(record, nullptr, 10));
        if (id != 0 && !m_mapClosedFriend.count(id)) m_mapClosedFriend[id] = nullptr;
    }
    return 0;
}
