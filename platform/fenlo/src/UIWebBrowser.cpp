#include "fenlo/UIWebBrowser.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include "BandedScrollBar.h"
#include "WebPageDocument.h"
#include "fenlo/UIManager.h"
#include "win32/wininet.h"
#include "fenlo/UIRender.h"
#include "PageBackgrounds.h"
#include "internal.h"
#include "win32gui/menu.h"
#include "win32gui/qt_bridge.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

namespace {

const int kBarWidth = 8;
// Pictures of a web page: how many are fetched and how large each may be.
const int kMaxImages = 32;
const size_t kMaxImageBytes = 2u << 20;

QString ReadText(const QString& nativePath) {
    std::string bytes;
    if (!winplat::ReadWholeFile(nativePath.toStdWString(), bytes)) return QString();
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF)
        return QString::fromUtf8(bytes.data() + 3, static_cast<qsizetype>(bytes.size() - 3));
    QString utf8 = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!utf8.contains(QChar::ReplacementCharacter)) return utf8;
    return QString::fromStdWString(winplat::AnsiToWide(bytes));
}

bool IsWebAddress(const QString& a) {
    return a.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           a.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

struct HttpPage {
    bool ok = false;
    int status = 0;
    std::string contentType;
    std::string body;
    std::wstring finalUrl;  // after redirects
};

// A scheme ("http:", "app:", "enterchatroom:") at the start of an address.
bool HasScheme(const QString& a) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    return scheme.match(a).hasMatch();
}

// One GET through the layer's WinINet; bodies larger than `limit` are cut.
HttpPage FetchPage(const std::wstring& url, size_t limit = 8u << 20) {
    HttpPage page;
    HINTERNET session = InternetOpenW(L"Mivora", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return page;
    HINTERNET req = InternetOpenUrlW(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    if (req) {
        DWORD status = 0, len = sizeof(status);
        if (HttpQueryInfoW(req, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &len,
                           nullptr))
            page.status = static_cast<int>(status);
        wchar_t where[2048] = {0};
        DWORD wlen = sizeof(where);
        if (InternetQueryOptionW(req, INTERNET_OPTION_URL, where, &wlen)) page.finalUrl = where;
        wchar_t type[256] = {0};
        DWORD tlen = sizeof(type);
        if (HttpQueryInfoW(req, HTTP_QUERY_CONTENT_TYPE, type, &tlen, nullptr))
            page.contentType = QString::fromWCharArray(type).toStdString();
        char buf[16384];
        DWORD got = 0;
        bool complete = true;
        for (;;) {
            if (!InternetReadFile(req, buf, sizeof(buf), &got)) {
                complete = false;
                break;
            }
            if (got == 0) break;
            page.body.append(buf, got);
            if (page.body.size() > limit) break;
        }
        page.ok = complete && page.status > 0;
        InternetCloseHandle(req);
    }
    InternetCloseHandle(session);
    return page;
}

// The page's text by its declared charset (answer header or meta), else UTF-8 when
// it is valid, else the ANSI code page.
QString DecodePage(const HttpPage& page) {
    std::string head =
        page.contentType + page.body.substr(0, std::min<size_t>(page.body.size(), 2048));
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t cs = head.find("charset=");
    std::string charset = cs == std::string::npos ? "" : head.substr(cs + 8, 12);
    if (charset.rfind("utf-8", 0) == 0 || charset.rfind("\"utf-8", 0) == 0)
        return QString::fromUtf8(page.body.data(), static_cast<qsizetype>(page.body.size()));
    if (charset.find("gb") != std::string::npos)
        return QString::fromStdWString(winplat::AnsiToWide(page.body, 936));
    QString utf8 = QString::fromUtf8(page.body.data(), static_cast<qsizetype>(page.body.size()));
    if (!utf8.contains(QChar::ReplacementCharacter)) return utf8;
    return QString::fromStdWString(winplat::AnsiToWide(page.body));
}

}  // namespace

void PageLinkClicked(CWebBrowserUI* owner, const QString& href);
void PageContextMenu(CWebBrowserUI* owner, const QString& text, POINT screen);

// The page on screen: selection, copying, scrolling, the pointing hand over links and
// keyboard use are Qt's own; link clicks and the context menu go back to the control.
class PageView : public QTextBrowser {
public:
    PageView(CWebBrowserUI* owner, QTextDocument* doc, QWidget* parent)
        : QTextBrowser(parent), owner_(owner) {
        setDocument(doc);
        setOpenLinks(false);
        setOpenExternalLinks(false);
        setFrameShape(QFrame::NoFrame);
        setUndoRedoEnabled(false);
        setVerticalScrollBar(new detail::BandedScrollBar(Qt::Vertical, this));
        connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
            // The address as the page wrote it, not as a parsed URL.
            QString href = releasedHref_.isEmpty() ? url.toString() : releasedHref_;
            Later([href](CWebBrowserUI* o) { PageLinkClicked(o, href); });
        });
        // A page that grows while its end is shown keeps its end in view.
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
            if (stick_) verticalScrollBar()->setValue(max);
        });
        connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
                [this](int v) { stick_ = v >= verticalScrollBar()->maximum() - 2; });
    }
    void StickToEnd() {
        stick_ = true;
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        releasedHref_ = anchorAt(e->position().toPoint());
        QTextBrowser::mouseReleaseEvent(e);
        releasedHref_.clear();
    }
    void contextMenuEvent(QContextMenuEvent* e) override {
        QString text = anchorAt(e->pos());
        if (text.isEmpty()) text = textCursor().selectedText();
        POINT at{e->globalPos().x(), e->globalPos().y()};
        Later([text, at](CWebBrowserUI* o) { PageContextMenu(o, text, at); });
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->matches(QKeySequence::SelectAll)) {
            selectAll();
            return;
        }
        QTextBrowser::keyPressEvent(e);
    }

