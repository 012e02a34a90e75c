#include "fenlo/UIRichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <algorithm>

#include "fenlo/UIManager.h"
#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/qt_bridge.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

namespace {
const int kCodeProperty = QTextFormat::UserProperty + 1;
}

bool EditSend(CRichEditUI* owner);
void EditFocused(CRichEditUI* owner);
void EditTrim(CRichEditUI* owner);

// The input on screen: typing, input methods with their composition, selection by
// mouse and keys, the clipboard and undo are Qt's own; Enter goes to the owner.
class EditView : public QTextEdit {
public:
    EditView(CRichEditUI* owner, QTextDocument* doc, QWidget* parent)
        : QTextEdit(parent), owner_(owner) {
        setDocument(doc);
        setFrameShape(QFrame::NoFrame);
        setAcceptRichText(false);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        // Enter that an open input-method composition takes commits it; it sends nothing.
        if (enter && composing_) return;
        // Only an input that hands its text to a window sends on Enter; a plain
        // multi-line box (a notice, a programme) takes a line break.
        if (enter && !(e->modifiers() & Qt::ControlModifier) && EditSend(owner_)) return;
        if (enter) {
            if (!isReadOnly()) textCursor().insertBlock();
            return;
        }
        // Tab that this input does not take goes on to the window, which moves the focus.
        if (IsTabKey(e) && !owner_->IsWantTab()) {
            e->ignore();
            return;
        }
        QTextEdit::keyPressEvent(e);
        EditTrim(owner_);
    }
    void inputMethodEvent(QInputMethodEvent* e) override {
        composing_ = !e->preeditString().isEmpty();
        QTextEdit::inputMethodEvent(e);
        if (!e->commitString().isEmpty()) EditTrim(owner_);
    }
    void insertFromMimeData(const QMimeData* source) override {
        QTextEdit::insertFromMimeData(source);
        EditTrim(owner_);
    }
    void focusInEvent(QFocusEvent* e) override {
        QTextEdit::focusInEvent(e);
        EditFocused(owner_);
    }

    bool focusNextPrevChild(bool next) override {
        // The window's paint manager orders the focus, not Qt's chain of widgets.
        if (!owner_->IsWantTab()) return false;
        return QTextEdit::focusNextPrevChild(next);
    }

private:
    static bool IsTabKey(const QKeyEvent* e) {
        return (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) &&
               !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    }
    bool composing_ = false;
    CRichEditUI* owner_;
};

struct CRichEditUI::Impl {
    QTextDocument doc;
    QTextCursor cursor{&doc};
    int scrollY = 0;
    QPointer<EditView> view;
    // Set while the program changes the text: only a person's edits are "textchanged".
    bool programmatic = false;

    ~Impl() { delete view.data(); }

    // The caret, on screen or not.
    QTextCursor Caret() const { return view ? view->textCursor() : cursor; }
    void SetCaret(const QTextCursor& c) {
        cursor = c;
        if (view) view->setTextCursor(c);
    }

    static void Sync(CRichEditUI* self) {
        Impl& m = *self->m_impl;
        QWidget* host =
            self->m_pManager ? winplat::WidgetOf(self->m_pManager->GetPaintWindow()) : nullptr;
        if (m.view && m.view->parentWidget() != host) {
            m.cursor = m.view->textCursor();
            delete m.view.data();
        }
        if (!m.view && host) {
            m.view = new EditView(self, &m.doc, host);
            m.view->setTextCursor(m.cursor);
            m.ApplyLook(self);
            if (self->m_bFocused) m.view->setFocus();
        }
        if (!m.view) return;
        // The control's frame stays visible around the view.
        int b = std::max(1, self->m_nBorderSize);
        RECT rc = self->m_rcItem;
        QRect r(rc.left + b, rc.top + b, rc.right - rc.left - 2 * b, rc.bottom - rc.top - 2 * b);
        m.view->setGeometry(r);
        m.view->setEnabled(self->IsEnabled());
        m.view->setVisible(self->IsVisible() && r.width() > 0 && r.height() > 0);
    }
    void ApplyLook(CRichEditUI* self) {
        if (!view) return;
        view->setReadOnly(self->m_bReadOnly);
        QPalette pal = view->palette();
        pal.setColor(QPalette::Base, QC(self->m_dwBackColor ? self->m_dwBackColor : 0xFFFFFFFF));
        pal.setColor(QPalette::Text, QC(self->m_dwTextColor | 0xFF000000u));
        view->setPalette(pal);
        QFont f = FontOf(self->m_pManager, self->m_iFont);
        view->setFont(f);
        doc.setDefaultFont(f);
    }
    // False when no window takes the text.
    static bool Send(CRichEditUI* self) {
        if (!self->m_hNotyWnd) return false;
        ::PostMessageW(self->m_hNotyWnd, UM_RICHEDIT_SEND, 0, reinterpret_cast<LPARAM>(self));
        return true;
    }
    static void Focused(CRichEditUI* self) {
        if (self->m_pManager && self->m_pManager->GetFocus() != self)
            self->m_pManager->SetFocus(self);
    }
    // No more than the limit: what a person typed or pasted beyond it goes again.
    static void Trim(CRichEditUI* self) {
        Impl& m = *self->m_impl;
        int excess = m.doc.characterCount() - 1 - self->m_iLimitText;
        if (self->m_iLimitText <= 0 || excess <= 0) return;
        QTextCursor c = m.Caret();
        int end = c.position();
        c.setPosition(std::max(0, end - excess));
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        m.SetCaret(c);
    }
    // A change the program makes itself.
    template <typename F>
    void Programmatic(F f) {
        bool was = programmatic;
        programmatic = true;
        f();
        programmatic = was;
    }
};

