// The logon and lobby windows behind app/EntryWindows.h.
#pragma once

#include "app/EntryWindows.h"

EntryWindowsT LobbyEntryWindows();
