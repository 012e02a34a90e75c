// A joined room with privileges from the logon's list, and the helpers the dialog
// tests share: controls by name, clicks, typed text, the frames sent.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "fenlo/UIlib.h"
#include "kernel/KernelDefs.h"
#include "room_fixture.h"
#include "lobby_fixture.h"
#include "ui_fixture.h"

namespace roomtest {

// Level components of the final level (user level in bits 16-23).
constexpr int kLevel5 = 5 << 16;

// Little-endian words, the start of most expected payloads.
inline Bytes Le(std::initializer_list<int32_t> words) {
    Bytes b;
    for (int32_t w : words)
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(w) >> (8 * i)));
    return b;
}

class AdminTest : public RoomTest {
protected:
    // One-party privileges of the given ids for a level-5 user (the local user).
    void Grant(std::vector<int> ids) {
        std::vector<answers::Privilege> list{{77, 1, 1, 0}};  // the list is never empty
        for (int id : ids)
            list.push_back(answers::Privilege{static_cast<uint8_t>(id), 1, kLevel5, 0});
        GrantFromLogon(list);
    }
    static DuiLib::CControlUI* Control(CSkinWnd* w, const wchar_t* name) {
        return w ? w->GetPaintManager().FindControl(name) : nullptr;
    }
    static std::wstring TextOf(CSkinWnd* w, const wchar_t* name) {
        DuiLib::CControlUI* c = Control(w, name);
        return c ? std::wstring(c->GetText().GetData()) : L"<missing>";
    }
    static void Type(CSkinWnd* w, const wchar_t* name, const std::wstring& text) {
        DuiLib::CControlUI* c = Control(w, name);
        ASSERT_NE(c, nullptr);
        c->SetText(text.c_str());
    }
    static void Tick(CSkinWnd* w, const wchar_t* name, bool on) {
        DuiLib::CControlUI* c = Control(w, name);
        ASSERT_NE(c, nullptr);
        static_cast<DuiLib::COptionUI*>(c->GetInterface(L"Option"))->Selected(on, false);
    }
    static void Click(CSkinWnd* w, const wchar_t* name) {
        DuiLib::CControlUI* c = Control(w, name);
        ASSERT_NE(c, nullptr);
        DuiLib::TNotifyUI msg;
        msg.sType = DUI_MSGTYPE_CLICK;
        msg.pSender = c;
        w->Notify(msg);
        PumpPending();
    }
    // The room frames sent by now.
    std::vector<SentFrame> Sent() {
        EXPECT_TRUE(kerneltest::SettleSent(servers.room(), SERVER_TYPE_ROOM));
        return TakeSent();
    }
    // Hint lines written since the last call.
    std::wstring NewHints() {
        const std::wstring all = PrivateText();
        const std::wstring fresh = all.size() > hintsSeen ? all.substr(hintsSeen) : std::wstring();
        hintsSeen = all.size();
        return fresh;
    }
    size_t hintsSeen = 0;
};

inline bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

}  // namespace roomtest
