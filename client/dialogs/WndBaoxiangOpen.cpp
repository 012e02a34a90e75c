#include "dialogs/WndBaoxiangOpen.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "kernel/CommKernel.h"
#include "util/LogPrint.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {
    "CWndBaoxiangOpen",
    L"WndBaoxiangOpen.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};

const int kPrizeValues[CWndBaoxiangOpen::kPrizes] = {100,   200,   300,   400,   500,    6000,
                                                     7000,  8000,  9000,  10000, 20000,  30000,
                                                     40000, 50000, 60000, 70000, 100000, 200000};

constexpr int kAllBoxes = 20;
constexpr DWORD kShuffleStepMs = 499;

}  // namespace

CWndBaoxiangOpen::CWndBaoxiangOpen() = default;

const SkinWndTraits& CWndBaoxiangOpen::Traits() const {
    return kTraits;
}

bool CWndBaoxiangOpen::IsValidResult(int box, int prize) {
    return box >= 0 && box < kBoxes && prize >= -1 && prize < kPrizes;
}

std::wstring CWndBaoxiangOpen::PrizePicture(int prize) {
    if (prize < 0 || prize >= kPrizes) return std::wstring();
    const int x1 = 129 + 62 * (prize % 5);
    const int y1 = 62 * (prize / 5);
    return winplat::FormatText(L"file='bk_baoxiangres.png' source='%d,%d,%d,%d'", x1, y1, x1 + 62,
                               y1 + 62);
}

int CWndBaoxiangOpen::PrizeValue(int prize) {
    return prize >= 0 && prize < kPrizes ? kPrizeValues[prize] : 0;
}

void CWndBaoxiangOpen::InitWindow() {
    CSkinWnd::InitWindow();
    ::SetWindowTextW(m_hWnd, L"开宝箱游戏");
    m_pInstructions = Find(L"paneshouming");
    m_pResult = Find(L"jieguo2");
    m_pErrTip = Find(L"errtip");
    m_pFreeOpens = Find(L"userbxnum");
    for (int n = 0; n < kBoxes; ++n) {
        m_pBox[n] = Find((L"bx_" + std::to_wstring(n + 1)).c_str());
        m_pHighlight[n] = Find((L"bk_" + std::to_wstring(n + 1)).c_str());
        m_pPrize[n] = Find((L"jj_" + std::to_wstring(n + 1)).c_str());
    }
}

void CWndBaoxiangOpen::OnPrepare() {
    Reset();
}

void CWndBaoxiangOpen::ShowFreeOpens() {
    if (!m_pFreeOpens) return;
    if (m_nFreeOpens <= 0) {
        m_pFreeOpens->SetText(L"开宝箱需要花费1万金币/次(每天赠送5次机会)");
        return;
    }
    m_pFreeOpens->SetText(
        winplat::FormatText(L"你今日还可以免费开%d次(每天赠送5次机会)", m_nFreeOpens).c_str());
}

void CWndBaoxiangOpen::Highlight(int box) {
    for (int n = 0; n < kBoxes; ++n)
        if (m_pHighlight[n]) m_pHighlight[n]->SetVisible(n == box);
}

void CWndBaoxiangOpen::ShowPrizePictures(int which) {
    for (int n = 0; n < kBoxes; ++n)
        if (m_pPrize[n]) m_pPrize[n]->SetVisible(which == kAllBoxes || which == n);
}

void CWndBaoxiangOpen::Reset() {
    ShowFreeOpens();
    for (CControlUI* box : m_pBox) {
        if (!box) continue;
        box->SetEnabled(true);
        box->SetVisible(true);
    }
    Highlight(-1);
    ShowPrizePictures(-1);
    ::SetTimer(m_hWnd, kTimerShuffle, 60, nullptr);
    if (m_pResult) m_pResult->SetText(L"试试手气，选择一个宝箱点击开始吧，每个都有奖励哦！");
}

