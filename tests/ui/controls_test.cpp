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

// A key pressed with Ctrl held while the window handles it, as a keyboard delivers it
// (the key's control character, then the releases).
void CtrlKey(HWND hwnd, Qt::Key key) {
    QWidget* w = winplat::WidgetOf(hwnd);
    ASSERT_NE(w, nullptr);
    QChar control(static_cast<char16_t>(key - Qt::Key_A + 1));
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, QString(control));
    QApplication::sendEvent(w, &press);
    PumpPending();
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, QString(control));
    QApplication::sendEvent(w, &release);
    QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QApplication::sendEvent(w, &ctrlUp);
    PumpPending();
}

TEST_F(ControlsTest, EditPastesOneLineWithinItsLimitsAndAPasswordIsNeverCopied) {
    struct Case {
        const char* name;
        const wchar_t* attrs;
        QString clip;
        std::wstring before, after;
    } cases[] = {
        {"line breaks become blanks", L"maxchar=\"20\"", "a\r\nb\nc", L"x", L"xa b c"},
        {"cut at maxchar", L"maxchar=\"5\"", "123456789", L"ab", L"ab123"},
        {"digits only", L"numberonly=\"true\"", "1a2 3", L"", L"123"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestWnd wnd(std::wstring(L"<Window size=\"200,60\"><VerticalLayout><Edit name=\"e\" ") +
                     c.attrs +
                     L" /><Edit name=\"p\" password=\"true\" /></VerticalLayout></Window>");
        ASSERT_TRUE(wnd.Create(nullptr, L"edit", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
        auto* edit = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"e"));
        auto* pwd = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"p"));
        ClickControl(wnd.GetHWND(), edit);
        ASSERT_TRUE(Pump([&] { return edit->IsFocused(); }));
        edit->SetText(c.before.c_str());
        ClickControl(wnd.GetHWND(), edit);
        PumpPending();
        QGuiApplication::clipboard()->setText(c.clip);
        CtrlKey(wnd.GetHWND(), Qt::Key_V);
        ASSERT_TRUE(Pump([&] { return edit->GetText() == c.after.c_str(); }))
            << winplat::WideToUtf8(edit->GetText().GetData());

        // Copying from the password edit leaves the clipboard as it was.
        pwd->SetText(L"secret");
        ClickControl(wnd.GetHWND(), pwd);
        ASSERT_TRUE(Pump([&] { return pwd->IsFocused(); }));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        CtrlKey(wnd.GetHWND(), Qt::Key_C);
        CtrlKey(wnd.GetHWND(), Qt::Key_X);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        EXPECT_EQ(pwd->GetText(), L"secret");
        DestroyWindow(wnd.GetHWND());
    }
}

// One keyboard step for the edit table: "^a" is Ctrl+A, "S<" Shift+Left, "<" / ">" the
// arrows, "Home" / "End" (with an "S" prefix for Shift), "Del", "Bs"; anything else is
// one character typed.
void EditStep(HWND hwnd, const std::string& s) {
    static const struct {
        const char* name;
        Qt::Key key;
    } named[] = {{"<", Qt::Key_Left},
                 {">", Qt::Key_Right},
                 {"Home", Qt::Key_Home},
                 {"End", Qt::Key_End},
                 {"Del", Qt::Key_Delete}};
    if (s.size() == 2 && s[0] == '^') {
        CtrlKey(hwnd, static_cast<Qt::Key>(Qt::Key_A + (s[1] - 'a')));
        return;
    }
    const bool shift = s.size() > 1 && s[0] == 'S';
    const std::string name = shift ? s.substr(1) : s;
    for (const auto& n : named) {
        if (name == n.name) {
            // Shift stays held until the window has handled the key, as with a person.
            QWidget* w = winplat::WidgetOf(hwnd);
            ASSERT_NE(w, nullptr);
            Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
            QKeyEvent press(QEvent::KeyPress, n.key, mods);
            QApplication::sendEvent(w, &press);
            PumpPending();
            QKeyEvent release(QEvent::KeyRelease, n.key, mods);
            QApplication::sendEvent(w, &release);
            QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
            QApplication::sendEvent(w, &shiftUp);
            PumpPending();
            return;
        }
    }
    ASSERT_TRUE(s.size() == 1 || s == "Bs") << s;
    PostMessageW(hwnd, WM_CHAR, s == "Bs" ? WPARAM{L'\b'} : static_cast<WPARAM>(s[0]), 1);
    PumpPending();
}

