// The UI library's own small markup (<b>, <i image n m>, <c #RRGGBB>, <a>, <x n> and
// the brace forms) on arbitrary text: measured without a device, then drawn offscreen
// with a link table of a given size, which may not be overrun.
//
// Input: the style byte, the rectangle's width and height, the link table's size,
// then the text (UTF-8).
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzGui.h"
#include "FuzzInput.h"
#include "fenlo/UIlib.h"
#include "win32gui/qt_bridge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzGuiOnce();
    static const UINT kStyles[] = {0,
                                   DT_SINGLELINE,
                                   DT_SINGLELINE | DT_VCENTER,
                                   DT_WORDBREAK,
                                   DT_CENTER,
                                   DT_RIGHT | DT_SINGLELINE,
                                   DT_END_ELLIPSIS,
                                   DT_WORDBREAK | DT_CENTER};
    fuzzing::FuzzInput in(data, size);
    const UINT style = kStyles[in.U8() % 8];
    const int width = 1 + in.U8() * 2, height = 1 + in.U8();
    const int capacity = in.U8() % 9;
    const std::vector<uint8_t> rest = in.Bytes(8192);
    const std::wstring text =
        QString::fromUtf8(reinterpret_cast<const char*>(rest.data()), static_cast<int>(rest.size()))
            .toStdWString();
    DuiLib::CPaintManagerUI pm;

    RECT measured{0, 0, width, height};
    int none = 0;
    DuiLib::CRenderEngine::DrawHtmlText(nullptr, &pm, measured, text.c_str(), 0xFF000000, nullptr,
                                        nullptr, none, style | DT_CALCRECT);

    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    HDC dc = winplat::CreatePainterDC(&painter);
    RECT rc{0, 0, width, height};
    // Exactly `capacity` entries each, so that a write past them is seen.
    std::vector<RECT> links(static_cast<size_t>(capacity));
    std::vector<DuiLib::CDuiString> targets(static_cast<size_t>(capacity));
    int n = capacity;
    DuiLib::CRenderEngine::DrawHtmlText(dc, &pm, rc, text.c_str(), 0xFF102030,
                                        capacity ? links.data() : nullptr,
                                        capacity ? targets.data() : nullptr, n, style);
    winplat::DeletePainterDC(dc);
    if (n < 0 || n > capacity) {
        std::fprintf(stderr, "markup fuzz: %d links reported for a table of %d\n", n, capacity);
        std::abort();
    }
    return 0;
}
