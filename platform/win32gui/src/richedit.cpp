// "RichEdit20W" on QTextEdit. Of the notifications only EN_MSGFILTER is sent (key
// and mouse events, as the event mask asks). The control's text lives in the widget's document
// whether or not it is on screen, so the program can fill and read it before its
// window is shown (and tests can drive it offscreen by messages).
#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "host_widget.h"
#include "input_state.h"
#include "richedit_host.h"
#include "win32gui/font.h"
#include "win32gui/richedit.h"

namespace winplat {

namespace {

const int kUserProperty = QTextFormat::UserProperty + 11;
const QChar kObjectChar(0xFFFC);

struct RichEdit;
RichEdit* Find(HWND hwnd);

// Asks the parent about an input message (EN_MSGFILTER); true: drop it.
bool Filter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

class RichTextEdit : public QTextEdit {
public:
    explicit RichTextEdit(HWND hwnd) : hwnd_(hwnd) {
        setFrameShape(QFrame::NoFrame);
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptRichText(false);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setAttribute(Qt::WA_InputMethodEnabled);
    }
    HWND hwnd() const { return hwnd_; }
    void Detach() { hwnd_ = nullptr; }
    // Inside one of its own input handlers (the parent's answer may destroy it).
    bool Busy() const { return depth_ > 0; }

    // Puts a picture in at the caret as one embedded object.
    void InsertPicture(const QImage& image, DWORD user) {
        if (image.isNull()) return;
        QString name = QStringLiteral("reobj:%1").arg(++pictures_);
        document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(image.width());
        f.setHeight(image.height());
        f.setProperty(kUserProperty, static_cast<qulonglong>(user));
        textCursor().insertImage(f);
    }

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (isReadOnly()) return;
        if (source->hasImage()) {
            InsertPicture(qvariant_cast<QImage>(source->imageData()), 0);
            return;
        }
        if (source->hasText()) InsertPlain(source->text());
    }
    void inputMethodEvent(QInputMethodEvent* e) override {
        composing_ = !e->preeditString().isEmpty();
        QTextEdit::inputMethodEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        Depth d(depth_);
        HWND h = hwnd_;
        int vk = VirtualKeyOf(e);
        // A key that an open input-method composition takes (Enter commits it) is
        // reported as VK_PROCESSKEY, as the system does, not as the key itself.
        if (composing_ && vk) {
            vk = VK_PROCESSKEY;
            // The composition's own commit brings the text; no line break is typed.
            if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
                if (h) Filter(h, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
                return;
            }
        }
        if (h && vk && Filter(h, WM_KEYDOWN, static_cast<WPARAM>(vk), 1)) return;
        QString text = e->text();
        if (h && !text.isEmpty() && text.at(0) >= QChar(0x20) && text.at(0) != QChar(0x7F)) {
            uint ch = text.toUcs4().value(0);
            if (Filter(h, WM_CHAR, static_cast<WPARAM>(ch), 1)) return;
        }
        if (!hwnd_) return;  // the filter's answer destroyed the control
        // Text typed after a picture must not take the picture's format.
        if (textCursor().charFormat().isImageFormat()) setCurrentCharFormat(QTextCharFormat());
        QTextEdit::keyPressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Depth d(depth_);
        if (hwnd_ && e->button() == Qt::RightButton) {
            QPoint p = e->position().toPoint();
            Filter(hwnd_, WM_RBUTTONUP, 0, MAKELPARAM(p.x(), p.y()));
            return;
        }
        QTextEdit::mouseReleaseEvent(e);
    }

public:
    void InsertPlain(QString text) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QTextCursor c = textCursor();
        c.insertText(text, QTextCharFormat());
        setTextCursor(c);
    }

private:
    bool composing_ = false;  // an input-method composition is open
    struct Depth {
        explicit Depth(int& d) : d_(d) { ++d_; }
        ~Depth() { --d_; }
        int& d_;
    };
    HWND hwnd_;
    int pictures_ = 0;
    int depth_ = 0;
};