private:
    // The owner's handler may close the window, and this view with it: it runs once
    // the view's own event is over.
    template <typename F>
    void Later(F f) {
        QPointer<PageView> self(this);
        QMetaObject::invokeMethod(
            this,
            [self, f] {
                if (self) f(self->owner_);
            },
            Qt::QueuedConnection);
    }
    CWebBrowserUI* owner_;
    QString releasedHref_;
    bool stick_ = true;
};

struct CWebBrowserUI::Impl {
    PageDocument doc;
    // Where a written block is read before it joins the page.
    QTextDocument scratch;
    QPointer<PageView> view;
    int scrollY = 0;
    DWORD bk = 0xFFFFFFFF;
    QString styleSheet;
    int anchor = -1;
    int cursor = -1;
    bool selecting = false;
    int lastWidth = -1;
    // Fetches in flight hold a weak reference: a page that comes after the control
    // went (or after a newer navigation) is dropped.
    std::shared_ptr<int> alive = std::make_shared<int>(0);
    int generation = 0;
    // The address of the web page shown (after redirects); empty for other pages.
    QUrl webBase;

    ~Impl() { delete view.data(); }

    // A link without a scheme in a web page means an address of that page's site.
    QString Resolve(const QString& href) const {
        if (webBase.isEmpty() || HasScheme(href)) return href;
        return webBase.resolved(QUrl(href)).toString();
    }
    static void LinkClicked(CWebBrowserUI* self, const QString& href) {
        if (!href.isEmpty()) self->RunNavigation(D(self->m_impl->Resolve(href)));
    }
    // The pictures a web page names, fetched on a worker (a bounded number, each of
    // bounded size) and put into the page as they arrive.
    void FetchImages(CWebBrowserUI* self);
    static void ContextMenu(CWebBrowserUI* self, const QString& text, POINT screen) {
        self->ShowContextMenuAt(D(text), screen);
    }
    // The view follows the control: made once its window is on screen, placed over it,
    // shown while it is.
    static void Sync(CWebBrowserUI* self) {
        Impl& m = *self->m_impl;
        QWidget* host =
            self->m_pManager ? winplat::WidgetOf(self->m_pManager->GetPaintWindow()) : nullptr;
        if (m.view && m.view->parentWidget() != host) delete m.view.data();
        if (!m.view && host) {
            m.view = new PageView(self, &m.doc, host);
            m.ApplyBackground();
        }
        if (!m.view) return;
        RECT rc = self->m_rcItem;
        int b = self->m_nBorderSize;
        QRect r(rc.left + b, rc.top + b, rc.right - rc.left - 2 * b, rc.bottom - rc.top - 2 * b);
        m.view->setGeometry(r);
        m.view->setEnabled(self->IsEnabled());
        m.view->setVisible(self->IsVisible() && r.width() > 0 && r.height() > 0);
    }
    void ApplyBackground() {
        if (!view) return;
        QPalette pal = view->palette();
        pal.setColor(QPalette::Base, QC(bk));
        pal.setColor(QPalette::Text, Qt::black);
        view->setPalette(pal);
    }

