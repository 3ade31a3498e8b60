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
    QFont font(QStringLiteral("MS Sans Serif"), 8);
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