class RichEditOle;

struct RichEdit {
    RichEdit() = default;
    RichEdit(const RichEdit&) = delete;
    RichEdit& operator=(const RichEdit&) = delete;
    // Gives back the control's reference to its OLE object, whether the window was
    // destroyed or the table goes with the program while windows still stand.
    ~RichEdit();
    HWND hwnd = nullptr;
    QPointer<RichTextEdit> edit;
    DWORD eventMask = ENM_NONE;
    CHARFORMAT2W format{};
    HFONT font = nullptr;
    RichEditOle* ole = nullptr;
};

std::unordered_map<HWND, std::unique_ptr<RichEdit>> g_edits;  // GUI thread only

RichEdit* Find(HWND hwnd) {
    auto it = g_edits.find(hwnd);
    return it == g_edits.end() ? nullptr : it->second.get();
}

int Length(const QTextDocument* doc) {
    return std::max(0, doc->characterCount() - 1);
}

// Every embedded object in text order, with its position.
template <class F>
void ForEachObject(const QTextDocument* doc, F f) {
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextFragment fr = it.fragment();
            if (!fr.isValid() || !fr.charFormat().isImageFormat()) continue;
            for (int i = 0; i < fr.length(); ++i)
                if (!f(fr.position() + i, fr.charFormat().toImageFormat())) return;
        }
}

class RichEditOle : public IRichEditOle {
public:
    explicit RichEditOle(RichEdit* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    LONG GetObjectCount() override {
        if (!owner_ || !owner_->edit) return 0;
        LONG n = 0;
        ForEachObject(owner_->edit->document(), [&](int, const QTextImageFormat&) {
            ++n;
            return true;
        });
        return n;
    }
    HRESULT GetObject(LONG iob, REOBJECT* r, DWORD) override {
        if (!r || r->cbSize != sizeof(REOBJECT) || iob < 0) return E_INVALIDARG;
        if (!owner_ || !owner_->edit) return E_INVALIDARG;
        LONG i = 0;
        bool found = false;
        ForEachObject(owner_->edit->document(), [&](int pos, const QTextImageFormat& f) {
            if (i++ != iob) return true;
            DWORD size = r->cbSize;
            std::memset(r, 0, sizeof(*r));
            r->cbSize = size;
            r->cp = pos;
            r->sizel.cx = static_cast<LONG>(f.width() * 2540 / 96);
            r->sizel.cy = static_cast<LONG>(f.height() * 2540 / 96);
            r->dvaspect = DVASPECT_CONTENT;
            r->dwUser = static_cast<DWORD>(f.property(kUserProperty).toULongLong());
            found = true;
            return false;
        });
        return found ? S_OK : E_INVALIDARG;
    }

private:
    ~RichEditOle() override = default;
    RichEdit* owner_;
    ULONG refs_ = 1;  // the control's own reference
};

RichEdit::~RichEdit() {
    if (ole) {
        ole->Detach();
        ole->Release();
    }
}

bool Filter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    RichEdit* re = Find(hwnd);
    if (!re) return false;
    DWORD want = msg == WM_KEYDOWN || msg == WM_CHAR ? ENM_KEYEVENTS : ENM_MOUSEEVENTS;
    if (!(re->eventMask & want)) return false;
    HWND parent = GetParent(hwnd);
    if (!parent) return false;
    MSGFILTER mf{};
    mf.nmhdr.hwndFrom = hwnd;
    mf.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    mf.nmhdr.code = EN_MSGFILTER;
    mf.msg = msg;
    mf.wParam = wParam;
    mf.lParam = lParam;
    LRESULT r = SendMessageW(parent, WM_NOTIFY, mf.nmhdr.idFrom, reinterpret_cast<LPARAM>(&mf));
    NoteDirectCall();
    return r != 0;
}

