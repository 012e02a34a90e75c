// A room stand-in for the video tests: a window holding three public panes, answering
// the panes' messages the way the room window does, and frames of known colours.
#pragma once

#include <QImage>

#include <map>
#include <string>
#include <vector>

#include "room/PubVideoContainerUI.h"
#include "room/UserVideoWndMgr.h"
#include "ui_fixture.h"

// A 32-bit bottom-up frame: top half `top`, bottom half `bottom` (0xRRGGBB).
std::vector<char> TwoColourFrame(int width, int height, uint32_t top, uint32_t bottom);
// Mean of the pixels of rect in img (0xRRGGBB per channel).
QColor MeanColour(const QImage& img, const QRect& rect);
QRect RectOf(const RECT& rc);
void SaveArtifact(const QImage& img, const char* name);

class VideoRoomTest : public UiTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The room double's picture as a person would see it.
    QImage Grab();
    // Frames until the pane's picture shows them (bounded).
    bool PushUntilShown(int userId, const std::vector<char>& frame, int w, int h,
                        const std::function<bool()>& shown);

    static constexpr int kLocalUserId = 1001;
    std::unique_ptr<CTestWnd> room;
    CPubVideoContainerUI* panes[3] = {nullptr, nullptr, nullptr};
    CUserVideoWndMgr mgr;
    HDRAWDIB dib = nullptr;
    // What reached the room: message -> (wParam, lParam) in order.
    std::vector<std::pair<UINT, std::pair<WPARAM, LPARAM>>> received;
};
