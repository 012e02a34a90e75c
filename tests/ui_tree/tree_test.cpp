// The lobby's room-group tree: where rows go, what they show, opening and closing
// groups, finding groups, and the notifications a click gives.
#include <QDir>
#include <QImage>
#include <QPainter>

#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "controls/RoomGroupTreeUI.h"
#include "controls/DialogBuilderCallbackEx.h"
#include "drawn_text.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class TreeTest : public UiTest {
protected:
    // Groups as the lobby adds them: id and parent id (0 = top level).
    void Fill(CRoomGroupTreeUI& tree, const std::vector<std::pair<int, int>>& groups) {
        for (auto [id, parentId] : groups) {
            CRoomGroupNode* parent = parentId ? tree.FindNodeById(parentId) : nullptr;
            ASSERT_TRUE(parentId == 0 || parent) << "parent " << parentId << " of " << id;
            std::wstring name = L"G" + std::to_wstring(id);
            ASSERT_NE(tree.AddNode(id, name.c_str(), L"R", true, id * 10, parent, parentId == 0, 0),
                      nullptr);
        }
    }
    static std::vector<int> RowIds(CRoomGroupTreeUI& tree) {
        std::vector<int> ids;
        for (int i = 0; i < tree.GetCount(); ++i)
            ids.push_back(
                reinterpret_cast<CRoomGroupNode*>(tree.GetItemAt(i)->GetTag())->data().id);
        return ids;
    }
    static std::map<int, bool> Shown(CRoomGroupTreeUI& tree) {
        std::map<int, bool> shown;
        for (int i = 0; i < tree.GetCount(); ++i) {
            CControlUI* row = tree.GetItemAt(i);
            shown[reinterpret_cast<CRoomGroupNode*>(row->GetTag())->data().id] = row->IsVisible();
        }
        return shown;
    }
    static CControlUI* Part(CRoomGroupNode* node, const wchar_t* name) {
        CPaintManagerUI pm;
        return pm.FindSubControlByName(node->data().row, name);
    }
};

TEST_F(TreeTest, TheFactoryMakesTheTreeOnlyForItsExactName) {
    CDialogBuilderCallbackEx cb;
    CControlUI* c = cb.CreateControl(L"RGroupTree");
    EXPECT_NE(dynamic_cast<CRoomGroupTreeUI*>(c), nullptr);
    delete c;
    EXPECT_EQ(cb.CreateControl(L"rgrouptree"), nullptr);
    EXPECT_EQ(cb.CreateControl(L"RGroupTree "), nullptr);
}

TEST_F(TreeTest, RowsFollowTheirParentsWholeSubtree) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> groups;
        std::vector<int> rows;
    } cases[] = {
        {"top level after a group with children", {{1, 0}, {2, 1}, {3, 0}}, {1, 2, 3}},
        {"child after its elder sibling's subtree", {{1, 0}, {2, 1}, {3, 2}, {4, 1}}, {1, 2, 3, 4}},
        {"first child right after its parent", {{1, 0}, {5, 0}, {2, 1}}, {1, 2, 5}},
        {"deep groups of the first of two top groups",
         {{1, 0}, {2, 1}, {3, 2}, {4, 0}, {5, 2}, {6, 4}},
         {1, 2, 3, 5, 4, 6}},
    };
    for (const Case& c : cases) {
        CRoomGroupTreeUI tree;
        Fill(tree, c.groups);
        EXPECT_EQ(RowIds(tree), c.rows) << c.what;
    }
}

