#include "WebPageDocument.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QThread>

#include "win32/files.h"

namespace DuiLib {

QString LocalPath(const QString& address) {
    QString a = address.trimmed();
    if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        QUrl u(a);
        QString p = u.isLocalFile() ? u.toLocalFile() : a.mid(5);
        while (p.startsWith(QLatin1String("///"))) p = p.mid(2);
        a = p;
    } else if (a.contains(QLatin1String("://")) ||
               a.startsWith(QLatin1String("about:"), Qt::CaseInsensitive)) {
        return QString();
    } else if (a.contains(QLatin1Char(':')) && !(a.size() > 1 && a[1] == QLatin1Char(':'))) {
        return QString();  // other schemes ("orinid:5", "app:...")
    }
    return QString::fromStdString(winplat::MapPath(a.toStdWString().c_str()));
}

QVariant PageDocument::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource) {
        // A backslash of a Windows-form source comes back percent-encoded.
        QString raw = QUrl::fromPercentEncoding(name.toString(QUrl::PreferLocalFile).toUtf8());
        QString path = LocalPath(raw);
        if (!path.isEmpty()) {
            QImage img(path);
            // Kept with the page: layout asks for a picture each time it meets one,
            // and a chat page shows the same few pictures thousands of times. On the
            // user-interface thread it is kept as the pixmap the view draws, not
            // converted again at every look-up.
            if (!img.isNull()) {
                QVariant kept = img;
                if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
                    QThread::currentThread() == QCoreApplication::instance()->thread())
                    kept = QPixmap::fromImage(img);
                addResource(type, name, kept);
                return kept;
            }
        }
    }
    return QTextDocument::loadResource(type, name);
}

bool AppendFlat(QTextCursor& c, const QString& html, QTextDocument& scratch) {
    scratch.clear();
    scratch.setHtml(html);
    QSet<QTextFrame*> pictures;
    for (QTextBlock b = scratch.begin(); b.isValid(); b = b.next()) {
        if (b.textList()) return false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.objectIndex() < 0) continue;
            auto* frame = qobject_cast<QTextFrame*>(scratch.objectForFormat(f));
            if (!f.isImageFormat() || !frame ||
                frame->frameFormat().position() != QTextFrameFormat::InFlow)
                return false;
            pictures.insert(frame);
        }
    }
    // Any other frame (a table, one a picture sits in) is structure to keep.
    for (QTextFrame* frame : scratch.rootFrame()->childFrames())
        if (!pictures.contains(frame) || !frame->childFrames().isEmpty()) return false;
    bool first = true;
    for (QTextBlock b = scratch.begin(); b.isValid(); b = b.next()) {
        // The first paragraph joins the block the cursor is in, as the importer's does.
        if (!first) c.insertBlock(b.blockFormat(), b.charFormat());
        first = false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) f.setObjectIndex(-1);
            c.insertText(it.fragment().text(), f);
        }
    }
    return true;
}

}  // namespace DuiLib
