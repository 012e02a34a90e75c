// Whether text is drawn where it should be: a label's text rendered alone, and how much
// of that reference's ink a screenshot of the same place shows.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdlib>

#include "fenlo/UIlib.h"
#include "win32gui/qt_bridge.h"

// Ink is a pixel of `ref` 20 grey levels or more off `background`; the screenshot shows
// it when its pixel there is within 48 in each channel (outside the screenshot it does
// not). The share of ink shown; 0 when the reference has fewer than `minInk` ink pixels.
inline double InkMatch(const QImage& shot, const QImage& ref, QRgb background, int minInk = 20) {
    int ink = 0, same = 0;
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb r = ref.pixel(x, y);
            if (std::abs(qGray(r) - qGray(background)) < 20) continue;
            ++ink;
            if (x >= shot.width() || y >= shot.height()) continue;
            const QRgb s = shot.pixel(x, y);
            if (std::abs(qRed(r) - qRed(s)) < 48 && std::abs(qGreen(r) - qGreen(s)) < 48 &&
                std::abs(qBlue(r) - qBlue(s)) < 48)
                ++same;
        }
    return ink < minInk ? 0.0 : static_cast<double>(same) / ink;
}

// What a label draws for `text` (markup when `html`), inside its text padding, on
// `background`, in the label's own rectangle.
inline QImage RenderLabel(DuiLib::CPaintManagerUI& pm, DuiLib::CLabelUI* label, const wchar_t* text,
                          bool html, QColor background) {
    const RECT rc = label->GetPos();
    QImage ref(rc.right - rc.left, rc.bottom - rc.top, QImage::Format_ARGB32);
    ref.fill(background);
    QPainter p(&ref);
    HDC dc = winplat::CreatePainterDC(&p);
    p.translate(-rc.left, -rc.top);
    const RECT pad = label->GetTextPadding();
    RECT t{rc.left + pad.left, rc.top + pad.top, rc.right - pad.right, rc.bottom - pad.bottom};
    if (html) {
        int links = 0;
        DuiLib::CRenderEngine::DrawHtmlText(dc, &pm, t, text, label->GetTextColor(), nullptr,
                                            nullptr, links, label->GetTextStyle());
    } else {
        DuiLib::CRenderEngine::DrawText(dc, &pm, t, text, label->GetTextColor(), label->GetFont(),
                                        label->GetTextStyle());
    }
    winplat::DeletePainterDC(dc);
    p.end();
    return ref;
}
