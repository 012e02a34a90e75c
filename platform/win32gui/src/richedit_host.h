// What the window host does for the rich-edit controls: their Qt widgets live inside
// the Qt window of their top-level window while that one is on screen.
#pragma once

#include "win32gui/user.h"

class QWidget;

namespace winplat {

void RegisterRichEditClass();
// Places (or hides) the widgets of the rich edits under hwnd's top-level window.
void SyncRichEdits(HWND hwnd);
// The top-level Qt window goes away: the rich edits' widgets leave it first.
void DetachRichEdits(QWidget* host);
// Gives the widget of a rich edit the keyboard focus; false when hwnd is none.
bool FocusRichEdit(HWND hwnd);

}  // namespace winplat