QColor ColorOf(COLORREF c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The default format becomes the widget's font and text colour: text without a colour
// of its own is drawn in the palette's text colour, so it all follows the default.
void ApplyDefault(RichEdit* re) {
    if (!re->edit) return;
    const CHARFORMAT2W& f = re->format;
    QFont font = re->edit->document()->defaultFont();
    if (f.szFaceName[0]) font.setFamily(QString::fromWCharArray(f.szFaceName));
    if (f.yHeight > 0) font.setPixelSize(std::max<LONG>(1, f.yHeight / 15));  // twips at 96 dpi
    font.setBold((f.dwEffects & CFE_BOLD) != 0);
    font.setItalic((f.dwEffects & CFE_ITALIC) != 0);
    font.setUnderline((f.dwEffects & CFE_UNDERLINE) != 0);
    font.setStrikeOut((f.dwEffects & CFE_STRIKEOUT) != 0);
    re->edit->document()->setDefaultFont(font);
    QPalette pal = re->edit->palette();
    pal.setColor(QPalette::Text,
                 (f.dwEffects & CFE_AUTOCOLOR) ? QColor(Qt::black) : ColorOf(f.crTextColor));
    pal.setColor(QPalette::Base, Qt::white);
    re->edit->setPalette(pal);
    re->edit->viewport()->update();
}

void MergeFormat(CHARFORMAT2W& into, const CHARFORMATW& from) {
    const DWORD effects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
    DWORD m = from.dwMask;
    for (DWORD bit :
         {DWORD(CFM_BOLD), DWORD(CFM_ITALIC), DWORD(CFM_UNDERLINE), DWORD(CFM_STRIKEOUT)})
        if (m & bit & effects) into.dwEffects = (into.dwEffects & ~bit) | (from.dwEffects & bit);
    if (m & CFM_COLOR) {
        into.crTextColor = from.crTextColor;
        into.dwEffects = (into.dwEffects & ~CFE_AUTOCOLOR) | (from.dwEffects & CFE_AUTOCOLOR);
    }
    if (m & CFM_SIZE) into.yHeight = from.yHeight;
    if (m & CFM_OFFSET) into.yOffset = from.yOffset;
    if (m & CFM_CHARSET) into.bCharSet = from.bCharSet;
    if (m & CFM_FACE) {
        std::memcpy(into.szFaceName, from.szFaceName, sizeof(into.szFaceName));
        into.szFaceName[31] = 0;
    }
}

bool FormatSizeOk(const CHARFORMATW* f) {
    return f && (f->cbSize == sizeof(CHARFORMATW) || f->cbSize == sizeof(CHARFORMAT2W));
}

void FromLogFont(CHARFORMAT2W& f, const LOGFONTW& lf) {
    std::memcpy(f.szFaceName, lf.lfFaceName, sizeof(f.szFaceName));
    f.szFaceName[31] = 0;
    LONG h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (h > 0) f.yHeight = h * 15;
    f.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
    if (lf.lfWeight >= FW_BOLD) f.dwEffects |= CFE_BOLD;
    if (lf.lfItalic) f.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline) f.dwEffects |= CFE_UNDERLINE;
    if (lf.lfStrikeOut) f.dwEffects |= CFE_STRIKEOUT;
    f.bCharSet = lf.lfCharSet;
}