TEST_F(TreeTest, LevelsExpansionAndVisibilityFollowTheParent) {
    CRoomGroupTreeUI tree;
    Fill(tree, {{1, 0}, {2, 1}, {3, 2}});
    struct Case {
        int id, level;
        bool expanded, shown;
    } cases[] = {
        {1, 0, true, true},    // top level: open
        {2, 1, false, true},   // under an open group: shown, itself closed
        {3, 2, false, false},  // under a closed group: hidden from the start
    };
    for (const Case& c : cases) {
        CRoomGroupNode* n = tree.FindNodeById(c.id);
        ASSERT_NE(n, nullptr) << c.id;
        EXPECT_EQ(n->data().level, c.level) << c.id;
        EXPECT_EQ(n->data().expanded, c.expanded) << c.id;
        EXPECT_EQ(n->data().row->IsVisible(), c.shown) << c.id;
        EXPECT_EQ(reinterpret_cast<CRoomGroupNode*>(n->data().row->GetTag()), n);
    }
    EXPECT_EQ(tree.FindNodeById(2)->parent(), tree.FindNodeById(1));
    EXPECT_EQ(tree.FindNodeById(1)->parent(), tree.GetRoot());
    EXPECT_EQ(tree.GetRoot()->num_children(), 1);
}

TEST_F(TreeTest, RowsShowTheCaptionAndTheCountWhenAsked) {
    CRoomGroupTreeUI tree;
    CRoomGroupNode* a = tree.AddNode(7, L"音乐", L"R", true, 128, nullptr, true, 0);
    CRoomGroupNode* b = tree.AddNode(8, L"流行", L"http://x/", false, 5, a, false, 0xFFD03030);
    CRoomGroupNode* c = tree.AddNode(9, L"老歌", L"", true, 0, b, false, 0);
    ASSERT_TRUE(a && b && c);
    struct Case {
        CRoomGroupNode* node;
        const wchar_t* caption;
        const wchar_t* count;
        bool countShown;
    } cases[] = {
        {a, L"<x 6><a><i fang.png 1 0></a><b>音乐</b>", L"128", true},
        {b, L"<x 6><x 24>流行", L"5", false},
        {c, L"<x 6><x 24><x 24>老歌", L"0", true},
    };
    for (const Case& k : cases) {
        CControlUI* name = Part(k.node, L"cgroupname");
        CControlUI* num = Part(k.node, L"cusernum");
        ASSERT_TRUE(name && num);
        EXPECT_EQ(std::wstring(name->GetText()), k.caption);
        EXPECT_EQ(std::wstring(num->GetText()), k.count);
        EXPECT_EQ(num->IsVisible(), k.countShown && k.node->data().row->IsVisible());
    }
    EXPECT_EQ(static_cast<CLabelUI*>(Part(b, L"cgroupname"))->GetTextColor(), 0xFFD03030u);
    EXPECT_EQ(std::wstring(b->data().value), L"http://x/");
    EXPECT_EQ(std::wstring(a->data().caption), L"音乐");
}

TEST_F(TreeTest, AGroupNameIsDrawnAsPlainText) {
    // A name that is markup would indent the caption by 500 pixels or turn it bold.
    CRoomGroupTreeUI tree;
    CRoomGroupNode* n = tree.AddNode(1, L"<x 500>{x 500}<b>vip", L"R", true, 1, nullptr, false, 0);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(std::wstring(n->data().caption), L"<x 500>{x 500}<b>vip") << "kept as received";
    CPaintManagerUI pm;
    auto width = [&](const wchar_t* html) {
        RECT rc{0, 0, 2000, 30};
        int links = 0;
        CRenderEngine::DrawHtmlText(nullptr, &pm, rc, html, 0xFF000000, nullptr, nullptr, links,
                                    DT_SINGLELINE | DT_CALCRECT);
        return rc.right - rc.left;
    };
    CDuiString caption = Part(n, L"cgroupname")->GetText();
    EXPECT_LT(width(caption), 400);
    // The prefix, then the name as plain characters (no markup read in it).
    int plain = CRenderEngine::GetTextSize(nullptr, &pm, L"<x 500>{x 500}<b>vip", -1, 0).cx;
    EXPECT_NEAR(width(caption), width(L"<x 6><a><i fang.png 1 0></a>") + plain, 2)
        << "the brackets are drawn as characters";
}

