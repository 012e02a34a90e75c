#include "dialogs/WebFrame.h"

#include <cwctype>

#include "config/GLobalConfigFile.h"
#include "controls/KernelData.h"
#include "app/SkinFrame.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

CWebBrowserUI* OpenWebFrame(CSkinWnd& wnd, const wchar_t* browserName,
                            CWebBrowserEventHandler* handler, const std::wstring& address) {
    ApplySkinFrame(wnd.GetPaintManager().FindControl(L"winBG"));
    auto* web = dynamic_cast<CWebBrowserUI*>(wnd.GetPaintManager().FindControl(browserName));
    if (!web) return nullptr;
    if (handler) web->SetWebBrowserEventHandler(handler);
    web->Navigate2(address.c_str());
    return web;
}

const CGLobalConfigFile& GlobalConfig() {
    static const CGLobalConfigFile empty;
    CCommKernelData* data = KernelData();
    return data ? data->m_GlobalConfig : empty;
}

bool StartsWithNoCase(const std::wstring& url, const wchar_t* prefix) {
    size_t n = std::wcslen(prefix);
    if (url.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::towlower(url[i]) != std::towlower(prefix[i])) return false;
    return true;
}