    int ViewWidth(const RECT& rc) const { return std::max<int>(1, rc.right - rc.left - kBarWidth); }
    int ViewHeight(const RECT& rc) const { return std::max<int>(0, rc.bottom - rc.top); }
    void Relayout(const RECT& rc) {
        int w = ViewWidth(rc);
        if (w != lastWidth) {
            doc.setTextWidth(w);
            lastWidth = w;
        }
    }
    int MaxScroll(const RECT& rc) {
        Relayout(rc);
        return std::max(0, static_cast<int>(doc.size().height()) - ViewHeight(rc));
    }
    int HitPos(const RECT& rc, POINT pt) {
        Relayout(rc);
        QPointF p(pt.x - rc.left, pt.y - rc.top + scrollY);
        return doc.documentLayout()->hitTest(p, Qt::FuzzyHit);
    }
    // Head of a page: linked and inline style sheets become the default style sheet.
    void TakeStyles(const QString& head) {
        QString css;
        static const QRegularExpression link(
            QStringLiteral("<link[^>]*href\\s*=\\s*\"?([^\" >]+)\"?[^>]*>"),
            QRegularExpression::CaseInsensitiveOption);
        auto it = link.globalMatch(head);
        while (it.hasNext()) {
            QString path = LocalPath(it.next().captured(1));
            if (!path.isEmpty()) css += ReadText(path) + QLatin1Char('\n');
        }
        static const QRegularExpression style(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::DotMatchesEverythingOption);
        auto st = style.globalMatch(head);
        while (st.hasNext()) css += st.next().captured(1) + QLatin1Char('\n');
        styleSheet = css;
        doc.setDefaultStyleSheet(css);
        static const QRegularExpression bg(
            QStringLiteral("<body[^>]*bgcolor\\s*=\\s*\"?#([0-9a-fA-F]{6})"),
            QRegularExpression::CaseInsensitiveOption);
        auto m = bg.match(head);
        if (m.hasMatch()) {
            bk = 0xFF000000u | m.captured(1).toUInt(nullptr, 16);
            ApplyBackground();
        }
    }
};

void CWebBrowserUI::Impl::FetchImages(CWebBrowserUI* self) {
    QStringList names;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat()) continue;
            QString name = f.toImageFormat().name();
            if (!name.isEmpty() && !names.contains(name)) names << name;
        }
    }
    int generationNow = generation;
    std::weak_ptr<int> weak = alive;
    for (const QString& name : names.mid(0, kMaxImages)) {
        QString address = Resolve(name);
        if (!IsWebAddress(address)) continue;
        std::wstring url = address.toStdWString();
        auto arrive = [self, weak, generationNow, name, address](const HttpPage& page) {
            if (weak.expired() || self->m_impl->generation != generationNow) return;
            if (!page.ok || page.status >= 400) return;
            QImage img = QImage::fromData(reinterpret_cast<const uchar*>(page.body.data()),
                                          static_cast<int>(page.body.size()));
            if (img.isNull()) return;
            Impl& m = *self->m_impl;
            m.doc.addResource(QTextDocument::ImageResource, QUrl(name), img);
            m.doc.addResource(QTextDocument::ImageResource, QUrl(address), img);
            m.doc.markContentsDirty(0, m.doc.characterCount());
            m.lastWidth = -1;
            if (m.view) m.view->viewport()->update();
            self->Invalidate();
        };
        if (!QCoreApplication::instance()) continue;
        std::thread([url, arrive] {
            HttpPage page = FetchPage(url, kMaxImageBytes);
            if (page.body.size() > kMaxImageBytes) page.ok = false;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [arrive, page] { arrive(page); },
                Qt::QueuedConnection);
        }).detach();
    }
}

