// The global configuration as a user or another program may have left it: either
// the plain text, encrypted here as the tool does, or the encrypted file's bytes
// themselves. Whatever is read, every text field stays terminated inside itself.
//
// Input: flags (bit 0: the rest is the file, not the text; bits 1-2: the code page),
// then the text or the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "config/GLobalConfigFile.h"
#include "globalconf/GlobalConfCodec.h"

namespace {

[[noreturn]] void Fail(const char* field) {
    std::fprintf(stderr, "globalconf fuzz: %s is not terminated\n", field);
    std::abort();
}

template <size_t N>
void Terminated(const char (&field)[N], const char* name) {
    if (!std::memchr(field, 0, N)) Fail(name);
}
template <size_t N>
void Terminated(const wchar_t (&field)[N], const char* name) {
    if (!std::wmemchr(field, 0, N)) Fail(name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const unsigned kCodePages[] = {936, 950, 65001, 1252};
    fuzzing::FuzzInput in(data, size);
    const uint8_t flags = in.U8();
    const std::vector<uint8_t> rest = in.Rest();
    std::string file(rest.begin(), rest.end());
    if (!(flags & 1)) {
        file = globalconf::Encrypt(file);
        if (file.empty()) return 0;
    }
    const std::string path = fuzzing::WriteFuzzFile(
        "globalconf.ini", reinterpret_cast<const uint8_t*>(file.data()), file.size());
    std::wstring widePath(path.begin(), path.end());
    CGLobalConfigFile config;
    config.SetCodePage(kCodePages[(flags >> 1) & 3]);
    config.LoadFile(&widePath[0]);
    Terminated(config.logonsvr, "logonsvr");
    Terminated(config.lobbysvr, "lobbysvr");
    Terminated(config.www_page, "www_page");
    Terminated(config.userinfo_page, "userinfo_page");
    Terminated(config.my_page, "my_page");
    Terminated(config.chatcss_url, "chatcss_url");
    Terminated(config.userhelp_url, "userhelp_url");
    Terminated(config.softname, "softname");
    Terminated(config.softnameW, "softnameW");
    return 0;
}