TEST_F(TreeTest, OpeningAndClosingShowsAndHidesTheWholeSubtree) {
    // 1 > 2 > 3, 1 > 4, and 5 at the top level.
    struct Step {
        int id;
        bool expanded;
        std::map<int, bool> shown;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"close and reopen a top group",
         {{1, false, {{1, true}, {2, false}, {3, false}, {4, false}, {5, true}}},
          {1, true, {{1, true}, {2, true}, {3, false}, {4, true}, {5, true}}}}},
        {"an opened child group opens its children",
         {{2, true, {{1, true}, {2, true}, {3, true}, {4, true}, {5, true}}}}},
        {"closing the top group hides the grandchildren too",
         {{2, true, {{1, true}, {2, true}, {3, true}, {4, true}, {5, true}}},
          {1, false, {{1, true}, {2, false}, {3, false}, {4, false}, {5, true}}},
          {1, true, {{1, true}, {2, true}, {3, true}, {4, true}, {5, true}}}}},
        {"a child group changed while hidden shows its state when the top opens",
         {{1, false, {{1, true}, {2, false}, {3, false}, {4, false}, {5, true}}},
          {2, true, {{1, true}, {2, false}, {3, false}, {4, false}, {5, true}}},
          {1, true, {{1, true}, {2, true}, {3, true}, {4, true}, {5, true}}}}},
    };
    for (const Case& c : cases) {
        CRoomGroupTreeUI tree;
        Fill(tree, {{1, 0}, {2, 1}, {3, 2}, {4, 1}, {5, 0}});
        for (const Step& s : c.steps) {
            tree.SetExpanded(tree.FindNodeById(s.id), s.expanded);
            EXPECT_EQ(tree.FindNodeById(s.id)->data().expanded, s.expanded) << c.what;
            EXPECT_EQ(Shown(tree), s.shown)
                << c.what << ": after " << s.id << " " << (s.expanded ? "opened" : "closed");
        }
    }
}

TEST_F(TreeTest, TheCaptionFollowsTheState) {
    CRoomGroupTreeUI tree;
    CRoomGroupNode* top = tree.AddNode(1, L"A", L"R", true, 1, nullptr, true, 0);
    CRoomGroupNode* orphan = tree.AddNode(3, L"C", L"R", true, 1, nullptr, false, 0);
    CRoomGroupNode* sub = tree.AddNode(2, L"B", L"R", true, 1, top, true, 0);
    ASSERT_TRUE(top && sub && orphan);
    // A rebuilt caption keeps the node's own bold flag: a top-level group added
    // without bold (its parent was missing) stays plain when toggled.
    tree.SetExpanded(top, false);
    EXPECT_EQ(std::wstring(Part(top, L"cgroupname")->GetText()),
              L"<x 6><a><i fang.png 1 1></a><b>A</b>");
    tree.SetExpanded(top, true);
    EXPECT_EQ(std::wstring(Part(top, L"cgroupname")->GetText()),
              L"<x 6><a><i fang.png 1 0></a><b>A</b>");
    tree.SetExpanded(orphan, false);
    EXPECT_EQ(std::wstring(Part(orphan, L"cgroupname")->GetText()),
              L"<x 6><a><i fang.png 1 1></a>C");
    tree.SetExpanded(sub, false);
    EXPECT_EQ(std::wstring(Part(sub, L"cgroupname")->GetText()), L"<x 6><x 24><b>B</b>");

    // Null, the root and an unchanged state do nothing.
    Part(top, L"cgroupname")->SetText(L"unchanged");
    tree.SetExpanded(nullptr, false);
    tree.SetExpanded(tree.GetRoot(), false);
    tree.SetExpanded(top, true);
    EXPECT_TRUE(tree.GetRoot()->data().expanded);
    EXPECT_EQ(std::wstring(Part(top, L"cgroupname")->GetText()), L"unchanged");
}

