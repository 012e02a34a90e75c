// The chat input host: the rich edit it creates, typing, Enter reported to the room
// window, the paste menu, content without pictures, colour and font.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTextEdit>
#include <QMimeData>
#include <QPainter>

#include <string>
#include <vector>

#include "catalogs/FaceManager.h"
#include "controls/REWindowWnd.h"
#include "kernel/CommKernel.h"
#include "room_window_double.h"
#include "win32/loop.h"
#include "win32gui/qt_bridge.h"

namespace {

// Stands in for the room window: a top-level window that counts the Enter posts.
class RoomStandIn : public DuiLib::CWindowWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> enters;
    ~RoomStandIn() override {
        if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    }

protected:
    LPCTSTR GetWindowClassName() const override { return L"UITestRoomFrame"; }
    LRESULT HandleMessage(UINT m, WPARAM w, LPARAM l) override {
        if (m == UM_CHAT_INPUT_ENTER) {
            enters.emplace_back(w, l);
            return 0;
        }
        if (m == WM_PAINT) {
            PAINTSTRUCT ps;
            BeginPaint(m_hWnd, &ps);
            EndPaint(m_hWnd, &ps);
            return 0;
        }
        return CWindowWnd::HandleMessage(m, w, l);
    }
};

void PumpPending() {
    winplat::PumpMessagesUntil([] { return false; }, 50);
}

void Type(HWND edit, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
}

// GetContent leaves the last character selected (the room clears the input right
// after); typing on after it must first put the caret back at the end.
void CaretToEnd(HWND edit) {
    LONG n = GetWindowTextLengthW(edit);
    CHARRANGE end{n, n};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

void PressKey(HWND edit, int vk) {
    SendMessageW(edit, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
    SendMessageW(edit, WM_KEYUP, static_cast<WPARAM>(vk), 1);
}

// The picture of an emoticon of the catalog: a 24x24 magenta square with a border.
QImage EmoticonPicture() {
    QImage img(24, 24, QImage::Format_ARGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 23, 23);
    return img;
}

void PutPictureOnClipboard(const QImage& img) {
    auto* data = new QMimeData;
    data->setImageData(img);
    QGuiApplication::clipboard()->setMimeData(data);
}

UINT_PTR g_menuChoice = 0;
std::vector<std::wstring> g_menuTexts;
UINT_PTR AnswerMenu(HMENU menu) {
    g_menuTexts.clear();
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) g_menuTexts.push_back(std::to_wstring(GetMenuItemID(menu, i)));
    return g_menuChoice;
}

class RichEditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        winplat::InstallGui();
        CCommKernel::GetInstance()->init(nullptr);
    }
    void SetUp() override {
        ASSERT_TRUE(
            room.Create(nullptr, L"room", WS_POPUP | WS_CLIPCHILDREN, 0, 100, 100, 400, 320));
        SetCurrentRoomWindow(&roomEntry);
        ASSERT_TRUE(input.Create(room.GetHWND(), L"", 0x56000000, 0, 10, 200, 180, 100));
        edit = input.m_hRichEdit;
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override {
        winplat::SetPopupMenuHook(nullptr);
        CCommKernel::GetInstance()->m_pWndTable[2] = nullptr;
        PumpPending();
    }

    RoomStandIn room;
    RoomWindowDouble roomEntry{&room};
    CREWindowWnd input;
    HWND edit = nullptr;
};

