// Seeds of the user-files target: the files the program itself writes (two saved
// accounts, a machine-data file, three close friends), read back from where it
// wrote them.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "SeedWriter.h"
#include "config/UserFriendMgr.h"
#include "config/UserLogonManager.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f))
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

void Add(fuzzing::SeedWriter& seeds, uint8_t kind, const std::vector<uint8_t>& file) {
    std::vector<uint8_t> seed{kind};
    seed.insert(seed.end(), file.begin(), file.end());
    seeds.Add(seed);
}

}  // namespace

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    std::string logon = fuzzing::FuzzFolder() + "logon.dat";
    CUserLogonManager accounts;
    accounts.setConfigFile(&logon[0]);
    accounts.setSavePwd(true);
    tag_LogonUserData a{}, b{};
    a.nUserId = 1001;
    std::strcpy(a.szPassword, "secret");
    b.nUserId = 2002;
    std::strcpy(b.szPassword, "0123456789abcdef");
    accounts.addLogonData(a);
    accounts.addLogonData(b);
    accounts.saveFileData();
    Add(seeds, 0, ReadAll(logon));

    std::string chrome = fuzzing::FuzzFolder() + "chrome.dat";
    CUserLogonManager machine;
    machine.setChromeFile(&chrome[0]);
    machine.initChromeData();
    Add(seeds, 1, ReadAll(chrome));

    std::string folder = fuzzing::FuzzFolder() + "friends";
    mkdir(folder.c_str(), 0700);
    mkdir((folder + "/1001").c_str(), 0700);
    CUserFriendMgr friends;
    friends.AddClosedFriend(7, nullptr);
    friends.AddClosedFriend(1234567890, nullptr);
    friends.AddClosedFriend(-1, nullptr);
    friends.SaveClosedFriend(&folder[0], 1001);
    Add(seeds, 2, ReadAll(folder + "/1001/closedfriend.conf"));
    return 0;
}
