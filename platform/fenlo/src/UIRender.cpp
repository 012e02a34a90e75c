#include "fenlo/UIRender.h"

#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <vector>

#include "internal.h"
#include "win32gui/gdi.h"
#include "win32gui/qt_bridge.h"

namespace DuiLib {

using namespace detail;

namespace {

QImage* ImageOf(const TImageInfo* info) {
    return info ? static_cast<QImage*>(info->pImage) : nullptr;
}

bool IsOpaque(const QImage& img) {
    if (img.format() != QImage::Format_ARGB32_Premultiplied) return !img.hasAlphaChannel();
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) != 255) return false;
    }
    return true;
}

// A large part of an image (a window's background) is stretched once per size and
// then copied: stretching it again on every paint costs more than the rest of a
// small repaint, and an opaque part kept without alpha is copied rather than blended.
// Keyed by the image's content key, so a changed image is stretched anew.
const QImage& Stretched(const QImage& img, const QRect& s, const QSize& size) {
    struct Entry {
        qint64 key;
        QRect source;
        QSize size;
        QImage image;
    };
    static thread_local std::vector<Entry> cache;
    const size_t kKept = 8;  // the parts of a few windows' backgrounds
    for (size_t i = 0; i < cache.size(); ++i) {
        if (cache[i].key == img.cacheKey() && cache[i].source == s && cache[i].size == size) {
            if (i != 0)
                std::rotate(cache.begin(), cache.begin() + static_cast<long>(i),
                            cache.begin() + static_cast<long>(i) + 1);
            return cache.front().image;
        }
    }
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    {
        QPainter q(&out);
        q.setRenderHint(QPainter::SmoothPixmapTransform);
        q.setCompositionMode(QPainter::CompositionMode_Source);
        q.drawImage(QRect(QPoint(0, 0), size), img, s);
    }
    // An opaque result is kept without alpha: the paint copies it line by line instead
    // of blending it (the same pixels, a plain copy of the dirty part only).
    if (IsOpaque(out)) out = std::move(out).convertToFormat(QImage::Format_RGB32);
    if (cache.size() >= kKept) cache.pop_back();
    cache.insert(cache.begin(), Entry{img.cacheKey(), s, size, std::move(out)});
    return cache.front().image;
}

}  // namespace

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color) {
    QPainter* p = winplat::PainterOf(hDC);
    if (!p || UIIsRectEmpty(rc)) return;
    p->fillRect(QR(rc), QC(color));
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD a, DWORD b, bool vertical, int) {
    QPainter* p = winplat::PainterOf(hDC);
    if (!p || UIIsRectEmpty(rc)) return;
    QLinearGradient g(rc.left, rc.top, vertical ? rc.left : rc.right,
                      vertical ? rc.bottom : rc.top);
    g.setColorAt(0, QC(a));
    g.setColorAt(1, QC(b));
    p->fillRect(QR(rc), g);
}

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD color) {
    QPainter* p = winplat::PainterOf(hDC);
    if (!p) return;
    p->save();
    p->setPen(QPen(QC(color), nSize));
    p->drawLine(rc.left, rc.top, rc.right, rc.bottom);
    p->restore();
}

void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD color) {
    QPainter* p = winplat::PainterOf(hDC);
    if (!p || nSize <= 0) return;
    p->save();
    p->setPen(Qt::NoPen);
    QColor c = QC(color);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    p->fillRect(rc.left, rc.top, w, nSize, c);
    p->fillRect(rc.left, rc.bottom - nSize, w, nSize, c);
    p->fillRect(rc.left, rc.top, nSize, h, c);
    p->fillRect(rc.right - nSize, rc.top, nSize, h, c);
    p->restore();
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int width, int height, int nSize,
                                  DWORD color) {
    QPainter* p = winplat::PainterOf(hDC);
    if (!p || nSize <= 0) return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(QPen(QC(color), nSize));
    p->setBrush(Qt::NoBrush);
    double half = nSize / 2.0;
    p->drawRoundedRect(QRectF(rc.left + half, rc.top + half, rc.right - rc.left - nSize,
                              rc.bottom - rc.top - nSize),
                       width / 2.0, height / 2.0);
    p->restore();
}

void CRenderEngine::FillRoundRect(HDC hDC, const RECT& rc, int width, int height, DWORD color) {
    QPainter* p = winplat::PainterOf(hDC);
    if (!p) return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(Qt::NoPen);
    p->setBrush(QC(color));
    p->drawRoundedRect(QRectF(QR(rc)), width / 2.0, height / 2.0);
    p->restore();
}

