// The web-browser control (blocks, links, navigation) and the library's text markup.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "http_test_server.h"
#include "ui_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class RecordingHandler : public CWebBrowserEventHandler {
public:
    std::vector<std::wstring> before, complete, menus;
    std::vector<int> errors;
    void NavigateError(CWebBrowserUI*, LPCTSTR, LPCTSTR, int status, bool&) override {
        errors.push_back(status);
    }
    HRESULT ShowContextMenu(LPCTSTR text, CWebBrowserUI*) override {
        menus.emplace_back(text);
        return S_OK;
    }
    bool cancel = false;
    int heads = 0;
    void BeforeNavigate2(CWebBrowserUI*, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                         bool& c) override {
        before.emplace_back(url);
        c = cancel;
    }
    void NavigateComplete2(CWebBrowserUI*, LPCTSTR url) override { complete.emplace_back(url); }
    void GetChatPageHead(CDuiString& head, CWebBrowserUI*) override {
        ++heads;
        head = L"<HTML><HEAD><STYLE>.hint{color:#ff0000}</STYLE></HEAD><BODY bgColor=#ffffff>";
    }
};

const wchar_t* kBrowserLayout =
    L"<Window size=\"400,300\"><VerticalLayout><WebBrowser name=\"chat\" "
    L"/></VerticalLayout></Window>";

class BrowserTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        wnd_.reset(new CTestWnd(kBrowserLayout));
        ASSERT_TRUE(wnd_->Create(nullptr, L"browser", WS_POPUP, 0, 0, 0, 0, 0));
        wnd_->ShowWindow(true, true);
        web_ = static_cast<CWebBrowserUI*>(wnd_->GetPaintManager().FindControl(L"chat"));
        ASSERT_NE(web_, nullptr);
        web_->SetWebBrowserEventHandler(&handler_);
        web_->InitDocument();
        InvalidateRect(wnd_->GetHWND(), nullptr, FALSE);
        Pump([&] { return !IsRectEmpty(&web_->GetPos()); });
    }
    void TearDown() override {
        wnd_.reset();
        UiTest::TearDown();
    }
    // A point of the control where the link is.
    bool FindLink(const wchar_t* link, POINT* out) {
        RECT rc = web_->GetPos();
        for (int y = rc.top; y < rc.bottom; y += 2)
            for (int x = rc.left; x < rc.right; x += 2)
                if (web_->GetLinkAt(POINT{x, y}) == link) {
                    *out = POINT{x, y};
                    return true;
                }
        return false;
    }
    std::unique_ptr<CTestWnd> wnd_;
    CWebBrowserUI* web_ = nullptr;
    RecordingHandler handler_;
};

