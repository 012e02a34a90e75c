// Routes the engine's pictures and sound levels to the pane that shows a user: one of
// the room's three public panes, or the user's pop-up video window.
#pragma once

#include <map>
#include <mutex>
#include <vector>

class CPubVideoContainerUI;
class CWndUserPopupVideo;

class CUserVideoWndMgr {
public:
    CUserVideoWndMgr();
    ~CUserVideoWndMgr();
    CUserVideoWndMgr(const CUserVideoWndMgr&) = delete;
    CUserVideoWndMgr& operator=(const CUserVideoWndMgr&) = delete;

    void SetPublicPanes(CPubVideoContainerUI* panes[3]);
    CPubVideoContainerUI* FindPublicPane(int id);
    int IsOnPublicPane(int id);
    void ClosePublicPaneInUse();
    int ClosePublicPaneOfUser(int id);

    // Engine threads.
    void DrawUserVideo(int id, char* data, int size, int width, int height);
    void SetUserVolume(int id, char* pcm, int length);

    void Add(int id, CWndUserPopupVideo* wnd);
    CWndUserPopupVideo* Remove(int id);
    CWndUserPopupVideo* FindWnd(int id);
    CWndUserPopupVideo* GetWnd(int id);
    int HasWnd(int id);
    int GetCount();
    void CloseAll();
    // A window's final message: forgets it when it is still the one kept for id.
    void Forget(int id, CWndUserPopupVideo* wnd);

private:
    CPubVideoContainerUI* m_pPanes[3] = {nullptr, nullptr, nullptr};
    std::map<int, CWndUserPopupVideo*> m_wnds;
    std::recursive_mutex m_lock;
};
