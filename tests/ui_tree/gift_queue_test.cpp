// The gift-notice queue: which line each step writes, in which order, how the count
// runs on, and what the room window's 60 ms timer makes of it on the manual clock.
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/GiftNoticeQueue.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/debug.h"

using namespace DuiLib;

namespace {

constexpr int kRoomId = 4711;

// The room window as the queue sees it.
class FakeRoomWnd : public IGiftNoticeRoomWnd {
public:
    int roomId = kRoomId;
    bool hasView = true;
    int largest = 1314;
    CWebBrowserUI view;
    int GetRoomId() override { return roomId; }
    CWebBrowserUI* GetPubChatView() override { return hasView ? &view : nullptr; }
    int GetLargestGiftCount() override { return largest; }
    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> out;
        for (const QString& l : QString::fromWCharArray(view.GetDocumentText().GetData())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            out.push_back(l.toStdWString());
        return out;
    }
};

class GiftQueueTest : public UiTest {
protected:
    static void SetUpTestSuite() {
        CCommKernel* k = CCommKernel::GetInstance();
        if (!k->m_pData || !k->m_pData->m_pRoomManager) {
            k->init(nullptr);
            k->m_pData->init();
        }
    }
    void SetUp() override {
        UiTest::SetUp();
        data = CCommKernel::GetInstance()->m_pData;
        data->m_UserEnv.m_bShiledGiftShow = false;
        auto* room = new CRoomObj;
        room->roomId = kRoomId;
        data->m_pRoomManager->AddRoom(room);
        for (int id : {5, 6}) {
            auto user = std::make_unique<CUserObj>();
            user->userId = id;
            room->AddUser(user.get());
            users.push_back(std::move(user));
        }
        queue.SetRoomWnd(&wnd);
    }
    void TearDown() override {
        queue.Clear();
        data->m_pRoomManager->DelRoom(kRoomId);
        data->m_UserEnv.m_bShiledGiftShow = false;
        UiTest::TearDown();
    }
    static tagGiftNoticeInfo* Notice(const wchar_t* head, const wchar_t* gift, int user, int giftId,
                                     int total, int base = 0) {
        auto* n = new tagGiftNoticeInfo;
        n->strHead = head;
        n->strGiftName = gift;
        n->strTail = L"。";
        n->nUserId = user;
        n->nGiftId = giftId;
        n->nTotal = total;
        n->nBaseCount = base;
        return n;
    }
    void Steps(int n) {
        for (int i = 0; i < n; ++i) queue.ShowNext();
    }

