#include "picker_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

void NotifyRecorder::Notify(DuiLib::TNotifyUI& msg) {
    RecordedNotify r;
    r.type = static_cast<const wchar_t*>(msg.sType);
    r.sender = msg.pSender;
    r.wParam = msg.wParam;
    r.lParam = msg.lParam;
    if (r.type == L"mouseenter" && msg.lParam) {
        const int* p = reinterpret_cast<const int*>(msg.lParam);
        for (int i = 0; i < 3; ++i) r.hover[i] = p[i];
    }
    all.push_back(r);
}

std::vector<RecordedNotify> NotifyRecorder::Of(const wchar_t* type) const {
    std::vector<RecordedNotify> out;
    for (const RecordedNotify& r : all)
        if (r.type == type) out.push_back(r);
    return out;
}

bool WaitForLayout(HWND hwnd, DuiLib::CControlUI* control) {
    if (!control) return false;
    InvalidateRect(hwnd, nullptr, FALSE);
    return Pump([&] { return !IsRectEmpty(&control->GetPos()); });
}

POINT CentreOf(DuiLib::CControlUI* control) {
    RECT rc = control->GetPos();
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void MouseAt(HWND hwnd, UINT msg, POINT pt) {
    PostMessageW(hwnd, msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PumpPending();
}

void WheelAt(HWND hwnd, POINT clientPt, int delta) {
    POINT screen = clientPt;
    ClientToScreen(hwnd, &screen);
    PostMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                 MAKELPARAM(screen.x, screen.y));
    PumpPending();
}

ScratchSkin::ScratchSkin() {
    char tmpl[] = "/tmp/mivora-pickers-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    m_dir = dir ? dir : "/tmp";
    m_dir += "/";
    std::wstring wide(m_dir.begin(), m_dir.end());
    DuiLib::CPaintManagerUI::SetResourcePath(wide.c_str());
}

ScratchSkin::~ScratchSkin() {
    DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

void ScratchSkin::Write(const std::string& name, const std::string& text) {
    std::FILE* f = std::fopen((m_dir + name).c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}