bool EditSend(CRichEditUI* owner) {
    return CRichEditUI::Impl::Send(owner);
}
void EditFocused(CRichEditUI* owner) {
    CRichEditUI::Impl::Focused(owner);
}
void EditTrim(CRichEditUI* owner) {
    CRichEditUI::Impl::Trim(owner);
}

CRichEditUI::CRichEditUI() : m_impl(new Impl) {
    m_impl->doc.setDocumentMargin(3);
    m_dwBackColor = 0xFFFFFFFF;
    QObject::connect(&m_impl->doc, &QTextDocument::contentsChanged, [this] {
        if (!m_impl->programmatic && m_pManager)
            m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
    });
}
CRichEditUI::~CRichEditUI() = default;

LPCTSTR CRichEditUI::GetClass() const {
    return L"RichEditUI";
}
LPVOID CRichEditUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
    return CContainerUI::GetInterface(n);
}
UINT CRichEditUI::GetControlFlags() const {
    // Tab could never leave a rich edit that takes it, so such a one is no stop.
    if (!IsEnabled()) return 0;
    return m_bWantTab ? UIFLAG_SETCURSOR : (UIFLAG_SETCURSOR | UIFLAG_TABSTOP);
}
void CRichEditUI::SetWantTab(bool b) {
    m_bWantTab = b;
}
bool CRichEditUI::IsWantTab() const {
    return m_bWantTab;
}

CDuiString CRichEditUI::GetText() const {
    return D(m_impl->doc.toPlainText());
}
void CRichEditUI::SetText(LPCTSTR text) {
    m_impl->Programmatic([&] { m_impl->doc.setPlainText(Q(text)); });
    QTextCursor c(&m_impl->doc);
    c.movePosition(QTextCursor::End);
    m_impl->SetCaret(c);
    Invalidate();
}

void CRichEditUI::AppendText(LPCTSTR text, bool bCanUndo) {
    if (!text) return;
    QTextCursor c = m_impl->Caret();
    c.movePosition(QTextCursor::End);
    m_impl->Programmatic([&] {
        if (!bCanUndo) m_impl->doc.setUndoRedoEnabled(false);
        c.insertText(Q(text));
        if (!bCanUndo) m_impl->doc.setUndoRedoEnabled(true);
    });
    m_impl->SetCaret(c);
    Invalidate();
}

void CRichEditUI::InsertEmoticon(LPCTSTR code, LPCTSTR imageFile) {
    if (!code) return;
    QTextImageFormat f;
    f.setName(imageFile ? QString::fromStdString(winplat::MapPath(imageFile)) : QString());
    f.setProperty(kCodeProperty, Q(code));
    QTextCursor c = m_impl->Caret();
    m_impl->Programmatic([&] { c.insertImage(f); });
    m_impl->SetCaret(c);
    Invalidate();
}

CDuiString CRichEditUI::GetEditContent() const {
    QString out;
    for (QTextBlock b = m_impl->doc.begin(); b.isValid(); b = b.next()) {
        if (b != m_impl->doc.begin()) out += QLatin1Char('\n');
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextFragment fr = it.fragment();
            if (!fr.isValid()) continue;
            QTextCharFormat cf = fr.charFormat();
            if (cf.isImageFormat() && cf.hasProperty(kCodeProperty)) {
                QString code = cf.property(kCodeProperty).toString();
                // One fragment may hold several equal pictures in a row.
                for (int i = 0; i < fr.length(); ++i)
                    out += QStringLiteral("[$") + code + QStringLiteral("$]");
            } else {
                out += fr.text();
            }
        }
    }
    return D(out);
}

