// The program's composition: what each floor asks of a floor above it, installed once.
#pragma once

// Puts the lobby behind app/LobbyLink.h, the logon and lobby windows behind
// app/EntryWindows.h, the dialogs behind app/LaterWindows.h and the room window behind
// the lobby's room factory. The program calls it before anything else; a test that
// drives the real windows calls it too.
void InstallProgramWiring();