void CRenderEngine::DrawImage(HDC hDC, const TImageInfo* image, const RECT& rc, const RECT& rcPaint,
                              const RECT& src, const RECT& corner, bool, BYTE fade, bool hole,
                              bool xtiled, bool ytiled) {
    QPainter* p = winplat::PainterOf(hDC);
    QImage* img = ImageOf(image);
    if (!p || !img || img->isNull()) return;
    RECT clip;
    if (!UIIntersectRect(&clip, rc, rcPaint)) return;
    p->save();
    p->setClipRect(QR(clip), Qt::IntersectClip);
    p->setOpacity(fade / 255.0);
    p->setRenderHint(QPainter::SmoothPixmapTransform);
    auto part = [&](int dl, int dt, int dr, int db, int sl, int st, int sr, int sb, bool tile) {
        if (dr <= dl || db <= dt || sr <= sl || sb <= st) return;
        QRect d(dl, dt, dr - dl, db - dt), s(sl, st, sr - sl, sb - st);
        if (tile) {
            QImage piece = img->copy(s);
            p->drawTiledPixmap(d, QPixmap::fromImage(piece));
        } else if (d.width() * d.height() >= 128 * 128) {
            p->drawImage(d.topLeft(), Stretched(*img, s, d.size()));
        } else {
            p->drawImage(d, *img, s);
        }
    };
    int L = corner.left, T = corner.top, R = corner.right, B = corner.bottom;
    bool tile = xtiled || ytiled;
    if (L == 0 && T == 0 && R == 0 && B == 0) {
        part(rc.left, rc.top, rc.right, rc.bottom, src.left, src.top, src.right, src.bottom, tile);
    } else {
        // Nine parts: corners keep their size, edges stretch one way, the middle both.
        int dl = rc.left, dt = rc.top, dr = rc.right, db = rc.bottom;
        int sl = src.left, st = src.top, sr = src.right, sb = src.bottom;
        if (!hole) part(dl + L, dt + T, dr - R, db - B, sl + L, st + T, sr - R, sb - B, tile);
        part(dl, dt, dl + L, dt + T, sl, st, sl + L, st + T, false);
        part(dl + L, dt, dr - R, dt + T, sl + L, st, sr - R, st + T, false);
        part(dr - R, dt, dr, dt + T, sr - R, st, sr, st + T, false);
        part(dl, dt + T, dl + L, db - B, sl, st + T, sl + L, sb - B, false);
        part(dr - R, dt + T, dr, db - B, sr - R, st + T, sr, sb - B, false);
        part(dl, db - B, dl + L, db, sl, sb - B, sl + L, sb, false);
        part(dl + L, db - B, dr - R, db, sl + L, sb - B, sr - R, sb, false);
        part(dr - R, db - B, dr, db, sr - R, sb - B, sr, sb, false);
    }
    p->restore();
}

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* pm, const RECT& rcItem,
                                    const RECT& rcPaint, LPCTSTR pStrImage, LPCTSTR pStrModify) {
    if (!pm || !pStrImage || !*pStrImage) return false;
    std::wstring file;
    RECT dest = rcItem, src{0, 0, 0, 0}, corner{0, 0, 0, 0};
    bool haveSrc = false, hole = false, xt = false, yt = false;
    BYTE fade = 255;
    DWORD mask = 0;
    auto apply = [&](const std::wstring& n, const std::wstring& v) {
        if (n == L"file" || n == L"res")
            file = v;
        else if (n == L"dest") {
            RECT d = ParseRect(v.c_str());
            dest = RECT{rcItem.left + d.left, rcItem.top + d.top, rcItem.left + d.right,
                        rcItem.top + d.bottom};
            if (dest.right > rcItem.right) dest.right = rcItem.right;
            if (dest.bottom > rcItem.bottom) dest.bottom = rcItem.bottom;
        } else if (n == L"source") {
            src = ParseRect(v.c_str());
            haveSrc = true;
        } else if (n == L"corner")
            corner = ParseRect(v.c_str());
        else if (n == L"fade")
            fade = static_cast<BYTE>(std::clamp(ParseInt(v.c_str()), 0, 255));
        else if (n == L"hole")
            hole = ParseBool(v.c_str());
        else if (n == L"xtiled")
            xt = ParseBool(v.c_str());
        else if (n == L"ytiled")
            yt = ParseBool(v.c_str());
        else if (n == L"mask")
            mask = ParseColor(v.c_str());
    };
    std::wstring s(pStrImage);
    if (s.find(L'=') == std::wstring::npos)
        file = s;
    else
        ForEachAttribute(pStrImage, apply);
    if (pStrModify) ForEachAttribute(pStrModify, apply);
    if (file.empty()) return false;
    const TImageInfo* info = pm->GetImageEx(file.c_str(), nullptr, mask);
    if (!info) return false;
    if (!haveSrc) src = RECT{0, 0, info->nX, info->nY};
    src.right = std::min<LONG>(src.right, info->nX);
    src.bottom = std::min<LONG>(src.bottom, info->nY);
    DrawImage(hDC, info, dest, rcPaint, src, corner, info->alphaChannel, fade, hole, xt, yt);
    return true;
}