TEST_F(TreeTest, FindNodeByIdSearchesEveryRow) {
    CRoomGroupTreeUI tree;
    EXPECT_EQ(tree.FindNodeById(1), nullptr) << "empty tree";
    Fill(tree, {{1, 0}, {2, 1}, {3, 0}, {4, 3}, {5, 4}});
    for (int id : {1, 2, 3, 4, 5}) {
        CRoomGroupNode* n = tree.FindNodeById(id);
        ASSERT_NE(n, nullptr) << id << " (rows of the last top group included)";
        EXPECT_EQ(n->data().id, id);
    }
    EXPECT_EQ(tree.FindNodeById(6), nullptr);
    EXPECT_EQ(tree.FindNodeById(-1), nullptr) << "the root has no row";
}

TEST_F(TreeTest, WithoutItsRowLayoutNothingIsAdded) {
    QString dir = QDir::tempPath() + QStringLiteral("/mivora-norow-%1/").arg(getpid());
    QDir().mkpath(dir);
    CPaintManagerUI::SetResourcePath(dir.toStdWString().c_str());
    CRoomGroupTreeUI tree;
    EXPECT_EQ(tree.CreateRow(), nullptr);
    EXPECT_EQ(tree.AddNode(1, L"A", L"R", true, 1, nullptr, true, 0), nullptr);
    EXPECT_EQ(tree.GetCount(), 0);
    EXPECT_FALSE(tree.GetRoot()->has_children());
    QDir(dir).removeRecursively();
}

// The tree in a window, as the lobby has it.
const wchar_t kLobbyLayout[] =
    L"<Window size=\"320,260\"><Font name=\"WenQuanYi Micro Hei\" size=\"13\" default=\"true\" />"
    L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><RGroupTree name=\"lefttree\" "
    L"itemselectedbkcolor=\"#FFDCEBFB\" itemhotbkcolor=\"#FFF0F5FB\" /></VerticalLayout></Window>";

struct Note {
    std::wstring type;
    CControlUI* sender;
    WPARAM wParam;
};

TEST_F(TreeTest, ARowClickSelectsItAndNamesTheRow) {
    CTestWnd wnd(kLobbyLayout);
    std::vector<Note> notes;
    wnd.onNotify = [&](TNotifyUI& m) {
        if (m.sType == L"itemclick" || m.sType == L"itemselect")
            notes.push_back({m.sType.GetData(), m.pSender, m.wParam});
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"lobby", WS_POPUP, 0, 0, 0, 0, 0));
    auto* tree = dynamic_cast<CRoomGroupTreeUI*>(wnd.GetPaintManager().FindControl(L"lefttree"));
    ASSERT_NE(tree, nullptr);
    tree->SetPaintManager(&wnd.GetPaintManager());
    CRoomGroupNode* a = tree->AddNode(1, L"A", L"R", true, 3, nullptr, true, 0);
    CRoomGroupNode* b = tree->AddNode(2, L"B", L"http://b/", true, 2, a, false, 0);
    CRoomGroupNode* c = tree->AddNode(3, L"C", L"R", true, 1, nullptr, true, 0);
    ASSERT_TRUE(a && b && c);
    wnd.ShowWindow(true, false);

    ClickControl(wnd.GetHWND(), b->data().row);
    ASSERT_TRUE(Pump([&] { return notes.size() >= 2; }));
    EXPECT_EQ(notes[0].type, L"itemclick");
    EXPECT_EQ(notes[0].sender, b->data().row);
    EXPECT_EQ(std::wstring(notes[0].sender->GetClass()), L"ListContainerElementUI");
    EXPECT_EQ(tree->NodeOfRow(notes[0].sender), b);
    // Anything that is not one of the tree's rows has no node: a part of a row, the
    // tree itself, a row-like control with a tag of its own.
    CListContainerElementUI stranger;
    stranger.SetTag(reinterpret_cast<UINT_PTR>(b));
    for (CControlUI* other : {static_cast<CControlUI*>(nullptr), Part(b, L"cgroupname"),
                              static_cast<CControlUI*>(tree), static_cast<CControlUI*>(&stranger)})
        EXPECT_EQ(tree->NodeOfRow(other), nullptr);
    EXPECT_EQ(notes[1].type, L"itemselect");
    EXPECT_EQ(notes[1].sender, tree);
    EXPECT_EQ(notes[1].wParam, 1u);
    EXPECT_EQ(tree->GetCurSel(), 1);

    // Once A is closed, B's place belongs to C.
    RECT bPos = b->data().row->GetPos();
    tree->SetExpanded(a, false);
    notes.clear();
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    Pump(
        [&] {
            return !IsRectEmpty(&c->data().row->GetPos()) &&
                   c->data().row->GetPos().top == bPos.top;
        },
        2000);
    ClickAt(wnd.GetHWND(), POINT{(bPos.left + bPos.right) / 2, (bPos.top + bPos.bottom) / 2});
    ASSERT_TRUE(Pump([&] { return !notes.empty(); }));
    EXPECT_EQ(notes[0].sender, c->data().row);
    DestroyWindow(wnd.GetHWND());
}

