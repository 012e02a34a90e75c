// Standard controls: image attributes, text input through an input method, the rich
// edit, nested modal windows.
#include <QApplication>
#include <QClipboard>
#include <QTextBlock>
#include <QTextEdit>
#include <QTest>
#include <QTextLayout>
#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class ControlsTest : public UiTest {};

// A 20x20 picture: red, green, blue and white quarters.
QString MakeQuarters() {
    QString path = QDir::tempPath() + QStringLiteral("/mivora-quarters-%1.png").arg(getpid());
    QImage img(20, 20, QImage::Format_ARGB32);
    QPainter p(&img);
    p.fillRect(0, 0, 10, 10, Qt::red);
    p.fillRect(10, 0, 10, 10, Qt::green);
    p.fillRect(0, 10, 10, 10, Qt::blue);
    p.fillRect(10, 10, 10, 10, Qt::white);
    p.end();
    img.save(path);
    return path;
}

QImage Draw(CPaintManagerUI& pm, const std::wstring& image, RECT item) {
    QImage out(100, 100, QImage::Format_ARGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    HDC dc = winplat::CreatePainterDC(&p);
    CRenderEngine::DrawImageString(dc, &pm, item, RECT{0, 0, 100, 100}, image.c_str());
    winplat::DeletePainterDC(dc);
    return out;
}

TEST_F(ControlsTest, ImageAttributesPickSourceDestAndCorners) {
    QString file = MakeQuarters();
    std::wstring f = file.toStdWString();
    CPaintManagerUI pm;
    RECT item{10, 10, 90, 90};
    // source: only the green quarter, stretched over the item.
    QImage a = Draw(pm, L"file='" + f + L"' source='10,0,20,10'", item);
    EXPECT_EQ(a.pixel(15, 15), qRgb(0, 255, 0));
    EXPECT_EQ(a.pixel(85, 85), qRgb(0, 255, 0));
    EXPECT_EQ(a.pixel(5, 5), qRgb(0, 0, 0)) << "nothing outside the item";
    // dest: the whole picture in a part of the item (relative to its corner).
    QImage b = Draw(pm, L"file='" + f + L"' dest='0,0,20,20'", item);
    EXPECT_EQ(b.pixel(12, 12), qRgb(255, 0, 0));
    EXPECT_EQ(b.pixel(28, 28), qRgb(255, 255, 255));
    EXPECT_EQ(b.pixel(50, 50), qRgb(0, 0, 0));
    // corner: the four corners keep their 10 pixels, the middle stretches.
    QImage c = Draw(pm, L"file='" + f + L"' corner='10,10,10,10'", item);
    EXPECT_EQ(c.pixel(12, 12), qRgb(255, 0, 0));
    EXPECT_EQ(c.pixel(88, 12), qRgb(0, 255, 0));
    EXPECT_EQ(c.pixel(12, 88), qRgb(0, 0, 255));
    EXPECT_EQ(c.pixel(88, 88), qRgb(255, 255, 255));
    // A bare name is the file; a missing file draws nothing.
    QImage d = Draw(pm, f, item);
    EXPECT_EQ(d.pixel(20, 20), qRgb(255, 0, 0));
    QImage e = Draw(pm, L"file='no-such.png'", item);
    EXPECT_EQ(e.pixel(50, 50), qRgb(0, 0, 0));
    QFile::remove(file);
}

TEST_F(ControlsTest, TextFromAnInputMethodAndKeysReachTheFocusedEdit) {
    CTestWnd wnd(
        L"<Window size=\"300,100\"><VerticalLayout><Edit name=\"nick\" height=\"30\" maxchar=\"8\" "
        L"/>"
        L"<Control /></VerticalLayout></Window>");
    int changes = 0;
    wnd.onNotify = [&](TNotifyUI& m) {
        if (m.sType == L"textchanged") ++changes;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"edit", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* edit = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"nick"));
    ASSERT_NE(edit, nullptr);
    ClickControl(wnd.GetHWND(), edit);
    ASSERT_TRUE(Pump([&] { return edit->IsFocused(); }));
    QWidget* w = winplat::WidgetOf(wnd.GetHWND());
    ASSERT_NE(w, nullptr);
    // An input method commits Chinese text; keys type and erase.
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("你好"));
    QApplication::sendEvent(w, &ime);
    QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(w, &a);
    QKeyEvent bs(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(w, &bs);
    QKeyEvent b(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    QApplication::sendEvent(w, &b);
    ASSERT_TRUE(Pump([&] { return edit->GetText() == L"你好b"; }));
    EXPECT_EQ(changes, 5);
    // The input method's candidate list goes to the caret, after the text.
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    RECT er = edit->GetPos();
    auto caretInEdit = [&] {
        QRect r = w->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        return r.left() > er.left + 10 && r.left() < er.right && r.top() >= er.top &&
               r.top() < er.bottom;
    };
    EXPECT_TRUE(Pump(caretInEdit, 10000));
    // No more than maxchar characters.
    for (int i = 0; i < 10; ++i) PostMessageW(wnd.GetHWND(), WM_CHAR, L'x', 1);
    PumpPending();
    EXPECT_EQ(edit->GetText(), L"你好bxxxxx");
}

// Keys as the display delivers them: to the widget that has the keyboard.
void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* to = QApplication::focusWidget();
    ASSERT_NE(to, nullptr);
    QTest::keyClick(to, key, mods);
}

