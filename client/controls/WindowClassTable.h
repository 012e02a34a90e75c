// Window class names and class styles of the program's windows.
#pragma once

#include "fenlo/UIlib.h"

// CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS: the style of every dialog
// that the table gives no other one.
#define MIVORA_DIALOG_CLASS_STYLE 0x80B

struct WindowClassInfo {
    const char* cppClass;      // the C++ class
    const wchar_t* className;  // what GetWindowClassName returns
    UINT classStyle;           // what GetClassStyle returns
};

// Every window class of the program; classes sharing a class name share the style.
extern const WindowClassInfo kWindowClassTable[];
extern const size_t kWindowClassCount;

// The row of a C++ class, or null.
const WindowClassInfo* FindWindowClassInfo(const char* cppClass);
