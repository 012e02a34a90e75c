// The font chooser: what the person picks comes back in the caller's LOGFONT.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>

#include <cstring>

#include "ui_fixture.h"
#include "win32gui/commdlg.h"

namespace {

class FontChooserTest : public UiTest {};

CHOOSEFONTW Record(LOGFONTW& lf) {
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    cf.rgbColors = RGB(1, 2, 3);
    return cf;
}

// Answers the next modal font dialog from the loop, as a person would.
void AnswerDialog(bool accept) {
    QTimer::singleShot(50, [accept] {
        auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        // The caller's font is what the dialog starts from.
        EXPECT_EQ(dlg->currentFont().pointSize(), 9);  // 12 pixels
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSize(15);
        f.setBold(true);
        f.setUnderline(true);
        dlg->setCurrentFont(f);
        accept ? dlg->accept() : dlg->reject();
    });
}

TEST_F(FontChooserTest, ChosenFontFillsTheRecordAndCancelLeavesIt) {
    for (bool accept : {true, false}) {
        LOGFONTW lf{};
        lf.lfHeight = -12;
        lf.lfItalic = 1;
        std::wcscpy(lf.lfFaceName, L"WenQuanYi Micro Hei");
        CHOOSEFONTW cf = Record(lf);
        AnswerDialog(accept);
        BOOL ok = ChooseFontW(&cf);
        EXPECT_EQ(ok, accept ? TRUE : FALSE);
        if (accept) {
            EXPECT_EQ(lf.lfHeight, -20);  // 15 pt at 96 dpi
            EXPECT_EQ(cf.iPointSize, 150);
            EXPECT_EQ(lf.lfWeight, FW_BOLD);
            EXPECT_EQ(lf.lfUnderline, 1);
            EXPECT_EQ(lf.lfItalic, 0);
            EXPECT_EQ(std::wstring(lf.lfFaceName), L"DejaVu Sans");
        } else {
            EXPECT_EQ(lf.lfHeight, -12);
            EXPECT_EQ(lf.lfItalic, 1);
        }
        EXPECT_EQ(cf.rgbColors, RGB(1, 2, 3));  // the colour was not touched
    }
}

// The chooser speaks the program's language, and its colour button sits with the
// other effects, readable, with nothing under the dialog's own buttons.
TEST_F(FontChooserTest, SpeaksChineseAndKeepsTheColourWithTheEffects) {
    QString title;
    QStringList buttons;
    QString colourText;
    bool colourInEffects = false;
    int belowButtons = 0;
    QTimer::singleShot(50, [&] {
        auto* dlg = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        title = dlg->windowTitle();
        auto* box = dlg->findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons()) buttons << b->text().remove(QLatin1Char('&'));
        const int buttonsBottom = box->mapTo(dlg, QPoint(0, box->height())).y();
        for (QPushButton* b : dlg->findChildren<QPushButton*>()) {
            if (b->text() != QStringLiteral("颜色...")) continue;
            colourText = b->text();
            auto* group = qobject_cast<QGroupBox*>(b->parentWidget());
            colourInEffects = group && !group->findChildren<QCheckBox*>().isEmpty();
        }
        for (QWidget* w : dlg->findChildren<QWidget*>())
            if (w->isVisible() && w->mapTo(dlg, QPoint(0, 0)).y() >= buttonsBottom) ++belowButtons;
        dlg->reject();
    });
    LOGFONTW lf{};
    lf.lfHeight = -16;
    CHOOSEFONTW cf = Record(lf);
    EXPECT_FALSE(ChooseFontW(&cf));
    EXPECT_EQ(title, QStringLiteral("选择字体"));
    EXPECT_TRUE(buttons.contains(QStringLiteral("确定"))) << buttons.join(u',').toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("取消"))) << buttons.join(u',').toStdString();
    EXPECT_EQ(colourText, QStringLiteral("颜色..."));
    EXPECT_TRUE(colourInEffects);
    EXPECT_EQ(belowButtons, 0) << "a widget under the dialog's buttons";
}

TEST_F(FontChooserTest, HookAnswersAndUnusableRecordsAreRefused) {
    static CHOOSEFONTW seen;
    winplat::SetChooseFontHook([](LPCHOOSEFONTW cf) -> BOOL {
        seen = *cf;
        cf->rgbColors = RGB(255, 0, 0);
        return TRUE;
    });
    LOGFONTW lf{};
    CHOOSEFONTW cf = Record(lf);
    EXPECT_TRUE(ChooseFontW(&cf));
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS));
    EXPECT_EQ(cf.rgbColors, RGB(255, 0, 0));
    cf.lpLogFont = nullptr;
    EXPECT_FALSE(ChooseFontW(&cf));
    winplat::SetChooseFontHook(nullptr);
    CHOOSEFONTW small = Record(lf);
    small.lStructSize = 4;
    EXPECT_FALSE(ChooseFontW(&small));
}

}  // namespace