namespace {

int Flags(UINT style) {
    int f = 0;
    if (style & DT_CENTER)
        f |= Qt::AlignHCenter;
    else if (style & DT_RIGHT)
        f |= Qt::AlignRight;
    else
        f |= Qt::AlignLeft;
    if (style & DT_VCENTER)
        f |= Qt::AlignVCenter;
    else if (style & DT_BOTTOM)
        f |= Qt::AlignBottom;
    else
        f |= Qt::AlignTop;
    if (!(style & DT_SINGLELINE) && (style & DT_WORDBREAK)) f |= Qt::TextWrapAnywhere;
    return f;
}

}  // namespace

namespace {

// The text cut to the width with an ellipsis. A list repaints the same names in the same
// columns over and over: the cuts are remembered.
QString Elided(const QFontMetrics& fm, const QFont& font, const QString& text, int width) {
    struct Cut {
        QFont font;
        int width;
        QString text, elided;
    };
    static thread_local std::vector<Cut> cuts;
    static thread_local size_t nextSlot = 0;
    for (const Cut& c : cuts)
        if (c.width == width && c.text == text && c.font == font) return c.elided;
    QString elided = fm.elidedText(text, Qt::ElideRight, width);
    const size_t kKept = 256;
    Cut cut{font, width, text, elided};
    if (cuts.size() < kKept) {
        cuts.push_back(std::move(cut));
    } else {
        cuts[nextSlot] = std::move(cut);
        nextSlot = (nextSlot + 1) % kKept;
    }
    return elided;
}

}  // namespace

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* pm, RECT& rc, LPCTSTR text, DWORD color,
                             int iFont, UINT style) {
    if (!text) return;
    QFont font = FontOf(pm, iFont);
    QString s = Q(text);
    if (style & DT_SINGLELINE) s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QFontMetrics fm(font);
    if (style & DT_CALCRECT) {
        QRect br = (style & DT_SINGLELINE)
                       ? QRect(0, 0, fm.horizontalAdvance(s), fm.height())
                       : fm.boundingRect(QRect(0, 0, std::max<LONG>(1, rc.right - rc.left), 100000),
                                         Flags(style), s);
        rc.right = rc.left + br.width();
        rc.bottom = rc.top + br.height();
        return;
    }
    QPainter* p = winplat::PainterOf(hDC);
    if (!p) return;
    p->save();
    p->setFont(font);
    p->setPen(QC(color | (color >> 24 == 0 ? 0xFF000000u : 0)));
    QRect r = QR(rc);
    if (style & DT_END_ELLIPSIS) s = Elided(fm, font, s, r.width());
    p->drawText(r, Flags(style), s);
    p->restore();
}

SIZE CRenderEngine::GetTextSize(HDC, CPaintManagerUI* pm, LPCTSTR text, int iFont, UINT) {
    QFontMetrics fm(FontOf(pm, iFont));
    QString s = Q(text);
    return SIZE{fm.horizontalAdvance(s), fm.height()};
}