TEST_F(ControlsTest, EditKeysSelectAndWhatIsTypedReplacesTheSelection) {
    struct Case {
        const char* name;
        const wchar_t* attrs;
        const wchar_t* before;
        std::vector<std::string> steps;
        const wchar_t* after;
        long selStart, selEnd;
        int changes;
        const char* clipboard;  // what Ctrl+C/X left, "" when untouched
    } cases[] = {
        {"Ctrl+A then typing replaces everything",
         L"",
         L"10001",
         {"^a", "2", "0"},
         L"20",
         2,
         2,
         2,
         ""},
        {"Shift+Left selects back, typing replaces",
         L"",
         L"abcd",
         {"S<", "S<", "x"},
         L"abx",
         3,
         3,
         1,
         ""},
        {"Shift+Home from inside, then Delete",
         L"",
         L"abcd",
         {"<", "SHome", "Del"},
         L"d",
         0,
         0,
         1,
         ""},
        {"Shift+End from inside stays selected",
         L"",
         L"abcd",
         {"Home", ">", "SEnd"},
         L"abcd",
         1,
         4,
         0,
         ""},
        {"Backspace erases the selection only",
         L"",
         L"abcd",
         {"Home", "S>", "S>", "Bs"},
         L"cd",
         0,
         0,
         1,
         ""},
        {"an arrow collapses the selection to its side",
         L"",
         L"abcd",
         {"^a", "<", ">"},
         L"abcd",
         1,
         1,
         0,
         ""},
        {"Delete and Backspace without a selection",
         L"",
         L"abcd",
         {"Home", "Del", "End", "Bs"},
         L"bc",
         2,
         2,
         2,
         ""},
        {"maxchar counts the selection as room",
         L"maxchar=\"4\"",
         L"abcd",
         {"S<", "x", "y"},
         L"abcx",
         4,
         4,
         1,
         ""},
        {"a refused letter keeps the selection",
         L"numberonly=\"true\"",
         L"123",
         {"^a", "a"},
         L"123",
         0,
         3,
         0,
         ""},
        {"digits replace the selection",
         L"numberonly=\"true\"",
         L"123",
         {"^a", "a", "9"},
         L"9",
         1,
         1,
         1,
         ""},
        {"read-only selects and copies but keeps its text",
         L"readonly=\"true\"",
         L"abc",
         {"^a", "x", "Bs", "Del", "^x", "^v"},
         L"abc",
         0,
         3,
         0,
         "abc"},
        {"Ctrl+C copies only the selection",
         L"",
         L"hello",
         {"S<", "S<", "^c"},
         L"hello",
         3,
         5,
         0,
         "lo"},
        {"Ctrl+X cuts, Ctrl+V puts it in place of another selection",
         L"",
         L"hello",
         {"S<", "S<", "^x", "Home", "S>", "^v"},
         L"loel",
         2,
         2,
         2,
         "lo"},
        {"a password is selected and replaced, never copied",
         L"password=\"true\"",
         L"secret",
         {"^a", "^c", "^x", "x"},
         L"x",
         1,
         1,
         1,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestWnd wnd(std::wstring(L"<Window size=\"200,60\"><VerticalLayout><Edit name=\"e\" ") +
                     c.attrs + L" /></VerticalLayout></Window>");
        int changes = 0;
        wnd.onNotify = [&](TNotifyUI& m) {
            if (m.sType == L"textchanged") ++changes;
        };
        ASSERT_TRUE(wnd.Create(nullptr, L"edit", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
        auto* edit = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"e"));
        edit->SetText(c.before);
        ClickControl(wnd.GetHWND(), edit);
        ASSERT_TRUE(Pump([&] { return edit->IsFocused(); }));
        PumpPending();
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        for (const std::string& s : c.steps) EditStep(wnd.GetHWND(), s);
        EXPECT_EQ(edit->GetText(), c.after) << winplat::WideToUtf8(edit->GetText().GetData());
        long start = -1, end = -1;
        edit->GetSel(start, end);
        EXPECT_EQ(start, c.selStart);
        EXPECT_EQ(end, c.selEnd);
        EXPECT_EQ(changes, c.changes);
        QString clip = QGuiApplication::clipboard()->text();
        EXPECT_EQ(clip, *c.clipboard ? QString(c.clipboard) : QStringLiteral("untouched"));
        DestroyWindow(wnd.GetHWND());
    }
}

TEST_F(ControlsTest, EditMouseClickPlacesTheCaretAndADragSelects) {
    CTestWnd wnd(
        L"<Window size=\"300,80\"><VerticalLayout><Edit name=\"e\" height=\"30\" />"
        L"<Edit name=\"other\" height=\"30\" /></VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"edit", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    CPaintManagerUI& pm = wnd.GetPaintManager();
    auto* edit = static_cast<CEditUI*>(pm.FindControl(L"e"));
    auto* other = static_cast<CEditUI*>(pm.FindControl(L"other"));
    edit->SetText(L"abcdef");
    other->SetText(L"xyz");
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&edit->GetPos()); }));
    const RECT rc = edit->GetPos();
    const int y = (rc.top + rc.bottom) / 2;
    // x of the boundary after n characters, as the edit draws its text.
    auto boundary = [&](int n) {
        std::wstring s = std::wstring(L"abcdef").substr(0, static_cast<size_t>(n));
        return rc.left + edit->GetTextPadding().left +
               CRenderEngine::GetTextSize(nullptr, &pm, s.c_str(), edit->GetFont(), 0).cx;
    };
    auto sel = [&] {
        long s = -1, e = -1;
        edit->GetSel(s, e);
        return std::make_pair(s, e);
    };
    using Sel = std::pair<long, long>;
    auto lparam = [&](int x) { return MAKELPARAM(x, y); };

    // A click gives the focus without selecting; the caret goes to the nearer boundary.
    struct Click {
        int x;
        long caret;
    } clicks[] = {{boundary(2) + 1, 2}, {boundary(3) - 1, 3}, {rc.right - 10, 6}, {rc.left + 1, 0}};
    for (const Click& k : clicks) {
        SCOPED_TRACE(k.caret);
        ClickAt(wnd.GetHWND(), POINT{k.x, y});
        PumpPending();
        EXPECT_TRUE(edit->IsFocused());
        EXPECT_EQ(sel(), Sel(k.caret, k.caret));
    }
    // A drag selects from where it started to where the mouse is, either way.
    PostMessageW(wnd.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, lparam(boundary(4)));
    PostMessageW(wnd.GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, lparam(boundary(2)));
    PostMessageW(wnd.GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, lparam(boundary(1)));
    PostMessageW(wnd.GetHWND(), WM_LBUTTONUP, 0, lparam(boundary(1)));
    PumpPending();
    EXPECT_EQ(sel(), Sel(1, 4));
    // Moving without the button held leaves the selection.
    PostMessageW(wnd.GetHWND(), WM_MOUSEMOVE, 0, lparam(boundary(5)));
    PumpPending();
    EXPECT_EQ(sel(), Sel(1, 4));
    // A double click takes the whole line.
    ClickAt(wnd.GetHWND(), POINT{boundary(3), y});
    PostMessageW(wnd.GetHWND(), WM_LBUTTONDBLCLK, MK_LBUTTON, lparam(boundary(3)));
    PostMessageW(wnd.GetHWND(), WM_LBUTTONUP, 0, lparam(boundary(3)));
    PumpPending();
    EXPECT_EQ(sel(), Sel(0, 6));

    // Focus given by the program (as the keyboard gives it) selects everything; the
    // selection shows only in the focused edit.
    other->SetFocus();
    long s = -1, e = -1;
    other->GetSel(s, e);
    EXPECT_EQ(Sel(s, e), Sel(0, 3));
    // The program's own selections.
    edit->SetSelAll();
    EXPECT_EQ(sel(), Sel(0, 6));
    edit->SetSel(1, 3);
    EXPECT_EQ(sel(), Sel(1, 3));
    edit->SetSel(2, 99);
    EXPECT_EQ(sel(), Sel(2, 6));
    edit->SetSel(-1, 0);
    EXPECT_EQ(sel(), Sel(6, 6));
}