TEST_F(ControlsTest, RichEditSendsOnEnterAndGivesEmoticonCodes) {
    CTestWnd wnd(
        L"<Window size=\"300,120\"><VerticalLayout><RichEdit name=\"input\" "
        L"/></VerticalLayout></Window>");
    LPARAM sent = 0;
    int sends = 0;
    wnd.onExtra = [&](UINT m, WPARAM, LPARAM l, BOOL& handled) -> LRESULT {
        handled = m == UM_RICHEDIT_SEND;
        if (handled) {
            ++sends;
            sent = l;
        }
        return 0;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"rich", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* input = static_cast<CRichEditUI*>(wnd.GetPaintManager().FindControl(L"input"));
    ASSERT_NE(input, nullptr);
    input->setNotyWnd(wnd.GetHWND());
    input->AppendText(L"大家好", false);
    input->InsertEmoticon(L"12", L"face\\12.gif");
    input->InsertEmoticon(L"12", L"face\\12.gif");
    input->AppendText(L"[$3$]", false);
    EXPECT_EQ(input->GetEditContent(), L"大家好[$12$][$12$][$3$]");
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&input->GetPos()); }));
    RECT rc = input->GetPos();
    QtClickAt(wnd.GetHWND(), POINT{rc.right - 10, rc.bottom - 10});
    ASSERT_TRUE(Pump([&] { return input->IsFocused(); }));
    Key(Qt::Key_Return);
    ASSERT_TRUE(Pump([&] { return sends == 1; }));
    EXPECT_EQ(sent, reinterpret_cast<LPARAM>(input));
    EXPECT_EQ(input->GetEditContent(), L"大家好[$12$][$12$][$3$]")
        << "Enter sends, it does not type";
    // Ctrl+Enter starts a new line instead.
    Key(Qt::Key_Return, Qt::ControlModifier);
    PumpPending();
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(input->GetEditContent(), L"大家好[$12$][$12$][$3$]\n");
}