TEST_F(RichEditTest, CreatesTheControlOverTheWholeHostAndFollowsItsSize) {
    wchar_t cls[64] = {0};
    GetClassNameW(edit, cls, 64);
    EXPECT_STREQ(cls, L"RichEdit20W");
    GetClassNameW(input.GetHWND(), cls, 64);
    EXPECT_STREQ(cls, L"UIRichEdit");
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(GetClassInfoExW(nullptr, L"UIRichEdit", &wc));
    EXPECT_EQ(wc.style, 0xBu);
    EXPECT_EQ(GetParent(edit), input.GetHWND());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(edit, GWL_STYLE)) & 0x50200044u, 0x50200044u);
    RECT rc;
    GetWindowRect(edit, &rc);
    EXPECT_EQ(rc.right - rc.left, 180);
    EXPECT_EQ(rc.bottom - rc.top, 100);
    EXPECT_EQ(SendMessageW(edit, EM_GETEVENTMASK, 0, 0) & 0xB1000, 0xB1000);
    EXPECT_EQ(input.m_cf.cbSize, sizeof(CHARFORMAT2W));
    EXPECT_NE(input.m_cf.dwEffects & CFE_AUTOCOLOR, 0u) << "read from the control's default";

    MoveWindow(input.GetHWND(), 10, 180, 300, 120, TRUE);
    GetClientRect(edit, &rc);
    EXPECT_EQ(rc.right, 300);
    EXPECT_EQ(rc.bottom, 120);
}

TEST_F(RichEditTest, EnterPostsToTheRoomOncePerKeyDownAndStillBreaksTheLine) {
    Type(edit, L"你好 a");
    EXPECT_EQ(input.GetContent(), L"你好 a");
    CaretToEnd(edit);
    PressKey(edit, VK_RETURN);
    PumpPending();
    ASSERT_EQ(room.enters.size(), 1u);
    EXPECT_EQ(room.enters[0], std::make_pair(WPARAM(0), LPARAM(0)));
    // The line break is in the control; the caller trims it.
    EXPECT_EQ(input.GetContent(), L"你好 a\r");
    CaretToEnd(edit);
    Type(edit, L"b");
    PressKey(edit, VK_RETURN);
    PumpPending();
    EXPECT_EQ(room.enters.size(), 2u);
    EXPECT_EQ(input.GetContent(), L"你好 a\rb\r");

    // Clearing after reading, as the room does.
    input.ReplaceAll(L"");
    EXPECT_EQ(input.GetTextLength(), 0);
    EXPECT_EQ(input.GetContent(), L"");

    // Other keys are not reported; without a room window nothing is posted.
    PressKey(edit, 'A');
    CCommKernel::GetInstance()->m_pWndTable[2] = nullptr;
    PressKey(edit, VK_RETURN);
    PumpPending();
    EXPECT_EQ(room.enters.size(), 2u);
}

TEST_F(RichEditTest, EnterThatCommitsAnInputMethodCompositionSendsNothing) {
    room.ShowWindow(true, false);
    PumpPending();
    QWidget* top = winplat::WidgetOf(room.GetHWND());
    ASSERT_NE(top, nullptr);
    auto* widget = top->findChild<QTextEdit*>();
    ASSERT_NE(widget, nullptr);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));

    QInputMethodEvent preedit(QStringLiteral("nihao"), {});
    QCoreApplication::sendEvent(widget, &preedit);
    QCoreApplication::sendEvent(widget, &enter);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("你好"));
    QCoreApplication::sendEvent(widget, &commit);
    PumpPending();
    EXPECT_TRUE(room.enters.empty());
    EXPECT_EQ(input.GetContent(), L"你好");

    // Once the composition is over, Enter sends again.
    CaretToEnd(edit);
    QCoreApplication::sendEvent(widget, &enter);
    PumpPending();
    EXPECT_EQ(room.enters.size(), 1u);
    EXPECT_EQ(input.GetContent(), L"你好\r");
}

TEST_F(RichEditTest, EmoticonCodesAreAppendedAtTheEndAndReadBackAsText) {
    Type(edit, L"hi");
    // The caret elsewhere does not matter: the code goes to the end.
    CHARRANGE start{0, 0};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    input.AppendText(L"[$12$]", true);
    input.AppendText(L"[$3$]", false);
    EXPECT_EQ(input.GetContent(), L"hi[$12$][$3$]");
    // What is typed over the selection GetContent leaves replaces that character.
    Type(edit, L"!");
    EXPECT_EQ(input.GetContent(), L"hi[$12$][$3$!");
    CaretToEnd(edit);
    Type(edit, L"]");
    EXPECT_EQ(input.GetContent(), L"hi[$12$][$3$!]");

    // A character outside the basic plane counts two positions but reads back whole.
    input.ReplaceAll(L"");
    SendMessageW(edit, WM_CHAR, 0x1F600, 1);
    Type(edit, L"x");
    EXPECT_EQ(input.GetTextLength(), 3);
    EXPECT_EQ(input.GetContent(), std::wstring(L"\U0001F600x"));
}