void PageLinkClicked(CWebBrowserUI* owner, const QString& href) {
    CWebBrowserUI::Impl::LinkClicked(owner, href);
}
void PageContextMenu(CWebBrowserUI* owner, const QString& text, POINT screen) {
    CWebBrowserUI::Impl::ContextMenu(owner, text, screen);
}

CWebBrowserUI::CWebBrowserUI() : m_impl(new Impl) {
    m_impl->doc.setDocumentMargin(4);
    m_impl->doc.setUndoRedoEnabled(false);
}
CWebBrowserUI::~CWebBrowserUI() = default;

LPCTSTR CWebBrowserUI::GetClass() const {
    return L"WebBrowserUI";
}
LPVOID CWebBrowserUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"WebBrowser") == 0) return static_cast<CWebBrowserUI*>(this);
    return CControlUI::GetInterface(n);
}
UINT CWebBrowserUI::GetControlFlags() const {
    return UIFLAG_SETCURSOR;
}

void CWebBrowserUI::SetWebBrowserEventHandler(CWebBrowserEventHandler* h) {
    m_pHandler = h;
}
CWebBrowserEventHandler* CWebBrowserUI::GetWebBrowserEventHandler() const {
    return m_pHandler;
}

bool CWebBrowserUI::RunNavigation(LPCTSTR url) {
    CDuiString address(url);
    bool cancel = false;
    if (m_pHandler) m_pHandler->BeforeNavigate2(this, address, 0, L"", L"", L"", cancel);
    if (cancel) return false;
    QString a = Q(address);
    ++m_impl->generation;
    if (IsWebAddress(a)) {
        StartFetch(address);
        return true;
    }
    m_impl->webBase.clear();
    if (a.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0) {
        m_impl->doc.clear();
    } else {
        QString path = LocalPath(a);
        QString html = path.isEmpty() ? QString() : ReadText(path);
        if (path.isEmpty() || (html.isEmpty() && !QFile::exists(path))) {
            bool cancelError = false;
            if (m_pHandler)
                m_pHandler->NavigateError(this, address, L"", path.isEmpty() ? -1 : 404,
                                          cancelError);
            return false;
        }
        int head = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
        m_impl->TakeStyles(head > 0 ? html.left(head + 200) : html.left(4000));
        m_impl->doc.setBaseUrl(QUrl::fromLocalFile(path));
        m_impl->doc.setHtml(html);
    }
    m_impl->lastWidth = -1;
    m_impl->scrollY = 0;
    m_sUrl = address;
    ++m_nDocComplete;
    if (m_pHandler) {
        m_pHandler->NavigateComplete2(this, address);
        m_pHandler->DocumentComplete(this, address);
    }
    Invalidate();
    return true;
}

void CWebBrowserUI::StartFetch(const CDuiString& address) {
    int generation = m_impl->generation;
    std::weak_ptr<int> alive = m_impl->alive;
    std::wstring url = address.GetData();
    CWebBrowserUI* self = this;
    auto finish = [self, alive, generation, url](const HttpPage& page) {
        if (alive.expired() || self->m_impl->generation != generation) return;
        self->m_impl->webBase =
            QUrl(QString::fromStdWString(page.finalUrl.empty() ? url : page.finalUrl));
        self->FinishFetch(url, page.ok, page.status, DecodePage(page).toStdWString());
    };
    if (!QCoreApplication::instance()) {
        finish(FetchPage(url));
        return;
    }
    // The page is fetched on a worker; the answer is shown on this thread.
    std::thread([url, finish] {
        HttpPage page = FetchPage(url);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [finish, page] { finish(page); }, Qt::QueuedConnection);
    }).detach();
}

