// Saved accounts of the logon window (scrambled file) and the machine-data file,
// whose first twenty bytes travel with every logon and join-room request.
#pragma once

#include <cstddef>
#include <list>
#include <string>

#include "config/LogonUserData.h"

class CUserLogonManager {
public:
    enum { kMaxLogonRecords = 20, kChromeFileSize = 256, kDubaDataSize = 20 };
    // Seeds of the running-XOR chain: account records and the machine-data file.
    enum { kLogonSeed = 31, kChromeSeed = 108 };

    void setConfigFile(char* path);
    void setChromeFile(char* path);
    // Reads the saved accounts; a missing or cut header changes nothing.
    void loadFileData();
    // Writes the saved accounts anew (replacing the old file in one step).
    void saveFileData();
    // Loads the machine-data file or makes it once, and fills the machine-data block.
    bool initChromeData();
    // The process-wide machine-data block (20 bytes, the last one always 0).
    char* getDubaData();
    // Puts `record` first, removing an older record of the same user, and keeps at
    // most 20 records.
    void addLogonData(tag_LogonUserData& record);
    tag_LogonUserData* findLogonData(int userId);
    void delLogonData(int userId);
    void clearData();
    void setSavePwd(bool save);
    void setAutoStart(bool autoStart);

    // The running-XOR chain: each output byte is the seed XORed with every input
    // byte up to it; Unscramble undoes Scramble with the same seed.
    static void Scramble(unsigned char* data, size_t size, unsigned char seed);
    static void Unscramble(unsigned char* data, size_t size, unsigned char seed);

    std::string m_strChromeFile;
    std::string m_strConfigFile;
    std::list<tag_LogonUserData> m_listLogonData;  // most recent first
    bool m_bSavePwd = false;
    bool m_bAutoStart = false;
};
