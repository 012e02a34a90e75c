#include "app_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"
#include "win32/win32.h"

namespace fs = std::filesystem;

namespace {
std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}
void Restore(const char* name, const std::string& value) {
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
}
}  // namespace

void AppTest::SetUp() {
    UiTest::SetUp();
    savedHome_ = Env("HOME");
    savedConfig_ = Env("XDG_CONFIG_HOME");
    setenv("HOME", home_.native().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_.native() + "/.config").c_str(), 1);
    // Test programs run side by side: each keeps its sections to itself.
    winplat::SetSectionNamespace(("test" + std::to_string(::getpid())).c_str());
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel->m_pData) kernel->init(nullptr);
}

void AppTest::TearDown() {
    Restore("HOME", savedHome_);
    Restore("XDG_CONFIG_HOME", savedConfig_);
    UiTest::TearDown();
}

void AppTest::UseProgramFolder(const TempDir& folder) {
    winplat::SetModulePath(winplat::ToWindowsPath(folder.native()) + L"\\mivora");
    CCommKernel::GetInstance()->m_pData->init();
}

std::vector<std::string> ProgramLayout() {
    std::vector<std::string> paths;
    std::ifstream in(MIVORA_PROGRAM_LAYOUT);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) paths.push_back(line);
    return paths;
}

void CopyLaidOutFiles(const std::string& from, const std::string& to) {
    for (const std::string& relative : ProgramLayout()) {
        const fs::path path = fs::u8path(relative);
        if (relative == "mivora" || path.extension() == ".so") continue;
        const fs::path target = fs::path(to) / path;
        fs::create_directories(target.parent_path());
        fs::copy_file(fs::path(from) / path, target, fs::copy_options::overwrite_existing);
    }
}

void AppTest::CopyProgramFolder(const TempDir& to) {
    CopyLaidOutFiles(MIVORA_PROGRAM_DIR, to.native());
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}
