#include "PageBackgrounds.h"

#include <QRegularExpression>
#include <QStringList>

namespace DuiLib {
namespace detail {

namespace {

struct Decl {
    QString name;  // lower case
    QString value;
};

QList<Decl> ParseStyle(const QString& style) {
    QList<Decl> out;
    for (const QString& part : style.split(QLatin1Char(';'))) {
        const qsizetype colon = part.indexOf(QLatin1Char(':'));
        if (colon <= 0) continue;
        out.push_back({part.left(colon).trimmed().toLower(), part.mid(colon + 1).trimmed()});
    }
    return out;
}

QString JoinStyle(const QList<Decl>& decls) {
    QStringList parts;
    for (const Decl& d : decls) parts << d.name + QStringLiteral(": ") + d.value;
    return parts.join(QStringLiteral("; "));
}

// "40px" / "40" as 40; anything else (other units, "auto", garbage) as 0.
int Pixels(const QString& value) {
    QString v = value.trimmed().toLower();
    if (v.endsWith(QLatin1String("px"))) v.chop(2);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n > 0 && n < 100000 ? n : 0;
}

QString DecodeEntities(QString s) {
    s.replace(QLatin1String("&quot;"), QLatin1String("\""));
    s.replace(QLatin1String("&#39;"), QLatin1String("'"));
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    s.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return s;
}

// The address inside "url(...)", without quotes; empty when there is none.
QString UrlOf(const QString& value) {
    static const QRegularExpression url(QStringLiteral("url\\(\\s*['\"]?([^'\")]*)['\"]?\\s*\\)"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = url.match(value);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

// The style attribute of a start tag's attribute text, with its place.
struct StyleAttr {
    qsizetype start = -1;  // of the value, within the attribute text
    qsizetype length = 0;
    QString value;
};

StyleAttr FindStyle(const QString& attrs) {
    static const QRegularExpression style(
        QStringLiteral("\\bstyle\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"),
        QRegularExpression::CaseInsensitiveOption);
    StyleAttr out;
    const QRegularExpressionMatch m = style.match(attrs);
    if (!m.hasMatch()) return out;
    const int group = m.capturedStart(1) >= 0 ? 1 : 2;
    out.start = m.capturedStart(group);
    out.length = m.capturedLength(group);
    out.value = DecodeEntities(m.captured(group));
    return out;
}

const QRegularExpression& DivTag() {
    static const QRegularExpression tag(QStringLiteral("<(/?)div\\b([^>]*)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    return tag;
}

// Where the DIV opened before `from` closes: the start of its "</div>" and the end of
// it; -1 when the page never closes it.
std::pair<qsizetype, qsizetype> MatchingClose(const QString& html, qsizetype from) {
    int depth = 1;
    auto it = DivTag().globalMatch(html, from);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        depth += m.captured(1).isEmpty() ? 1 : -1;
        if (depth == 0) return {m.capturedStart(), m.capturedEnd()};
    }
    return {-1, -1};
}

// A path that can stand inside url('...') within a double-quoted attribute.
bool Quotable(const QString& path) {
    for (QChar c : path)
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('(') ||
            c == QLatin1Char(')') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
            c == QLatin1Char('&') || c == QLatin1Char('\\') || c.unicode() < 0x20)
            return false;
    return true;
}

// Takes MARGIN-TOP, PADDING-TOP and PADDING-LEFT out of the first inner DIV at the
// start of `inner`; gives them as (top, left) pixels.
std::pair<int, int> HoistOffsets(QString& inner) {
    qsizetype lead = 0;
    while (lead < inner.size() && inner[lead].isSpace()) ++lead;
    const QRegularExpressionMatch first = DivTag().match(inner, lead);
    if (!first.hasMatch() || first.capturedStart() != lead || !first.captured(1).isEmpty())
        return {0, 0};
    const QString attrs = first.captured(2);
    const StyleAttr style = FindStyle(attrs);
    if (style.start < 0) return {0, 0};
    int top = 0, left = 0;
    QList<Decl> kept;
    for (const Decl& d : ParseStyle(style.value)) {
        if (d.name == QLatin1String("margin-top") || d.name == QLatin1String("padding-top"))
            top += Pixels(d.value);
        else if (d.name == QLatin1String("padding-left"))
            left += Pixels(d.value);
        else
            kept.push_back(d);
    }
    QString newAttrs = attrs;
    newAttrs.replace(style.start, style.length, JoinStyle(kept).toHtmlEscaped());
    inner.replace(first.capturedStart(2), first.capturedLength(2), newAttrs);
    return {top, left};
}

}  // namespace

QString LiftBlockBackgrounds(const QString& html,
                             const std::function<QString(const QString&)>& localPath) {
    // Cheap way out for the usual line.
    if (!html.contains(QLatin1String("url("), Qt::CaseInsensitive)) return html;
    qsizetype at = 0;
    QString rest = html;
    while (true) {
        auto it = DivTag().globalMatch(rest, at);
        QRegularExpressionMatch open;
        QString path;
        QList<Decl> decls;
        while (it.hasNext()) {
            QRegularExpressionMatch m = it.next();
            if (!m.captured(1).isEmpty()) continue;
            const StyleAttr style = FindStyle(m.captured(2));
            if (style.start < 0) continue;
            decls = ParseStyle(style.value);
            QString address;
            for (const Decl& d : decls)
                if (d.name == QLatin1String("background") ||
                    d.name == QLatin1String("background-image"))
                    address = UrlOf(d.value);
            if (address.isEmpty()) continue;
            path = localPath(address);
            if (path.isEmpty() || !Quotable(path)) continue;
            open = m;
            break;
        }
        if (!open.hasMatch()) break;
        const auto [closeStart, closeEnd] = MatchingClose(rest, open.capturedEnd());
        if (closeStart < 0) break;

        int width = 0, height = 0;
        QList<Decl> tableStyle{{QStringLiteral("background-image"),
                                QStringLiteral("url('") + path + QStringLiteral("')")}};
        QList<Decl> inside;
        for (const Decl& d : decls) {
            if (d.name == QLatin1String("width"))
                width = Pixels(d.value);
            else if (d.name == QLatin1String("height"))
                height = Pixels(d.value);
            else if (d.name.startsWith(QLatin1String("margin")))
                tableStyle.push_back(d);
            else if (d.name != QLatin1String("background") &&
                     d.name != QLatin1String("background-image") &&
                     d.name != QLatin1String("overflow"))
                inside.push_back(d);
        }
        QString inner = rest.mid(open.capturedEnd(), closeStart - open.capturedEnd());
        const auto [padTop, padLeft] = HoistOffsets(inner);

        QString table = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" border=\"0\"");
        if (width > 0) table += QStringLiteral(" width=\"%1\"").arg(width);
        if (height > 0) table += QStringLiteral(" height=\"%1\"").arg(height);
        table += QStringLiteral(" style=\"") + JoinStyle(tableStyle).toHtmlEscaped() +
                 QStringLiteral(
                     "\"><tr><td valign=\"top\" style=\"padding-top: %1px; padding-left: %2px\">")
                     .arg(padTop)
                     .arg(padLeft);
        table += QStringLiteral("<div style=\"") + JoinStyle(inside).toHtmlEscaped() +
                 QStringLiteral("\">");
        const QString head = rest.left(open.capturedStart()) + table;
        rest = head + inner + QStringLiteral("</div></td></tr></table>") + rest.mid(closeEnd);
        // Backgrounds inside this one are looked for next.
        at = head.size();
    }
    return rest;
}

}  // namespace detail
}  // namespace DuiLib