TEST_F(ControlsTest, EditPaintsItsSelectionHighlighted) {
    CTestWnd wnd(
        L"<Window size=\"240,80\"><VerticalLayout><Edit name=\"e\" height=\"40\" />"
        L"<Edit name=\"p\" height=\"40\" password=\"true\" /></VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"edit", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    auto* edit = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"e"));
    auto* pwd = static_cast<CEditUI*>(wnd.GetPaintManager().FindControl(L"p"));
    edit->SetText(L"10001 账号");
    pwd->SetText(L"secret");
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&edit->GetPos()); }));
    // The highlight's colour, counted in a control's part of the window.
    auto highlighted = [](const QImage& img, const RECT& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (img.pixel(x, y) == qRgb(0x33, 0x99, 0xFF)) ++n;
        return n;
    };
    auto shoot = [&](const char* file) {
        InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
        PumpPending();
        QImage shot = winplat::GrabWindowImage(wnd.GetHWND());
        QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
        EXPECT_TRUE(shot.save(QString(MIVORA_ARTIFACT_DIR) + file));
        return shot;
    };
    edit->SetFocus();  // selects all
    QImage all = shoot("edit_selection.png");
    ASSERT_FALSE(all.isNull());
    EXPECT_GT(highlighted(all, edit->GetPos()), 200);
    EXPECT_EQ(highlighted(all, pwd->GetPos()), 0) << "only the focused edit shows a selection";

    // Part of a password: the band covers those asterisks only.
    pwd->SetFocus();
    pwd->SetSel(1, 4);
    QImage part = shoot("edit_password_selection.png");
    RECT pr = pwd->GetPos();
    int band = highlighted(part, pr);
    EXPECT_GT(band, 50);
    EXPECT_EQ(highlighted(part, edit->GetPos()), 0);
    pwd->SetSel(-1, 0);
    EXPECT_EQ(highlighted(shoot("edit_no_selection.png"), pr), 0);
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
    // An input that hands its text to no window (a notice box) takes Enter as a line.
    input->setNotyWnd(nullptr);
    Key(Qt::Key_Return);
    PumpPending();
    EXPECT_EQ(sends, 1);
    EXPECT_EQ(input->GetEditContent(), L"大家好[$12$][$12$][$3$]\n\n");
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