TEST_F(BrowserTest, WriteBlockAppendsEachBlockAsAParagraph) {
    EXPECT_EQ(handler_.heads, 1);
    ASSERT_EQ(handler_.complete.size(), 1u);
    EXPECT_EQ(handler_.complete[0], L"about:blank");
    EXPECT_EQ(web_->GetDocCompleteCount(), 1);
    web_->WriteBlock(L"<DIV class=hint>[12:00] 欢迎进入房间</DIV>", 0);
    web_->WriteBlock(L"<SPAN>[<A href=\"orinid:1234\">张三</A>] 说：你好</SPAN>", 0);
    web_->WriteBlock(L"<IMG src=\"missing\\face\\1.gif\">第三行", 0);
    std::wstring text = web_->GetDocumentText().GetData();
    size_t a = text.find(L"欢迎进入房间"), b = text.find(L"张三] 说：你好"),
           c = text.find(L"第三行");
    ASSERT_NE(a, std::wstring::npos);
    ASSERT_NE(b, std::wstring::npos);
    ASSERT_NE(c, std::wstring::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    // Each block starts on a line of its own.
    EXPECT_NE(text.rfind(L'\n', b), std::wstring::npos);
    EXPECT_GT(text.rfind(L'\n', b), a);
    EXPECT_GE(web_->GetBlockCount(), 3);
    std::wstring html = web_->GetDocumentHtml().GetData();
    EXPECT_NE(html.find(L"orinid:1234"), std::wstring::npos);
    EXPECT_NE(html.find(L"#ff0000"), std::wstring::npos) << "the page head's style sheet applies";
    web_->Clear();
    EXPECT_EQ(web_->GetDocumentText(), L"");
}

// A block with a picture as its background (the entrance banner, its path in Windows
// form) shows the picture at the block's size with the text on it, offset as its
// inner block asks; a background that is no local file leaves a plain block.
TEST_F(BrowserTest, BlockBackgroundPictureShowsBehindItsText) {
    const QString dir = QDir::tempPath() + QStringLiteral("/mivora_bg_%1").arg(getpid());
    ASSERT_TRUE(QDir().mkpath(dir + QStringLiteral("/car_01")));
    const QColor blue(0x20, 0x40, 0xC0);
    QImage pic(1000, 158, QImage::Format_RGB32);
    pic.fill(blue);
    ASSERT_TRUE(pic.save(dir + QStringLiteral("/car_01/star_fy_3.png")));
    std::wstring path = (dir + QStringLiteral("/car_01/star_fy_3.png")).toStdWString();
    std::replace(path.begin(), path.end(), L'/', L'\\');
    auto banner = [](const std::wstring& url) {
        return L"<DIV style=\"MARGIN: 1px 0px; WIDTH: 1000px; HEIGHT: 158px; FONT-FAMILY: arial; "
               L"BACKGROUND: url(" +
               url +
               L"); OVERFLOW: hidden\" ><DIV style=\"LINE-HEIGHT: 1.3; "
               L"MARGIN-TOP: 40px; PADDING-LEFT: 160px; HEIGHT: 25px; COLOR: #fff000; FONT-SIZE: "
               L"14px; "
               L"FONT-WEIGHT: bold\">████<SPAN> bob(5)</SPAN></DIV></DIV>";
    };
    web_->WriteBlock(L"before", 0);
    web_->WriteBlock(banner(path).c_str(), 0);
    web_->WriteBlock(L"after", 0);
    const std::wstring text = web_->GetDocumentText().GetData();
    EXPECT_LT(text.find(L"before"), text.find(L"████ bob(5)"));
    EXPECT_LT(text.find(L"████ bob(5)"), text.find(L"after"));

    InvalidateRect(wnd_->GetHWND(), nullptr, FALSE);
    PumpPending();
    const QImage shot = winplat::GrabWindowImage(wnd_->GetHWND());
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    shot.save(QStringLiteral(MIVORA_ARTIFACT_DIR "browser_block_background.png"));
    auto isBlue = [&](int x, int y) {
        const QColor c = shot.pixelColor(x, y);
        return std::abs(c.red() - blue.red()) < 12 && std::abs(c.green() - blue.green()) < 12 &&
               std::abs(c.blue() - blue.blue()) < 12;
    };
    // The picture's rows, down a column clear of the text.
    const int column = 100;
    int top = -1, bottom = -1;
    for (int y = 0; y < shot.height(); ++y)
        if (isBlue(column, y)) {
            if (top < 0) top = y;
            bottom = y;
        }
    ASSERT_GE(top, 0) << "no picture on screen";
    EXPECT_NEAR(bottom - top + 1, 158, 3);
    // Yellow text on the picture, right of 160 and below 40 from its corner.
    int left = -1;
    for (int x = 0; x < shot.width() && left < 0; ++x)
        if (isBlue(x, top + 2)) left = x;
    int yellowX = shot.width(), yellowY = shot.height();
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() < 80) {
                yellowX = std::min(yellowX, x);
                yellowY = std::min(yellowY, y);
            }
        }
    EXPECT_GE(yellowX - left, 160);
    EXPECT_GE(yellowY - top, 36);
    EXPECT_LT(yellowY - top, 80);

    // No local picture: the text stays, on no picture.
    web_->Clear();
    web_->WriteBlock(banner(L"http://example.com/b.png").c_str(), 0);
    EXPECT_NE(std::wstring(web_->GetDocumentText().GetData()).find(L"████ bob(5)"),
              std::wstring::npos);
    QDir(dir).removeRecursively();
}