TEST_F(ControlsTest, RichEditIsTypedIntoSelectedAndCopiedAsAPersonDoes) {
    CTestWnd wnd(
        L"<Window size=\"300,160\"><VerticalLayout><Edit name=\"nick\" height=\"30\" />"
        L"<RichEdit name=\"input\" maxchar=\"8\" /></VerticalLayout></Window>");
    int changes = 0;
    wnd.onNotify = [&](TNotifyUI& m) {
        if (m.sType == L"textchanged") ++changes;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"rich", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* input = static_cast<CRichEditUI*>(wnd.GetPaintManager().FindControl(L"input"));
    auto* nick = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"nick"));
    ASSERT_TRUE(input && nick);
    input->AppendText(L"程序写的", false);
    EXPECT_EQ(changes, 0) << "only a person's edits are changes";
    input->SetText(L"");
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&input->GetPos()); }));
    RECT rc = input->GetPos();
    QtClickAt(wnd.GetHWND(), POINT{rc.left + 20, rc.top + 10});
    ASSERT_TRUE(Pump([&] { return input->IsFocused(); }));
    auto* view = qobject_cast<QTextEdit*>(QApplication::focusWidget());
    ASSERT_NE(view, nullptr) << "the keyboard is in the input";

    // An input method shows its composition in place, then commits the characters.
    QInputMethodEvent composing(QStringLiteral("nihao"), {});
    QApplication::sendEvent(view, &composing);
    EXPECT_EQ(view->textCursor().block().layout()->preeditAreaText(), QStringLiteral("nihao"));
    EXPECT_EQ(input->GetEditContent(), L"");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("你好"));
    QApplication::sendEvent(view, &commit);
    Key(Qt::Key_A);
    Key(Qt::Key_B);
    EXPECT_EQ(input->GetEditContent(), L"你好ab");
    EXPECT_GE(changes, 3);

    // Shift and the arrows select, Ctrl+C copies, Ctrl+X cuts, Ctrl+V pastes.
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(input->GetEditContent(), L"你好");
    Key(Qt::Key_Home);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(input->GetEditContent(), L"ab你好");

    // Dragging the mouse over the text selects it.
    QWidget* area = view->viewport();
    QRect first = view->cursorRect(QTextCursor(view->document()));
    QPoint from(first.left() + 1, first.center().y());
    QPoint to(area->width() - 5, from.y());
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(area, (from + to) / 2);
    QTest::mouseMove(area, to);
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(view->textCursor().selectedText(), QStringLiteral("ab你好"));

    // Typing past the limit keeps the first characters.
    Key(Qt::Key_End);
    for (Qt::Key k : {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6}) Key(k);
    EXPECT_EQ(input->GetEditContent(), L"ab你好1234");

    // A click on another control takes the keyboard there.
    ClickControl(wnd.GetHWND(), nick);
    ASSERT_TRUE(Pump([&] { return nick->IsFocused(); }));
    EXPECT_FALSE(input->IsFocused());
    Key(Qt::Key_Z);
    ASSERT_TRUE(Pump([&] { return nick->GetText() == L"z"; }));
    EXPECT_EQ(input->GetEditContent(), L"ab你好1234");
}

TEST_F(ControlsTest, ModalLoopsNestAndAQuitEndsThemAll) {
    const wchar_t* layout = L"<Window size=\"200,100\"><VerticalLayout /></Window>";
    CTestWnd outer(layout), inner(layout);
    ASSERT_TRUE(outer.Create(nullptr, L"outer", WS_POPUP, 0, 0, 0, 0, 0));
    ASSERT_TRUE(inner.Create(outer.GetHWND(), L"inner", WS_POPUP, 0, 0, 0, 0, 0));
    std::vector<std::string> order;
    UINT innerResult = 0;
    // The outer window, once shown, runs the inner one; the inner is closed with 7,
    // then the outer with 9.
    outer.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_APP + 1;
        if (handled) {
            order.push_back("inner starts");
            inner.PostMessageW(WM_APP + 2, 0, 0);
            innerResult = inner.ShowModal();
            order.push_back("inner ended");
            outer.Close(9);
        }
        (void)w;
        return 0;
    };
    inner.onExtra = [&](UINT m, WPARAM, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_APP + 2;
        if (handled) {
            EXPECT_FALSE(IsWindowEnabled(outer.GetHWND()));
            inner.Close(7);
        }
        return 0;
    };
    outer.PostMessageW(WM_APP + 1, 0, 0);
    EXPECT_EQ(outer.ShowModal(), 9u);
    EXPECT_EQ(innerResult, 7u);
    ASSERT_EQ(order.size(), 2u);

    // A quit message inside a modal loop ends it and stays for the outer loop.
    CTestWnd third(layout);
    ASSERT_TRUE(third.Create(nullptr, L"third", WS_POPUP, 0, 0, 0, 0, 0));
    PostQuitMessage(3);
    EXPECT_EQ(third.ShowModal(), static_cast<UINT>(IDCANCEL));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace

