#include "notify_fixture.h"

#include <cstring>
#include <mutex>

#include "app/EntryWindows.h"
#include "catalogs/GiftManager.h"
#include "catalogs/UserLevelInfoManager.h"
#include "controls/CtrlListFriend.h"
#include "facade/Strevo.h"
#include "kernel/CommKernel.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "room/PubVideoContainerUI.h"
#include "room/UserVideoWndMgr.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32/debug.h"

using namespace DuiLib;

namespace roomtest {

namespace {

std::mutex traceLock;
std::vector<std::string> traceLines;

void CaptureTrace(const char* text) {
    if (!text || !std::strstr(text, "tag_room:")) return;
    std::lock_guard<std::mutex> lock(traceLock);
    traceLines.emplace_back(text);
}

}  // namespace

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

void NotifyTest::SetUp() {
    RoomTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenLobby());
    d->m_pUserLevelInfoManager->ClearAll();
    d->m_pGiftManager->ClearAll();
    d->m_GlobalConfig.giftthankpricelimit = 1000;
    TakeTrace();
    winplat::SetDebugOutputHook(CaptureTrace);
}

void NotifyTest::TearDown() {
    winplat::SetDebugOutputHook(nullptr);
    CloseLobby();
    d->m_pUserLevelInfoManager->ClearAll();
    d->m_pGiftManager->ClearAll();
    winplat::RemoveManualClock();
    RoomTest::TearDown();
}

void NotifyTest::Join(int kind, const std::vector<answers::UserEntry>& members, bool endList) {
    ASSERT_NO_FATAL_FAILURE(JoinByLobby(kind));
    ASSERT_TRUE(kerneltest::Pump([&] { return GetRegisteredRoomWindow() != nullptr; }));
    room = GetRegisteredRoomWindow();
    PumpPending();
    std::vector<answers::UserEntry> all{Member(kMe, "me")};
    all.insert(all.end(), members.begin(), members.end());
    std::vector<Bytes> frames{answers::UserListAnswer(all)};
    if (endList) frames.push_back(answers::UserListEndAnswer());
    Play(frames);
    sentSeen = servers.room().ReceivedCount();
}

void NotifyTest::Play(const std::vector<Bytes>& frames) {
    // The marker: the local user's picture number counts the batches; the alias answer
    // is relayed like the rest and changes nothing a test reads.
    ++marker;
    std::vector<Bytes> burst = frames;
    burst.push_back(answers::UserAliasAnswer(kRoom, kMe, 1000 + marker, "me"));
    servers.room().SendBurst(burst);
    ASSERT_TRUE(kerneltest::Pump([&] {
        CRoomObj* r = d->m_pRoomManager->FindRoom(kRoom);
        CUserObj* me = r ? r->FindUser(kMe) : nullptr;
        return me && me->faceId == 1000 + marker;
    })) << "the batch never arrived";
    PumpPending();
}

static CWebBrowserUI* View(CWndRoom* room, const wchar_t* name) {
    if (!room) return nullptr;
    return static_cast<CWebBrowserUI*>(room->GetPaintManager().FindControl(name));
}

std::wstring NotifyTest::Text(const wchar_t* view) {
    CWebBrowserUI* web = View(room, view);
    return web ? std::wstring(web->GetDocumentText().GetData()) : std::wstring();
}

std::wstring NotifyTest::Html(const wchar_t* view) {
    CWebBrowserUI* web = View(room, view);
    return web ? std::wstring(web->GetDocumentHtml().GetData()) : std::wstring();
}

void NotifyTest::ClearViews() {
    for (const wchar_t* name : {L"privtextout", L"pubtextout", L"labazone"})
        if (CWebBrowserUI* web = View(room, name)) web->Clear();
}

std::wstring NotifyTest::Caption(const wchar_t* name) {
    CControlUI* c = room->GetPaintManager().FindControl(name);
    return c ? std::wstring(c->GetText().GetData()) : L"?";
}

std::vector<int> NotifyTest::Rows(CCtrlListFriend* list) {
    std::vector<int> ids;
    if (!list) return ids;
    for (int i = 0; i < list->GetCount(); ++i)
        ids.push_back(list->GetRowUserId(list->GetItemAt(i)));
    return ids;
}

CUserObj* NotifyTest::User(int id) {
    return d->m_pUserManager->FindUser(id);
}

void NotifyTest::AddLevel(int kind, int level, bool show, int flash, const std::wstring& title) {
    auto* desc = new tag_UserLevelDescInfo{};
    desc->kind = static_cast<int16_t>(kind);
    desc->level = static_cast<int16_t>(level);
    desc->showFlag = show ? 1 : 0;
    desc->flashId = flash;
    desc->title = title;
    auto& slot = d->m_pUserLevelInfoManager->levels[CUserLevelInfoManager::Key(kind, level)];
    delete slot;
    slot = desc;
}

void NotifyTest::AddGift(int id, const std::wstring& name, int price, int flash) {
    auto* item = new tag_GiftItemInfo{};
    item->giftId = id;
    item->giftName = name;
    item->price = price;
    item->flashId = flash;
    auto& slot = d->m_pGiftManager->gifts[id];
    delete slot;
    slot = item;
}

std::vector<std::string> NotifyTest::TakeTrace() {
    std::lock_guard<std::mutex> lock(traceLock);
    std::vector<std::string> out;
    out.swap(traceLines);
    return out;
}

std::wstring NotifyTest::PaneTitle(int pane) {
    CPubVideoContainerUI* video = room ? room->PublicPane(pane) : nullptr;
    CControlUI* label = video ? video->FindSubControl(L"micstate") : nullptr;
    return label ? std::wstring(label->GetText().GetData()) : L"?";
}

bool NotifyTest::Subscribed(int id) {
    RAVO::CStrevo* engine = room ? room->m_pStrevo : nullptr;
    return engine && engine->m_pVideoManager && engine->m_pAudioManager &&
           engine->m_pVideoManager->find_stream(id) && engine->m_pAudioManager->find_stream(id);
}

bool NotifyTest::HasWindow(int id) {
    return room && room->m_pUserVideoWndMgr && room->m_pUserVideoWndMgr->HasWnd(id);
}

}  // namespace roomtest
