#include "config/GLobalConfigFile.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/FixedText.h"
#include "quorv/Rijndael.h"
#include "util/FieldSplit.h"
#include "win32/win32.h"

namespace {

enum class Kind { Narrow, Wide, Flag, Number };

struct Slot {
    void* data;
    size_t count;  // bytes for narrow text, characters for wide text
};

struct KeyDef {
    const char* name;
    Kind kind;
    Slot (*field)(CGLobalConfigFile&);
};

// clang-format off
#define NARROW_KEY(k) {#k, Kind::Narrow, [](CGLobalConfigFile& c) { return Slot{c.k, sizeof c.k}; }}
#define WIDE_KEY(k) \
    {#k, Kind::Wide, [](CGLobalConfigFile& c) { return Slot{c.k, sizeof c.k / sizeof c.k[0]}; }}
#define INT_KEY(k, kind) {#k, kind, [](CGLobalConfigFile& c) { return Slot{&c.k, 1}; }}
// clang-format on

// The 52 keys in their order; the file's sections do not scope them.
const KeyDef kKeys[] = {
    NARROW_KEY(logonsvr),
    NARROW_KEY(lobbysvr),
    WIDE_KEY(www_page),
    WIDE_KEY(index_page),
    WIDE_KEY(daili_page),
    WIDE_KEY(user_page),
    WIDE_KEY(pay_page),
    WIDE_KEY(register0_page),
    WIDE_KEY(register_page),
    WIDE_KEY(getpwd_page),
    WIDE_KEY(getbox_page),
    WIDE_KEY(top10_page),
    WIDE_KEY(roomlist_page),
    WIDE_KEY(qq_service),
    WIDE_KEY(help_icon_page),
    WIDE_KEY(help_level_page),
    WIDE_KEY(userinfo_page),
    WIDE_KEY(my_page),
    WIDE_KEY(favorite_page),
    WIDE_KEY(lastgo_page),
    WIDE_KEY(login_banner),
    WIDE_KEY(agent_url),
    WIDE_KEY(sysnotify_url),
    WIDE_KEY(ad_url1),
    WIDE_KEY(ad_url2),
    WIDE_KEY(flash_url),
    WIDE_KEY(chatcss_url),
    WIDE_KEY(welltip_url),
    WIDE_KEY(userreg_url),
    WIDE_KEY(usercenter_url),
    WIDE_KEY(agentcenter_url),
    WIDE_KEY(mangercenter_url),
    WIDE_KEY(vcbmanager_url),
    WIDE_KEY(myacc_url),
    WIDE_KEY(dating_url),
    WIDE_KEY(roomlist_url),
    WIDE_KEY(iconhelp_url),
    WIDE_KEY(find_url),
    WIDE_KEY(emotion_url0),
    WIDE_KEY(emotion_url1),
    WIDE_KEY(emotion_url2),
    WIDE_KEY(ver_url1),
    WIDE_KEY(ver_url2),
    WIDE_KEY(soft_url),
    WIDE_KEY(company_url),
    WIDE_KEY(getpaid_url),
    WIDE_KEY(userpay_url),
    WIDE_KEY(userhelp_url),
    INT_KEY(showxiaopaodao, Kind::Flag),
    INT_KEY(shineleveimg, Kind::Flag),
    NARROW_KEY(softname),
    INT_KEY(giftthankpricelimit, Kind::Number),
};
static_assert(sizeof kKeys / sizeof kKeys[0] == 52, "the configuration has 52 keys");

void storeValue(CGLobalConfigFile& c, const KeyDef& key, const std::string& value,
                unsigned codePage) {
    Slot slot = key.field(c);
    switch (key.kind) {
        case Kind::Narrow:
            SetFixedFieldText(static_cast<char*>(slot.data), slot.count, value.c_str());
            // softname is kept twice, narrow and wide.
            if (slot.data == c.softname)
                SetFixedFieldText(c.softnameW, sizeof c.softnameW / sizeof c.softnameW[0],
                                  winplat::AnsiToWide(value, codePage).c_str());
            break;
        case Kind::Wide:
            SetFixedFieldText(static_cast<wchar_t*>(slot.data), slot.count,
                              winplat::AnsiToWide(value, codePage).c_str());
            break;
        case Kind::Flag:
            *static_cast<int*>(slot.data) = fields::ToInt(value) != 0 ? 1 : 0;
            break;
        case Kind::Number:
            *static_cast<int*>(slot.data) = fields::ToInt(value);
            break;
    }
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

CGLobalConfigFile::CGLobalConfigFile() : codePage(CP_ACP) {
    Reset();
}

void CGLobalConfigFile::Reset() {
    for (const KeyDef& key : kKeys) {
        Slot slot = key.field(*this);
        switch (key.kind) {
            case Kind::Narrow:
                std::memset(slot.data, 0, slot.count);
                break;
            case Kind::Wide:
                std::wmemset(static_cast<wchar_t*>(slot.data), 0, slot.count);
                break;
            case Kind::Flag:
            case Kind::Number:
                *static_cast<int*>(slot.data) = 0;
                break;
        }
    }
    std::wmemset(softnameW, 0, sizeof softnameW / sizeof softnameW[0]);
}

void CGLobalConfigFile::SetCodePage(unsigned cp) {
    codePage = static_cast<int>(cp);
}

int CGLobalConfigFile::LoadFile(wchar_t* path) {
    if (!path) return 0;
    const unsigned cp = static_cast<unsigned>(codePage);
    // The path goes through the configuration's code page, as the file name of a
    // narrow open would; characters it cannot hold make the file not found.
    std::wstring reopened = winplat::AnsiToWide(winplat::WideToAnsi(path, cp), cp);

    public_crypt::CRijndael aes(nullptr, nullptr, 0, 16, 16);
    aes.MakeKey(GLOBALCONF_CIPHER_KEY, GLOBALCONF_CIPHER_KEY, 0, 16, 16);

    std::unique_ptr<FILE, FileCloser> file(_wfopen(reopened.c_str(), L"rb"));
    if (!file) return 0;
    unsigned char word[4];
    if (std::fread(word, 1, 4, file.get()) != 4) return 0;
    const uint32_t length = static_cast<uint32_t>(word[0]) | static_cast<uint32_t>(word[1]) << 8 |
                            static_cast<uint32_t>(word[2]) << 16 |
                            static_cast<uint32_t>(word[3]) << 24;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file.get());
    if (size < 0 || static_cast<uint64_t>(size) != static_cast<uint64_t>(length) + 4) return 0;
    if (length == 0 || length > INT_MAX - 17) return 0;
    if (std::fseek(file.get(), 4, SEEK_SET) != 0) return 0;
    std::vector<char> cipher(length);
    if (std::fread(cipher.data(), 1, length, file.get()) != length) return 0;
    file.reset();

    const int capacity = static_cast<int>(length) + 17;
    std::vector<char> plain(static_cast<size_t>(capacity), 0);
    int plainLength = aes.Decrypt(cipher.data(), static_cast<int>(length), plain.data(), capacity);
    if (plainLength <= 0) return 0;
    if (plainLength >= capacity) plainLength = capacity - 1;
    plain[static_cast<size_t>(plainLength)] = 0;

    // The text ends at its first NUL; empty lines give empty pieces.
    for (const std::string& line : fields::Split(std::string(plain.data()), '\n')) {
        if (line.size() >= 2 && fields::StartsWith(line, "//")) continue;
        if (fields::StartsWith(line, "[SERVER]") || fields::StartsWith(line, "[Setting]") ||
            fields::StartsWith(line, "[URL]"))
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string name = line.substr(0, eq), value = line.substr(eq + 1);
        if (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
        if (value.empty()) continue;
        for (const KeyDef& key : kKeys) {
            if (name == key.name) {
                storeValue(*this, key, value, cp);
                break;
            }
        }
    }
    std::memset(plain.data(), 0, plain.size());
    return 1;
}

int CGLobalConfigFile::SaveFile(wchar_t*) {
    return 1;
}