// The strip scrolls its line through its own place only: the part of the line that
// has run past either end is not drawn over its neighbours (in the room, the user's
// face and name on the left, the balances on the right).
TEST_F(ControlsTest, GiftStripPaintsOnlyInsideItsPlace) {
    CPaintManagerUI pm;
    CFlyGiftLabelUI strip;
    strip.SetManager(&pm, nullptr, false);
    strip.SetTextColor(0xFFFF0000);
    const RECT place{100, 5, 300, 55};
    strip.SetPos(place);
    const std::string line(120, 'W');
    strip.AddTrackItemA(nullptr, 0, line.c_str(), "", "", "", "", "", "", "");
    TEventUI tick{};
    tick.Type = UIEVENT_TIMER;
    for (int i = 0; i < 100; ++i) strip.DoEvent(tick);  // the line now starts left of the strip

    QImage out(400, 60, QImage::Format_ARGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    HDC dc = winplat::CreatePainterDC(&painter);
    strip.DoPaint(dc, RECT{0, 0, 400, 60});
    winplat::DeletePainterDC(dc);
    painter.end();
    int inside = 0, outside = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (out.pixel(x, y) != qRgb(255, 255, 255))
                ++(x >= place.left && x < place.right && y >= place.top && y < place.bottom
                       ? inside
                       : outside);
    EXPECT_GT(inside, 0) << "the line is drawn";
    EXPECT_EQ(outside, 0) << "drawn outside the strip";
}

}  // namespace

