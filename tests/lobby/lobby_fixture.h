// Shared set-up of the logon and lobby tests: the kernel and the application object
// on temporary home, documents and config folders, the message boxes, outside
// pages and later windows recorded instead of shown, and small helpers.
#pragma once

#include <QColor>
#include <QImage>

#include <functional>
#include <string>
#include <vector>

#include "app/LaterWindows.h"
#include "drawn_text.h"
#include "ui_fixture.h"

class CCommKernel;
class CCommKernelData;

class LobbyTest : public UiTest {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The temporary home of this process (documents and config below it).
    static std::string Home();
    // Points logon table entries at host:port; an empty host empties the entry.
    void SetLogonServer(int index, const std::string& host, int port);

    CCommKernel* k = nullptr;
    CCommKernelData* d = nullptr;
    std::vector<std::wstring> messages;  // message-box texts, in order
    std::vector<std::wstring> browsed;   // outside browser addresses

private:
    LaterWindowHooksT savedWindows_;  // the wiring's, back after each test
};

// Runs a modal window's script once its layout is on screen; the script may pump.
// Returns what ShowModal returned.
UINT RunModalScript(DuiLib::CWindowWnd& wnd, std::function<void()> script);
// Saves a screenshot of the window to the artifact folder; returns the path.
std::string SaveShot(HWND hwnd, const char* name);
// Lays the window out (one paint) so controls have their positions.
void LayOut(HWND hwnd, DuiLib::CPaintManagerUI& pm);
// Share of the reference's ink that the screenshot shows too, on the reference's
// corner colour (0 when the reference has almost none).
double InkMatch(const QImage& shot, const QImage& ref);
// The part of a screenshot under a control.
QImage ShotOf(HWND hwnd, DuiLib::CControlUI* control);
// A key press as the program's message loop handles it: the windows' pre-message
// filters first, then the window.
void PressKey(HWND hwnd, WPARAM vk);
