// The files the program keeps per machine and per user, as another program or a
// damaged disk may leave them: the saved accounts, the machine-data file and the
// close-friends file. What was read is written back and read again: it must come
// back the same.
//
// Input: the file kind (first byte), then the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "config/UserFriendMgr.h"
#include "config/UserLogonManager.h"

namespace {

enum Kind { kSavedAccounts, kMachineData, kCloseFriends, kKindCount };

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "user files fuzz: %s\n", what);
    std::abort();
}

void SavedAccounts(const std::vector<uint8_t>& bytes) {
    std::string path = fuzzing::WriteFuzzFile("logon.dat", bytes);
    CUserLogonManager read;
    read.setConfigFile(&path[0]);
    read.loadFileData();
    if (read.m_listLogonData.size() > CUserLogonManager::kMaxLogonRecords)
        Fail("more saved accounts than the list keeps");
    for (const tag_LogonUserData& r : read.m_listLogonData)
        if (!std::memchr(r.szPassword, 0, 17)) Fail("a password of more than 16 characters");
    read.setSavePwd(true);
    std::string copy = fuzzing::FuzzFolder() + "logon-copy.dat";
    read.setConfigFile(&copy[0]);
    read.saveFileData();
    CUserLogonManager again;
    again.setConfigFile(&copy[0]);
    again.loadFileData();
    if (again.m_listLogonData.size() != read.m_listLogonData.size())
        Fail("the saved accounts read back in another number");
    auto a = read.m_listLogonData.begin();
    for (const tag_LogonUserData& r : again.m_listLogonData) {
        // The save-password byte (password byte 17) is the file's, not the account's.
        if (r.nUserId != a->nUserId || std::strcmp(r.szPassword, a->szPassword) != 0)
            Fail("a saved account reads back otherwise");
        ++a;
    }
}

void MachineData(const std::vector<uint8_t>& bytes) {
    std::string path = fuzzing::WriteFuzzFile("chrome.dat", bytes);
    CUserLogonManager m;
    m.setChromeFile(&path[0]);
    m.initChromeData();
    if (m.getDubaData()[CUserLogonManager::kDubaDataSize - 1] != 0)
        Fail("the machine-data block is not terminated");
}

void CloseFriends(const std::vector<uint8_t>& bytes) {
    const std::string base = fuzzing::FuzzFolder() + "friends";
    mkdir(base.c_str(), 0700);
    mkdir((base + "/1001").c_str(), 0700);
    mkdir((base + "/1002").c_str(), 0700);
    fuzzing::WriteFuzzFile("friends/1001/closedfriend.conf", bytes);
    std::string folder = base;
    CUserFriendMgr read;
    if (read.LoadClosedFriend(&folder[0], 1001) != 0) Fail("the file was not read");
    if (read.m_mapClosedFriend.count(0)) Fail("id 0 taken for a friend");
    if (read.m_mapClosedFriend.empty()) return;  // nothing to write back
    if (read.SaveClosedFriend(&folder[0], 1002) != 0) Fail("the friends could not be written");
    CUserFriendMgr again;
    again.LoadClosedFriend(&folder[0], 1002);
    if (again.m_mapClosedFriend.size() != read.m_mapClosedFriend.size())
        Fail("the close friends read back in another number");
    for (const auto& entry : read.m_mapClosedFriend)
        if (!again.m_mapClosedFriend.count(entry.first)) Fail("a close friend was lost");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzInput in(data, size);
    const int kind = in.U8() % kKindCount;
    const std::vector<uint8_t> file = in.Rest();
    switch (kind) {
        case kSavedAccounts:
            SavedAccounts(file);
            break;
        case kMachineData:
            MachineData(file);
            break;
        case kCloseFriends:
            CloseFriends(file);
            break;
    }
    return 0;
}
