// One thread serves Qt and the Windows layer: socket events, messages posted from
// other threads and window moves by the pointer all arrive while the loop waits in Qt.
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ui_fixture.h"
#include "win32/text.h"
#include "win32/winsock.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

const UINT kSocketMsg = WM_USER + 77;
const UINT kFromThread = WM_USER + 78;

class GuiLoopTest : public UiTest {};

TEST_F(GuiLoopTest, SocketEventsAndCrossThreadPostsWakeTheQtWait) {
    CTestWnd wnd(L"<Window size=\"200,100\"><VerticalLayout /></Window>");
    int reads = 0, posts = 0;
    wnd.onExtra = [&](UINT m, WPARAM, LPARAM l, BOOL& handled) -> LRESULT {
        handled = m == kSocketMsg || m == kFromThread;
        if (m == kSocketMsg && WSAGETSELECTEVENT(l) == FD_READ) ++reads;
        if (m == kFromThread) ++posts;
        return 0;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"loop", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    ASSERT_EQ(WSAAsyncSelect(fds[0], wnd.GetHWND(), kSocketMsg, FD_READ), 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_TRUE(Pump([&] { return reads == 1; }));
    HWND h = wnd.GetHWND();
    std::thread t([h] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessageW(h, kFromThread, 0, 0);
    });
    EXPECT_TRUE(Pump([&] { return posts == 1; }));
    t.join();
    WSAAsyncSelect(fds[0], wnd.GetHWND(), 0, 0);
    closesocket(fds[0]);
    close(fds[1]);
}

// A paint that Qt runs while the loop waits is news for the loop's caller (a pump
// waiting for a picture on screen): the wait ends with it instead of blocking on.
TEST_F(GuiLoopTest, APaintRunByQtEndsTheLoopsWait) {
    CTestWnd wnd(L"<Window size=\"200,100\"><VerticalLayout /></Window>");
    int fallbacks = 0;
    wnd.onExtra = [&](UINT m, WPARAM, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == kFromThread;
        if (handled) ++fallbacks;
        return 0;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"paint", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    HWND h = wnd.GetHWND();
    PumpPending();
    // Should the wait block on, a message from this thread ends it after a while.
    std::mutex lock;
    std::condition_variable cv;
    bool finished = false;
    std::thread fallback([&] {
        std::unique_lock<std::mutex> g(lock);
        if (!cv.wait_for(g, std::chrono::seconds(20), [&] { return finished; }))
            PostMessageW(h, kFromThread, 0, 0);
    });
    InvalidateRect(h, nullptr, FALSE);
    MSG msg{};
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    {
        std::lock_guard<std::mutex> g(lock);
        finished = true;
    }
    cv.notify_all();
    fallback.join();
    EXPECT_NE(msg.message, kFromThread);
    DispatchMessageW(&msg);
    PumpPending();
    EXPECT_EQ(fallbacks, 0);
}

// A window destroyed outside any Qt event (as the lobby closes the room window from
// its own code) gives its widget, and the widget's backing store, back to the loop.
TEST_F(GuiLoopTest, ADestroyedWindowsWidgetGoesWithTheLoop) {
    CTestWnd wnd(L"<Window size=\"300,200\"><VerticalLayout /></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"gone", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    PumpPending();
    QPointer<QWidget> widget = winplat::WidgetOf(wnd.GetHWND());
    ASSERT_FALSE(widget.isNull());
    DestroyWindow(wnd.GetHWND());
    EXPECT_TRUE(Pump([&] { return widget.isNull(); })) << "the widget of a destroyed window stays";
}

TEST_F(GuiLoopTest, DraggingTheCaptionMovesTheWindow) {
    CTestWnd wnd(
        L"<Window size=\"300,200\" caption=\"0,0,0,30\"><VerticalLayout>"
        L"<Label height=\"30\" /><Control /></VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"drag", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    HWND h = wnd.GetHWND();
    MoveWindow(h, 50, 60, 300, 200, FALSE);
    QWidget* w = winplat::WidgetOf(h);
    ASSERT_NE(w, nullptr);
    QPointF local(100, 10), global(150, 70);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(140, 30), QPointF(190, 90), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(140, 30), QPointF(190, 90),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    PumpPending();
    RECT rc;
    GetWindowRect(h, &rc);
    // Offscreen there is no system move: the layer moves the window itself.
    EXPECT_EQ(rc.left, 90);
    EXPECT_EQ(rc.top, 80);
    EXPECT_EQ(w->geometry().topLeft(), QPoint(90, 80));
    // A maximised window fills the screen's work area.
    ShowWindow(h, SW_MAXIMIZE);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(h, MONITOR_DEFAULTTOPRIMARY), &mi));
    GetWindowRect(h, &rc);
    EXPECT_EQ(rc.left, mi.rcWork.left);
    EXPECT_EQ(rc.right, mi.rcWork.right);
    EXPECT_EQ(rc.bottom, mi.rcWork.bottom);
}

TEST_F(GuiLoopTest, ContainersSortAndScrollTheirItems) {
    CTestWnd wnd(
        L"<Window size=\"200,100\"><VerticalLayout name=\"list\" vscrollbar=\"true\" /></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"scroll", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* list = static_cast<CVerticalLayoutUI*>(wnd.GetPaintManager().FindControl(L"list"));
    ASSERT_NE(list, nullptr);
    auto byTag = [](CControlUI* a, CControlUI* b, UINT_PTR) {
        return static_cast<int>(a->GetTag()) - static_cast<int>(b->GetTag());
    };
    for (UINT_PTR tag : {5u, 1u, 9u, 3u, 7u}) {
        auto* c = new CLabelUI;
        c->SetTag(tag);
        c->SetFixedHeight(30);
        ASSERT_TRUE(list->AddAt(c, list->GetInsertIndex(c, byTag)));
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list->GetItemAt(i)->GetTag(), static_cast<UINT_PTR>(2 * i + 1));
    list->GetItemAt(0)->SetTag(10);
    list->Sort(byTag);
    EXPECT_EQ(list->GetItemAt(4)->GetTag(), 10u);
    EXPECT_EQ(list->GetItemIndexByTag(3), 0);
    // 150 pixels of items in a 100 pixel window: the bar appears and the wheel scrolls.
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&list->GetItemAt(4)->GetPos()); }));
    ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
    EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(list->GetScrollRange().cy, 50);
    POINT pt{50, 50};
    ClientToScreen(wnd.GetHWND(), &pt);
    PostMessageW(wnd.GetHWND(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(pt.x, pt.y));
    ASSERT_TRUE(Pump([&] { return list->GetScrollPos().cy > 0; }));
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    Pump([&] { return list->GetItemAt(0)->GetPos().top < 0; });
    EXPECT_EQ(list->GetItemAt(0)->GetPos().top, -list->GetScrollPos().cy);
}