// ---- markup ----
namespace {

struct Piece {
    enum Kind { Text, Image, Skip, Break, Paragraph } kind = Text;
    QString text;
    QFont font;
    QColor color;
    int link = -1;
    const TImageInfo* image = nullptr;
    int frames = 1, frame = 0;
    int width = 0, height = 0, ascent = 0;
};

bool IsCjk(QChar c) {
    return c.unicode() >= 0x2E80;
}

// Splits the markup into pieces that can be placed one after another.
std::vector<Piece> ParseMarkup(CPaintManagerUI* pm, const QString& s, DWORD color,
                               std::vector<QString>& links) {
    std::vector<Piece> out;
    std::vector<QFont> fonts{FontOf(pm, -1)};
    std::vector<QColor> colors{QC(color | ((color >> 24) == 0 ? 0xFF000000u : 0))};
    int link = -1;
    QString run;
    auto flush = [&] {
        if (run.isEmpty()) return;
        // Words and CJK characters are the places where a line may break.
        QString word;
        auto emitPiece = [&](const QString& t) {
            if (t.isEmpty()) return;
            Piece p;
            p.text = t;
            p.font = fonts.back();
            p.color = colors.back();
            p.link = link;
            out.push_back(p);
        };
        for (QChar c : run) {
            if (c == QLatin1Char(' ') || IsCjk(c)) {
                emitPiece(word);
                word.clear();
                emitPiece(QString(c));
            } else {
                word += c;
            }
        }
        emitPiece(word);
        run.clear();
    };
    int i = 0;
    const int n = s.size();
    while (i < n) {
        QChar c = s[i];
        // A doubled bracket is the character itself, so any text can be shown.
        if ((c == QLatin1Char('<') || c == QLatin1Char('{')) && i + 1 < n && s[i + 1] == c) {
            run += c;
            i += 2;
            continue;
        }
        QChar close = c == QLatin1Char('<') ? QLatin1Char('>')
                                            : (c == QLatin1Char('{') ? QLatin1Char('}') : QChar());
        int end = close.isNull() ? -1 : s.indexOf(close, i + 1);
        if (end < 0) {
            if (c == QLatin1Char('\n')) {
                flush();
                Piece p;
                p.kind = Piece::Break;
                out.push_back(p);
            } else
                run += c;
            ++i;
            continue;
        }
        QString tag = s.mid(i + 1, end - i - 1);
        bool closing = tag.startsWith(QLatin1Char('/'));
        QString body = closing ? tag.mid(1) : tag;
        QString name = body.section(QLatin1Char(' '), 0, 0);
        QString arg = body.section(QLatin1Char(' '), 1).trimmed();
        static const QStringList known{"b", "i", "u", "c", "a", "f", "x", "n", "p", "s"};
        if (!known.contains(name)) {
            run += c;
            ++i;
            continue;
        }
        flush();
        i = end + 1;
        if (closing) {
            if ((name == "b" || name == "i" || name == "u" || name == "f") && fonts.size() > 1)
                fonts.pop_back();
            else if (name == "c" && colors.size() > 1)
                colors.pop_back();
            else if (name == "a") {
                link = -1;
                if (colors.size() > 1) colors.pop_back();
            }
            continue;
        }
        if (name == "b" || name == "u" || (name == "i" && arg.isEmpty())) {
            QFont f = fonts.back();
            if (name == "b")
                f.setBold(true);
            else if (name == "u")
                f.setUnderline(true);
            else
                f.setItalic(true);
            fonts.push_back(f);
        } else if (name == "f") {
            fonts.push_back(FontOf(pm, arg.toInt()));
        } else if (name == "c") {
            QString v = arg;
            if (v.startsWith('#')) v = v.mid(1);
            bool ok = false;
            uint rgb = v.toUInt(&ok, 16);
            if (v.size() == 6) rgb |= 0xFF000000u;
            colors.push_back(ok ? QC(rgb) : colors.back());
        } else if (name == "a") {
            links.push_back(arg);
            link = static_cast<int>(links.size()) - 1;
            colors.push_back(pm ? QC(pm->GetDefaultLinkFontColor()) : QColor(0, 0, 255));
        } else if (name == "x") {
            Piece p;
            p.kind = Piece::Skip;
            p.width = std::max(0, arg.toInt());
            out.push_back(p);
        } else if (name == "n") {
            Piece p;
            p.kind = Piece::Break;
            out.push_back(p);
        } else if (name == "p") {
            Piece p;
            p.kind = Piece::Paragraph;
            out.push_back(p);
        } else if (name == "i") {
            QStringList parts = arg.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            Piece p;
            p.kind = Piece::Image;
            p.link = link;
            if (pm && !parts.isEmpty()) p.image = pm->GetImageEx(D(parts[0]));
            p.frames = parts.size() > 1 ? std::max(1, parts[1].toInt()) : 1;
            // A one-frame request on a strip of square frames (width a whole multiple
            // of the height) picks from the strip: "<i marks.png 1 1>" is its second mark.
            if (p.image && p.frames == 1 && p.image->nY > 0 && p.image->nX > p.image->nY &&
                p.image->nX % p.image->nY == 0)
                p.frames = p.image->nX / p.image->nY;
            p.frame = parts.size() > 2 ? std::clamp(parts[2].toInt(), 0, p.frames - 1) : 0;
            if (p.image) {
                p.width = p.image->nX / p.frames;
                p.height = p.image->nY;
                out.push_back(p);
            }
        }
        // <s> (selected) has no look of its own here.
    }
    flush();
    for (Piece& p : out) {
        if (p.kind == Piece::Text) {
            QFontMetrics fm(p.font);
            p.width = fm.horizontalAdvance(p.text);
            p.height = fm.height();
            p.ascent = fm.ascent();
        } else if (p.kind == Piece::Image) {
            p.ascent = p.height;
        }
    }
    return out;
}

}  // namespace

