#include "config/UserLogonManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "win32/win32.h"

namespace {

const size_t kHeaderSize = 3;
const size_t kRecordSize = sizeof(tag_LogonUserData);
const size_t kSavePwdByte = 21;  // of the record as the file keeps it
const size_t kPasswordEnd = 20;  // the NUL after 16 characters

// Five words: the machine-data block, shared by the whole process.
uint32_t g_dubaData[5];

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

File openRead(const std::string& path) {
    return File(path.empty() ? nullptr : winplat::OpenFileMapped(path.c_str(), "rb"));
}

bool writeWhole(const std::string& path, const void* data, size_t size) {
    return !path.empty() && winplat::WriteFileAtomically(winplat::AnsiToWide(path), data, size);
}

}  // namespace

void CUserLogonManager::Scramble(unsigned char* data, size_t size, unsigned char seed) {
    unsigned char v = seed;
    for (size_t i = 0; i < size; ++i) {
        v ^= data[i];
        data[i] = v;
    }
}

void CUserLogonManager::Unscramble(unsigned char* data, size_t size, unsigned char seed) {
    if (size == 0) return;
    for (size_t i = size - 1; i >= 1; --i) data[i] ^= data[i - 1];
    data[0] ^= seed;
}

void CUserLogonManager::setConfigFile(char* path) {
    m_strConfigFile = path ? path : "";
}

void CUserLogonManager::setChromeFile(char* path) {
    m_strChromeFile = path ? path : "";
}

void CUserLogonManager::loadFileData() {
    File file = openRead(m_strConfigFile);
    if (!file) return;
    unsigned char header[kHeaderSize];
    if (std::fread(header, 1, kHeaderSize, file.get()) != kHeaderSize) return;
    m_bSavePwd = header[1] != 0;
    m_bAutoStart = header[2] != 0;
    for (unsigned i = 0; i < header[0] && m_listLogonData.size() < kMaxLogonRecords; ++i) {
        unsigned char raw[kRecordSize];
        if (std::fread(raw, 1, kRecordSize, file.get()) != kRecordSize) break;
        Unscramble(raw, kRecordSize, kLogonSeed);
        raw[kPasswordEnd] = 0;
        tag_LogonUserData record;
        std::memcpy(&record, raw, kRecordSize);
        m_listLogonData.push_back(record);
    }
}

void CUserLogonManager::saveFileData() {
    std::vector<unsigned char> data;
    data.reserve(kHeaderSize + m_listLogonData.size() * kRecordSize);
    data.push_back(static_cast<unsigned char>(m_listLogonData.size()));
    data.push_back(m_bSavePwd ? 1 : 0);
    data.push_back(m_bAutoStart ? 1 : 0);
    for (const tag_LogonUserData& record : m_listLogonData) {
        unsigned char raw[kRecordSize];
        std::memcpy(raw, &record, kRecordSize);
        // Readers stop at the first password byte; the rest goes too, so a password
        // the user chose not to keep never reaches the disk.
        if (!m_bSavePwd)
            std::memset(raw + offsetof(tag_LogonUserData, szPassword), 0,
                        sizeof(record.szPassword));
        raw[kSavePwdByte] = m_bSavePwd ? 1 : 0;
        Scramble(raw, kRecordSize, kLogonSeed);
        data.insert(data.end(), raw, raw + kRecordSize);
    }
    writeWhole(m_strConfigFile, data.data(), data.size());
}

bool CUserLogonManager::initChromeData() {
    unsigned char block[kChromeFileSize] = {};
    if (File file = openRead(m_strChromeFile)) {
        // A short file: what is missing reads as zeros.
        std::fread(block, 1, kChromeFileSize, file.get());
        Unscramble(block, kChromeFileSize, kChromeSeed);
    } else {
        static const char kTable[] =
            "-0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-";  // and its NUL
        static_assert(sizeof kTable == 65, "64 characters and the NUL");
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        // The table index comes from a 15-bit random number, whatever this C
        // library's RAND_MAX, so it stays within 0 to 64.
        for (size_t i = 0; i + 1 < kChromeFileSize; ++i)
            block[i] = static_cast<unsigned char>(kTable[(std::rand() & 0x7FFF) / 511]);
        block[kChromeFileSize - 1] = 0;
        Scramble(block, kChromeFileSize, kChromeSeed);
        writeWhole(m_strChromeFile, block, kChromeFileSize);
        Unscramble(block, kChromeFileSize, kChromeSeed);
    }
    std::memcpy(g_dubaData, block, kDubaDataSize);
    reinterpret_cast<unsigned char*>(g_dubaData)[kDubaDataSize - 1] = 0;
    return false;
}

char* CUserLogonManager::getDubaData() {
    return reinterpret_cast<char*>(g_dubaData);
}

void CUserLogonManager::addLogonData(tag_LogonUserData& record) {
    tag_LogonUserData copy = record;  // the caller's record may be one of ours
    m_listLogonData.remove_if(
        [&](const tag_LogonUserData& r) { return r.nUserId == copy.nUserId; });
    m_listLogonData.push_front(copy);
    if (m_listLogonData.size() > kMaxLogonRecords) m_listLogonData.pop_back();
}

tag_LogonUserData* CUserLogonManager::findLogonData(int userId) {
    for (tag_LogonUserData& record : m_listLogonData)
        if (record.nUserId == userId) return &record;
    return nullptr;
}

void CUserLogonManager::delLogonData(int userId) {
    for (auto it = m_listLogonData.begin(); it != m_listLogonData.end(); ++it) {
        if (it->nUserId == userId) {
            m_listLogonData.erase(it);
            return;
        }
    }
}

void CUserLogonManager::clearData() {
    m_listLogonData.clear();
}

void CUserLogonManager::setSavePwd(bool save) {
    m_bSavePwd = save;
}

void CUserLogonManager::setAutoStart(bool autoStart) {
    m_bAutoStart = autoStart;
}