void CRichEditUI::setNotyWnd(HWND h) {
    m_hNotyWnd = h;
}
HWND CRichEditUI::getNotyWnd() const {
    return m_hNotyWnd;
}
void CRichEditUI::SetReadOnly(bool b) {
    m_bReadOnly = b;
    m_impl->ApplyLook(this);
}
bool CRichEditUI::IsReadOnly() const {
    return m_bReadOnly;
}
void CRichEditUI::SetLimitText(int n) {
    m_iLimitText = std::max(0, n);
}
int CRichEditUI::GetLimitText() const {
    return m_iLimitText;
}
void CRichEditUI::SetTextColor(DWORD c) {
    m_dwTextColor = c;
    m_impl->ApplyLook(this);
    Invalidate();
}
DWORD CRichEditUI::GetTextColor() const {
    return m_dwTextColor;
}
void CRichEditUI::SetFont(int i) {
    m_iFont = i;
    m_impl->doc.setDefaultFont(FontOf(m_pManager, i));
    m_impl->ApplyLook(this);
    Invalidate();
}
void CRichEditUI::SetSelAll() {
    QTextCursor c = m_impl->Caret();
    c.select(QTextCursor::Document);
    m_impl->SetCaret(c);
    Invalidate();
}
void CRichEditUI::Undo() {
    QTextCursor c = m_impl->Caret();
    m_impl->doc.undo(&c);
    m_impl->SetCaret(c);
    Invalidate();
}

void CRichEditUI::SetPos(RECT rc) {
    CContainerUI::SetPos(rc);
    Impl::Sync(this);
}
void CRichEditUI::SetVisible(bool bVisible) {
    CContainerUI::SetVisible(bVisible);
    Impl::Sync(this);
}
void CRichEditUI::SetInternVisible(bool bVisible) {
    CContainerUI::SetInternVisible(bVisible);
    Impl::Sync(this);
}
void CRichEditUI::SetEnabled(bool bEnable) {
    CContainerUI::SetEnabled(bEnable);
    Impl::Sync(this);
}

void CRichEditUI::DoEvent(TEventUI& event) {
    if (EditView* v = m_impl->view) {
        // On screen the view takes the mouse and the keys itself; focus given to the
        // control by the program moves the keyboard to it, and away again.
        if (event.Type == UIEVENT_SETFOCUS || event.Type == UIEVENT_KILLFOCUS) {
            m_bFocused = event.Type == UIEVENT_SETFOCUS;
            if (m_bFocused && !v->hasFocus())
                v->setFocus(Qt::OtherFocusReason);
            else if (!m_bFocused && v->hasFocus() && v->parentWidget())
                v->parentWidget()->setFocus(Qt::OtherFocusReason);
            Invalidate();
            return;
        }
        if (event.Type != UIEVENT_SETCURSOR) {
            CContainerUI::DoEvent(event);
            return;
        }
    }
    QTextCursor& c = m_impl->cursor;
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
        case UIEVENT_KILLFOCUS:
            m_bFocused = event.Type == UIEVENT_SETFOCUS;
            // The keyboard follows the window's focus: into the view when the focus came by
            // Tab or from the program, back to the window when it moves on.
            if (QWidget* view = m_impl->view.data()) {
                if (m_bFocused && !view->hasFocus() && view->isVisible())
                    view->setFocus(Qt::OtherFocusReason);
                else if (!m_bFocused && view->hasFocus() && view->parentWidget())
                    view->parentWidget()->setFocus(Qt::OtherFocusReason);
            }
            if (m_bFocused && m_pManager)
                ::CreateCaret(m_pManager->GetPaintWindow(), nullptr, 1, 16);
            else
                ::DestroyCaret();
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN: {
            m_impl->doc.setTextWidth(std::max<int>(1, GetWidth()));
            QPointF p(event.ptMouse.x - m_rcItem.left,
                      event.ptMouse.y - m_rcItem.top + m_impl->scrollY);
            int pos = m_impl->doc.documentLayout()->hitTest(p, Qt::FuzzyHit);
            if (pos >= 0) c.setPosition(pos);
            Invalidate();
            return;
        }
        case UIEVENT_BUTTONUP:
        case UIEVENT_MOUSEMOVE:
            return;
        case UIEVENT_KEYDOWN: {
            int key = static_cast<int>(event.wParam);
            bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
            if (key == VK_RETURN && !ctrl && m_hNotyWnd) {
                ::PostMessageW(m_hNotyWnd, UM_RICHEDIT_SEND, 0, reinterpret_cast<LPARAM>(this));
                return;
            }
            if (ctrl && key == 'V' && !m_bReadOnly) {
                if (QGuiApplication::instance()) c.insertText(QGuiApplication::clipboard()->text());
            } else if (ctrl && key == 'C') {
                if (QGuiApplication::instance() && c.hasSelection())
                    QGuiApplication::clipboard()->setText(
                        c.selectedText().replace(QChar(0x2029), QLatin1Char('\n')));
            } else if (ctrl && key == 'A') {
                c.select(QTextCursor::Document);
            } else if (key == VK_RETURN && !m_bReadOnly)
                c.insertBlock();
            else if (key == VK_LEFT)
                c.movePosition(QTextCursor::Left);
            else if (key == VK_RIGHT)
                c.movePosition(QTextCursor::Right);
            else if (key == VK_HOME)
                c.movePosition(QTextCursor::StartOfLine);
            else if (key == VK_END)
                c.movePosition(QTextCursor::EndOfLine);
            else if (key == VK_DELETE && !m_bReadOnly)
                c.deleteChar();
            Invalidate();
            return;
        }
        case UIEVENT_CHAR: {
            if (m_bReadOnly) return;
            wchar_t ch = event.chKey;
            if (ch == L'\b') {
                c.deletePreviousChar();
            } else if (ch == L'\r' || ch == L'\n') {
                return;  // Enter is handled as a key
            } else if (ch >= 0x20 && ch != 0x7F) {
                if (m_iLimitText > 0 && m_impl->doc.characterCount() - 1 >= m_iLimitText) return;
                c.insertText(QString::fromWCharArray(&ch, 1));
            }
            Invalidate();
            return;
        }
        default:
            break;
    }
    CContainerUI::DoEvent(event);
}

void CRichEditUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"readonly")
        SetReadOnly(ParseBool(v));
    else if (name == L"wanttab")
        SetWantTab(ParseBool(v));
    else if (name == L"maxchar")
        SetLimitText(ParseInt(v));
    else if (name == L"textcolor")
        SetTextColor(ParseColor(v));
    else if (name == L"font")
        SetFont(ParseInt(v));
    else if (name == L"text")
        SetText(v);
    else if (name == L"multiline" || name == L"wantreturn" || name == L"rich" ||
             name == L"autovscroll" || name == L"wantctrlreturn" || name == L"textpadding") {
    } else
        CContainerUI::SetAttribute(n, v);
}

void CRichEditUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!UIIntersectRect(&m_rcPaint, rcPaint, m_rcItem)) return;
    Impl::Sync(this);
    CControlUI::DoPaint(hDC, rcPaint);
    if (m_impl->view) {
        if (m_nBorderSize == 0)
            CRenderEngine::DrawRect(hDC, m_rcItem, 1, m_bFocused ? 0xFF4A90D9 : 0xFFC8CDD3);
        return;
    }
    QPainter* p = winplat::PainterOf(hDC);
    if (!p) return;
    QTextDocument& doc = m_impl->doc;
    doc.setTextWidth(std::max<int>(1, GetWidth()));
    int h = GetHeight();
    // Keep the caret in view.
    QRectF caret = doc.documentLayout()->blockBoundingRect(m_impl->cursor.block());
    if (caret.bottom() - m_impl->scrollY > h)
        m_impl->scrollY = static_cast<int>(caret.bottom()) - h;
    if (caret.top() < m_impl->scrollY) m_impl->scrollY = static_cast<int>(caret.top());
    p->save();
    p->setClipRect(QR(m_rcPaint), Qt::IntersectClip);
    p->translate(m_rcItem.left, m_rcItem.top - m_impl->scrollY);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette.setColor(QPalette::Text, QC(m_dwTextColor | 0xFF000000u));
    ctx.clip = QRectF(0, m_impl->scrollY, GetWidth(), h);
    if (m_bFocused) {
        ctx.cursorPosition = m_impl->cursor.position();
        QRectF line = doc.documentLayout()->blockBoundingRect(m_impl->cursor.block());
        QTextLayout* layout = m_impl->cursor.block().layout();
        int inBlock = m_impl->cursor.positionInBlock();
        QPointF at = line.topLeft();
        if (layout && layout->lineCount() > 0) {
            QTextLine l = layout->lineForTextPosition(inBlock);
            if (l.isValid()) at += QPointF(l.cursorToX(inBlock), l.y());
        }
        ::SetCaretPos(m_rcItem.left + static_cast<int>(at.x()),
                      m_rcItem.top + static_cast<int>(at.y()) - m_impl->scrollY);
    }
    if (m_impl->cursor.hasSelection()) {
        QAbstractTextDocumentLayout::Selection sel;
        sel.cursor = m_impl->cursor;
        sel.format.setBackground(QColor(0x33, 0x99, 0xFF));
        sel.format.setForeground(Qt::white);
        ctx.selections.append(sel);
    }
    doc.documentLayout()->draw(p, ctx);
    p->restore();
    if (m_nBorderSize == 0)
        CRenderEngine::DrawRect(hDC, m_rcItem, 1, m_bFocused ? 0xFF4A90D9 : 0xFFC8CDD3);
}

}  // namespace DuiLib
