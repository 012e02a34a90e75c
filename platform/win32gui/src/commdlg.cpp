// The font chooser on Qt's own (not the desktop's) QFontDialog, with a colour button
// added to its effects when they are asked for; it waits in the layer's loop like the
// message box.
#include <QColorDialog>
#include <QFontDialog>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cstring>

#include "host_widget.h"
#include "win32gui/commdlg.h"
#include "win32gui/user.h"

namespace {

BOOL (*g_fontHook)(LPCHOOSEFONTW) = nullptr;

constexpr double kDpi = 96.0;

QColor FromColorRef(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The button keeps its own look and readable text; a swatch beside the text shows
// the colour.
void ShowColour(QPushButton* button, const QColor& c) {
    QPixmap swatch(16, 16);
    swatch.fill(c);
    QPainter p(&swatch);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(0, 0, 15, 15);
    p.end();
    button->setIcon(QIcon(swatch));
}

// The dialog's effects group (the one holding the strike-out and underline boxes).
QGroupBox* EffectsGroup(QFontDialog& dlg) {
    for (QGroupBox* box : dlg.findChildren<QGroupBox*>())
        if (!box->findChildren<QCheckBox*>().isEmpty()) return box;
    return nullptr;
}

QFont FromLogFont(const LOGFONTW& lf) {
    QFont f(QString::fromWCharArray(lf.lfFaceName,
                                    static_cast<int>(wcsnlen(lf.lfFaceName, LF_FACESIZE))));
    const LONG px = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    if (px > 0) f.setPointSizeF(px * 72.0 / kDpi);
    f.setBold(lf.lfWeight >= 600);
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    return f;
}

}  // namespace

namespace winplat {
void SetChooseFontHook(BOOL (*hook)(LPCHOOSEFONTW)) {
    g_fontHook = hook;
}
}  // namespace winplat

BOOL ChooseFontW(LPCHOOSEFONTW cf) {
    if (!cf || cf->lStructSize != sizeof(CHOOSEFONTW) || !cf->lpLogFont) return FALSE;
    if (g_fontHook) return g_fontHook(cf);
    winplat::InstallGui();
    LOGFONTW& lf = *cf->lpLogFont;
    QFontDialog dlg;
    dlg.setOption(QFontDialog::DontUseNativeDialog);
    if (cf->Flags & CF_INITTOLOGFONTSTRUCT) dlg.setCurrentFont(FromLogFont(lf));
    QColor colour = FromColorRef(cf->rgbColors);
    if (cf->Flags & CF_EFFECTS) {
        auto* grid = qobject_cast<QGridLayout*>(dlg.layout());
        auto* button = new QPushButton(QStringLiteral("颜色..."), &dlg);
        ShowColour(button, colour);
        QObject::connect(button, &QPushButton::clicked, [&dlg, button, &colour] {
            QColor c = QColorDialog::getColor(colour, &dlg);
            if (!c.isValid()) return;
            colour = c;
            ShowColour(button, c);
        });
        QGroupBox* effects = EffectsGroup(dlg);
        if (effects && effects->layout())
            effects->layout()->addWidget(button);
        else if (grid)
            grid->addWidget(button, grid->rowCount(), 0, 1, -1);
        else if (dlg.layout())
            dlg.layout()->addWidget(button);
    }
    winplat::HostWidget* ow = cf->hwndOwner ? winplat::FindHostWidget(cf->hwndOwner) : nullptr;
    if (ow) {
        dlg.winId();
        if (dlg.windowHandle() && ow->windowHandle())
            dlg.windowHandle()->setTransientParent(ow->windowHandle());
    }
    const HWND owner = cf->hwndOwner;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    bool done = false;
    QObject::connect(&dlg, &QDialog::finished, [&done] {
        done = true;
        PostMessageW(nullptr, WM_NULL, 0, 0);
    });
    dlg.setModal(true);
    dlg.open();
    winplat::RunLoopUntil(done);
    if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (dlg.result() != QDialog::Accepted) return FALSE;

    const QFont f = dlg.selectedFont();
    double pt = f.pointSizeF() > 0 ? f.pointSizeF() : f.pixelSize() * 72.0 / kDpi;
    if (cf->Flags & CF_LIMITSIZE) pt = std::clamp(pt, double(cf->nSizeMin), double(cf->nSizeMax));
    std::wstring face = f.family().toStdWString();
    face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::memcpy(lf.lfFaceName, face.data(), face.size() * sizeof(wchar_t));
    lf.lfHeight = -static_cast<LONG>(std::lround(pt * kDpi / 72.0));
    lf.lfWidth = 0;
    lf.lfWeight = f.bold() ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic() ? 1 : 0;
    lf.lfUnderline = f.underline() ? 1 : 0;
    lf.lfStrikeOut = f.strikeOut() ? 1 : 0;
    cf->iPointSize = static_cast<INT>(std::lround(pt * 10));
    cf->nFontType = SCREEN_FONTTYPE;
    if (cf->Flags & CF_EFFECTS) cf->rgbColors = RGB(colour.red(), colour.green(), colour.blue());
    return TRUE;
}