namespace {

// Swallows Escape before the window sees it, as the logon window's filter does.
class EscapeFilter : public IMessageFilterUI {
public:
    int seen = 0;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) override {
        if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE) {
            ++seen;
            bHandled = true;
        }
        return 0;
    }
};

TEST_F(ControlsTest, PreMessageFiltersSeeQueuedMessagesFirst) {
    CTestWnd wnd(L"<Window size=\"200,100\"><VerticalLayout /></Window>");
    int keys = 0;
    wnd.onExtra = [&](UINT m, WPARAM w, LPARAM, BOOL& handled) -> LRESULT {
        handled = m == WM_KEYDOWN;
        if (handled) {
            ++keys;
            if (w == VK_RETURN) wnd.Close(1);
        }
        return 0;
    };
    ASSERT_TRUE(wnd.Create(nullptr, L"filter", WS_POPUP, 0, 0, 0, 0, 0));
    EscapeFilter filter;
    wnd.GetPaintManager().AddPreMessageFilter(&filter);
    PostMessageW(wnd.GetHWND(), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(wnd.GetHWND(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(wnd.ShowModal(), 1u);
    EXPECT_EQ(filter.seen, 1);
    EXPECT_EQ(keys, 1) << "only Enter reached the window";
}

}  // namespace

namespace {

TEST_F(ControlsTest, VolumeMeterAndGiftStrip) {
    CVolumeLabelUI meter;
    int16_t quiet[4] = {100, -200, 50, 0};
    meter.SetVolumeValue2(reinterpret_cast<char*>(quiet), sizeof(quiet));
    EXPECT_EQ(meter.GetVolumeValue(), 0);
    int16_t loud[3] = {1000, -16384, 30000};
    meter.SetVolumeValue2(reinterpret_cast<char*>(loud), sizeof(loud));
    EXPECT_EQ(meter.GetVolumeValue(), 91);
    meter.SetVolumeValue2(reinterpret_cast<char*>(loud), 1);  // half a sample
    EXPECT_EQ(meter.GetVolumeValue(), 0);

    CFlyGiftLabelUI strip;
    std::string giver = winplat::WideToAnsi(L"张三(100)");
    std::string verb = winplat::WideToAnsi(L"赠送给:");
    strip.AddTrackItemA("skin\\MVChat\\gift\\1_1.gif", 3, giver.c_str(), verb.c_str(), "Bob(7)",
                        "3", winplat::WideToAnsi(L"个").c_str(), "Rose ", "", "[12:30]");
    ASSERT_EQ(strip.GetTrackCount(), 1);
    EXPECT_EQ(strip.GetTrackText(0), L"张三(100)赠送给:Bob(7)3个Rose [12:30]");
    strip.Clear();
    EXPECT_EQ(strip.GetTrackCount(), 0);
}

}  // namespace

namespace {

// A double click on a list row reports it under both names windows listen for.
TEST_F(ControlsTest, DoubleClickOnARowSendsActivateAndDoubleClick) {
    CTestWnd wnd(
        L"<Window size=\"200,120\"><List name=\"list\">"
        L"<ListContainerElement name=\"row\" height=\"30\"><Label text=\"a\" /></ListContainerElement>"
        L"</List></Window>");
    std::vector<std::wstring> seen;
    wnd.onNotify = [&](TNotifyUI& msg) {
        if (msg.pSender && msg.pSender->GetName() == L"row") seen.push_back(msg.sType.GetData());
    };
    ASSERT_NE(wnd.Create(nullptr, L"t", WS_POPUP | WS_VISIBLE, 0, 0, 0, 200, 120), nullptr);
    PumpPending();
    CControlUI* row = wnd.GetPaintManager().FindControl(L"row");
    ASSERT_NE(row, nullptr);
    const RECT rc = row->GetPos();
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(wnd.GetHWND(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(wnd.GetHWND(), WM_LBUTTONUP, 0, at);
    PumpPending();
    EXPECT_NE(std::find(seen.begin(), seen.end(), L"itemactivate"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), L"itemdbclick"), seen.end());
}

}  // namespace
