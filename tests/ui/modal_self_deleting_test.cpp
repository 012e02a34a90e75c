// A window that deletes itself when destroyed, run modally: ShowModal still gives
// the value the window was closed with, without reading the deleted object.
#include "ui_fixture.h"

namespace {

class ModalSelfDeletingTest : public UiTest {};

CTestWnd* g_modal = nullptr;
UINT g_closeWith = 0;

void CALLBACK CloseModal(HWND, UINT, UINT_PTR, DWORD) {
    if (g_modal) g_modal->Close(g_closeWith);
}

TEST_F(ModalSelfDeletingTest, ResultSurvivesTheWindowDeletingItself) {
    for (UINT value : {1u, 2u, 7u}) {
        SCOPED_TRACE(value);
        auto* w = new CTestWnd(L"<Window size=\"120,80\"><VerticalLayout/></Window>", kMsgStandard,
                               ScClose::kClose, Lifetime::kSelfDeleting);
        w->SetOwnerSlot(&g_modal);
        g_modal = w;
        ASSERT_NE(w->Create(nullptr, L"modal", WS_POPUP, 0, 0, 0, 120, 80), nullptr);
        g_closeWith = value;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, CloseModal);
        EXPECT_EQ(w->ShowModal(), value);
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_modal, nullptr) << "the window went and cleared its slot";
    }
}

}  // namespace
