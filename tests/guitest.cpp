#include "guitest.h"

#include "application.h"
#include "form1.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "form6.h"
#include "windows.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <memory>

void prepareApplication() { setUpApplication(*qApp); }

QStringList visibleWindowNames()
{
    QStringList names;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names << w->objectName();
    return names;
}

QWidget *visibleWindow()
{
    QWidget *found = nullptr;
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            found = w;
            ++count;
        }
    if (count != 1)
        qFatal("%d windows visible: %s", count, qPrintable(visibleWindowNames().join(' ')));
    return found;
}

QList<Message> clickAndAnswer(QAbstractButton *button)
{
    QList<Message> seen;
    QTimer answer;
    answer.setInterval(0);
    QObject::connect(&answer, &QTimer::timeout, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const bool plain =
            box->icon() == QMessageBox::NoIcon
            && box->standardButtons() == QMessageBox::StandardButtons(QMessageBox::Ok);
        seen.append({box->text(), box->windowTitle(), plain});
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    answer.start();
    QTest::mouseClick(button, Qt::LeftButton);
    answer.stop();
    return seen;
}

QList<Message> clickAndAnswer(QWidget *window, const char *buttonName)
{
    return clickAndAnswer(control<QAbstractButton>(window, buttonName));
}

void grabClipboardOnNextWrite()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto grab = std::make_shared<QMetaObject::Connection>();
    *grab = QObject::connect(clipboard, &QClipboard::dataChanged, [grab, clipboard] {
        QObject::disconnect(*grab);
        clipboard->setText(QStringLiteral("someone else"));
    });
}

QWidget *openFromMenu(const char *menuButton)
{
    QWidget *menu = visibleWindow();
    if (menu->objectName() != QLatin1String("Form2"))
        qFatal("the menu is not the visible window");
    QTest::mouseClick(control<QAbstractButton>(menu, menuButton), Qt::LeftButton);
    return visibleWindow();
}

QWidget *windowNamed(Windows &windows, const QString &name)
{
    if (name == QLatin1String("Form1"))
        return &windows.objects();
    if (name == QLatin1String("Form2"))
        return &windows.menu();
    if (name == QLatin1String("Form3"))
        return &windows.about();
    if (name == QLatin1String("Form4"))
        return &windows.trigger();
    if (name == QLatin1String("Form5"))
        return &windows.models();
    return &windows.contact();
}
