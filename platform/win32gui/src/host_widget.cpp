#include "host_widget.h"

#include <QApplication>
#include <QChildEvent>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "input_state.h"
#include "win32gui/qt_bridge.h"

namespace winplat {

namespace {

bool ClassWantsDoubleClicks(HWND hwnd) {
    wchar_t name[256] = {0};
    if (!GetClassNameW(hwnd, name, 256)) return false;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, name, &wc)) return false;
    return (wc.style & CS_DBLCLKS) != 0;
}

Qt::Edges EdgesOf(LRESULT ht) {
    switch (ht) {
        case HTLEFT:
            return Qt::LeftEdge;
        case HTRIGHT:
            return Qt::RightEdge;
        case HTTOP:
            return Qt::TopEdge;
        case HTBOTTOM:
            return Qt::BottomEdge;
        case HTTOPLEFT:
            return Qt::TopEdge | Qt::LeftEdge;
        case HTTOPRIGHT:
            return Qt::TopEdge | Qt::RightEdge;
        case HTBOTTOMLEFT:
            return Qt::BottomEdge | Qt::LeftEdge;
        case HTBOTTOMRIGHT:
            return Qt::BottomEdge | Qt::RightEdge;
        default:
            return Qt::Edges();
    }
}

Qt::CursorShape CursorOf(LRESULT ht) {
    switch (ht) {
        case HTLEFT:
        case HTRIGHT:
            return Qt::SizeHorCursor;
        case HTTOP:
        case HTBOTTOM:
            return Qt::SizeVerCursor;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            return Qt::SizeFDiagCursor;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            return Qt::SizeBDiagCursor;
        default:
            return Qt::ArrowCursor;
    }
}

qint64 Area(const QRect& r) {
    return qint64{r.width()} * r.height();
}

// A region comes in bands: a list beside a strip elsewhere is cut in three where the
// strip begins and ends. Pieces that together make a rectangle are joined again, so the
// list paints once.
std::vector<QRect> PaintPieces(const QRegion& region) {
    std::vector<QRect> rects(region.begin(), region.end());
    if (rects.size() > 16) return rects;
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < rects.size() && !joined; ++i) {
            for (size_t j = i + 1; j < rects.size(); ++j) {
                // The pieces of a region never overlap: equal areas mean an exact fit.
                const QRect u = rects[i].united(rects[j]);
                if (Area(u) == Area(rects[i]) + Area(rects[j])) {
                    rects[i] = u;
                    rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                    joined = true;
                    break;
                }
            }
        }
    }
    return rects;
}

}  // namespace

HostWidget::HostWidget(HWND hwnd)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), hwnd_(hwnd) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void HostWidget::SetGeometryFromRecord(const QRect& r) {
    if (geometry() == r || followingState_) return;
    syncing_ = true;
    setGeometry(r);
    syncing_ = false;
}

void HostWidget::SetRegion(const QRegion& region, bool hasRegion) {
    if (hasRegion)
        setMask(region);
    else
        clearMask();
}

void HostWidget::SetLayeredImage(const QImage& image) {
    layered_ = image;
    update();
}

bool HostWidget::event(QEvent* e) {
    // The paint that follows takes in what the window's layout invalidates now.
    if (e->type() == QEvent::UpdateRequest && hwnd_ && layered_.isNull())
        SendMessageW(hwnd_, LayOutBeforePaintMessage(), 0, 0);
    // Views shown inside the window (text views) are watched for the pointer coming in.
    if (e->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(e)->child();
        if (child && child->isWidgetType()) child->installEventFilter(this);
    } else if (e->type() == QEvent::ChildRemoved) {
        if (QObject* child = static_cast<QChildEvent*>(e)->child()) child->removeEventFilter(this);
    }
    return QWidget::event(e);
}

bool HostWidget::eventFilter(QObject* watched, QEvent* e) {
    // The pointer went from the window into a view inside it: Qt tells the window
    // nothing (the view is its child), where Windows gives the window a leave when a
    // child window takes the pointer; a hover of the window would stay up.
    if (e->type() == QEvent::Enter && hwnd_) PostMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
    return QWidget::eventFilter(watched, e);
}