void CWebBrowserUI::FinishFetch(const std::wstring& url, bool ok, int status,
                                const std::wstring& text) {
    if (!ok || status >= 400) {
        bool cancel = false;
        if (m_pHandler) m_pHandler->NavigateError(this, url.c_str(), L"", ok ? status : -1, cancel);
        return;
    }
    QString html = QString::fromStdWString(text);
    int head = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    m_impl->TakeStyles(head > 0 ? html.left(head + 200) : html.left(4000));
    m_impl->doc.setBaseUrl(m_impl->webBase.isEmpty() ? QUrl(QString::fromStdWString(url))
                                                     : m_impl->webBase);
    m_impl->doc.setHtml(html);
    m_impl->FetchImages(this);
    m_impl->lastWidth = -1;
    m_impl->scrollY = 0;
    m_sUrl = url.c_str();
    ++m_nDocComplete;
    if (m_pHandler) {
        m_pHandler->NavigateComplete2(this, m_sUrl);
        m_pHandler->DocumentComplete(this, m_sUrl);
    }
    Invalidate();
}

void CWebBrowserUI::Navigate2(LPCTSTR url) {
    if (url) RunNavigation(url);
}
void CWebBrowserUI::Refresh() {
    if (!m_sUrl.IsEmpty()) RunNavigation(m_sUrl);
}
CDuiString CWebBrowserUI::GetLocationUrl() const {
    return m_sUrl;
}

void CWebBrowserUI::InitDocument() {
    CDuiString head;
    if (m_pHandler) m_pHandler->GetChatPageHead(head, this);
    m_impl->doc.clear();
    m_impl->TakeStyles(Q(head));
    m_impl->lastWidth = -1;
    m_impl->scrollY = 0;
    m_sUrl = L"about:blank";
    ++m_nDocComplete;
    if (m_pHandler) {
        m_pHandler->NavigateComplete2(this, m_sUrl);
        m_pHandler->DocumentComplete(this, m_sUrl);
    }
    Invalidate();
}

void CWebBrowserUI::WriteBlock(LPCTSTR html, int) {
    if (!html) return;
    // On screen the view keeps the end in view itself while it is shown.
    bool atBottom = !m_impl->view && m_impl->scrollY >= m_impl->MaxScroll(m_rcItem) - 2;
    QTextDocument& doc = m_impl->doc;
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    // Each block starts a paragraph of its own: inserting into the last block would
    // lay the whole growing block out again on every line.
    bool empty = doc.blockCount() == 1 && doc.firstBlock().length() <= 1;
    QTextDocument& scratch = m_impl->scratch;
    if (scratch.defaultStyleSheet() != doc.defaultStyleSheet())
        scratch.setDefaultStyleSheet(doc.defaultStyleSheet());
    if (scratch.defaultFont() != doc.defaultFont()) scratch.setDefaultFont(doc.defaultFont());
    const QString text = LiftBlockBackgrounds(Q(html), LocalPath);
    c.beginEditBlock();
    if (!empty) c.insertBlock();
    if (!AppendFlat(c, text, scratch)) c.insertHtml(text);
    c.endEditBlock();
    if (atBottom) ScrollToBottom();
    Invalidate();
}

void CWebBrowserUI::Clear() {
    m_impl->doc.clear();
    m_impl->doc.setDefaultStyleSheet(m_impl->styleSheet);
    m_impl->lastWidth = -1;
    m_impl->scrollY = 0;
    m_impl->anchor = m_impl->cursor = -1;
    Invalidate();
}

int CWebBrowserUI::GetDocCompleteCount() const {
    return m_nDocComplete;
}
void CWebBrowserUI::SetContextMenuMode(int mode) {
    m_nContextMenuMode = mode;
}
int CWebBrowserUI::GetContextMenuMode() const {
    return m_nContextMenuMode;
}

void CWebBrowserUI::OnCopy() {
    if (m_impl->view) {
        m_impl->view->copy();
        return;
    }
    if (m_impl->anchor < 0 || m_impl->cursor < 0 || m_impl->anchor == m_impl->cursor) return;
    QTextCursor c(&m_impl->doc);
    c.setPosition(m_impl->anchor);
    c.setPosition(m_impl->cursor, QTextCursor::KeepAnchor);
    if (QGuiApplication::instance())
        QGuiApplication::clipboard()->setText(
            c.selectedText().replace(QChar(0x2029), QLatin1Char('\n')));
}
void CWebBrowserUI::OnSelectAll() {
    if (m_impl->view) {
        m_impl->view->selectAll();
        return;
    }
    m_impl->anchor = 0;
    QTextCursor c(&m_impl->doc);
    c.movePosition(QTextCursor::End);
    m_impl->cursor = c.position();
    Invalidate();
}
void CWebBrowserUI::SetBkground(DWORD color) {
    m_impl->bk = color | 0xFF000000u;
    m_impl->ApplyBackground();
    Invalidate();
}
void CWebBrowserUI::SetHomePage(LPCTSTR url) {
    m_sHomePage = url;
}
void CWebBrowserUI::SetAutoNavigation(bool b) {
    m_bAutoNavi = b;
}