TEST_F(RichEditTest, RightClickOffersOnePasteItemThatPastesAPictureLeftOutOfTheContent) {
    Type(edit, L"ab");
    PutPictureOnClipboard(EmoticonPicture());
    winplat::SetPopupMenuHook(AnswerMenu);
    g_menuChoice = IDM_RICHEDIT_PASTE;
    SendMessageW(edit, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpPending();
    ASSERT_EQ(g_menuTexts, std::vector<std::wstring>{std::to_wstring(IDM_RICHEDIT_PASTE)});
    wchar_t text[32] = {0};
    GetMenuStringW(input.m_hPasteMenu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"粘 贴");
    Type(edit, L"cd");

    EXPECT_EQ(input.GetTextLength(), 5) << "the picture is one position";
    EXPECT_EQ(input.GetContent(), L"abcd");
    EXPECT_EQ(input.m_objects, std::vector<DWORD>{0});
    // The selection is left on the last character.
    CHARRANGE sel{0, 0};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(sel.cpMin, 4);
    EXPECT_EQ(sel.cpMax, 5);

    // Text on the clipboard pastes as text; the menu closed without a choice does nothing.
    CaretToEnd(edit);
    QGuiApplication::clipboard()->setText(QStringLiteral("粘来的"));
    SendMessageW(edit, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpPending();
    EXPECT_EQ(input.GetContent(), L"abcd粘来的");
    g_menuChoice = 0;
    SendMessageW(edit, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpPending();
    EXPECT_EQ(input.GetContent(), L"abcd粘来的");
    // A command with a notification code is only answered.
    EXPECT_EQ(SendMessageW(input.GetHWND(), WM_COMMAND, MAKEWPARAM(IDM_RICHEDIT_PASTE, 1), 0), 1);
    EXPECT_EQ(input.GetContent(), L"abcd粘来的");
}

TEST_F(RichEditTest, ColourIsStoredSwappedAndShowsWithTheChosenFont) {
    input.SetTextFont(L"WenQuanYi Micro Hei Mono And A Very Long Face Name", 14, true, false, true);
    input.SetTextColor(0x0000FF);
    EXPECT_EQ(input.m_cf.crTextColor, 0x00FF0000u);
    CHARFORMAT2W cf = {};
    cf.cbSize = sizeof(cf);
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.crTextColor, 0x00FF0000u);
    EXPECT_EQ(cf.dwEffects & CFE_AUTOCOLOR, 0u) << "the automatic colour would hide it";
    // The colour does not undo the font chosen before it.
    EXPECT_EQ(std::wstring(cf.szFaceName),
              std::wstring(L"WenQuanYi Micro Hei Mono And A ").substr(0, 31));
    EXPECT_NE(cf.dwEffects & CFE_BOLD, 0u);
    EXPECT_NE(cf.dwEffects & CFE_ITALIC, 0u);
    // 14 points: 19 pixels of 15 twips at the screen's 96 dots per inch.
    EXPECT_EQ(cf.yHeight, 19 * 15);
    // A record of the wrong size is refused.
    CHARFORMAT2W bad = {};
    bad.cbSize = 116 + 1;
    EXPECT_EQ(SendMessageW(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&bad)), 0);
}

TEST(RichEditHostWithoutControl, OperationsDoNothing) {
    winplat::InstallGui();
    CREWindowWnd input;  // never created
    input.SetTextColor(0x123456);
    input.SetTextFont(L"x", 12, false, false, false);
    input.ReplaceAll(L"a");
    input.AppendText(L"b", true);
    input.Paste();
    EXPECT_EQ(input.m_cf.crTextColor, 0u);
    EXPECT_EQ(input.GetTextLength(), 0);
    EXPECT_EQ(input.GetContent(), L"");
    EXPECT_EQ(input.GetRichEditOle(), nullptr);
}

TEST_F(RichEditTest, AnOleReferenceOutlivesTheControl) {
    PutPictureOnClipboard(EmoticonPicture());
    input.Paste();
    IRichEditOle* ole = input.GetRichEditOle();
    ASSERT_NE(ole, nullptr);
    EXPECT_EQ(ole->GetObjectCount(), 1);
    REOBJECT obj = {};
    obj.cbSize = sizeof(obj);
    EXPECT_EQ(ole->GetObject(0, &obj, REO_GETOBJ_ALL_INTERFACES), S_OK);
    EXPECT_EQ(obj.cp, 0);
    EXPECT_EQ(ole->GetObject(1, &obj, 0), E_INVALIDARG);
    obj.cbSize = 56 + 4;
    EXPECT_EQ(ole->GetObject(0, &obj, 0), E_INVALIDARG);
    DestroyWindow(input.GetHWND());
    EXPECT_EQ(input.m_hRichEdit, nullptr);
    EXPECT_EQ(ole->GetObjectCount(), 0);
    ole->Release();
    input.SetTextColor(0xFF);  // nothing without the control
    EXPECT_EQ(input.GetContent(), L"");
}

TEST_F(RichEditTest, ScreenShowsTypedTextAndAnEmoticonPicture) {
    // The emoticon: the first of the catalog's first group.
    CFaceManager faces;
    std::string catalog = std::string(MIVORA_SKIN_ROOT) + "userface.dat";
    ASSERT_EQ(faces.LoadBaseFaceConfig(&catalog[0]), 0);
    ASSERT_FALSE(faces.faceGroups.empty());
    ASSERT_FALSE(faces.faceGroups.begin()->second->faces.empty());

    room.ShowWindow(true, false);
    input.SetTextFont(L"WenQuanYi Micro Hei", 16, true, false, false);
    input.SetTextColor(0x0000FF);
    Type(edit, L"Hello 大家");
    PutPictureOnClipboard(EmoticonPicture());
    input.Paste();
    PumpPending();
    QImage shot = winplat::GrabWindowImage(room.GetHWND());
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "chat_input.png"));

    // Inside the input (10,200 .. 190,300): blue text and the magenta picture; the
    // rest of the window stays blank.
    int blue = 0, magenta = 0, outside = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            QColor c = shot.pixelColor(x, y);
            bool inside = x >= 10 && x < 190 && y >= 200 && y < 300;
            if (!inside && c != QColor(Qt::white)) ++outside;
            if (inside && c.blue() > 150 && c.red() < 100 && c.green() < 100) ++blue;
            if (inside && c.red() > 240 && c.green() < 20 && c.blue() > 240) ++magenta;
        }
    EXPECT_GT(blue, 40) << "typed text is drawn in the chosen colour";
    EXPECT_GT(magenta, 22 * 22 / 2) << "the picture is drawn";
    EXPECT_EQ(outside, 0) << "the input stays in its place";
    EXPECT_EQ(input.GetContent(), L"Hello 大家");

    // Keys a person types reach the control's widget straight from Qt.
    QWidget* top = winplat::WidgetOf(room.GetHWND());
    ASSERT_NE(top, nullptr);
    auto* widget = top->findChild<QTextEdit*>();
    ASSERT_NE(widget, nullptr);
    CaretToEnd(edit);
    QKeyEvent bang(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(widget, &bang);
    QCoreApplication::sendEvent(widget, &enter);
    PumpPending();
    EXPECT_EQ(room.enters.size(), 1u);
    EXPECT_EQ(input.GetContent(), L"Hello 大家!\r");
}

}  // namespace

// Fontconfig keeps a cache for the life of the process; the leak checker of the
// sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libQt6Gui.so\n";
}