void HostWidget::paintEvent(QPaintEvent* e) {
    QPainter painter(this);
    if (!layered_.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(e->rect(), Qt::transparent);
        painter.drawImage(0, 0, layered_);
        return;
    }
    if (!hwnd_) {
        painter.fillRect(e->rect(), Qt::white);
        return;
    }
    HDC dc = CreatePainterDC(&painter);
    // A few pieces (a list beside a strip of a caption) are painted piece by piece: their
    // bounding box would repaint all that lies between them, and within one rectangle
    // the raster engine copies pictures and fills straight, where the clip of a region
    // of several rectangles sends every span through its blending threads.
    const std::vector<QRect> parts = PaintPieces(e->region());
    const QRect box = e->rect();
    const bool pieces = parts.size() > 1 && parts.size() <= 16;
    auto paint = [&](const QRect& r) {
        painter.fillRect(r, Qt::white);
        RECT rc{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
        BeginPaintScope scope(hwnd_, dc, rc);
        SendMessageW(hwnd_, WM_PAINT, 0, 0);
    };
    if (pieces) {
        for (const QRect& q : parts) {
            painter.save();
            painter.setClipRect(q, Qt::IntersectClip);
            paint(q);
            painter.restore();
        }
    } else {
        paint(box);
    }
    NoteDirectCall();
    DeletePainterDC(dc);
}

LPARAM HostWidget::ClientPoint(const QPointF& p) const {
    QPoint q = p.toPoint();
    return MAKELPARAM(static_cast<short>(q.x()), static_cast<short>(q.y()));
}

WPARAM HostWidget::MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) const {
    WPARAM k = 0;
    if (b & Qt::LeftButton) k |= MK_LBUTTON;
    if (b & Qt::RightButton) k |= MK_RBUTTON;
    if (b & Qt::MiddleButton) k |= MK_MBUTTON;
    if (m & Qt::ShiftModifier) k |= MK_SHIFT;
    if (m & Qt::ControlModifier) k |= MK_CONTROL;
    return k;
}

LRESULT HostWidget::HitTest(const QPointF& global) {
    if (!hwnd_) return HTNOWHERE;
    QPoint g = global.toPoint();
    return SendMessageW(hwnd_, WM_NCHITTEST, 0,
                        MAKELPARAM(static_cast<short>(g.x()), static_cast<short>(g.y())));
}

void HostWidget::BeginCaptionDrag() {
    if (!leftDown_ || dragCode_) return;
    QWindow* w = windowHandle();
    if (w && w->startSystemMove()) return;
    dragCode_ = HTCAPTION;
    dragStart_ = lastLeftPress_;
    dragGeometry_ = geometry();
}

void HostWidget::mousePressEvent(QMouseEvent* e) {
    if (!hwnd_) return;
    NoteMouseButton(e->button(), true);
    if (e->button() == Qt::LeftButton) {
        leftDown_ = true;
        lastLeftPress_ = e->globalPosition().toPoint();
    }
    LRESULT ht = HitTest(e->globalPosition());
    NoteDirectCall();
    if (e->button() == Qt::LeftButton && ht != HTCLIENT) {
        if (ht == HTCAPTION || EdgesOf(ht)) {
            QWindow* w = windowHandle();
            bool system =
                w && (ht == HTCAPTION ? w->startSystemMove() : w->startSystemResize(EdgesOf(ht)));
            if (!system) {
                dragCode_ = static_cast<int>(ht);
                dragStart_ = e->globalPosition().toPoint();
                dragGeometry_ = geometry();
            }
            return;
        }
    }
    if (ht != HTCLIENT) return;
    UINT msg = e->button() == Qt::LeftButton     ? WM_LBUTTONDOWN
               : e->button() == Qt::RightButton  ? WM_RBUTTONDOWN
               : e->button() == Qt::MiddleButton ? WM_MBUTTONDOWN
                                                 : 0;
    if (msg)
        PostMessageW(hwnd_, msg, MouseKeys(e->buttons(), e->modifiers()),
                     ClientPoint(e->position()));
}

void HostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!hwnd_) return;
    NoteMouseButton(e->button(), true);
    if (HitTest(e->globalPosition()) != HTCLIENT) return;
    bool dbl = ClassWantsDoubleClicks(hwnd_);
    UINT msg = 0;
    if (e->button() == Qt::LeftButton)
        msg = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    else if (e->button() == Qt::RightButton)
        msg = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    if (msg)
        PostMessageW(hwnd_, msg, MouseKeys(e->buttons(), e->modifiers()),
                     ClientPoint(e->position()));
}

void HostWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (!hwnd_) return;
    NoteMouseButton(e->button(), false);
    if (e->button() == Qt::LeftButton) leftDown_ = false;
    if (dragCode_) {
        dragCode_ = 0;
        PostMessageW(hwnd_, WM_EXITSIZEMOVE, 0, 0);
        return;
    }
    UINT msg = e->button() == Qt::LeftButton     ? WM_LBUTTONUP
               : e->button() == Qt::RightButton  ? WM_RBUTTONUP
               : e->button() == Qt::MiddleButton ? WM_MBUTTONUP
                                                 : 0;
    if (!msg) return;
    PostMessageW(hwnd_, msg, MouseKeys(e->buttons(), e->modifiers()), ClientPoint(e->position()));
    if (e->button() == Qt::RightButton) {
        QPoint g = e->globalPosition().toPoint();
        PostMessageW(hwnd_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_),
                     MAKELPARAM(static_cast<short>(g.x()), static_cast<short>(g.y())));
    }
}

void HostWidget::mouseMoveEvent(QMouseEvent* e) {
    if (!hwnd_) return;
    if (dragCode_) {
        QPoint d = e->globalPosition().toPoint() - dragStart_;
        QRect g = dragGeometry_;
        if (dragCode_ == HTCAPTION) {
            g.translate(d);
        } else {
            Qt::Edges edges = EdgesOf(dragCode_);
            if (edges & Qt::LeftEdge) g.setLeft(g.left() + d.x());
            if (edges & Qt::RightEdge) g.setRight(g.right() + d.x());
            if (edges & Qt::TopEdge) g.setTop(g.top() + d.y());
            if (edges & Qt::BottomEdge) g.setBottom(g.bottom() + d.y());
        }
        SetWindowPos(hwnd_, nullptr, g.x(), g.y(), g.width(), g.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    LRESULT ht = e->buttons() ? HTCLIENT : HitTest(e->globalPosition());
    setCursor(CursorOf(ht));
    if (ht == HTCLIENT)
        PostMessageW(hwnd_, WM_MOUSEMOVE, MouseKeys(e->buttons(), e->modifiers()),
                     ClientPoint(e->position()));
}

void HostWidget::wheelEvent(QWheelEvent* e) {
    if (!hwnd_) return;
    int delta = e->angleDelta().y();
    if (delta == 0) return;
    QPoint g = e->globalPosition().toPoint();
    WPARAM keys = MouseKeys(e->buttons(), e->modifiers());
    PostMessageW(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<short>(delta)),
                 MAKELPARAM(static_cast<short>(g.x()), static_cast<short>(g.y())));
}

void HostWidget::leaveEvent(QEvent*) {
    if (hwnd_) PostMessageW(hwnd_, WM_MOUSELEAVE, 0, 0);
}

void HostWidget::Key(QKeyEvent* e, bool down) {
    if (!hwnd_) return;
    int vk = VirtualKeyOf(e);
    NoteModifiers(e->modifiers());
    if (vk) NoteKey(vk, down);
    bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    LPARAM lp = 1 | (alt ? (1 << 29) : 0) | (down ? 0 : (3u << 30));
    if (vk)
        PostMessageW(hwnd_,
                     alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP),
                     static_cast<WPARAM>(vk), lp);
    if (down && !alt) {
        // Characters come with the key, as TranslateMessage would make them.
        for (char32_t c : e->text().toUcs4())
            PostMessageW(hwnd_, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
}

void HostWidget::keyPressEvent(QKeyEvent* e) {
    Key(e, true);
}
void HostWidget::keyReleaseEvent(QKeyEvent* e) {
    Key(e, false);
}
bool HostWidget::focusNextPrevChild(bool) {
    // Tab is the window's key like any other: its paint manager moves the focus.
    return false;
}

void HostWidget::inputMethodEvent(QInputMethodEvent* e) {
    // The committed text of an input method arrives as characters.
    if (hwnd_)
        for (char32_t c : e->commitString().toUcs4())
            PostMessageW(hwnd_, WM_CHAR, static_cast<WPARAM>(c), 1);
    e->accept();
}

QVariant HostWidget::inputMethodQuery(Qt::InputMethodQuery q) const {
    if (q == Qt::ImCursorRectangle) {
        POINT caret{0, 0};
        if (GetImeCaret(hwnd_, &caret)) return QRect(caret.x, caret.y, 1, 18);
        return QRect(0, 0, 1, 16);
    }
    if (q == Qt::ImEnabled) return true;
    return QWidget::inputMethodQuery(q);
}

void HostWidget::focusInEvent(QFocusEvent*) {
    if (hwnd_) NoteFocus(hwnd_);
}
void HostWidget::focusOutEvent(QFocusEvent*) {
    // The keyboard moving to a text view inside the window stays the window's focus.
    QWidget* now = QApplication::focusWidget();
    if (now && isAncestorOf(now)) return;
    if (hwnd_) NoteFocusLost(hwnd_);
}

void HostWidget::ShowRecordState(int showCommand, const QRect& rect) {
    if (applyingState_) return;
    applyingState_ = true;
    if (showCommand == SW_MINIMIZE) {
        showMinimized();
    } else {
        if (isMinimized()) showNormal();
        const Qt::WindowStates s = windowState() & ~Qt::WindowMinimized;
        if (showCommand == SW_MAXIMIZE && !(s & Qt::WindowMaximized))
            setWindowState(s | Qt::WindowMaximized);
        else if (showCommand == SW_RESTORE && (s & Qt::WindowMaximized))
            setWindowState(s & ~Qt::WindowMaximized);
    }
    SetGeometryFromRecord(rect);
    applyingState_ = false;
}

void HostWidget::FollowWindowState() {
    if (!hwnd_ || applyingState_) return;
    const Qt::WindowStates s = windowState();
    const bool iconic = IsIconic(hwnd_) != FALSE, zoomed = IsZoomed(hwnd_) != FALSE;
    int command = 0;
    if (s & Qt::WindowMinimized) {
        if (!iconic) command = SW_SHOWMINNOACTIVE;
    } else if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        if (iconic || !zoomed) command = SW_MAXIMIZE;
    } else if (iconic || zoomed) {
        // A window minimised from maximised comes back maximised, as the record says.
        command = SW_RESTORE;
    }
    if (!command) return;
    applyingState_ = followingState_ = true;
    ShowWindow(hwnd_, command);
    applyingState_ = followingState_ = false;
    RECT rc;
    if (!IsWindow(hwnd_) || (s & Qt::WindowMinimized) || !GetWindowRect(hwnd_, &rc)) return;
    const QRect record(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    if (!IsZoomed(hwnd_)) {
        // Restored, the window goes back to the record's place from before the maximise,
        // as on Windows: a window manager may keep the maximised size it was given.
        SetGeometryFromRecord(record);
        return;
    }
    // Maximised, it is where the window manager put it (its move and resize may come
    // before the state or after it).
    const QRect g = geometry();
    if (record != g)
        SetWindowPos(hwnd_, nullptr, g.x(), g.y(), g.width(), g.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::WindowStateChange) FollowWindowState();
    if (e->type() == QEvent::ActivationChange && hwnd_) {
        bool active = isActiveWindow();
        SendMessageW(hwnd_, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
        SendMessageW(hwnd_, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
        if (active) {
            NoteActive(hwnd_);
            // Whoever brought the window forward (the window manager, a click), what it
            // owns stays above it.
            RaiseOwnedAbove(hwnd_);
        }
        NoteDirectCall();
    }
    QWidget::changeEvent(e);
}

void HostWidget::moveEvent(QMoveEvent*) {
    if (!hwnd_ || syncing_) return;
    RECT rc;
    if (!GetWindowRect(hwnd_, &rc)) return;
    QRect g = geometry();
    if (rc.left == g.x() && rc.top == g.y()) return;
    SetWindowPos(hwnd_, nullptr, g.x(), g.y(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostWidget::resizeEvent(QResizeEvent*) {
    if (!hwnd_ || syncing_) return;
    RECT rc;
    if (!GetWindowRect(hwnd_, &rc)) return;
    QRect g = geometry();
    if (rc.right - rc.left == g.width() && rc.bottom - rc.top == g.height()) return;
    SetWindowPos(hwnd_, nullptr, g.x(), g.y(), g.width(), g.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void HostWidget::closeEvent(QCloseEvent* e) {
    // The window manager's close goes through the window like Alt+F4.
    e->ignore();
    if (hwnd_) PostMessageW(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace winplat
