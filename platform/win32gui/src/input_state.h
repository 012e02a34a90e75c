// Per-thread input and paint state of the visible layer.
#pragma once

#include <Qt>

#include "win32gui/user.h"

class QKeyEvent;

namespace winplat {

// While it lives, BeginPaint(hwnd) hands out dc and rc.
class BeginPaintScope {
public:
    BeginPaintScope(HWND hwnd, HDC dc, const RECT& rc);
    ~BeginPaintScope();

private:
    HWND prevHwnd_;
    HDC prevDc_;
    RECT prevRc_;
};

int VirtualKeyOf(const QKeyEvent* e);
void NoteKey(int vk, bool down);
void NoteModifiers(Qt::KeyboardModifiers m);
void NoteMouseButton(Qt::MouseButton b, bool down);
void NoteFocus(HWND hwnd);
void NoteFocusLost(HWND hwnd);
void NoteActive(HWND hwnd);
bool GetImeCaret(HWND hwnd, POINT* pt);
// Window procedures called straight from Qt events (paint, hit test, activation):
// loops waiting on a condition must look again afterwards.
void NoteDirectCall();

}  // namespace winplat
