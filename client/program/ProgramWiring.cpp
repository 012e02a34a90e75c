#include "program/ProgramWiring.h"

#include "app/EntryWindows.h"
#include "app/LaterWindows.h"
#include "app/LobbyLink.h"
#include "dialogs/WndFinder.h"
#include "dialogs/WndGame.h"
#include "dialogs/WndUserRegister.h"
#include "dialogs/WndUserSetting.h"
#include "lobby/LobbyEntryWindows.h"
#include "lobby/LobbyWindowLink.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/SkinChooserOpen.h"
#include "room/WndRoom.h"

void InstallProgramWiring() {
    SetLobbyLink(LobbyWindowLink());
    SetEntryWindows(LobbyEntryWindows());
    LaterWindowHooks() =
        LaterWindowHooksT{RunUserRegisterWindowImpl, OpenUserSettingWindowImpl,
                          OpenSkinChooserWindowImpl, RunFinderWindowImpl, OpenGameWindowImpl};
    SetRoomWindowFactory(CreateRoomWindowObject);
}