// Blocks are written with their pictures as plain characters of the page, not as objects
// of its own: the page reads back as the HTML importer writes the same blocks, and
// blocks that need their objects (lists, tables, floated pictures) still have them.
TEST_F(BrowserTest, WrittenBlocksReadBackAsTheImporterWritesThem) {
    const std::wstring face = MIVORA_SKIN_DIR L"emotion/3.gif";
    const std::vector<std::wstring> blocks = {
        L"<SPAN style=\"COLOR: #000080; FONT-SIZE: 10pt\"><b>大家好</b> 今天</SPAN>",
        L"<img src=\"" + face + L"\" align=\"top\"><img src=\"" + face +
            L"\" align=\"middle\">两张<img src=\"" + face + L"\">",
        L"<DIV class=hint>[12:00] <A href=\"orinid:7\">张三</A><img src=\"" + face +
            L"\" width=10 height=12></DIV>",
        L"第一行<br>第二行<img src=\"missing\\face\\1.gif\">",
        L"<p>段一</p><p>段二<img src=\"" + face + L"\"></p>",
        L"<ul><li>一</li><li>二</li></ul>",
        L"<table><tr><td>格</td><td><img src=\"" + face + L"\"></td></tr></table>",
        L"<img src=\"" + face + L"\" align=\"left\">靠左",
    };
    QTextDocument expected;
    expected.setDocumentMargin(4);
    expected.setDefaultStyleSheet(QStringLiteral(".hint{color:#ff0000}\n"));
    QTextCursor c(&expected);
    bool first = true;
    for (const std::wstring& block : blocks) {
        SCOPED_TRACE(block);
        web_->WriteBlock(block.c_str(), 0);
        c.movePosition(QTextCursor::End);
        if (!first) c.insertBlock();
        first = false;
        c.insertHtml(QString::fromStdWString(block));
        EXPECT_EQ(web_->GetDocumentHtml().GetData(), expected.toHtml().toStdWString());
        EXPECT_EQ(web_->GetBlockCount(), expected.blockCount());
    }
}

TEST_F(BrowserTest, LinkClickGoesToBeforeNavigate2AndCancelStopsIt) {
    // An address that a URL parser would not keep as it stands.
    const wchar_t* link = L"enterchatroom://12|房间 A";
    web_->WriteBlock(L"<A href=\"enterchatroom://12|房间 A\">张三张三张三张三</A> 说：你好", 0);
    InvalidateRect(wnd_->GetHWND(), nullptr, FALSE);
    POINT pt;
    ASSERT_TRUE(FindLink(link, &pt));
    handler_.cancel = true;
    handler_.before.clear();
    QtClickAt(wnd_->GetHWND(), pt);
    ASSERT_TRUE(Pump([&] { return !handler_.before.empty(); }));
    EXPECT_EQ(handler_.before[0], link) << "the address as written";
    EXPECT_EQ(web_->GetLocationUrl(), L"about:blank");
    EXPECT_NE(std::wstring(web_->GetDocumentText().GetData()).find(L"张三"), std::wstring::npos);
    EXPECT_EQ(handler_.complete.size(), 1u);
    // Pressing on the link and dragging selects text: no navigation, and it copies.
    QWidget* target = winplat::WidgetOf(wnd_->GetHWND())->childAt(pt.x, pt.y);
    ASSERT_NE(target, nullptr);
    QPoint from = target->mapFrom(winplat::WidgetOf(wnd_->GetHWND()), QPoint(pt.x, pt.y));
    QPoint to(target->width() - 10, from.y());
    QTest::mousePress(target, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(target, to);
    QTest::mouseRelease(target, Qt::LeftButton, Qt::NoModifier, to);
    PumpPending();
    EXPECT_EQ(handler_.before.size(), 1u);
    QGuiApplication::clipboard()->clear();
    web_->OnCopy();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("说：你好")));
    // With context-menu mode 1 a right click asks the handler, with the link under it.
    web_->SetContextMenuMode(1);
    QtClickAt(wnd_->GetHWND(), pt, true);
    ASSERT_TRUE(Pump([&] { return !handler_.menus.empty(); }));
    EXPECT_EQ(handler_.menus[0], link);
}

