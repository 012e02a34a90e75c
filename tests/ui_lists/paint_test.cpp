// What a person sees of the member list: row colours (alternating, hot, selected)
// and a window whose screenshot shows each member's name, id, face and mic picture.
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdlib>

#include "controls/CtrlListFriend.h"
#include "controls/CtrlListQunshuaUser.h"
#include "controls/DialogBuilderCallbackEx.h"
#include "controls/ListFriendItem.h"
#include "drawn_text.h"
#include "lists_fixture.h"
#include "win32/loop.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class PaintTest : public ListsTest {};

const QRgb kBackdrop = qRgb(40, 80, 120);

// The row painted over a dark backdrop.
QImage PaintRow(CControlUI* row) {
    QImage out(200, 30, QImage::Format_ARGB32);
    out.fill(kBackdrop);
    QPainter p(&out);
    HDC dc = winplat::CreatePainterDC(&p);
    row->DoPaint(dc, RECT{0, 0, 200, 30});
    winplat::DeletePainterDC(dc);
    return out;
}

TEST_F(PaintTest, RowColoursAlternateAndSelectedWinsOverHot) {
    CCtrlListFriend list;
    list.SetListType(USERLIST_QUEUE);
    list.LoadItemTemplate(L"<UserListItem height=\"30\" />");
    for (int i = 0; i < 3; ++i) list.AddUser(MakeUser(i + 1));
    for (int i = 0; i < 3; ++i) list.GetItemAt(i)->SetPos(RECT{0, 0, 200, 30});
    auto* odd = static_cast<CListFriendItem*>(list.GetItemAt(1));

    EXPECT_EQ(PaintRow(list.GetItemAt(0)).pixel(100, 15), kBackdrop) << "even rows: transparent";
    QRgb translucent = PaintRow(odd).pixel(100, 15);
    // 0x96 of white over the backdrop.
    EXPECT_NEAR(qRed(translucent), 40 + (255 - 40) * 0x96 / 255, 2);
    EXPECT_NEAR(qBlue(translucent), 120 + (255 - 120) * 0x96 / 255, 2);

    TEventUI enter{};
    enter.Type = UIEVENT_MOUSEENTER;
    odd->DoEvent(enter);
    QImage hot = PaintRow(odd);
    EXPECT_EQ(hot.pixel(100, 15), qRgb(255, 255, 255));
    EXPECT_EQ(hot.pixel(0, 0), qRgb(0xC8, 0xC8, 0xC8)) << "a grey frame";

    list.SelectItem(1);
    QImage selected = PaintRow(odd);
    EXPECT_EQ(selected.pixel(100, 15), qRgb(0xFE, 0xEE, 0xAE)) << "selected beats hot";
    EXPECT_EQ(selected.pixel(0, 0), qRgb(0xC8, 0xC8, 0xC8));

    CListFriendItem loose;  // no owner list
    loose.SetBkColor(0xFFFF0000);
    loose.SetPos(RECT{0, 0, 200, 30});
    EXPECT_EQ(PaintRow(&loose).pixel(100, 15), kBackdrop) << "a row without a list paints nothing";
}

TEST_F(PaintTest, TheFactoryBuildsTheListsFromTheirElementNames) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    CDialogBuilderCallbackEx factory;
    CControlUI* root = builder.Create(
        L"<Window><VerticalLayout><UserList name=\"a\" /><MVUserList name=\"b\" />"
        L"<UserListItem name=\"c\" /><userlist name=\"d\" /></VerticalLayout></Window>",
        nullptr, &factory, &pm);
    ASSERT_NE(root, nullptr);
    pm.Init(nullptr);
    pm.AttachDialog(root);
    EXPECT_NE(dynamic_cast<CCtrlListFriend*>(pm.FindControl(L"a")), nullptr);
    EXPECT_NE(dynamic_cast<CCtrlListQunshuaUser*>(pm.FindControl(L"b")), nullptr);
    EXPECT_NE(dynamic_cast<CListFriendItem*>(pm.FindControl(L"c")), nullptr);
    EXPECT_EQ(pm.FindControl(L"d"), nullptr) << "names are compared exactly";
}