// A long list lays out the inside of the rows in view only; a row out of view still has
// its place, and its inside is laid out once it is scrolled into view or rows above it
// come and go.
TEST_F(GuiLoopTest, ListRowsOutOfViewKeepTheirPlaceAndAreLaidOutInView) {
    CTestWnd wnd(L"<Window size=\"200,100\"><List name=\"list\" vscrollbar=\"true\" /></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"rows", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* list = static_cast<CListUI*>(wnd.GetPaintManager().FindControl(L"list"));
    ASSERT_NE(list, nullptr);
    std::vector<CLabelUI*> labels;
    auto row = [&](int tag) {
        auto* r = new CListContainerElementUI;
        r->SetFixedHeight(20);
        r->SetTag(static_cast<UINT_PTR>(tag));
        auto* l = new CLabelUI;
        l->SetFixedWidth(50);
        r->Add(l);
        labels.push_back(l);
        return r;
    };
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(list->Add(row(i)));
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&list->GetItemAt(39)->GetPos()); }));
    // Where the row would be, and its label inside it once laid out.
    auto placed = [&](int index) {
        const RECT r = list->GetItemAt(index)->GetPos();
        return r.top == list->GetPos().top + 20 * index - list->GetScrollPos().cy &&
               r.bottom - r.top == 20;
    };
    auto inside = [&](int index) {
        CControlUI* r = list->GetItemAt(index);
        auto* box = static_cast<CContainerUI*>(r->GetInterface(L"Container"));
        const RECT a = r->GetPos(), b = box->GetItemAt(0)->GetPos();
        return b.top == a.top && b.left == a.left && b.right - b.left == 50;
    };
    for (int i : {0, 2, 30, 39}) EXPECT_TRUE(placed(i)) << i;
    EXPECT_TRUE(inside(0));
    // Scrolled to the end: the last rows are in view, their insides where they are.
    list->SetScrollPos(SIZE{0, list->GetScrollRange().cy});
    ASSERT_TRUE(Pump([&] { return placed(39) && inside(39); }));
    EXPECT_TRUE(inside(38));
    // A row that comes above them moves them all down a row (the last out of view);
    // those in view follow with their insides.
    ASSERT_TRUE(list->AddAt(row(99), 0));
    ASSERT_TRUE(Pump([&] { return placed(40) && placed(39) && inside(39); }));
    EXPECT_TRUE(inside(36));
    EXPECT_TRUE(placed(1));
    list->SetScrollPos(SIZE{0, 0});
    ASSERT_TRUE(Pump([&] { return list->GetScrollPos().cy == 0 && inside(1); }));
    EXPECT_TRUE(inside(0));
}