CDuiString CWebBrowserUI::GetDocumentHtml() const {
    return D(m_impl->doc.toHtml());
}
CDuiString CWebBrowserUI::GetDocumentText() const {
    return D(m_impl->doc.toPlainText());
}
int CWebBrowserUI::GetBlockCount() const {
    return m_impl->doc.blockCount();
}

CDuiString CWebBrowserUI::GetLinkAt(POINT pt) const {
    if (!UIPtInRect(m_rcItem, pt)) return CDuiString();
    if (PageView* v = m_impl->view) {
        QPoint at = v->viewport()->mapFrom(v->parentWidget(), QPoint(pt.x, pt.y));
        return D(v->anchorAt(at));
    }
    m_impl->Relayout(m_rcItem);
    QPointF p(pt.x - m_rcItem.left, pt.y - m_rcItem.top + m_impl->scrollY);
    return D(m_impl->doc.documentLayout()->anchorAt(p));
}

void CWebBrowserUI::ScrollToBottom() {
    if (m_impl->view) {
        m_impl->view->StickToEnd();
        return;
    }
    m_impl->scrollY = m_impl->MaxScroll(m_rcItem);
    Invalidate();
}

void CWebBrowserUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    m_impl->scrollY = std::min(m_impl->scrollY, m_impl->MaxScroll(m_rcItem));
    Impl::Sync(this);
}

void CWebBrowserUI::SetVisible(bool bVisible) {
    CControlUI::SetVisible(bVisible);
    Impl::Sync(this);
}
void CWebBrowserUI::SetInternVisible(bool bVisible) {
    CControlUI::SetInternVisible(bVisible);
    Impl::Sync(this);
}
void CWebBrowserUI::SetEnabled(bool bEnable) {
    CControlUI::SetEnabled(bEnable);
    Impl::Sync(this);
}

void CWebBrowserUI::DoInit() {
    if (m_bAutoNavi && !m_sHomePage.IsEmpty()) Navigate2(m_sHomePage);
}

void CWebBrowserUI::ShowContextMenuAt(const CDuiString& text, POINT screen) {
    if (m_nContextMenuMode == 1 && m_pHandler) {
        m_pHandler->ShowContextMenu(text, this);
        return;
    }
    if (!m_pManager) return;
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"复制");
    ::AppendMenuW(menu, MF_STRING, 2, L"全选");
    int chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD, screen.x, screen.y, 0,
                                  m_pManager->GetPaintWindow(), nullptr);
    ::DestroyMenu(menu);
    if (chosen == 1)
        OnCopy();
    else if (chosen == 2)
        OnSelectAll();
}

