// Named sections on POSIX shared memory and the in-memory security structures.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "win32/win32.h"

namespace {

class SectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        winplat::SetSectionNamespace(("sec" + std::to_string(::getpid())).c_str());
    }
    void TearDown() override { winplat::SetSectionNamespace(""); }
    static std::string ShmName(const char* name) {
        return "/mivora-" + std::to_string(::getuid()) + "-sec" + std::to_string(::getpid()) + "-" +
               name;
    }
};

TEST_F(SectionTest, OwnerOnlySharedBetweenHandlesAndGoneWithTheCreator) {
    HANDLE first = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, "blk");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    struct stat st {};
    const int fd = shm_open(ShmName("blk").c_str(), O_RDONLY, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fstat(fd, &st), 0);
    close(fd);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    HANDLE second = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, "blk");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    auto* a = static_cast<unsigned char*>(MapViewOfFile(first, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    auto* b = static_cast<unsigned char*>(MapViewOfFile(second, FILE_MAP_ALL_ACCESS, 0, 0, 16));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a[12] = 0x5A;
    EXPECT_EQ(b[12], 0x5A);

    EXPECT_TRUE(UnmapViewOfFile(a));
    EXPECT_FALSE(UnmapViewOfFile(a)) << "a view is unmapped once";
    EXPECT_TRUE(UnmapViewOfFile(b));
    CloseHandle(second);
    CloseHandle(first);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "blk"), nullptr);
}

TEST_F(SectionTest, RefusedRequests) {
    struct Case {
        const char* what;
        HANDLE file;
        DWORD protect, size;
        const char* name;
    } cases[] = {
        {"a real file", nullptr, PAGE_READWRITE, 16, "x"},
        {"size 0", INVALID_HANDLE_VALUE, PAGE_READWRITE, 0, "x"},
        {"a slash in the name", INVALID_HANDLE_VALUE, PAGE_READWRITE, 16, "a/b"},
        {"an unknown protection", INVALID_HANDLE_VALUE, 0x40, 16, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CreateFileMappingA(c.file, nullptr, c.protect, 0, c.size, c.name), nullptr);
    }
    HANDLE h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 0, 17), nullptr) << "past the section";
    EXPECT_EQ(MapViewOfFile(h, FILE_MAP_ALL_ACCESS, 0, 16, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(nullptr, FILE_MAP_ALL_ACCESS, 0, 0, 0), nullptr);
    CloseHandle(h);
}

// The ACL of GetLengthSid + 16 bytes holds exactly one entry for Everyone.
TEST(SecurityTest, EveryoneAclFitsExactlyOneEntry) {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    const DWORD length = GetLengthSid(everyone);
    EXPECT_EQ(length, 12u);
    auto* acl = static_cast<PACL>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, length + 16));
    ASSERT_NE(acl, nullptr);
    ASSERT_TRUE(InitializeAcl(acl, length + 16, ACL_REVISION));
    EXPECT_TRUE(AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, everyone));
    EXPECT_EQ(acl->AceCount, 1);
    EXPECT_FALSE(AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, everyone));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALLOTTED_SPACE_EXCEEDED));
    EXPECT_EQ(acl->AceCount, 1);

    SECURITY_DESCRIPTOR sd;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    EXPECT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE));
    EXPECT_EQ(sd.Dacl, acl);
    FreeSid(everyone);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, acl));
}

}  // namespace
