// What the paint manager's sources share: its state (CPaintManagerUI::Impl) and the
// per-thread list of managers the pre-message filters walk.
#pragma once

#include <QImage>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fenlo/UIManager.h"

namespace DuiLib {
namespace manager_detail {

// Notifications sent with bAsync travel through the window's queue under this id.
inline constexpr UINT kAsyncNotifyMsg = 0xBF00;

struct TimerInfo {
    CControlUI* control;
    UINT localId;
    UINT_PTR winId;
};

struct ImageEntry {
    TImageInfo info;
    std::unique_ptr<QImage> image;
};

// The paint managers of the thread's windows, for the pre-message filters.
inline thread_local std::vector<CPaintManagerUI*> t_managers;
inline void Unregister(CPaintManagerUI* pm) {
    t_managers.erase(std::remove(t_managers.begin(), t_managers.end(), pm), t_managers.end());
}
// The window timer that shows a control's tooltip after the pointer rests on it.
inline constexpr UINT_PTR kTooltipTimer = UITIMER_ID_FIRST - 1;

}  // namespace manager_detail

struct CPaintManagerUI::Impl {
    HWND hwnd = nullptr;
    HDC paintDC = nullptr;
    CControlUI* root = nullptr;
    CControlUI* focus = nullptr;
    CControlUI* hover = nullptr;
    CControlUI* click = nullptr;
    CControlUI* key = nullptr;
    bool captured = false;
    bool firstLayout = true;
    bool updateNeeded = true;
    RECT laidOutClient{0, 0, 0, 0};  // the client area of the last layout
    bool showUpdateRect = false;
    POINT mouse{-1, -1};
    SIZE initSize{0, 0};
    SIZE minInfo{0, 0};
    SIZE maxInfo{0, 0};
    SIZE roundCorner{0, 0};
    RECT sizeBox{0, 0, 0, 0};
    RECT caption{0, 0, 0, 0};
    int opacity = 255;
    bool bkTrans = false;
    std::vector<INotifyUI*> notifiers;
    std::vector<IMessageFilterUI*> preFilters;
    std::vector<IMessageFilterUI*> filters;
    std::vector<CControlUI*> postPaint;
    std::vector<CControlUI*> delayedCleanup;
    std::vector<TNotifyUI> asyncNotify;
    std::vector<manager_detail::TimerInfo> timers;
    UINT_PTR nextTimerId = UITIMER_ID_FIRST;
    std::map<std::wstring, std::vector<CControlUI*>> optionGroups;
    std::vector<TFontInfo> fonts;
    TFontInfo defaultFont;
    std::map<std::wstring, manager_detail::ImageEntry> images;
    std::map<std::wstring, std::wstring> defaultAttributes;
    DWORD disabledColor = 0xFFA7A6AA;
    DWORD fontColor = 0xFF000000;
    DWORD linkColor = 0xFF0000FF;
    DWORD linkHoverColor = 0xFFD3215F;
    DWORD selectedBkColor = 0xFFBAE4FF;
};

}  // namespace DuiLib
