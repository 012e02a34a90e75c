// The program folder the build lays out: what the entry and the logon window read
// from it, copied (not linked) and writable.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "globalconf/GlobalConfCodec.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = MIVORA_PROGRAM_DIR;

TEST(ProgramFolder, HoldsWhatTheProgramReadsAsCopies) {
    for (const char* name :
         {"mivora", "libwinplat.so", "libfenlo.so", "libtandrel.so", "libquorv.so", "MVchat.ico",
          "caotiao.txt", "chatqk.conf", "userface.dat", "leveldesc.dat",
          "skin/MVChat/WndSelSkin.xml", "skin/MVChat/gift/gift.conf", "skin/Seal/seal.conf",
          "skin/MVChat/frame/default/海天蓝.png"}) {
        SCOPED_TRACE(name);
        const fs::path p = fs::path(kProgram) / fs::u8path(name);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(p))) << "a copy, not a link";
    }
    EXPECT_FALSE(fs::is_symlink(kProgram + "/skin"));
    EXPECT_EQ(::access(kProgram.c_str(), W_OK), 0);
    EXPECT_EQ(::access((kProgram + "/skin/MVChat").c_str(), W_OK), 0);
}

TEST(ProgramFolder, ACopyTakesWhatTheBuildLaidOutAndNothingARunLeft) {
    const std::vector<std::string> layout = ProgramLayout();
    ASSERT_FALSE(layout.empty());
    for (const std::string& relative : layout)
        EXPECT_TRUE(fs::exists(fs::path(kProgram) / fs::u8path(relative))) << relative;

    // A folder a person has used: what the program writes beside its files.
    TempDir used, copy;
    CopyLaidOutFiles(kProgram, used.native());
    for (const char* left :
         {"userenv.ini", "torties.dat", "avconfig.txt", "skin/MVChat/WndRoomFaceUserTime.xml"})
        WriteText(used.native() + "/" + left, "left by a run");
    CopyLaidOutFiles(used.native(), copy.native());
    for (const char* left :
         {"userenv.ini", "torties.dat", "avconfig.txt", "skin/MVChat/WndRoomFaceUserTime.xml"})
        EXPECT_FALSE(fs::exists(copy.native() + "/" + left)) << left;
    EXPECT_TRUE(fs::exists(copy.native() + "/skin/MVChat/WndSelSkin.xml"));
    EXPECT_TRUE(fs::exists(copy.native() + "/globalconf.ini"));
}

TEST(ProgramFolder, ConfigurationNamesTheLocalWorld) {
    std::string plain;
    ASSERT_TRUE(globalconf::ReadFile(winplat::ToWindowsPath(kProgram + "/globalconf.ini"), plain));
    EXPECT_EQ(plain, ReadText(MIVORA_SOURCE_DIR "/tools/localworld/globalconf.txt"));

    std::string version = ReadText(MIVORA_SOURCE_DIR "/tools/localworld/version.txt");
    while (!version.empty() && (version.back() == '\n' || version.back() == '\r'))
        version.pop_back();
    wchar_t read[32] = {0};
    GetPrivateProfileStringW(L"version", L"updatesubver", L"", read, 32,
                             winplat::ToWindowsPath(kProgram + "/update.ini").c_str());
    EXPECT_EQ(winplat::WideToUtf8(read), version);
}

}  // namespace
