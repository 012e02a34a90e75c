// Block backgrounds for the page renderer: it draws no background picture on a
// DIV, so such a DIV is written as a one-cell table, which it does draw.
#pragma once

#include <QString>

#include <functional>

namespace DuiLib {
namespace detail {

// Every DIV whose style names a background picture ("BACKGROUND: url(...)" or
// "BACKGROUND-IMAGE: url(...)") becomes a table of the DIV's WIDTH and HEIGHT
// whose one cell carries the picture; its closing tag closes the table. The
// picture's address goes through `localPath` (a Windows-form path becomes a
// native one; empty: no local file, the background is dropped). A cell's first
// block loses its top margin and blocks have no padding, so the offsets of the
// DIV's first inner DIV (MARGIN-TOP, PADDING-TOP, PADDING-LEFT) become the cell's
// padding. Everything else passes unchanged.
QString LiftBlockBackgrounds(const QString& html,
                             const std::function<QString(const QString&)>& localPath);

}  // namespace detail
}  // namespace DuiLib