// The label's text as it would be drawn in place, on the row's background.
QImage RenderLabel(CPaintManagerUI& pm, CLabelUI* label, const wchar_t* text, QRgb background) {
    RECT rc = label->GetPos();
    QImage ref(rc.right - rc.left, rc.bottom - rc.top, QImage::Format_ARGB32);
    ref.fill(background);
    QPainter p(&ref);
    HDC dc = winplat::CreatePainterDC(&p);
    p.translate(-rc.left, -rc.top);
    CRenderEngine::DrawText(dc, &pm, rc, text, label->GetTextColor(), label->GetFont(),
                            label->GetTextStyle());
    winplat::DeletePainterDC(dc);
    return ref;
}

TEST_F(PaintTest, ScreenshotShowsEachMembersRow) {
    CListsWnd wnd(
        L"<Window size=\"260,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
        L"<UserList name=\"roomuserlist\" /></VerticalLayout></Window>");
    wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 260, 200);
    auto* list = static_cast<CCtrlListFriend*>(wnd.GetPaintManager().FindControl(L"roomuserlist"));
    ASSERT_NE(list, nullptr);
    list->SetPaintManager(&wnd.GetPaintManager())->SetListType(USERLIST_ONE_ROW_PER_USER);
    list->SetSorted(1);
    list->LoadItemTemplate(L"userlist.xml");
    struct Member {
        int id;
        const char* alias;
        int face;
        uint32_t flags;
        int sortId;
    } members[] = {
        {3120, "小明", 1, 0x1, 2},
        {501, "<b>晚风</b>", 3, 0x0, 1},
        {77, "Nightingale", 5, 0x2, 3},
    };
    for (const Member& m : members) {
        CUserObj* u = MakeUser(m.id, m.alias);
        u->faceId = m.face;
        u->flags = m.flags;
        delegate.sortIds[m.id] = m.sortId;
        list->AddUser(u);
    }
    wnd.ShowWindow(true, false);
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    winplat::PumpMessagesUntil([&] { return !IsRectEmpty(&list->GetItemAt(2)->GetPos()); }, 10000);
    QImage shot = winplat::GrabWindowImage(wnd.GetHWND());
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "userlist.png")));

    CPaintManagerUI& pm = wnd.GetPaintManager();
    const wchar_t* order[][2] = {
        {L"<b>晚风</b>", L"501"}, {L"小明", L"3120"}, {L"Nightingale", L"77"}};
    const wchar_t* mics[] = {L"21", L"22", L"29"};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        CControlUI* item = list->GetItemAt(row);
        // Even rows are transparent over the white window, odd ones translucent white.
        const QRgb background = qRgb(255, 255, 255);
        for (int col = 0; col < 2; ++col) {
            auto* label = static_cast<CLabelUI*>(
                pm.FindSubControlByName(item, col == 0 ? L"calias" : L"idnumber"));
            RECT rc = label->GetPos();
            QImage crop = shot.copy(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
            EXPECT_GT(
                InkMatch(crop, RenderLabel(pm, label, order[row][col], background), background, 30),
                0.9)
                << "the screenshot shows the text as written";
            EXPECT_LT(
                InkMatch(crop, RenderLabel(pm, label, L"某某某某", background), background, 30),
                0.7);
        }
        // The face and the mic picture are drawn where their parts are.
        RECT face = pm.FindSubControlByName(item, L"photo")->GetPos();
        QRgb facePixel = shot.pixel(face.left + 3, face.top + 3);
        EXPECT_NE(facePixel, background) << "the face picture";
        RECT mic = pm.FindSubControlByName(item, L"video")->GetPos();
        QImage micFile(QString::fromStdWString(std::wstring(MIVORA_SKIN_DIR) + L"head/" +
                                               mics[row] + L".png"));
        ASSERT_FALSE(micFile.isNull());
        QRgb want = micFile.pixel(7, 4);  // the microphone's head
        QRgb got = shot.pixel(mic.left + 7, mic.top + 4);
        EXPECT_NEAR(qRed(got), qRed(want), 30);
        EXPECT_NEAR(qGreen(got), qGreen(want), 30);
        EXPECT_NEAR(qBlue(got), qBlue(want), 30);
    }
}

}  // namespace
