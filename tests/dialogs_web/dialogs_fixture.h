// Set-up of the dialog tests: the kernel with its session state, a configuration whose
// page addresses point at the tests' HTTP server, a logged-on local user, a stand-in
// lobby window in the kernel's window table, and the lobby stand-in server.
#pragma once

#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "ServerSet.h"
#include "http_test_server.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"

struct PostedMsg {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// Stands where the lobby window will be: records what the dialogs post to it.
class CFakeLobby : public DuiLib::CWindowWnd {
public:
    std::vector<PostedMsg> posted;

protected:
    LPCTSTR GetWindowClassName() const override { return L"UIFakeLobby"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg >= WM_USER) posted.push_back({uMsg, wParam, lParam});
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

class DialogTest : public UiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The lobby stand-in (lobby-server table entry 0) and the page server.
    testsupport::ServerSet servers;
    testsupport::HttpTestServer http;
    CCommKernelData* data = nullptr;
    CFakeLobby lobby;
    // A scratch folder for files the tests write.
    std::wstring dir;
};

// The window as a person sees it now.
QImage Shot(HWND hwnd, const char* saveAs = nullptr);
// Share of the reference's pixels that the screenshot shows at `x`,`y` (per channel
// within 48), counting only non-white reference pixels.
double PictureMatch(const QImage& shot, int x, int y, const QImage& ref);
// Waits until the window's root has been laid out.
bool WaitLaidOut(CSkinWnd& wnd);
// The text of the message box on screen (closing it with OK), or empty after a bounded
// wait when none came; runs while a modal box blocks the caller.
void ExpectMessageBoxWhile(const std::function<void()>& action, const std::wstring& text);
std::string Ansi(const std::wstring& text);
// Runs `wnd` modally; `action` runs once it is on screen and laid out (and should end
// it). Returns the modal result.
UINT RunModalWith(CSkinWnd& wnd, std::function<void()> action);