namespace {

// A double click on a list row reports it under both names windows listen for.
TEST_F(ControlsTest, DoubleClickOnARowSendsActivateAndDoubleClick) {
    CTestWnd wnd(
        L"<Window size=\"200,120\"><List name=\"list\">"
        L"<ListContainerElement name=\"row\" height=\"30\"><Label text=\"a\" "
        L"/></ListContainerElement>"
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

TEST_F(ControlsTest, TabMovesTheFocusThroughTheControlsThatTakeItAndWrapsAround) {
    const wchar_t* layout =
        L"<Window size=\"300,420\"><VerticalLayout>"
        L"<Edit name=\"user\" height=\"28\" text=\"alice\" />"
        L"<Edit name=\"pass\" height=\"28\" password=\"true\" text=\"secret\" />"
        L"<Button name=\"go\" height=\"28\" text=\"Go\" />"
        L"<Edit name=\"off\" height=\"28\" enabled=\"false\" />"
        L"<Edit name=\"gone\" height=\"28\" visible=\"false\" />"
        L"<HorizontalLayout height=\"28\" visible=\"false\"><Edit name=\"inhidden\" "
        L"/></HorizontalLayout>"
        L"<CheckBox name=\"keep\" height=\"28\" text=\"Keep\" />"
        L"<Button name=\"nokey\" height=\"28\" keyboard=\"false\" text=\"Skip\" />"
        L"<RichEdit name=\"chat\" height=\"60\" />"
        L"<RichEdit name=\"note\" height=\"60\" wanttab=\"false\" />"
        L"</VerticalLayout></Window>";
    struct Case {
        const char* name;
        const wchar_t* start;  // focused before the keys, null for none
        bool back;
        std::vector<const wchar_t*> order;  // focused after each key
    } cases[] = {
        {"Tab walks forward and wraps",
         L"user",
         false,
         {L"pass", L"go", L"keep", L"note", L"user"}},
        {"Shift+Tab walks back and wraps",
         L"user",
         true,
         {L"note", L"keep", L"go", L"pass", L"user"}},
        {"Tab with no focus starts at the first", nullptr, false, {L"user"}},
        {"Shift+Tab with no focus starts at the last", nullptr, true, {L"note"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestWnd wnd(layout);
        ASSERT_TRUE(wnd.Create(nullptr, L"tab", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
        CPaintManagerUI& pm = wnd.GetPaintManager();
        auto* note = pm.FindControl(L"note");
        InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
        ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&note->GetPos()); }));
        if (c.start) pm.FindControl(c.start)->SetFocus();
        for (const wchar_t* want : c.order) {
            TabKey(wnd.GetHWND(), c.back);
            CControlUI* focus = pm.GetFocus();
            ASSERT_NE(focus, nullptr);
            EXPECT_EQ(focus->GetName(), want);
        }
        DestroyWindow(wnd.GetHWND());
    }
}

TEST_F(ControlsTest, TabSelectsAnEditsTextAndLeavesTheChatInputItsOwnTab) {
    CTestWnd wnd(
        L"<Window size=\"300,260\"><VerticalLayout>"
        L"<Edit name=\"user\" height=\"28\" text=\"alice\" />"
        L"<Edit name=\"pass\" height=\"28\" text=\"secret\" />"
        L"<RichEdit name=\"note\" height=\"60\" wanttab=\"false\" />"
        L"<RichEdit name=\"chat\" height=\"60\" />"
        L"</VerticalLayout></Window>");
    ASSERT_TRUE(wnd.Create(nullptr, L"tab", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, 0));
    CPaintManagerUI& pm = wnd.GetPaintManager();
    auto* user = static_cast<CEditUI*>(pm.FindControl(L"user"));
    auto* pass = static_cast<CEditUI*>(pm.FindControl(L"pass"));
    auto* note = static_cast<CRichEditUI*>(pm.FindControl(L"note"));
    auto* chat = static_cast<CRichEditUI*>(pm.FindControl(L"chat"));
    InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    ASSERT_TRUE(Pump([&] { return !IsRectEmpty(&chat->GetPos()); }));

    // Focus from Tab selects all, so typing replaces the old text; Tab types nothing.
    RECT rc = user->GetPos();
    ClickAt(wnd.GetHWND(), POINT{rc.left + 5, (rc.top + rc.bottom) / 2});
    ASSERT_TRUE(Pump([&] { return user->IsFocused(); }));
    TabKey(wnd.GetHWND(), false);
    ASSERT_TRUE(pass->IsFocused());
    long start = -1, end = -1;
    pass->GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 6);
    EXPECT_EQ(pass->GetText(), L"secret");
    PostMessageW(wnd.GetHWND(), WM_CHAR, L'x', 1);
    PumpPending();
    EXPECT_EQ(pass->GetText(), L"x");

    // Into a rich edit that does not take Tab, the keyboard follows, and Tab leaves it.
    TabKey(wnd.GetHWND(), false);
    ASSERT_TRUE(note->IsFocused());
    auto* view = qobject_cast<QTextEdit*>(winplat::WidgetOf(wnd.GetHWND())->focusWidget());
    ASSERT_NE(view, nullptr) << "the keyboard is in the rich edit";
    TabKey(wnd.GetHWND(), false);
    EXPECT_TRUE(user->IsFocused()) << "the chat input is no stop, the order wraps";
    EXPECT_EQ(note->GetText(), L"");
    EXPECT_EQ(winplat::WidgetOf(wnd.GetHWND())->focusWidget(), winplat::WidgetOf(wnd.GetHWND()))
        << "the keyboard came back to the window";

    // The chat input keeps Tab as a character of its own.
    chat->SetFocus();
    ASSERT_TRUE(chat->IsFocused());
    TabKey(wnd.GetHWND(), false);
    EXPECT_TRUE(chat->IsFocused());
    EXPECT_EQ(chat->GetText(), L"\t");
}
