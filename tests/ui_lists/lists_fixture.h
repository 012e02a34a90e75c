// Shared set-up of the user-list tests: the Qt layer offscreen, the skin folder of
// the source tree, the kernel's session state with a small level catalog whose
// pictures are named after (kind, level), an edition delegate that gives each user
// the sort id a test asks for, and users that the fixture owns.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "controls/SkinWnd.h"
#include "fenlo/UIlib.h"
#include "model/UserMVManagerDelegate.h"
#include "model/UserObj.h"

class CCommKernelData;

// Sort ids by user id; other questions are left to the manager.
class SortDelegate : public IUserMVManagerDelegate {
public:
    bool CheckPrivilege(short, CUserObj*, int*) override { return false; }
    bool CheckPrivilege(short, CUserObj*, CUserObj*, int*) override { return false; }
    int GetUserFinalLevel(CUserObj*, int*) override { return 0; }
    int GetUserSortId(CUserObj* user, int* handled) override {
        asked.push_back(user);
        auto it = sortIds.find(user->userId);
        if (it == sortIds.end()) return 0;
        *handled = 1;
        return it->second;
    }
    std::map<int, int> sortIds;
    std::vector<CUserObj*> asked;  // every user a sort id was asked for
};

class ListsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A user the fixture keeps for the test's length. alias is UTF-8 text; the user
    // holds it in the ANSI code page as the network sends it.
    CUserObj* MakeUser(int id, const std::string& alias = "user");
    // "k<kind>_<level>.png", the picture the catalog gives for (kind, level).
    static std::wstring Img(int kind, int level);

    CCommKernelData* data = nullptr;
    SortDelegate delegate;
    std::deque<CUserObj> users;
};

// "alias" (UTF-8) in the ANSI code page.
std::string Ansi(const std::string& utf8);

// A skinned window built from layout text.
class CListsWnd : public CSkinWnd {
public:
    explicit CListsWnd(std::wstring layout) : m_layout(std::move(layout)) {
        m_traits = SkinWndTraits{"CWndListsTest", m_layout.c_str(), kMsgStandard,
                                 ScClose::kClose, Lifetime::kStack, false};
    }
    ~CListsWnd() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }
    const SkinWndTraits& Traits() const override { return m_traits; }
    LPCTSTR GetWindowClassName() const override { return L"UIListsTestFrame"; }

private:
    std::wstring m_layout;
    SkinWndTraits m_traits;
};
