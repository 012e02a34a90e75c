// The one pane of a pop-up video window ("popuppubvideownd.xml"), built at construction.
#pragma once

#include "room/VideoContainerBase.h"

class CPopPubVideoContainerUI : public CVideoContainerBase {
public:
    CPopPubVideoContainerUI();
    ~CPopPubVideoContainerUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    // IPubVideoUIBase
    void ShowToolbar(bool show) override;
    void PushVideoFrame(char* data, int size, int width, int height) override;

    void SetVideoUser(LPCTSTR caption, int id);
    void SetUserLevelImage(LPCTSTR image);
    void ShowVideo(bool show);

    void DoEvent(DuiLib::TEventUI& event) override;
    void SetPos(RECT rc) override;
};
