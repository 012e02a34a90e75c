// The treasure-box game: the local user opens one of nine boxes for a coin prize.
// A modeless window of the room, created once.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CWndBaoxiangOpen : public CSkinWnd {
public:
    static constexpr int kBoxes = 9;
    static constexpr int kPrizes = 18;
    static constexpr UINT_PTR kTimerResult = 601;
    static constexpr UINT_PTR kTimerReset = 602;
    static constexpr UINT_PTR kTimerShuffle = 603;
    static constexpr UINT_PTR kTimerTip = 604;

    CWndBaoxiangOpen();
    const SkinWndTraits& Traits() const override;

    // Box index 0..8, prize index 0..17 or -1 (a prize of the server's choice).
    void ShowResult(int box, int prize, int freeOpens);
    void OnOpenFailed(int ignored, int freeOpens);
    // An answer whose box or prize index is out of range: shown as a failed open.
    void RefuseResult(int box, int prize, int freeOpens);
    static bool IsValidResult(int box, int prize);
    // The image text of a prize picture and its value in coins (index 0..17).
    static std::wstring PrizePicture(int prize);
    static int PrizeValue(int prize);

    void OpenBox(int box);
    bool IsReady() const { return m_bReady; }
    int GetLastPrizeValue() const { return m_nPrizeValue; }

protected:
    void InitWindow() override;
    void OnPrepare() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    void Reset();
    void ShowFreeOpens();
    void Shuffle();
    // Box 0..8 shows its prize picture, 20 all nine, -1 none.
    void ShowPrizePictures(int which);
    void Highlight(int box);

    DuiLib::CControlUI* m_pInstructions = nullptr;
    DuiLib::CControlUI* m_pResult = nullptr;
    DuiLib::CControlUI* m_pErrTip = nullptr;
    DuiLib::CControlUI* m_pFreeOpens = nullptr;
    DuiLib::CControlUI* m_pBox[kBoxes] = {};
    DuiLib::CControlUI* m_pHighlight[kBoxes] = {};
    DuiLib::CControlUI* m_pPrize[kBoxes] = {};
    bool m_bReady = true;
    DWORD m_lastShuffleTick = 0;
    int m_nLastHighlight = -1;
    int m_nPrizeValue = 0;
    int m_nFreeOpens = 0;
};
