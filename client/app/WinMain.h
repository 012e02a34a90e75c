// The program's entry: start-up, the logon window, the lobby and the message loop,
// shutdown. The executable's main calls it; tests call it in-process.
#pragma once

#include "win32/win32.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nShowCmd);
