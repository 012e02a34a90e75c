#include "fenlo/UIExtra.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/gdi.h"
#include "win32gui/qt_bridge.h"

namespace DuiLib {

using namespace detail;

LPCTSTR CFlyGiftLabelUI::GetClass() const {
    return L"FlyGiftLabelUI";
}
LPVOID CFlyGiftLabelUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"FlyGiftLabel") == 0) return static_cast<CFlyGiftLabelUI*>(this);
    return CLabelUI::GetInterface(n);
}

void CFlyGiftLabelUI::AddTrackItemA(LPCSTR image, int repeat, LPCSTR giver, LPCSTR verb,
                                    LPCSTR receiver, LPCSTR count, LPCSTR unit, LPCSTR giftName,
                                    LPCSTR words, LPCSTR time) {
    Track t;
    t.image = image ? winplat::AnsiToWide(image).c_str() : L"";
    t.repeat = std::max(1, repeat);
    std::wstring text;
    for (LPCSTR s : {giver, verb, receiver, count, unit, giftName, words, time})
        if (s) text += winplat::AnsiToWide(s);
    t.text = text.c_str();
    m_tracks.push_back(t);
    m_offset = 0;
    Invalidate();
}

void CFlyGiftLabelUI::Clear() {
    m_tracks.clear();
    m_offset = 0;
    Invalidate();
}

int CFlyGiftLabelUI::GetTrackCount() const {
    return static_cast<int>(m_tracks.size());
}
CDuiString CFlyGiftLabelUI::GetTrackText(int i) const {
    return i >= 0 && i < GetTrackCount() ? m_tracks[static_cast<size_t>(i)].text : CDuiString();
}

CFlyGiftLabelUI::Measure CFlyGiftLabelUI::MeasureTrack(const Track& t) const {
    Measure m;
    m.image = m_pManager ? m_pManager->GetImageEx(t.image) : nullptr;
    m.pictureWidth = m.image ? std::min(m.image->nX, GetHeight()) : 0;
    m.text = CRenderEngine::GetTextSize(nullptr, m_pManager, t.text, m_iFont, 0);
    m.pass = GetWidth() + (m.image ? m.pictureWidth + 2 : 0) + m.text.cx;
    return m;
}

void CFlyGiftLabelUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER) {
        // Each tick moves the strip a few pixels to the left. A notice that has run
        // across as often as asked gives way to the next; an empty strip shows nothing
        // and its timer stops (whoever adds a gift starts it).
        if (!m_tracks.empty()) {
            m_offset += 3;
            const Track& t = m_tracks.front();
            const int64_t run = int64_t{MeasureTrack(t).pass} * t.repeat;
            if (m_offset >= run) {
                m_tracks.erase(m_tracks.begin());
                m_offset = 0;
            }
            Invalidate();
        }
        if (m_tracks.empty() && m_pManager)
            m_pManager->KillTimer(this, static_cast<UINT>(event.wParam));
        return;
    }
    CLabelUI::DoEvent(event);
}

void CFlyGiftLabelUI::PaintText(HDC hDC) {
    if (m_tracks.empty()) return;
    const Track& t = m_tracks.front();
    const Measure m = MeasureTrack(t);
    int x = m_rcItem.right - (m.pass > 0 ? m_offset % m.pass : 0);
    // The line runs in and out of the strip's place; what lies beyond it is not drawn.
    QPainter* painter = winplat::PainterOf(hDC);
    if (painter) {
        painter->save();
        painter->setClipRect(QRect(m_rcPaint.left, m_rcPaint.top, m_rcPaint.right - m_rcPaint.left,
                                   m_rcPaint.bottom - m_rcPaint.top),
                             Qt::IntersectClip);
    }
    if (m.image) {
        RECT r{x, m_rcItem.top, x + m.pictureWidth, m_rcItem.top + m.pictureWidth};
        CRenderEngine::DrawImage(hDC, m.image, r, m_rcPaint, RECT{0, 0, m.image->nX, m.image->nY},
                                 RECT{0, 0, 0, 0}, true);
        x += m.pictureWidth + 2;
    }
    RECT rc{x, m_rcItem.top, x + m.text.cx + 4, m_rcItem.bottom};
    CRenderEngine::DrawText(hDC, m_pManager, rc, t.text, m_dwTextColor ? m_dwTextColor : 0xFFE0338A,
                            m_iFont, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (painter) painter->restore();
}

LPCTSTR CVolumeLabelUI::GetClass() const {
    return L"VolumeLabelUI";
}
LPVOID CVolumeLabelUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"VolumeLabel") == 0) return static_cast<CVolumeLabelUI*>(this);
    return CLabelUI::GetInterface(n);
}

void CVolumeLabelUI::SetVolumeValue2(char* pcm, int length) {
    SetVolumeValue(LevelOf(pcm, length));
}

int CVolumeLabelUI::LevelOf(const char* pcm, int length) {
    if (!pcm || length < 2) return 0;
    int peak = 0;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(pcm);
    for (int i = 0; i + 1 < length; i += 2) {
        int v = static_cast<int16_t>(static_cast<uint16_t>(b[i] | (b[i + 1] << 8)));
        peak = std::max(peak, std::abs(v));
    }
    return peak * 100 / 32768;
}

void CVolumeLabelUI::SetVolumeValue(int v) {
    v = std::clamp(v, 0, 100);
    if (v == m_nValue) return;
    m_nValue = v;
    Invalidate();
}
int CVolumeLabelUI::GetVolumeValue() const {
    return m_nValue;
}
void CVolumeLabelUI::SetForeColor(DWORD c) {
    m_dwForeColor = c;
    Invalidate();
}
void CVolumeLabelUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    if (n && wcscmp(n, L"forecolor") == 0)
        SetForeColor(ParseColor(v));
    else
        CLabelUI::SetAttribute(n, v);
}
void CVolumeLabelUI::PaintStatusImage(HDC hDC) {
    RECT rc = m_rcItem;
    rc.right = rc.left + (rc.right - rc.left) * m_nValue / 100;
    if (rc.right > rc.left) CRenderEngine::DrawColor(hDC, rc, m_dwForeColor);
}

}  // namespace DuiLib