void CRenderEngine::DrawHtmlText(HDC hDC, CPaintManagerUI* pm, RECT& rc, LPCTSTR pstrText,
                                 DWORD dwTextColor, RECT* pLinks, CDuiString* sLinks,
                                 int& nLinkRects, UINT uStyle) {
    int maxLinks = std::max(0, nLinkRects);
    nLinkRects = 0;
    if (!pstrText) return;
    std::vector<QString> links;
    std::vector<Piece> pieces = ParseMarkup(pm, Q(pstrText), dwTextColor, links);
    const int width = rc.right - rc.left;
    const bool single = (uStyle & DT_SINGLELINE) != 0;
    const int defHeight = QFontMetrics(FontOf(pm, -1)).height();

    struct Placed {
        size_t piece;
        int x;
    };
    struct Line {
        std::vector<Placed> items;
        int width = 0, height = 0, ascent = 0;
    };
    std::vector<Line> lines(1);
    for (size_t k = 0; k < pieces.size(); ++k) {
        const Piece& p = pieces[k];
        if (p.kind == Piece::Break || p.kind == Piece::Paragraph) {
            if (single) continue;
            if (lines.back().height == 0) lines.back().height = defHeight;
            if (p.kind == Piece::Paragraph) lines.back().height += defHeight / 2;
            lines.emplace_back();
            continue;
        }
        Line* line = &lines.back();
        if (!single && line->width > 0 && line->width + p.width > width) {
            lines.emplace_back();
            line = &lines.back();
            if (p.kind == Piece::Text && p.text == QLatin1String(" ")) continue;
        }
        line->items.push_back(Placed{k, line->width});
        line->width += p.width;
        line->height = std::max(line->height, p.height);
        line->ascent = std::max(line->ascent, p.ascent);
    }
    int total = 0, widest = 0;
    for (Line& l : lines) {
        if (l.height == 0) l.height = defHeight;
        total += l.height;
        widest = std::max(widest, l.width);
    }
    if (uStyle & DT_CALCRECT) {
        rc.right = rc.left + std::min(widest, width > 0 ? width : widest);
        if (single || width <= 0) rc.right = rc.left + widest;
        rc.bottom = rc.top + total;
        return;
    }
    QPainter* painter = winplat::PainterOf(hDC);
    int y = rc.top;
    if (uStyle & DT_VCENTER)
        y = rc.top + ((rc.bottom - rc.top) - total) / 2;
    else if (uStyle & DT_BOTTOM)
        y = rc.bottom - total;
    if (painter) {
        painter->save();
        painter->setClipRect(QR(rc), Qt::IntersectClip);
    }
    for (const Line& l : lines) {
        int x0 = rc.left;
        if (uStyle & DT_CENTER)
            x0 = rc.left + (width - l.width) / 2;
        else if (uStyle & DT_RIGHT)
            x0 = rc.right - l.width;
        int baseline = y + l.ascent;
        for (const Placed& it : l.items) {
            const Piece& p = pieces[it.piece];
            int x = x0 + it.x;
            if (p.link >= 0 && p.kind != Piece::Skip && nLinkRects < maxLinks && pLinks && sLinks) {
                RECT r{x, y, x + p.width, y + l.height};
                // Neighbouring pieces of one link on one line share a rectangle.
                if (nLinkRects > 0 &&
                    sLinks[nLinkRects - 1] == D(links[static_cast<size_t>(p.link)]) &&
                    pLinks[nLinkRects - 1].right == r.left && pLinks[nLinkRects - 1].top == r.top) {
                    pLinks[nLinkRects - 1].right = r.right;
                } else {
                    pLinks[nLinkRects] = r;
                    sLinks[nLinkRects] = D(links[static_cast<size_t>(p.link)]);
                    ++nLinkRects;
                }
            }
            if (!painter) continue;
            if (p.kind == Piece::Text) {
                painter->setFont(p.font);
                painter->setPen(p.color);
                painter->drawText(QPoint(x, baseline), p.text);
            } else if (p.kind == Piece::Image) {
                QImage* img = static_cast<QImage*>(p.image->pImage);
                QRect srcRect(p.frame * p.width, 0, p.width, p.height);
                painter->drawImage(QRect(x, baseline - p.height, p.width, p.height), *img, srcRect);
            }
        }
        y += l.height;
    }
    if (painter) painter->restore();
}

}  // namespace DuiLib