TEST_F(BrowserTest, LinkToALocalPageNavigatesWhenNotCancelled) {
    QString dir = QDir::tempPath() + QStringLiteral("/mivora-page-%1").arg(getpid());
    QDir().mkpath(dir);
    QFile f(dir + QStringLiteral("/page.html"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><p>\xE5\xB8\xAE\xE5\x8A\xA9\xE9\xA1\xB5</p></body></html>");  // 帮助页
    f.close();
    std::wstring address = (dir + QStringLiteral("/page.html")).toStdWString();
    web_->WriteBlock((L"<A href=\"" + address + L"\">帮助帮助帮助帮助</A>").c_str(), 0);
    InvalidateRect(wnd_->GetHWND(), nullptr, FALSE);
    POINT pt;
    ASSERT_TRUE(FindLink(address.c_str(), &pt));
    QtClickAt(wnd_->GetHWND(), pt);
    ASSERT_TRUE(Pump([&] { return handler_.complete.size() == 2; }));
    EXPECT_EQ(handler_.before.back(), address);
    EXPECT_EQ(handler_.complete.back(), address);
    EXPECT_EQ(web_->GetLocationUrl(), address.c_str());
    EXPECT_NE(std::wstring(web_->GetDocumentText().GetData()).find(L"帮助页"), std::wstring::npos);
    EXPECT_EQ(web_->GetDocCompleteCount(), 2);
    QDir(dir).removeRecursively();
}

TEST_F(BrowserTest, WebPagesAreFetchedAndShownInTheirCharset) {
    testsupport::HttpTestServer server;
    server.serveBody(
        "/help.html",
        "<html><head><meta "
        "charset=\"utf-8\"></head><body><p>\xE5\xB8\xAE\xE5\x8A\xA9</p></body></html>");
    std::string gbk = winplat::WideToAnsi(L"充值中心", 936);
    server.serveBody(
        "/pay.html",
        "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=gb2312\">"
        "</head><body>" +
            gbk + "</body></html>");
    server.serveBody("/gone.html", "no", 404);
    auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };
    std::wstring help = wide(server.url("/help.html")), pay = wide(server.url("/pay.html"));
    web_->Navigate2(help.c_str());
    ASSERT_TRUE(Pump([&] { return handler_.complete.size() == 2; }));
    EXPECT_EQ(handler_.complete.back(), help);
    EXPECT_EQ(web_->GetLocationUrl(), help.c_str());
    EXPECT_NE(std::wstring(web_->GetDocumentText().GetData()).find(L"帮助"), std::wstring::npos);
    web_->Navigate2(pay.c_str());
    ASSERT_TRUE(Pump([&] { return handler_.complete.size() == 3; }));
    EXPECT_NE(std::wstring(web_->GetDocumentText().GetData()).find(L"充值中心"),
              std::wstring::npos);
    // A failed page keeps the one shown.
    web_->Navigate2(wide(server.url("/gone.html")).c_str());
    ASSERT_TRUE(Pump([&] { return !handler_.errors.empty(); }));
    EXPECT_EQ(handler_.errors[0], 404);
    EXPECT_EQ(handler_.complete.size(), 3u);
    EXPECT_EQ(web_->GetLocationUrl(), pay.c_str());
    // A cancelled navigation fetches nothing.
    handler_.cancel = true;
    web_->Navigate2(help.c_str());
    Pump([] { return false; }, 50);
    EXPECT_EQ(server.count("/help.html"), 1);
}

class MarkupTest : public UiTest {};

int CalcWidth(CPaintManagerUI& pm, const wchar_t* text) {
    RECT rc{0, 0, 1000, 100};
    int n = 0;
    CRenderEngine::DrawHtmlText(nullptr, &pm, rc, text, 0xFF000000, nullptr, nullptr, n,
                                DT_SINGLELINE | DT_CALCRECT);
    return rc.right - rc.left;
}

TEST_F(MarkupTest, TagsAreParsedNotPrinted) {
    CPaintManagerUI pm;
    int plain = CalcWidth(pm, L"abc");
    ASSERT_GT(plain, 0);
    EXPECT_EQ(CalcWidth(pm, L"<c #FF0000>abc</c>"), plain);
    EXPECT_EQ(CalcWidth(pm, L"{c #FF0000}abc{/c}"), plain);
    EXPECT_EQ(CalcWidth(pm, L"<x 20>abc"), plain + 20);
    int bold = pm.AddFont(pm.GetDefaultFontInfo()->sFontName, pm.GetDefaultFontInfo()->iSize, true,
                          false, false);
    EXPECT_EQ(CalcWidth(pm, L"<b>abcabcabc</b>"),
              CRenderEngine::GetTextSize(nullptr, &pm, L"abcabcabc", bold, 0).cx);
    // A bracket that opens no tag is text.
    EXPECT_GT(CalcWidth(pm, L"a<b"), CalcWidth(pm, L"ab"));
    // A doubled bracket is the bracket itself, whatever follows it.
    // (Words are measured one by one, so the sum may round differently.)
    EXPECT_NEAR(CalcWidth(pm, L"<<x 20>abc"),
                CRenderEngine::GetTextSize(nullptr, &pm, L"<x 20>abc", -1, 0).cx, 2);
    EXPECT_NEAR(CalcWidth(pm, L"{{x 20}abc"),
                CRenderEngine::GetTextSize(nullptr, &pm, L"{x 20}abc", -1, 0).cx, 2);
}

// What the markup draws on white, 40 pixels high.
QImage DrawMarkup(CPaintManagerUI& pm, const wchar_t* text, int width) {
    QImage img(width, 40, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    HDC dc = winplat::CreatePainterDC(&p);
    RECT rc{0, 0, width, 40};
    int n = 0;
    CRenderEngine::DrawHtmlText(dc, &pm, rc, text, 0xFF000000, nullptr, nullptr, n, DT_SINGLELINE);
    winplat::DeletePainterDC(dc);
    p.end();
    return img;
}

TEST_F(MarkupTest, APictureFrameIsOneSquareOfAStrip) {
    // fang.png: two 12x12 marks side by side (open, closed); 200x150.png: one picture.
    CPaintManagerUI pm;
    struct Case {
        const wchar_t* text;
        int width;
    } cases[] = {
        {L"<i fang.png 1 0>", 12}, {L"<i fang.png 1 1>", 12},     {L"<i fang.png 2 1>", 12},
        {L"<i fang.png 1 7>", 12}, {L"<i 200x150.png 1 0>", 200}, {L"<i 200x150.png 2 1>", 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CalcWidth(pm, c.text), c.width) << QString::fromWCharArray(c.text).toStdString();
    const QImage open = DrawMarkup(pm, L"<i fang.png 1 0>", 12);
    const QImage closed = DrawMarkup(pm, L"<i fang.png 1 1>", 12);
    EXPECT_NE(open, closed) << "both frames draw the same mark";
    EXPECT_EQ(DrawMarkup(pm, L"<i fang.png 2 1>", 12), closed);
    EXPECT_EQ(DrawMarkup(pm, L"<i fang.png 1 7>", 12), closed)
        << "an index past the strip is its last frame";
}

TEST_F(MarkupTest, LinksComeBackWithTheirRectanglesAndTargets) {
    CPaintManagerUI pm;
    QImage img(400, 40, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    HDC dc = winplat::CreatePainterDC(&p);
    RECT rc{0, 0, 400, 40};
    RECT links[4];
    CDuiString targets[4];
    int n = 4;
    CRenderEngine::DrawHtmlText(dc, &pm, rc, L"看 <a orinid:5>张三</a> 和 <a room:9>房间</a>",
                                0xFF000000, links, targets, n, DT_SINGLELINE | DT_VCENTER);
    winplat::DeletePainterDC(dc);
    p.end();
    ASSERT_EQ(n, 2);
    EXPECT_EQ(targets[0], L"orinid:5");
    EXPECT_EQ(targets[1], L"room:9");
    EXPECT_LT(links[0].right, links[1].left);
    EXPECT_GT(links[0].left, 0);
    // Something was drawn inside the first link's rectangle.
    int ink = 0;
    for (int y = links[0].top; y < links[0].bottom; ++y)
        for (int x = links[0].left; x < links[0].right; ++x) ink += qGray(img.pixel(x, y)) < 128;
    EXPECT_GT(ink, 10);
}

}  // namespace
