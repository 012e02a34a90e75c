#include "dialogs_fixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>

#include "catalogs/FaceManager.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/WndFinder.h"
#include "lobby/WndLobby.h"
#include "dialogs/WndMsgBox.h"
#include "globalconf/GlobalConfCodec.h"
#include "kernel/CommKernel.h"
#include "model/UserObj.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {
std::unique_ptr<QTemporaryDir> g_dir;

std::wstring* g_boxText = nullptr;

CSkinWnd* g_modal = nullptr;
std::function<void()> g_modalAction;

void CALLBACK ActWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_modal || !IsWindow(g_modal->GetHWND())) return;
    CControlUI* root = g_modal->GetPaintManager().GetRoot();
    if (!root || IsRectEmpty(&root->GetPos())) {
        InvalidateRect(g_modal->GetHWND(), nullptr, FALSE);
        return;
    }
    KillTimer(nullptr, id);
    auto action = std::move(g_modalAction);
    g_modalAction = nullptr;
    if (action) action();
}

void CALLBACK CloseBoxWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"UIMsgBox", nullptr);
    if (!box) return;
    auto* wnd = dynamic_cast<CWndMsgBox*>(
        reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(box, GWLP_USERDATA)));
    if (!wnd) return;
    KillTimer(nullptr, id);
    CControlUI* tip = wnd->GetPaintManager().FindControl(L"tip");
    if (g_boxText && tip) *g_boxText = tip->GetText().GetData();
    wnd->Close(IDOK);
}
}  // namespace

void DialogTest::SetUp() {
    UiTest::SetUp();
    CCommKernel* k = CCommKernel::GetInstance();
    if (!k->m_pData || !k->m_pData->m_pUserManager) {
        k->init(nullptr);
        k->m_pData->init();
    }
    data = k->m_pData;
    if (!g_dir) g_dir = std::make_unique<QTemporaryDir>();
    dir = QDir(g_dir->path()).absolutePath().toStdWString() + L"/";

    std::string plain;
    auto key = [&](const char* name, const std::string& path) {
        plain += std::string(name) + "=" + http.url(path) + "\r\n";
    };
    key("myacc_url", "/acc");
    key("iconhelp_url", "/help");
    key("getpaid_url", "/paid");
    key("find_url", "/find");
    key("userreg_url", "/reg");
    key("welltip_url", "/well");
    plain += "lobbysvr=" + servers.Address(testsupport::ServerSet::kLobby) + "\r\n";
    std::wstring conf = dir + L"globalconf.ini";
    ASSERT_TRUE(globalconf::WriteFile(conf, plain));
    ASSERT_EQ(data->LoadGlobalConf(&conf[0]), 1);

    data->m_pFaceManager->ClearAll();
    std::string faces = std::string(MIVORA_SKIN_DIR_NARROW) + "../userface.dat";
    ASSERT_EQ(data->m_pFaceManager->LoadBaseFaceConfig(&faces[0]), 0);

    CUserObj* me = data->GetLocalUser();
    me->userId = 7;
    me->faceId = 3;
    me->sex = 1;
    me->levels[0] = 3;
    me->alias = "nick";
    me->password = "secret";
    me->forbidCarryToMic = false;
    data->m_nCurRoomId = 55;
    data->m_UserEnv.Reset();

    ASSERT_TRUE(lobby.Create(nullptr, L"lobby", WS_POPUP, 0, 0, 0, 10, 10));
    k->m_pWndTable[1] = static_cast<CWindowWnd*>(&lobby);
}

void DialogTest::TearDown() {
    CCommKernel* k = CCommKernel::GetInstance();
    k->m_pWndTable[1] = nullptr;
    for (const PostedMsg& m : lobby.posted)
        if (m.msg == UM_FINDER_JOIN_ROOM) delete reinterpret_cast<tagJoinRoomPost*>(m.lParam);
    lobby.posted.clear();
    if (IsWindow(lobby.GetHWND())) DestroyWindow(lobby.GetHWND());
    k->DisconnectServer(SERVER_TYPE_LOBBY);
    UiTest::TearDown();
}

QImage Shot(HWND hwnd, const char* saveAs) {
    QImage img = winplat::GrabWindowImage(hwnd);
    if (saveAs) img.save(QString(MIVORA_ARTIFACT_DIR) + saveAs);
    return img;
}

double PictureMatch(const QImage& shot, int x, int y, const QImage& ref) {
    int ink = 0, same = 0;
    for (int j = 0; j < ref.height(); ++j)
        for (int i = 0; i < ref.width(); ++i) {
            QRgb r = ref.pixel(i, j);
            if (qAlpha(r) < 200 || qGray(r) > 235) continue;
            ++ink;
            if (x + i >= shot.width() || y + j >= shot.height()) continue;
            QRgb s = shot.pixel(x + i, y + j);
            if (std::abs(qRed(r) - qRed(s)) < 48 && std::abs(qGreen(r) - qGreen(s)) < 48 &&
                std::abs(qBlue(r) - qBlue(s)) < 48)
                ++same;
        }
    return ink == 0 ? 0.0 : static_cast<double>(same) / ink;
}

bool WaitLaidOut(CSkinWnd& wnd) {
    return Pump([&] {
        CControlUI* root = wnd.GetPaintManager().GetRoot();
        if (root && !IsRectEmpty(&root->GetPos())) return true;
        InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
        return false;
    });
}

void ExpectMessageBoxWhile(const std::function<void()>& action, const std::wstring& text) {
    std::wstring seen;
    g_boxText = &seen;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, CloseBoxWhenShown);
    action();
    // A box that never came leaves the timer waiting: one more short look.
    PumpPending();
    KillTimer(nullptr, timer);
    g_boxText = nullptr;
    EXPECT_EQ(seen, text);
}

std::string Ansi(const std::wstring& text) {
    return winplat::WideToAnsi(text);
}

UINT RunModalWith(CSkinWnd& wnd, std::function<void()> action) {
    g_modal = &wnd;
    g_modalAction = std::move(action);
    UINT_PTR timer = SetTimer(nullptr, 0, 10, ActWhenShown);
    UINT result = wnd.ShowModal();
    KillTimer(nullptr, timer);
    g_modal = nullptr;
    g_modalAction = nullptr;
    return result;
}