// Text of a range as the control gives it: "\r" ends a paragraph, an object is
// U+FFFC. A surrogate half that the range cuts off is kept as its own unit.
std::wstring TextOf(const QTextDocument* doc, int from, int to) {
    std::wstring out;
    for (int i = from; i < to; ++i) {
        QChar c = doc->characterAt(i);
        char16_t u = c.unicode();
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            out += L'\r';
        } else if (QChar::isHighSurrogate(u) && i + 1 < to &&
                   QChar::isLowSurrogate(doc->characterAt(i + 1).unicode())) {
            out +=
                static_cast<wchar_t>(QChar::surrogateToUcs4(u, doc->characterAt(i + 1).unicode()));
            ++i;
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    return out;
}

QString FromWide(const wchar_t* text) {
    return text ? QString::fromWCharArray(text) : QString();
}

int QtKeyOf(int vk) {
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
    switch (vk) {
        case VK_RETURN:
            return Qt::Key_Return;
        case VK_BACK:
            return Qt::Key_Backspace;
        case VK_DELETE:
            return Qt::Key_Delete;
        case VK_TAB:
            return Qt::Key_Tab;
        case VK_LEFT:
            return Qt::Key_Left;
        case VK_RIGHT:
            return Qt::Key_Right;
        case VK_UP:
            return Qt::Key_Up;
        case VK_DOWN:
            return Qt::Key_Down;
        case VK_HOME:
            return Qt::Key_Home;
        case VK_END:
            return Qt::Key_End;
        case VK_ESCAPE:
            return Qt::Key_Escape;
        default:
            return 0;
    }
}

Qt::KeyboardModifiers HeldModifiers() {
    Qt::KeyboardModifiers m;
    if (GetKeyState(VK_SHIFT) & 0x8000) m |= Qt::ShiftModifier;
    if (GetKeyState(VK_CONTROL) & 0x8000) m |= Qt::ControlModifier;
    return m;
}

void Destroy(HWND hwnd) {
    auto it = g_edits.find(hwnd);
    if (it == g_edits.end()) return;
    std::unique_ptr<RichEdit> re = std::move(it->second);
    g_edits.erase(it);
    if (RichTextEdit* e = re->edit) {
        e->Detach();
        e->hide();
        e->setParent(nullptr);
        if (e->Busy())
            e->deleteLater();
        else
            delete e;
    }
}

LRESULT CALLBACK RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    RichEdit* re = Find(hwnd);
    if (msg == WM_NCCREATE) {
        auto state = std::make_unique<RichEdit>();
        state->hwnd = hwnd;
        state->edit = new RichTextEdit(hwnd);
        state->edit->hide();
        state->ole = new RichEditOle(state.get());
        CHARFORMAT2W& f = state->format;
        f.cbSize = sizeof(CHARFORMAT2W);
        f.dwEffects = CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR;
        LOGFONTW lf;
        if (FontDescription(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), &lf))
            FromLogFont(f, lf);
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        state->edit->setReadOnly((style & ES_READONLY) != 0);
        state->edit->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                     : Qt::ScrollBarAlwaysOff);
        state->edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        re = state.get();
        g_edits[hwnd] = std::move(state);
        ApplyDefault(re);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        Destroy(hwnd);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (!re || !re->edit) return DefWindowProcW(hwnd, msg, wParam, lParam);
    RichTextEdit* e = re->edit;
    QTextDocument* doc = e->document();
    switch (msg) {
        case WM_SIZE:
        case WM_MOVE:
        case WM_SHOWWINDOW:
            SyncRichEdits(hwnd);
            break;
        case WM_SETFOCUS:
            if (e->isVisible()) e->setFocus(Qt::OtherFocusReason);
            return 0;
        case WM_KEYDOWN: {
            int key = QtKeyOf(static_cast<int>(wParam));
            if (!key) return 0;
            QKeyEvent ev(QEvent::KeyPress, key, HeldModifiers());
            QCoreApplication::sendEvent(e, &ev);
            return 0;
        }
        case WM_CHAR: {
            // Line ends, backspace and tab come with their key-down.
            if (wParam < 0x20 || wParam == 0x7F) return 0;
            char32_t ch = static_cast<char32_t>(wParam);
            QKeyEvent ev(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                         QString::fromUcs4(&ch, 1));
            QCoreApplication::sendEvent(e, &ev);
            return 0;
        }
        case WM_RBUTTONUP:
            Filter(hwnd, msg, wParam, lParam);
            return 0;
        case WM_SETTEXT: {
            doc->setUndoRedoEnabled(false);
            e->setPlainText(FromWide(reinterpret_cast<LPCWSTR>(lParam)));
            doc->setUndoRedoEnabled(true);
            ApplyDefault(re);
            return TRUE;
        }
        case WM_GETTEXTLENGTH:
            return Length(doc);
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            if (!out || wParam == 0) return 0;
            std::wstring t = TextOf(doc, 0, Length(doc));
            size_t n = std::min(t.size(), static_cast<size_t>(wParam) - 1);
            std::copy(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n), out);
            out[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_SETFONT: {
            LOGFONTW lf;
            if (!FontDescription(reinterpret_cast<HFONT>(wParam), &lf)) return 0;
            re->font = reinterpret_cast<HFONT>(wParam);
            FromLogFont(re->format, lf);
            ApplyDefault(re);
            return 0;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(re->font);
        case WM_PASTE:
            if (!e->isReadOnly()) e->paste();
            return 0;
        case WM_COPY:
            e->copy();
            return 0;
        case WM_CUT:
            if (!e->isReadOnly()) e->cut();
            return 0;
        case EM_GETEVENTMASK:
            return static_cast<LRESULT>(re->eventMask);
        case EM_SETEVENTMASK: {
            DWORD old = re->eventMask;
            re->eventMask = static_cast<DWORD>(lParam);
            return static_cast<LRESULT>(old);
        }
        case EM_EXSETSEL:
        case EM_SETSEL: {
            LONG a, b;
            if (msg == EM_EXSETSEL) {
                auto* cr = reinterpret_cast<const CHARRANGE*>(lParam);
                if (!cr) return 0;
                a = cr->cpMin;
                b = cr->cpMax;
            } else {
                a = static_cast<LONG>(wParam);
                b = static_cast<LONG>(lParam);
            }
            LONG len = Length(doc);
            QTextCursor c = e->textCursor();
            if (a < 0) {
                c.clearSelection();  // -1: no selection, the caret stays
            } else {
                if (b < 0 || b > len) b = len;
                a = std::min(a, len);
                c.setPosition(a);
                c.setPosition(b, QTextCursor::KeepAnchor);
            }
            e->setTextCursor(c);
            return c.selectionEnd();
        }
        case EM_EXGETSEL: {
            auto* cr = reinterpret_cast<CHARRANGE*>(lParam);
            QTextCursor c = e->textCursor();
            if (cr) {
                cr->cpMin = c.selectionStart();
                cr->cpMax = c.selectionEnd();
            }
            return 0;
        }
        case EM_GETSEL: {
            QTextCursor c = e->textCursor();
            if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(c.selectionStart());
            if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(c.selectionEnd());
            return MAKELONG(c.selectionStart(), c.selectionEnd());
        }
        case EM_GETSELTEXT: {
            // The caller's buffer holds the selection's length + 1.
            auto* out = reinterpret_cast<LPWSTR>(lParam);
            if (!out) return 0;
            QTextCursor c = e->textCursor();
            std::wstring t = TextOf(doc, c.selectionStart(), c.selectionEnd());
            std::copy(t.begin(), t.end(), out);
            out[t.size()] = 0;
            return static_cast<LRESULT>(t.size());
        }
        case EM_SELECTIONTYPE: {
            QTextCursor c = e->textCursor();
            int objects = 0, chars = 0;
            for (int i = c.selectionStart(); i < c.selectionEnd(); ++i)
                (doc->characterAt(i) == kObjectChar ? objects : chars)++;
            LRESULT t = SEL_EMPTY;
            if (chars) t |= chars > 1 ? SEL_TEXT | SEL_MULTICHAR : SEL_TEXT;
            if (objects) t |= objects > 1 ? SEL_OBJECT | SEL_MULTIOBJECT : SEL_OBJECT;
            return t;
        }
        case EM_REPLACESEL: {
            if (!wParam) doc->setUndoRedoEnabled(false);
            e->InsertPlain(FromWide(reinterpret_cast<LPCWSTR>(lParam)));
            if (!wParam) doc->setUndoRedoEnabled(true);
            return 0;
        }
        case EM_CANUNDO:
            return doc->isUndoAvailable() ? TRUE : FALSE;
        case EM_UNDO:
            e->undo();
            return TRUE;
        case EM_EXLIMITTEXT:
            return 0;
        case EM_GETTEXTLENGTHEX: {
            auto* g = reinterpret_cast<const GETTEXTLENGTHEX*>(wParam);
            LONG n = Length(doc);
            if (g && (g->flags & GTL_USECRLF)) n += doc->blockCount() - 1;
            if (g && (g->flags & GTL_NUMBYTES) && g->codepage == 1200) n *= 2;
            return n;
        }
        case EM_GETCHARFORMAT: {
            auto* f = reinterpret_cast<CHARFORMATW*>(lParam);
            if (!FormatSizeOk(f)) return 0;
            UINT size = f->cbSize;
            std::memcpy(f, &re->format, size);
            f->cbSize = size;
            f->dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE |
                        CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
            return static_cast<LRESULT>(f->dwMask);
        }
        case EM_SETCHARFORMAT: {
            auto* f = reinterpret_cast<const CHARFORMATW*>(lParam);
            if (!FormatSizeOk(f)) return 0;
            if (wParam & SCF_SELECTION) {
                // Only the selection: its own colour and effects.
                QTextCharFormat cf;
                if (f->dwMask & CFM_COLOR && !(f->dwEffects & CFE_AUTOCOLOR))
                    cf.setForeground(ColorOf(f->crTextColor));
                if (f->dwMask & CFM_BOLD)
                    cf.setFontWeight(f->dwEffects & CFE_BOLD ? QFont::Bold : QFont::Normal);
                if (f->dwMask & CFM_ITALIC) cf.setFontItalic((f->dwEffects & CFE_ITALIC) != 0);
                if (f->dwMask & CFM_UNDERLINE)
                    cf.setFontUnderline((f->dwEffects & CFE_UNDERLINE) != 0);
                e->textCursor().mergeCharFormat(cf);
                return TRUE;
            }
            MergeFormat(re->format, *f);
            ApplyDefault(re);
            return TRUE;
        }
        case EM_SETBKGNDCOLOR: {
            QPalette pal = e->palette();
            pal.setColor(QPalette::Base,
                         wParam ? QColor(Qt::white) : ColorOf(static_cast<COLORREF>(lParam)));
            e->setPalette(pal);
            return 0;
        }
        case EM_GETOLEINTERFACE: {
            auto* out = reinterpret_cast<IRichEditOle**>(lParam);
            if (!out) return 0;
            re->ole->AddRef();
            *out = re->ole;
            return TRUE;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterRichEditClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(nullptr, RICHEDIT_CLASSW, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = RichEditProc;
    wc.lpszClassName = RICHEDIT_CLASSW;
    RegisterClassExW(&wc);
}

void SyncRichEdits(HWND hwnd) {
    if (g_edits.empty() || !IsWindow(hwnd)) return;
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (!root) root = hwnd;
    HostWidget* host = FindHostWidget(root);
    for (auto& entry : g_edits) {
        RichEdit* re = entry.second.get();
        if (!re->edit || GetAncestor(re->hwnd, GA_ROOT) != root) continue;
        RichTextEdit* e = re->edit;
        if (!host) {
            e->hide();
            continue;
        }
        if (e->parentWidget() != host) e->setParent(host);
        POINT at{0, 0};
        MapWindowPoints(re->hwnd, root, &at, 1);
        RECT rc{0, 0, 0, 0};
        GetClientRect(re->hwnd, &rc);
        e->setGeometry(at.x, at.y, rc.right - rc.left, rc.bottom - rc.top);
        e->setVisible(IsWindowVisible(re->hwnd) != FALSE);
    }
}

void DetachRichEdits(QWidget* host) {
    for (auto& entry : g_edits) {
        RichTextEdit* e = entry.second->edit;
        if (e && e->parentWidget() == host) {
            e->hide();
            e->setParent(nullptr);
        }
    }
}

bool FocusRichEdit(HWND hwnd) {
    RichEdit* re = Find(hwnd);
    if (!re || !re->edit) return false;
    if (re->edit->isVisible()) re->edit->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace winplat