    CCommKernelData* data = nullptr;
    std::vector<std::unique_ptr<CUserObj>> users;
    FakeRoomWnd wnd;
    CGiftNoticeQueue queue;
};

TEST_F(GiftQueueTest, NoticesTakeTurnsOneLinePerStep) {
    queue.Push(Notice(L"甲送给乙", L"玫瑰", 5, 1, 2));
    queue.Push(Notice(L"丙送给丁", L"跑车", 6, 2, 3, 10));
    queue.Push(nullptr);
    EXPECT_EQ(queue.GetCount(), 2) << "a null record is not queued";
    Steps(5);
    std::vector<std::wstring> expected{
        L"甲送给乙,已收到 1 玫瑰。", L"丙送给丁,已收到 11 跑车。", L"甲送给乙,已收到 2 玫瑰。",
        L"丙送给丁,已收到 12 跑车。",
        // The rose notice's third turn ends it without a line.
    };
    EXPECT_EQ(wnd.Lines(), expected);
    Steps(1);
    EXPECT_EQ(wnd.Lines().back(), L"丙送给丁,已收到 13 跑车。");
    Steps(1);
    EXPECT_EQ(queue.GetCount(), 0);
    EXPECT_EQ(wnd.Lines().size(), 5u);
}

TEST_F(GiftQueueTest, TheCountRunsOnAcrossNoticesOfTheSameUserAndGift) {
    queue.Push(Notice(L"A", L"花", 5, 9, 2, 5));
    queue.Push(Notice(L"B", L"花", 5, 9, 2, 100));
    Steps(4);
    std::vector<std::wstring> expected{L"A,已收到 6 花。", L"B,已收到 7 花。", L"A,已收到 8 花。",
                                       L"B,已收到 9 花。"};
    EXPECT_EQ(wnd.Lines(), expected);
    EXPECT_EQ(users[0]->GetGiftCount(9), 9) << "the room keeps the count";
}

TEST_F(GiftQueueTest, RecordsThatEndWithoutACountedLine) {
    struct Case {
        const char* what;
        int user, total;
        bool shielded;
        std::vector<std::wstring> lines;
    } cases[] = {
        {"total 0: dropped on its turn", 5, 0, false, {}},
        {"receiver not in the room: dropped", 99, 3, false, {}},
        {"gift lines shielded: head and tail once", 5, 3, true, {L"甲送给乙。"}},
    };
    for (const Case& c : cases) {
        wnd.view.Clear();
        data->m_UserEnv.m_bShiledGiftShow = c.shielded;
        queue.Push(Notice(L"甲送给乙", L"玫瑰", c.user, 1, c.total));
        Steps(1);
        EXPECT_EQ(queue.GetCount(), 0) << c.what;
        EXPECT_EQ(wnd.Lines(), c.lines) << c.what;
        EXPECT_EQ(users[0]->GetGiftCount(1), 0) << c.what << ": no count taken";
    }
}

TEST_F(GiftQueueTest, CountsUpToTheLargestOfferedAreToldLineByLine) {
    // The bound is what the window offers (the standard layout's list ends at 1314);
    // only counts beyond it end with one line that stands for the rest.
    struct Case {
        const char* what;
        int largest, total, base;
        int lines;
        std::wstring last;
        int kept;  // what the room keeps afterwards
    } cases[] = {
        {"an offered count", 1314, 520, 0, 520, L"A,已收到 520 花。", 520},
        {"the largest offered count", 1314, 1314, 0, 1314, L"A,已收到 1314 花。", 1314},
        {"one more: the last line counts two", 1314, 1315, 0, 1314, L"A,已收到 1315 花。", 1315},
        {"a smaller list", 50, 51, 0, 50, L"A,已收到 51 花。", 51},
        {"the largest count the wire holds", 1314, 2147483647, 0, 1314, L"A,已收到 2147483647 花。",
         2147483647},
        {"a base that takes the total past 32 bits", 1314, 2147483647, 1, 1314,
         L"A,已收到 2147483648 花。", 2147483647},
        {"a window that offers no list", 0, 3, 0, 1, L"A,已收到 3 花。", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wnd.view.Clear();
        wnd.largest = c.largest;
        users[0]->giftCounts.clear();
        queue.Push(Notice(L"A", L"花", 5, 9, c.total, c.base));
        int steps = 0;
        while (queue.GetCount() > 0 && steps < 5000) {
            queue.ShowNext();
            ++steps;
        }
        ASSERT_EQ(queue.GetCount(), 0) << "the notice never ended";
        const std::vector<std::wstring> lines = wnd.Lines();
        ASSERT_EQ(lines.size(), static_cast<size_t>(c.lines));
        for (int i = 0; i + 1 < c.lines; ++i)
            ASSERT_EQ(lines[static_cast<size_t>(i)],
                      L"A,已收到 " + std::to_wstring(c.base + i + 1) + L" 花。");
        EXPECT_EQ(lines.back(), c.last);
        EXPECT_EQ(users[0]->GetGiftCount(9), c.kept);
    }
}

std::atomic<int> g_dropTraces{0};
void CountDropTraces(const char* text) {
    if (text && std::strstr(text, "gift notices queued")) ++g_dropTraces;
}

TEST_F(GiftQueueTest, AFloodOfNoticesIsHeldToThreeMinutesOfSteps) {
    // A step of 60 ms at least for every notice: 3000 are three minutes.
    g_dropTraces = 0;
    winplat::SetDebugOutputHook(CountDropTraces);
    // Their receiver is not in the room, so each goes on its turn.
    for (int i = 0; i < 5000; ++i) queue.Push(Notice(L"A", L"花", 99, 1, 1));
    EXPECT_EQ(queue.GetCount(), 3000);
    EXPECT_EQ(g_dropTraces.load(), 1) << "the dropped ones are said once";
    Steps(1);
    ASSERT_EQ(queue.GetCount(), 2999);
    queue.Push(Notice(L"B", L"花", 5, 1, 1));
    EXPECT_EQ(queue.GetCount(), 3000) << "room again once one has gone";
    queue.Push(Notice(L"C", L"花", 5, 1, 1));
    EXPECT_EQ(queue.GetCount(), 3000);
    EXPECT_EQ(g_dropTraces.load(), 2) << "a new flood is said again";
    winplat::SetDebugOutputHook(nullptr);
}

TEST_F(GiftQueueTest, TheCaptionIsShownAsTextNotMarkup) {
    // The head and tail are the room window's markup; the caption is a name.
    queue.Push(Notice(L"<b>A</b>", L"<img src=x>玫瑰&", 5, 1, 1));
    Steps(1);
    EXPECT_EQ(wnd.Lines(), std::vector<std::wstring>{L"A,已收到 1 <img src=x>玫瑰&。"});
}

TEST_F(GiftQueueTest, NothingHappensWithoutAWindowARoomOrAView) {
    queue.Push(Notice(L"A", L"花", 5, 1, 2));
    struct Case {
        const char* what;
        IGiftNoticeRoomWnd* window;
        int roomId;
        bool hasView;
        int queued;  // records left after one step
    } cases[] = {
        {"no room window", nullptr, kRoomId, true, 1},
        {"room id 0", &wnd, 0, true, 1},
        {"room not known to the kernel", &wnd, kRoomId + 1, true, 1},
        // Without a chat view the step still counts and requeues.
        {"no public chat view", &wnd, kRoomId, false, 1},
    };
    for (const Case& c : cases) {
        queue.SetRoomWnd(c.window);
        wnd.roomId = c.roomId;
        wnd.hasView = c.hasView;
        Steps(1);
        EXPECT_EQ(queue.GetCount(), c.queued) << c.what;
        EXPECT_TRUE(wnd.Lines().empty()) << c.what;
    }
    EXPECT_EQ(users[0]->GetGiftCount(1), 1) << "only the step without a view counted";
    wnd.hasView = true;
    Steps(1);
    EXPECT_EQ(wnd.Lines(), std::vector<std::wstring>{L"A,已收到 2 花。"});
}

TEST_F(GiftQueueTest, TheRoomTimerWritesOneLineEvery60Ms) {
    winplat::InstallManualClock(1000);
    CTestWnd room(L"<Window size=\"100,100\"><Control /></Window>");
    room.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_TIMER && w == 302;
        if (handled) queue.ShowNext();
        return 0;
    };
    ASSERT_TRUE(room.Create(nullptr, L"room", WS_POPUP, 0, 0, 0, 0, 0));
    ASSERT_TRUE(SetTimer(room.GetHWND(), 302, 60, nullptr));
    queue.Push(Notice(L"A", L"花", 5, 1, 2));
    queue.Push(Notice(L"B", L"车", 6, 2, 1));
    PumpPending();
    EXPECT_TRUE(wnd.Lines().empty()) << "nothing before the first tick";
    struct Step {
        int advanceMs;
        size_t lines;
    } steps[] = {{59, 0}, {1, 1}, {60, 2}, {30, 2}, {30, 3}, {60, 3}, {60, 3}};
    for (const Step& s : steps) {
        winplat::AdvanceManualClock(s.advanceMs);
        Pump([&] { return wnd.Lines().size() >= s.lines && s.lines > 0; }, 200);
        PumpPending();
        EXPECT_EQ(wnd.Lines().size(), s.lines) << "after +" << s.advanceMs << " ms";
    }
    EXPECT_EQ(queue.GetCount(), 0);
    std::vector<std::wstring> expected{L"A,已收到 1 花。", L"B,已收到 1 车。", L"A,已收到 2 花。"};
    EXPECT_EQ(wnd.Lines(), expected);
    KillTimer(room.GetHWND(), 302);
    DestroyWindow(room.GetHWND());
    winplat::RemoveManualClock();
}

}  // namespace
