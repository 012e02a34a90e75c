#include "lobby_fixture.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "app/ClientApp.h"
#include "app/TrustedGates.h"
#include "kernel/CommKernel.h"
#include "lobby/LobbyPrompts.h"
#include "session/CommKernelData.h"
#include "win32gui/qt_bridge.h"

namespace {

// Before anything reads them: the folders of this process live in a temporary home.
const std::string g_home = [] {
    std::string home = QDir::tempPath().toStdString() + "/mivora-lobby-" + std::to_string(getpid());
    QDir().mkpath(QString::fromStdString(home + "/Documents"));
    QDir().mkpath(QString::fromStdString(home + "/.config"));
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    return home;
}();

UINT_PTR g_scriptTimer = 0;
HWND g_scriptWnd = nullptr;
std::function<void()> g_script;

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_scriptWnd || !IsWindow(g_scriptWnd)) return;
    KillTimer(nullptr, id);
    g_scriptTimer = 0;
    auto script = std::move(g_script);
    g_script = nullptr;
    if (script) script();
}

}  // namespace

std::string LobbyTest::Home() {
    return g_home;
}

void LobbyTest::SetUpTestSuite() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!kernel->m_pData || !kernel->m_pData->m_pRoomManager) {
        kernel->init(nullptr);
        kernel->m_pData->init();
    }
    if (!theApp.m_pKernel) theApp.Init();
}

void LobbyTest::SetUp() {
    UiTest::SetUp();
    k = CCommKernel::GetInstance();
    d = k->m_pData;
    messages.clear();
    browsed.clear();
    SetLobbyMessageHook([this](HWND, const std::wstring& text) { messages.push_back(text); });
    SetOutsideBrowserHook([this](const std::wstring& url) { browsed.push_back(url); });
    savedWindows_ = LaterWindowHooks();
    for (int i = 0; i < kServerTableSize; ++i) SetLogonServer(i, "", 0);
    // The configured lobby server is the stand-ins' host, as a session's table holds it.
    std::memset(d->m_pLobbySvrTable, 0, sizeof(tag_ServerAddr) * kServerTableSize);
    std::strcpy(d->m_pLobbySvrTable[0].szHost, "127.0.0.1");
    ForgetLearntGates();
}

void LobbyTest::TearDown() {
    for (int t = 1; t <= 3; ++t) {
        k->DisconnectServer(static_cast<_eServerType>(t));
        k->SetNotifyWnd(static_cast<_eServerType>(t), nullptr);
    }
    SetLobbyMessageHook(nullptr);
    SetOutsideBrowserHook(nullptr);
    LaterWindowHooks() = savedWindows_;
    UiTest::TearDown();
}

void LobbyTest::SetLogonServer(int index, const std::string& host, int port) {
    tag_ServerAddr& e = d->m_pLogonSvrTable[index];
    std::memset(&e, 0, sizeof(e));
    std::strncpy(e.szHost, host.c_str(), sizeof(e.szHost) - 1);
    e.wPort = static_cast<uint16_t>(port);
}

UINT RunModalScript(DuiLib::CWindowWnd& wnd, std::function<void()> script) {
    g_scriptWnd = wnd.GetHWND();
    g_script = std::move(script);
    g_scriptTimer = SetTimer(nullptr, 0, 10, RunScript);
    UINT r = wnd.ShowModal();
    if (g_scriptTimer) KillTimer(nullptr, g_scriptTimer);
    g_scriptTimer = 0;
    g_scriptWnd = nullptr;
    g_script = nullptr;
    return r;
}

void LayOut(HWND hwnd, DuiLib::CPaintManagerUI& pm) {
    InvalidateRect(hwnd, nullptr, FALSE);
    Pump([&] { return pm.GetRoot() && !IsRectEmpty(&pm.GetRoot()->GetPos()); });
}

std::string SaveShot(HWND hwnd, const char* name) {
    QWidget* w = winplat::WidgetOf(hwnd);
    if (!w) return std::string();
    QDir().mkpath(MIVORA_ARTIFACT_DIR);
    std::string path = std::string(MIVORA_ARTIFACT_DIR) + name + ".png";
    w->grab().toImage().save(QString::fromStdString(path));
    return path;
}

double InkMatch(const QImage& shot, const QImage& ref) {
    return InkMatch(shot, ref, ref.pixel(0, 0));
}

QImage ShotOf(HWND hwnd, DuiLib::CControlUI* control) {
    QWidget* w = winplat::WidgetOf(hwnd);
    if (!w || !control) return QImage();
    RECT rc = control->GetPos();
    return w->grab(QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top)).toImage();
}

void PressKey(HWND hwnd, WPARAM vk) {
    MSG msg = {};
    msg.hwnd = hwnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    if (!DuiLib::CPaintManagerUI::TranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
