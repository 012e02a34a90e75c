// The skin reader on arbitrary layouts: the layout builder with the program's own
// control factory, the tree attached to a paint manager, laid out and painted
// offscreen, then built a second time from the kept layout, as item templates are.
//
// Input: the layout text (UTF-8).
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdint>
#include <string>

#include "FuzzGui.h"
#include "controls/DialogBuilderCallbackEx.h"
#include "fenlo/UIlib.h"
#include "win32gui/qt_bridge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzGuiOnce();
    if (size > 65536) return 0;
    std::wstring layout =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size))
            .toStdWString();
    // Text that does not start with '<' names a file: the input is always the text.
    if (layout.empty() || layout[0] != L'<') layout.insert(0, L"<");
    CDialogBuilderCallbackEx callback;
    DuiLib::CPaintManagerUI pm;
    DuiLib::CDialogBuilder builder;
    DuiLib::CControlUI* root = builder.Create(layout.c_str(), nullptr, &callback, &pm);
    if (!root) return 0;
    if (!pm.AttachDialog(root)) {
        delete root;
        return 0;
    }
    QImage image(320, 240, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        HDC dc = winplat::CreatePainterDC(&painter);
        const RECT all{0, 0, 320, 240};
        root->SetPos(all);
        root->DoPaint(dc, all);
        winplat::DeletePainterDC(dc);
    }
    if (DuiLib::CControlUI* again = builder.Create(&callback, &pm)) delete again;
    return 0;
}
