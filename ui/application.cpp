#include "application.h"

#include "feedback.h"

#include <QApplication>
#include <QFont>

void setUpApplication(QApplication &app)
{
    // No display name: X11 would append it to every window title.
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // The run ends only through the menu; hiding the menu is not the end.
    QApplication::setQuitOnLastWindowClosed(false);

    // The fixed layouts were drawn for an 8-point sans serif; Qt's default on
    // Linux is larger and would clip captions, so pick a font that fits.
#ifdef Q_OS_WIN
    // Tahoma is on every Windows since XP and scales with the display (MS Sans
    // Serif is a bitmap font there). At 8 points it is wider than the layouts'
    // 8-point MS Sans Serif ("Origin" takes 32 pixels of its 27); at 7.5 points,
    // with glyph widths as designed rather than widened to whole pixels, every
    // caption fits its box, at 100 % as at 150 %.
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(7.5);
    font.setHintingPreference(QFont::PreferVerticalHinting);
#else
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPixelSize(11);
#endif
    // Skip text shaping where the script allows it: a megabyte-long value
    // otherwise takes the script box seconds to lay out.
    font.setStyleStrategy(QFont::PreferNoShaping);
    app.setFont(font);
}