// Rows added and removed in a long list move only the rows after them: whatever comes
// and goes, and wherever (above the view, in it, below it, next to hidden rows, rows of
// another height, while the list is hidden), every row ends where the whole line puts
// it, its inside laid out where it is in view, and the bar's range follows.
TEST_F(GuiLoopTest, RowsAddedOrRemovedLeaveEveryRowWhereTheWholeLineGoes) {
    CTestWnd wnd(
        L"<Window size=\"200,100\"><List name=\"list\" vscrollbar=\"true\" "
        L"childpadding=\"2\" /></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"rows", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* list = static_cast<CListUI*>(wnd.GetPaintManager().FindControl(L"list"));
    ASSERT_NE(list, nullptr);
    int next = 0;
    auto row = [&](int height = 20) {
        auto* r = new CListContainerElementUI;
        r->SetFixedHeight(height);
        r->SetTag(static_cast<UINT_PTR>(next++));
        auto* l = new CLabelUI;
        l->SetFixedWidth(50);
        r->Add(l);
        return r;
    };
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(list->Add(row()));
    // Every visible row right after the one before it, child padding between them.
    auto lined = [&](std::string& why) {
        const RECT view = list->GetPos();
        int y = view.top - list->GetScrollPos().cy, total = 0, shown = 0;
        for (int i = 0; i < list->GetCount(); ++i) {
            CControlUI* c = list->GetItemAt(i);
            if (!c->IsVisible()) continue;
            const RECT r = c->GetPos();
            const int h = c->GetFixedHeight();
            if (r.top != y || r.bottom != y + h) {
                why = "row " + std::to_string(i) + " at " + std::to_string(r.top) + "-" +
                      std::to_string(r.bottom) + ", not " + std::to_string(y) + "-" +
                      std::to_string(y + h);
                return false;
            }
            auto* box = static_cast<CContainerUI*>(c->GetInterface(L"Container"));
            const RECT in = box->GetItemAt(0)->GetPos();
            if (r.bottom > view.top && r.top < view.bottom &&
                (in.top != r.top || in.left != r.left)) {
                why = "the inside of row " + std::to_string(i) + " is not laid out";
                return false;
            }
            y += h + 2;
            total += h + (shown++ ? 2 : 0);
        }
        const int range = std::max(0, total - static_cast<int>(view.bottom - view.top));
        if (list->GetScrollRange().cy != range) {
            why = "range " + std::to_string(list->GetScrollRange().cy) + ", not " +
                  std::to_string(range);
            return false;
        }
        return true;
    };
    auto laidOut = [&](std::string& why) {
        InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
        return Pump([&] { return lined(why); });
    };
    auto inViewIndex = [&] {
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetItemAt(i)->GetPos().top >= list->GetPos().top) return i;
        return 0;
    };
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"scrolled to the middle",
         [&] {
             list->SetScrollPos(SIZE{0, 300});
         }},
        {"a row added above the view", [&] { list->AddAt(row(), 3); }},
        {"a row added in the view", [&] { list->AddAt(row(), inViewIndex() + 1); }},
        {"a row added below the view", [&] { list->AddAt(row(), list->GetCount() - 2); }},
        {"a taller row added in the view", [&] { list->AddAt(row(33), inViewIndex()); }},
        {"a row removed in the view", [&] { list->RemoveAt(inViewIndex() + 1); }},
        {"the first row removed", [&] { list->RemoveAt(0); }},
        {"the last row removed", [&] { list->RemoveAt(list->GetCount() - 1); }},
        {"a row added at the end", [&] { list->Add(row()); }},
        {"a row added after a hidden one",
         [&] {
             const int at = inViewIndex();
             list->GetItemAt(at)->SetVisible(false);
             list->AddAt(row(), at + 1);
         }},
        {"two rows added and one removed before a paint",
         [&] {
             list->AddAt(row(), 20);
             list->AddAt(row(), 5);
             list->RemoveAt(30);
         }},
        {"rows added while the list is hidden",
         [&] {
             list->SetVisible(false);
             list->AddAt(row(), 1);
             list->RemoveAt(inViewIndex());
             list->SetVisible(true);
         }},
        {"a row added and the list scrolled",
         [&] {
             list->AddAt(row(), 10);
             list->SetScrollPos(SIZE{0, 100});
         }},
        {"a row's height changed and one added after it",
         [&] {
             const int at = inViewIndex();
             list->GetItemAt(at)->SetFixedHeight(27);
             list->AddAt(row(), at + 2);
         }},
    };
    std::string why;
    ASSERT_TRUE(laidOut(why)) << why;
    for (const auto& c : cases) {
        c.change();
        EXPECT_TRUE(laidOut(why)) << c.what << ": " << why;
    }
}