void CWndBaoxiangOpen::OpenBox(int box) {
    if (!m_bReady || box < 0 || box >= kBoxes) return;
    if (m_pResult) {
        m_pResult->SetText(L"");
        m_pResult->SetText(L"你已经点击宝箱，请等待服务器响应...");
    }
    m_bReady = false;
    CCommKernel::GetInstance()->SendMsg_OpenChestReq(box);
}

void CWndBaoxiangOpen::Shuffle() {
    Highlight(-1);
    const DWORD now = ::GetTickCount();
    if (now - m_lastShuffleTick <= kShuffleStepMs) return;
    int pick = std::rand() % kBoxes;
    if (pick == m_nLastHighlight) pick = (pick + 1) % kBoxes;
    Highlight(pick);
    m_nLastHighlight = pick;
    m_lastShuffleTick = now;
}

void CWndBaoxiangOpen::ShowResult(int box, int prize, int freeOpens) {
    if (!IsValidResult(box, prize)) {
        RefuseResult(box, prize, freeOpens);
        return;
    }
    m_bReady = true;
    m_nFreeOpens = freeOpens;
    ShowFreeOpens();
    ::KillTimer(m_hWnd, kTimerShuffle);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (prize < 0) prize = std::rand() % 3;
    for (int n = 0; n < kBoxes; ++n) {
        if (!m_pPrize[n]) continue;
        const int shown = n == box ? prize : std::rand() % kPrizes;
        m_pPrize[n]->SetBkImage(PrizePicture(shown).c_str());
    }
    m_nPrizeValue = PrizeValue(prize);
    if (m_pResult) {
        m_pResult->SetText(
            winplat::FormatText(L">>你获得 %d金币 奖励，继续努力哦。", m_nPrizeValue).c_str());
    }
    for (int n = 0; n < kBoxes; ++n) {
        if (!m_pBox[n]) continue;
        m_pBox[n]->SetEnabled(false);
        m_pBox[n]->SetVisible(n != box);
    }
    Highlight(box);
    ShowPrizePictures(box);
    ::SetTimer(m_hWnd, kTimerResult, 2000, nullptr);
}

void CWndBaoxiangOpen::RefuseResult(int box, int prize, int freeOpens) {
    __log_print__("tag_room: treasure-box answer refused, box %d prize %d\n", box, prize);
    OnOpenFailed(0, freeOpens);
}

void CWndBaoxiangOpen::OnOpenFailed(int, int freeOpens) {
    m_bReady = true;
    m_nFreeOpens = freeOpens;
    ShowFreeOpens();
    if (m_pErrTip) m_pErrTip->SetVisible(true);
    ::SetTimer(m_hWnd, kTimerTip, 1000, nullptr);
}

void CWndBaoxiangOpen::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const std::wstring name = msg.pSender->GetName().GetData();
    if (name == L"btnclose") {
        Close(1);
    } else if (name == L"btnopensm") {
        if (m_pInstructions) m_pInstructions->SetVisible(true);
    } else if (name == L"btnclosesm") {
        if (m_pInstructions) m_pInstructions->SetVisible(false);
    } else {
        for (int n = 0; n < kBoxes; ++n)
            if (msg.pSender == m_pBox[n]) OpenBox(n);
    }
}

LRESULT CWndBaoxiangOpen::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    if (uMsg == WM_DESTROY) {
        for (UINT_PTR id : {kTimerResult, kTimerReset, kTimerShuffle, kTimerTip})
            ::KillTimer(m_hWnd, id);
        return 0;
    }
    if (uMsg != WM_TIMER) return 0;
    switch (wParam) {
        case kTimerResult:
            ::KillTimer(m_hWnd, kTimerResult);
            ShowPrizePictures(kAllBoxes);
            ::SetTimer(m_hWnd, kTimerReset, 2000, nullptr);
            break;
        case kTimerReset:
            ::KillTimer(m_hWnd, kTimerReset);
            Reset();
            break;
        case kTimerShuffle:
            Shuffle();
            break;
        case kTimerTip:
            ::KillTimer(m_hWnd, kTimerTip);
            if (m_pErrTip) m_pErrTip->SetVisible(false);
            break;
        default:
            return 0;
    }
    bHandled = TRUE;
    return 0;
}
