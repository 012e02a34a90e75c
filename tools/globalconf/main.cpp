// globalconf: writes an encrypted "globalconf.ini" from a plain text file, or
// prints one back as plain text, so that tests and local runs can point the client
// at servers of their own (for instance on 127.0.0.1).
#include <cstdio>
#include <cstring>
#include <string>

#include "globalconf/GlobalConfCodec.h"
#include "win32/win32.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: globalconf write <plain.txt> <globalconf.ini>\n"
                 "       globalconf print <globalconf.ini>\n"
                 "The plain text is key=value lines in the ANSI code page (936); it is\n"
                 "taken byte for byte.\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) {
        std::string plain;
        if (!winplat::ReadWholeFile(winplat::Utf8ToWide(argv[2]), plain)) {
            std::fprintf(stderr, "globalconf: cannot read %s\n", argv[2]);
            return 1;
        }
        if (!globalconf::WriteFile(winplat::Utf8ToWide(argv[3]), plain)) {
            std::fprintf(stderr, "globalconf: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "print") == 0) {
        std::string plain;
        if (!globalconf::ReadFile(winplat::Utf8ToWide(argv[2]), plain)) {
            std::fprintf(stderr, "globalconf: %s is missing or not a configuration file\n",
                         argv[2]);
            return 1;
        }
        std::fwrite(plain.data(), 1, plain.size(), stdout);
        return 0;
    }
    return usage();
}