// A change lays out only the container it concerns, and that is enough wherever it is:
// a floating control moved, a control that changes size or shows, an item added deep
// down, the window resized; the controls elsewhere stay where they are.
TEST_F(GuiLoopTest, EachChangeLeavesTheWholeWindowWhereItsLayoutPutsIt) {
    CTestWnd wnd(
        L"<Window size=\"200,200\"><VerticalLayout>"
        L"<HorizontalLayout name=\"bar\" height=\"30\"><Button name=\"a\" width=\"40\" />"
        L"<Button name=\"b\" width=\"40\" /></HorizontalLayout>"
        L"<Container name=\"box\" height=\"50\"><Label name=\"f\" float=\"true\" "
        L"pos=\"10,10,30,20\" /></Container>"
        L"<VerticalLayout name=\"col\" height=\"80\"><Label name=\"c1\" height=\"20\" />"
        L"<Label name=\"c2\" height=\"20\" /></VerticalLayout>"
        L"<Label name=\"tail\" />"
        L"</VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"layout", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    CPaintManagerUI& pm = wnd.GetPaintManager();
    auto at = [&](const wchar_t* name) { return pm.FindControl(name); };
    auto* col = static_cast<CContainerUI*>(at(L"col")->GetInterface(L"Container"));
    CLabelUI* added = nullptr;
    // Where each control belongs in a client area of width w and height h.
    auto placed = [&](int w, int h, std::string& why) {
        const int bw = at(L"a")->GetFixedWidth();
        std::vector<std::pair<const wchar_t*, RECT>> want = {
            {L"bar", {0, 0, w, 30}},
            {L"a", {0, 0, bw, 30}},
            {L"b", {bw, 0, bw + 40, 30}},
            {L"box", {0, 30, w, 80}},
            {L"f",
             {at(L"f")->GetFixedXY().cx, 30 + at(L"f")->GetFixedXY().cy,
              at(L"f")->GetFixedXY().cx + 20, 40 + at(L"f")->GetFixedXY().cy}},
            {L"col", {0, 80, w, 160}},
            {L"tail", {0, 160, w, h}},
        };
        int y = 80;
        for (const wchar_t* n : {L"c1", L"c2"}) {
            if (!at(n)->IsVisible()) continue;
            want.push_back({n, {0, y, w, y + 20}});
            y += 20;
        }
        if (added) {
            if (added->GetPos().top != y || added->GetPos().right != w) {
                why = "the added label is not after the others";
                return false;
            }
        }
        for (const auto& [name, r] : want) {
            if (!EqualRect(&at(name)->GetPos(), &r)) {
                const RECT g = at(name)->GetPos();
                why = winplat::WideToUtf8(name) + " at " + std::to_string(g.left) + "," +
                      std::to_string(g.top) + "," + std::to_string(g.right) + "," +
                      std::to_string(g.bottom);
                return false;
            }
        }
        return true;
    };
    int w = 200, h = 200;
    auto laidOut = [&](std::string& why) {
        InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
        return Pump([&] { return placed(w, h, why); });
    };
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"a floating control moved",
         [&] {
             at(L"f")->SetFixedXY(SIZE{50, 5});
         }},
        {"a control grown in its line", [&] { at(L"a")->SetFixedWidth(70); }},
        {"an item added deep down",
         [&] {
             added = new CLabelUI;
             added->SetFixedHeight(20);
             col->Add(added);
         }},
        {"a control hidden", [&] { at(L"c1")->SetVisible(false); }},
        {"a control shown again", [&] { at(L"c1")->SetVisible(true); }},
        {"the window resized",
         [&] {
             w = 260, h = 240;
             SetWindowPos(wnd.GetHWND(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
         }},
    };
    std::string why;
    ASSERT_TRUE(laidOut(why)) << why;
    for (const auto& c : cases) {
        c.change();
        EXPECT_TRUE(laidOut(why)) << c.what << ": " << why;
    }
}

// A row that notes each paint it gets.
class CNotedRow : public CListContainerElementUI {
public:
    CNotedRow(int tag, std::set<int>& painted) : m_painted(painted) {
        SetFixedHeight(20);
        SetTag(static_cast<UINT_PTR>(tag));
    }
    void DoPaint(HDC hDC, const RECT& rcPaint) override {
        m_painted.insert(static_cast<int>(GetTag()));
        CListContainerElementUI::DoPaint(hDC, rcPaint);
    }

private:
    std::set<int>& m_painted;
};

// A long list paints only the rows in view; whatever changes the rows (one added or
// removed above, hidden, moved, sorted, the list scrolled, a floating item among them),
// the next paint of the whole window shows every row then in view and only those, and
// the rows keep their numbers.
TEST_F(GuiLoopTest, ListPaintsEveryRowInViewAfterEachChange) {
    CTestWnd wnd(L"<Window size=\"200,100\"><List name=\"list\" vscrollbar=\"true\" /></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"paint", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* list = static_cast<CListUI*>(wnd.GetPaintManager().FindControl(L"list"));
    ASSERT_NE(list, nullptr);
    std::set<int> painted;
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(list->Add(new CNotedRow(i, painted)));
    // The rows a person sees: visible, not floating, inside the list's rectangle.
    auto inView = [&] {
        std::set<int> tags;
        const RECT view = list->GetPos();
        for (int i = 0; i < list->GetCount(); ++i) {
            CControlUI* c = list->GetItemAt(i);
            const RECT r = c->GetPos();
            if (c->IsVisible() && (c->IsFloat() || (r.bottom > view.top && r.top < view.bottom)))
                tags.insert(static_cast<int>(c->GetTag()));
        }
        return tags;
    };
    auto paintAll = [&] {
        painted.clear();
        InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
        return Pump([&] { return !painted.empty() && painted == inView(); });
    };
    auto numbered = [&] {
        for (int i = 0; i < list->GetCount(); ++i) {
            auto* item = static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"ListItem"));
            if (!item || item->GetIndex() != i) return false;
        }
        return true;
    };
    auto byTagDown = [](CControlUI* a, CControlUI* b, UINT_PTR) {
        return static_cast<int>(b->GetTag()) - static_cast<int>(a->GetTag());
    };
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"first paint", [] {}},
        {"scrolled to the middle",
         [&] {
             list->SetScrollPos(SIZE{0, 300});
         }},
        {"a row added above the view", [&] { list->AddAt(new CNotedRow(100, painted), 2); }},
        {"a row removed above the view", [&] { list->RemoveAt(0); }},
        {"the first row in view hidden",
         [&] {
             const std::set<int> now = inView();
             list->GetItemAt(list->GetItemIndexByTag(static_cast<UINT_PTR>(*now.begin())))
                 ->SetVisible(false);
         }},
        {"a row moved into the view", [&] { list->SetItemIndex(list->GetItemAt(0), 16); }},
        {"sorted the other way", [&] { list->Sort(byTagDown); }},
        {"a floating row",
         [&] {
             auto* f = new CNotedRow(200, painted);
             f->SetFloat(true);
             f->SetFixedXY(SIZE{0, 0});
             f->SetFixedWidth(50);
             list->AddAt(f, 0);
         }},
        {"scrolled to the end",
         [&] {
             list->SetScrollPos(SIZE{0, list->GetScrollRange().cy});
         }},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_TRUE(paintAll()) << c.what;
        EXPECT_LT(painted.size(), 10u) << c.what;
        EXPECT_TRUE(numbered()) << c.what;
    }
}

}  // namespace