void CWebBrowserUI::DoEvent(TEventUI& event) {
    // On screen the view takes the mouse and the keys itself.
    if (m_impl->view && event.Type != UIEVENT_SETCURSOR) {
        CControlUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SCROLLWHEEL: {
            int step = 3 * 18;
            m_impl->scrollY += LOWORD(event.wParam) == SB_LINEUP ? -step : step;
            m_impl->scrollY = std::clamp(m_impl->scrollY, 0, m_impl->MaxScroll(m_rcItem));
            Invalidate();
            return;
        }
        case UIEVENT_BUTTONDOWN:
            m_impl->anchor = m_impl->cursor = m_impl->HitPos(m_rcItem, event.ptMouse);
            m_impl->selecting = true;
            Invalidate();
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_impl->selecting) {
                m_impl->cursor = m_impl->HitPos(m_rcItem, event.ptMouse);
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP: {
            bool wasClick =
                m_impl->selecting && m_impl->anchor == m_impl->HitPos(m_rcItem, event.ptMouse);
            m_impl->selecting = false;
            if (!wasClick) return;
            CDuiString link = GetLinkAt(event.ptMouse);
            // A link click is a navigation: the handler sees the address as written.
            if (!link.IsEmpty()) RunNavigation(D(m_impl->Resolve(Q(link))));
            return;
        }
        case UIEVENT_RBUTTONDOWN:
        case UIEVENT_CONTEXTMENU: {
            if (event.Type == UIEVENT_CONTEXTMENU) return;
            CDuiString text = GetLinkAt(event.ptMouse);
            if (text.IsEmpty() && m_impl->anchor >= 0 && m_impl->anchor != m_impl->cursor) {
                QTextCursor c(&m_impl->doc);
                c.setPosition(m_impl->anchor);
                c.setPosition(m_impl->cursor, QTextCursor::KeepAnchor);
                text = D(c.selectedText());
            }
            POINT pt = event.ptMouse;
            if (m_pManager) ::ClientToScreen(m_pManager->GetPaintWindow(), &pt);
            ShowContextMenuAt(text, pt);
            return;
        }
        case UIEVENT_KEYDOWN:
            if (m_pHandler && m_pHandler->TranslateAccelerator(this, WM_KEYDOWN, event.wParam,
                                                               event.lParam) == S_OK)
                return;
            if (event.chKey == 'C' && (::GetKeyState(VK_CONTROL) & 0x8000)) {
                OnCopy();
                return;
            }
            if (event.chKey == 'A' && (::GetKeyState(VK_CONTROL) & 0x8000)) {
                OnSelectAll();
                return;
            }
            break;
        default:
            break;
    }
    CControlUI::DoEvent(event);
}

void CWebBrowserUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"homepage")
        SetHomePage(v);
    else if (name == L"autonavi")
        SetAutoNavigation(ParseBool(v));
    else if (name == L"bkground")
        SetBkground(ParseColor(v));
    else
        CControlUI::SetAttribute(n, v);
}

void CWebBrowserUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!UIIntersectRect(&m_rcPaint, rcPaint, m_rcItem)) return;
    Impl::Sync(this);
    if (m_impl->view) {
        PaintBorder(hDC);
        return;
    }
    QPainter* p = winplat::PainterOf(hDC);
    if (!p) return;
    Impl& m = *m_impl;
    m.Relayout(m_rcItem);
    p->save();
    p->setClipRect(QR(m_rcPaint), Qt::IntersectClip);
    p->fillRect(QR(m_rcItem), QC(m.bk));
    int maxScroll = m.MaxScroll(m_rcItem);
    m.scrollY = std::clamp(m.scrollY, 0, maxScroll);
    p->translate(m_rcItem.left, m_rcItem.top - m.scrollY);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, m.scrollY, m.ViewWidth(m_rcItem), m.ViewHeight(m_rcItem));
    ctx.palette.setColor(QPalette::Text, Qt::black);
    if (m.anchor >= 0 && m.cursor >= 0 && m.anchor != m.cursor) {
        QAbstractTextDocumentLayout::Selection sel;
        QTextCursor c(&m.doc);
        c.setPosition(m.anchor);
        c.setPosition(m.cursor, QTextCursor::KeepAnchor);
        sel.cursor = c;
        sel.format.setBackground(QColor(0x33, 0x99, 0xFF));
        sel.format.setForeground(Qt::white);
        ctx.selections.append(sel);
    }
    m.doc.documentLayout()->draw(p, ctx);
    p->restore();
    if (maxScroll > 0) {
        int h = m.ViewHeight(m_rcItem);
        int total = h + maxScroll;
        int thumb = std::max(16, h * h / total);
        int top = m_rcItem.top + (h - thumb) * m.scrollY / maxScroll;
        RECT t{m_rcItem.right - kBarWidth + 1, top, m_rcItem.right - 1, top + thumb};
        CRenderEngine::FillRoundRect(hDC, t, 6, 6, 0xFFC8CDD3);
    }
    PaintBorder(hDC);
}

}  // namespace DuiLib
