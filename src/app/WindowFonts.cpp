#include "WindowFonts.h"

#include "platform/Fonts.h"
#include "ui_TMainForm.h"

#include <QApplication>
#include <QFontDatabase>
#include <algorithm>

namespace vexa {

namespace {

// The page fonts are Windows fonts; elsewhere the next family that exists
// is used, and the style hint picks one when none does.
QFont PixelFont(const QStringList& families, int pixels, QFont::StyleHint hint)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

QFont DisplayFont(int pixels)
{
    return PixelFont({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                      QApplication::font().family()},
                     pixels, QFont::SansSerif);
}

QFont DialogFont(int pixels)
{
    return PixelFont(
        {ResolveFamily(QStringLiteral("MS Sans Serif")), QApplication::font().family()}, pixels,
        QFont::SansSerif);
}

QFont TypewriterFont(int pixels)
{
    QFont font = PixelFont({ResolveFamily(QStringLiteral("Courier New")),
                            QFontDatabase::systemFont(QFontDatabase::FixedFont).family()},
                           pixels, QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace

void SetWindowFonts(Ui::TMainForm& ui, const QWidget& window)
{
    ui.InfoText->setFont(TypewriterFont(15));
    // The plot's first texts are drawn in the window's face, which the
    // plot's layout was made for.
    QFont plotFont = ui.PlotBox->font();
    plotFont.setFamilies({ResolveFamily(QStringLiteral("MS Sans Serif"))});
    plotFont.setStyleHint(QFont::SansSerif);
    ui.PlotBox->setFont(plotFont);

    ui.AboutAppName->setFont(DisplayFont(37));
    ui.AboutSubtitle->setFont(DisplayFont(24));
    for (QWidget* w : {ui.AboutMaker, ui.AboutVersion, ui.VersionInfo, ui.Label4, ui.BuildInfo})
        w->setFont(DisplayFont(19));
    for (QWidget* w : {ui.Label14, ui.AboutEmail, ui.Label15, ui.AboutWebSite})
        w->setFont(DialogFont(16));

    // The two label columns of the About page line up although their fonts differ.
    int labelWidth = 0;
    for (QWidget* w : {ui.AboutVersion, ui.Label4, ui.Label14, ui.Label15})
        labelWidth = std::max(labelWidth, w->sizeHint().width());
    for (QGridLayout* grid : {ui.Panel4Layout, ui.Panel2Layout})
        grid->setColumnMinimumWidth(0, labelWidth);

    QFont digits = window.font();
    digits.setBold(true);
    digits.setPixelSize(18);
    for (QWidget* w : {ui.HourPanel, ui.MinutePanel, ui.SecondPanel, ui.mSecPanel})
        w->setFont(digits);
}

} // namespace vexa