const QRgb kWhite = qRgb(255, 255, 255);

TEST_F(TreeTest, ScreenshotShowsTheGroupsWithTheirCounts) {
    CTestWnd wnd(kLobbyLayout);
    ASSERT_TRUE(wnd.Create(nullptr, L"lobby", WS_POPUP, 0, 0, 0, 0, 0));
    auto* tree = dynamic_cast<CRoomGroupTreeUI*>(wnd.GetPaintManager().FindControl(L"lefttree"));
    ASSERT_NE(tree, nullptr);
    CPaintManagerUI& pm = wnd.GetPaintManager();
    tree->SetPaintManager(&pm);
    CRoomGroupNode* a = tree->AddNode(1, L"音乐天地", L"R", true, 1280, nullptr, true, 0);
    CRoomGroupNode* b = tree->AddNode(2, L"流行金曲", L"R", true, 907, a, false, 0);
    ASSERT_TRUE(a && b);
    wnd.ShowWindow(true, false);
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&b->data().row->GetPos()); }));
    PumpPending();
    QImage shot = winplat::GrabWindowImage(wnd.GetHWND());
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "grouptree.png")));

    struct Case {
        CRoomGroupNode* node;
        const wchar_t* part;
        const wchar_t* text;
        const wchar_t* other;
        bool html;
    } cases[] = {
        {a, L"cusernum", L"1280", L"6431", false},
        {b, L"cusernum", L"907", L"125", false},
        {a, L"cgroupname", nullptr, L"<x 6><a><i fang.png 1 0></a><b>游戏大厅</b>", true},
        {b, L"cgroupname", nullptr, L"<x 6><x 24>新人专区", true},
    };
    for (const Case& c : cases) {
        auto* label = static_cast<CLabelUI*>(pm.FindSubControlByName(c.node->data().row, c.part));
        ASSERT_NE(label, nullptr);
        RECT rc = label->GetPos();
        QImage crop = shot.copy(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
        CDuiString text = c.text ? CDuiString(c.text) : label->GetText();
        EXPECT_GT(InkMatch(crop, RenderLabel(pm, label, text, c.html, Qt::white), kWhite), 0.95)
            << "the row shows " << QString::fromWCharArray(text.GetData()).toStdString();
        EXPECT_LT(InkMatch(crop, RenderLabel(pm, label, c.other, c.html, Qt::white), kWhite), 0.7);
    }
    // The open group's marker is there, in the skin's blue.
    RECT rc = pm.FindSubControlByName(a->data().row, L"cgroupname")->GetPos();
    int blue = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.left + 24; ++x)
            if (shot.pixel(x, y) == qRgb(0x3A, 0x8E, 0xE6)) ++blue;
    EXPECT_GT(blue, 20);
    DestroyWindow(wnd.GetHWND());
}

}  // namespace
