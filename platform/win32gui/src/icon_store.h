// Icons of the layer: an HICON names a picture kept here until DestroyIcon.
#pragma once

#include <QIcon>
#include <QImage>

#include "win32gui/user.h"

namespace winplat {

HICON AddIcon(const QImage& image);
// The icon's picture (a null image for an unknown handle).
QImage IconImage(HICON icon);
QIcon IconOf(HICON icon);
// The window's icons (WM_SETICON) onto its Qt window.
void ApplyWindowIcon(HWND hwnd, QWidget* widget);

}  // namespace winplat
