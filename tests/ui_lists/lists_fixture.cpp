#include "lists_fixture.h"

#include "catalogs/UserLevelInfoManager.h"
#include "kernel/CommKernel.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"
#include "win32/loop.h"
#include "win32/win32.h"

namespace {

// Every (kind, level) the rows ask for in these tests.
void AddLevelPictures(CUserLevelInfoManager* catalog) {
    catalog->ClearAll();
    auto add = [&](int kind, int level) {
        auto* desc = new tag_UserLevelDescInfo();
        desc->kind = static_cast<int16_t>(kind);
        desc->level = static_cast<int16_t>(level);
        desc->image1 = L"k" + std::to_wstring(kind) + L"_" + std::to_wstring(level) + L".png";
        catalog->levels[CUserLevelInfoManager::Key(kind, level)] = desc;
    };
    for (int level = 0; level <= 30; ++level) add(1, level);
    for (int level = 1; level <= 12; ++level) add(2, level);
    add(3, 1);
    add(4, 100);
    add(4, 101);
    for (int level = 0; level <= 10; ++level) add(6, level);
    add(7, 1);
    for (int level = 1; level <= 5; ++level) add(8, level);
    for (int level = 1; level <= 3; ++level) add(9, level);
    for (int level = 1; level <= 9; ++level) add(10, level);
}

}  // namespace

std::string Ansi(const std::string& utf8) {
    return winplat::WideToAnsi(winplat::Utf8ToWide(utf8));
}

void ListsTest::SetUp() {
    winplat::InstallGui();
    DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
    CCommKernel* k = CCommKernel::GetInstance();
    if (!k->m_pData || !k->m_pData->m_pUserManager) {
        k->init(nullptr);
        k->m_pData->init();
    }
    data = k->m_pData;
    AddLevelPictures(data->m_pUserLevelInfoManager);
    data->m_pUserMVManager->SetDelegate(&delegate);
}

void ListsTest::TearDown() {
    // The fixture owns its users: they leave the user manager without being deleted.
    for (const CUserObj& u : users) data->m_pUserManager->GetUserList()->erase(u.userId);
    data->m_pUserMVManager->SetDelegate(nullptr);
    data->m_pUserLevelInfoManager->ClearAll();
}

CUserObj* ListsTest::MakeUser(int id, const std::string& alias) {
    users.emplace_back();
    CUserObj* u = &users.back();
    u->userId = id;
    u->alias = Ansi(alias);
    // Lists read a row's user through the user manager, as the room's are.
    data->m_pUserManager->AddUser(u);
    return u;
}

std::wstring ListsTest::Img(int kind, int level) {
    return L"k" + std::to_wstring(kind) + L"_" + std::to_wstring(level) + L".png";
}

// Fontconfig keeps a cache for the life of the process; the leak checker of the
// sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libQt6Gui.so\n";
}
