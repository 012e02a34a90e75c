// The web-browser control's document: local addresses of a page, the page that keeps
// the pictures it loads, and written blocks appended with their pictures as plain
// image characters.
#pragma once

#include <QString>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>

namespace DuiLib {

// Addresses in Windows form ("C:\skin\a.gif", "skin\face/1.gif", "file:///...") as a
// native path; empty for addresses that are not local files.
QString LocalPath(const QString& address);

// Pictures of local files, each loaded once and kept with the page.
class PageDocument : public QTextDocument {
public:
    QVariant loadResource(int type, const QUrl& name) override;
};

// A block of HTML as the importer reads it, appended at `c` with its pictures as plain
// image characters. The importer makes every picture an object of the document's frame
// tree, and each later edit walks all of them: a page full of emoticons got slower with
// every line. False (nothing written) for blocks whose objects matter: lists, tables,
// pictures floated to a side.
bool AppendFlat(QTextCursor& c, const QString& html, QTextDocument& scratch);

}  // namespace DuiLib
