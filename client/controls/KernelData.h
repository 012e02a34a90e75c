// The kernel's session data and the small look-ups in it that files on every floor
// share, so that none keeps a copy of its own. Each answers null, 0 or false while the
// kernel has no data yet.
#pragma once

#include <string>

#include "win32/win32.h"

class CCommKernelData;
class CRoomObj;
class CUserEnvSetting;
class CUserObj;

CCommKernelData* KernelData();
// The code page of the servers' text; the ANSI code page before there is a session.
UINT KernelCodePage();
// The local user's id, and the current room's id (0 when none).
int LocalUserId();
int CurrentRoomId();
// The local user's own privilege (no target).
bool LocalUserAllowed(short privilege);
// The user or room of that id as the managers know it; null when unknown.
CUserObj* KnownUser(int userId);
CRoomObj* KnownRoom(int roomId);
CRoomObj* CurrentRoom();
// The user's audio and video settings.
CUserEnvSetting* UserEnv();
// The program folder the kernel was given, without a trailing backslash.
std::wstring ProgramFolder();
