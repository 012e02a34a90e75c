// Facts about the machine: adapter address, automatic start, Windows version.
#pragma once

#include "win32/win32.h"

// Hardware address of the first Ethernet or wireless adapter as
// "%02X-%02X-%02X-%02X-%02X-%02X"; `out` (at least 18 bytes) becomes empty when the
// adapter list cannot be read and is left unchanged when no adapter qualifies.
void GetMacAddress(char* out);
// enable non-zero: the program's full path is written as value `valueName` of the
// machine's Run key; 0 removes the value. Failures are silent.
void SetAutoStart(const wchar_t* valueName, int enable);
// Windows product name and edition texts; empty when the version cannot be read.
CString getSystemName();
CString getVersionMark();
