// The two extra controls of this build: the gift race strip and the volume meter.
#pragma once

#include <string>
#include <vector>

#include "fenlo/UICommonControls.h"
#include "fenlo/UIManager.h"

namespace DuiLib {

// A strip that moves gift notices across (paint-manager timer 10 drives it): each runs
// in from the right and out at the left `repeat` times, then the next one; once the
// last has run its timer stops.
class CFlyGiftLabelUI : public CLabelUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    // image: picture file, shown before the texts; repeat: how many times the notice
    // runs across (at least once); texts: eight narrow texts (ANSI code page) in this
    // order.
    void AddTrackItemA(LPCSTR image, int repeat, LPCSTR giver, LPCSTR verb, LPCSTR receiver,
                       LPCSTR count, LPCSTR unit, LPCSTR giftName, LPCSTR words, LPCSTR time);
    void Clear();
    int GetTrackCount() const;
    CDuiString GetTrackText(int index) const;
    void DoEvent(TEventUI& event) override;
    void PaintText(HDC hDC) override;

private:
    struct Track {
        CDuiString image;
        int repeat = 0;
        CDuiString text;
    };
    struct Measure {
        const TImageInfo* image = nullptr;
        int pictureWidth = 0;
        SIZE text{};
        int pass = 0;  // pixels the notice moves from entering at the right to leaving
    };
    Measure MeasureTrack(const Track& t) const;

    std::vector<Track> m_tracks;
    int m_offset = 0;  // pixels the first notice moved since it first entered
};

// A level meter fed with 16-bit PCM.
class CVolumeLabelUI : public CLabelUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    // Level (0..100) from the peak of the 16-bit little-endian samples in pcm.
    void SetVolumeValue2(char* pcm, int length);
    // The level SetVolumeValue2 shows for pcm; touches no control, so any thread may ask.
    static int LevelOf(const char* pcm, int length);
    void SetVolumeValue(int value);
    int GetVolumeValue() const;
    void SetForeColor(DWORD color);
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

private:
    int m_nValue = 0;
    DWORD m_dwForeColor = 0xFF3CB371;
};

}  // namespace DuiLib
