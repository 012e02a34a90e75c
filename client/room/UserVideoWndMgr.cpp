#include "room/UserVideoWndMgr.h"

#include "room/PubVideoContainerUI.h"
#include "room/WndUserPopupVideo.h"

CUserVideoWndMgr::CUserVideoWndMgr() = default;

CUserVideoWndMgr::~CUserVideoWndMgr() {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    for (auto& entry : m_wnds) entry.second->SetVideoWndMgr(nullptr);
}

void CUserVideoWndMgr::SetPublicPanes(CPubVideoContainerUI* panes[3]) {
    for (int i = 0; i < 3; ++i) m_pPanes[i] = panes ? panes[i] : nullptr;
}

CPubVideoContainerUI* CUserVideoWndMgr::FindPublicPane(int id) {
    for (CPubVideoContainerUI* pane : m_pPanes)
        if (pane && pane->GetUserId() == id) return pane;
    return nullptr;
}

int CUserVideoWndMgr::IsOnPublicPane(int id) {
    return FindPublicPane(id) ? 1 : 0;
}

void CUserVideoWndMgr::ClosePublicPaneInUse() {
    for (CPubVideoContainerUI* pane : m_pPanes) {
        if (pane && pane->GetUserId() > 0) {
            pane->ClosePopup();
            pane->SetVideoUser(L"", 0);
            return;
        }
    }
}

int CUserVideoWndMgr::ClosePublicPaneOfUser(int id) {
    if (CPubVideoContainerUI* pane = FindPublicPane(id)) {
        pane->ClosePopup();
        pane->SetVideoUser(L"", 0);
    }
    return 0;
}

void CUserVideoWndMgr::DrawUserVideo(int id, char* data, int size, int width, int height) {
    if (CPubVideoContainerUI* pane = FindPublicPane(id)) {
        pane->PushVideoFrame(data, size, width, height);
        return;
    }
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    auto it = m_wnds.find(id);
    if (it != m_wnds.end()) it->second->PushVideoFrame(data, size, width, height);
}

void CUserVideoWndMgr::SetUserVolume(int id, char* pcm, int length) {
    if (CPubVideoContainerUI* pane = FindPublicPane(id)) {
        pane->SetVolume(pcm, length);
        return;
    }
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    auto it = m_wnds.find(id);
    if (it != m_wnds.end()) it->second->SetVolume(pcm, length);
}

void CUserVideoWndMgr::Add(int id, CWndUserPopupVideo* wnd) {
    if (!wnd) return;
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    m_wnds[id] = wnd;
    wnd->SetVideoWndMgr(this);
}

CWndUserPopupVideo* CUserVideoWndMgr::Remove(int id) {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    auto it = m_wnds.find(id);
    if (it == m_wnds.end()) return nullptr;
    CWndUserPopupVideo* wnd = it->second;
    m_wnds.erase(it);
    wnd->SetVideoWndMgr(nullptr);
    return wnd;
}

void CUserVideoWndMgr::Forget(int id, CWndUserPopupVideo* wnd) {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    auto it = m_wnds.find(id);
    if (it != m_wnds.end() && it->second == wnd) m_wnds.erase(it);
}

CWndUserPopupVideo* CUserVideoWndMgr::FindWnd(int id) {
    auto it = m_wnds.find(id);
    return it == m_wnds.end() ? nullptr : it->second;
}

CWndUserPopupVideo* CUserVideoWndMgr::GetWnd(int id) {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return FindWnd(id);
}

int CUserVideoWndMgr::HasWnd(int id) {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return m_wnds.count(id) ? 1 : 0;
}

int CUserVideoWndMgr::GetCount() {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return static_cast<int>(m_wnds.size());
}

void CUserVideoWndMgr::CloseAll() {
    // Closed outside the lock: a closing window's final message takes it too.
    std::vector<CWndUserPopupVideo*> wnds;
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        for (auto& entry : m_wnds) {
            entry.second->SetVideoWndMgr(nullptr);
            wnds.push_back(entry.second);
        }
        m_wnds.clear();
    }
    for (CWndUserPopupVideo* wnd : wnds) wnd->Close(1);
}
