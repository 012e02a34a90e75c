#include "StandInOpener.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

StandInOpener::StandInOpener(Kind kind) {
    char pattern[] = "/tmp/mivora-opener-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("no folder for the stand-in opener");
    m_dir = pattern;
    if (kind != kNone) {
        const std::string script = m_dir + "/xdg-open";
        // The note is written whole (then moved into place), so a reader never sees half;
        // PATH names only this folder, so the mover is named by its path.
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << m_dir << "/note.tmp'\n"
                              << "/bin/mv '" << m_dir << "/note.tmp' '" << m_dir << "/note'\n"
                              << (kind == kOpens ? "exit 0\n"
                                                 : "echo 'xdg-open: no method available' >&2\n"
                                                   "exit 3\n");
        ::chmod(script.c_str(), 0755);
    }
    if (const char* path = std::getenv("PATH")) {
        m_hadPath = true;
        m_savedPath = path;
    }
    ::setenv("PATH", m_dir.c_str(), 1);
}

StandInOpener::~StandInOpener() {
    if (m_hadPath)
        ::setenv("PATH", m_savedPath.c_str(), 1);
    else
        ::unsetenv("PATH");
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::string StandInOpener::Opened() const {
    std::ifstream in(m_dir + "/note");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace testsupport
