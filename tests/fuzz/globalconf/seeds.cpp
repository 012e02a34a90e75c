// Seeds of the global-configuration target: encrypted files as the tool writes
// them, whole and with their last cipher block cut.
#include <string>

#include "SeedWriter.h"
#include "globalconf/GlobalConfCodec.h"

int main(int argc, char** argv) {
    fuzzing::SeedWriter seeds(argc, argv);
    const std::string text =
        "[SERVER]\r\nlogonsvr=logon.example.net:8001\r\nlobbysvr=lobby.example.net:8002\r\n"
        "[URL]\r\nwww_page=http://www.example.net/\r\nshowxiaopaodao=1\r\n";
    const std::string file = globalconf::Encrypt(text);
    if (file.empty()) return 1;
    seeds.Add("\x01" + file);
    std::string cut = file.substr(0, file.size() - 16);
    const uint32_t length = static_cast<uint32_t>(cut.size() - 4);
    for (int i = 0; i < 4; ++i) cut[static_cast<size_t>(i)] = static_cast<char>(length >> (8 * i));
    seeds.Add("\x01" + cut);
    return 0;
}
