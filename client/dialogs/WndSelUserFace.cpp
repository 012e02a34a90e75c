#include "dialogs/WndSelUserFace.h"

#include <cwchar>

#include "catalogs/FaceManager.h"
#include "controls/FaceListUI.h"
#include "controls/KernelData.h"
#include "app/SkinFrame.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndSelUserFace", L"WndSelUserFace.xml", kMsgStandard,
                               ScClose::kClose,   Lifetime::kModal,      false};
}  // namespace

const SkinWndTraits& CWndSelUserFace::Traits() const {
    return kTraits;
}

void CWndSelUserFace::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    m_pBigFace = Find(L"bigface");
    m_pSmallFace = Find(L"smallface");
    if (CControlUI* c = Find(L"faceswitch"))
        m_pFaceSwitch = static_cast<CContainerUI*>(c->GetInterface(L"Container"));
    m_pOkBtn = Find(L"btn_ok");
    m_pCancelBtn = Find(L"btn_cancel");
    CCommKernelData* data = KernelData();
    CFaceManager* faces = data ? data->m_pFaceManager : nullptr;
    for (int group = 1; group <= 3; ++group) {
        m_pLists[group - 1] =
            dynamic_cast<CFaceListUI*>(Find(winplat::FormatText(L"facelst_%d", group).c_str()));
        m_pGroupBtns[group - 1] = Find(winplat::FormatText(L"facegroup_%d", group).c_str());
        tag_FaceGroupInfo* info = faces ? faces->FindFaceGroupItem(group) : nullptr;
        if (!info || !m_pLists[group - 1]) continue;
        for (int id : info->faces) m_pLists[group - 1]->AddFace(id);
    }
    ShowGroup(1);
}

void CWndSelUserFace::SetFace(int faceId) {
    m_nFaceId = faceId;
    if (m_pSmallFace)
        m_pSmallFace->SetBkImage(winplat::FormatText(L"Face\\36\\%d.png", faceId).c_str());
    if (m_pBigFace)
        m_pBigFace->SetBkImage(winplat::FormatText(L"Face\\80\\%d.png", faceId).c_str());
}

void CWndSelUserFace::ShowGroup(int group) {
    if (group < 1 || group > 3) return;
    for (int i = 0; i < 3; ++i)
        if (m_pLists[i]) m_pLists[i]->SetVisible(i == group - 1);
    CControlUI* button = m_pGroupBtns[group - 1];
    if (m_pFaceSwitch && button) m_pFaceSwitch->BringTop(button);
    if (auto* option = button ? static_cast<COptionUI*>(button->GetInterface(L"Option")) : nullptr)
        if (!option->IsSelected()) option->Selected(true, false);
}

void CWndSelUserFace::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    if (sender == m_pCloseBtn) {
        Close(2);
    } else if (sender == m_pOkBtn) {
        Close(1);
    } else if (sender == m_pCancelBtn) {
        Close(2);
    } else {
        for (int i = 0; i < 3; ++i)
            if (sender == m_pGroupBtns[i]) {
                ShowGroup(i + 1);
                return;
            }
        auto tag = static_cast<INT_PTR>(sender->GetTag());
        if (tag > 0) SetFace(static_cast<int>(tag));
    }
}
