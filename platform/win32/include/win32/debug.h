// The debugger output: standard error, and a log file when one is set.
#pragma once

#include "win32/base.h"

void OutputDebugStringA(LPCSTR text);
void OutputDebugStringW(LPCWSTR text);
#define OutputDebugString OutputDebugStringW

namespace winplat {

// Also appends every debugger output to this file (UTF-8 path); empty stops it.
void SetDebugLogFile(const char* path);
// Tests can capture the output: the function gets every write; null restores.
void SetDebugOutputHook(void (*hook)(const char* text));

}  // namespace winplat
