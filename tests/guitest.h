#pragma once

// Helpers for tests that drive the real windows.

#include "application.h"
#include "windows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <memory>

// Sets the application up as main() does.
inline void prepareApplication() { setUpApplication(*qApp); }

// The one visible window of the tool; the test stops at once if there is not exactly one.
inline QWidget *visibleWindow()
{
    QWidgetList shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            shown << w;
    if (shown.size() != 1)
        qFatal("%d windows visible", int(shown.size()));
    return shown.first();
}

// A child control by object name, failing loudly when it is missing.
template <class T = QWidget>
T *control(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    return found;
}

// The edit box of a field; for the model combo box, its line edit.
inline QLineEdit *field(QWidget *window, const char *name)
{
    if (auto *combo = window->findChild<QComboBox *>(QString::fromLatin1(name)))
        return combo->lineEdit();
    return control<QLineEdit>(window, name);
}

// Replaces a field's text by typing it, one key event a character.
inline void type(QWidget *window, const char *name, const QString &text)
{
    QLineEdit *edit = field(window, name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (char32_t c : text.toUcs4()) // keyClicks() knows only ASCII keys
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUcs4(&c, 1), {});
}

// Clicks the named button with the mouse and answers every modal message box
// the click opens with its OK button. Returns their texts in order; a box that
// is not plain (one OK button, no icon, the tool's title) reads "not plain: ".
inline QStringList clickAndAnswer(QWidget *window, const char *buttonName)
{
    QStringList seen;
    QTimer answer;
    answer.setInterval(0);
    answer.callOnTimeout([&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const bool plain = box->icon() == QMessageBox::NoIcon && box->windowTitle() == "Spawnsmith"
                           && box->standardButtons() == QMessageBox::Ok;
        seen << (plain ? QString() : QStringLiteral("not plain: ")) + box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    answer.start();
    QTest::mouseClick(control<QAbstractButton>(window, buttonName), Qt::LeftButton);
    return seen;
}

// Opens a window from the main menu with the mouse; returns the window.
inline QWidget *openFromMenu(const char *menuButton)
{
    QWidget *menu = visibleWindow();
    if (menu->objectName() != QLatin1String("Form2"))
        qFatal("the menu is not the visible window");
    QTest::mouseClick(control<QAbstractButton>(menu, menuButton), Qt::LeftButton);
    return visibleWindow();
}

inline void clickClose(QWidget *window) // the window's own "Close" button
{
    QTest::mouseClick(control<QAbstractButton>(window, "Command1"), Qt::LeftButton);
}

// Another program keeps the tool's next clipboard write from landing until the
// returned guard is dropped, and leaves "someone else" on the clipboard. With
// X11 (and offscreen) it takes the clipboard the moment the tool writes to it.
// Windows tells of a clipboard change only later, and there a write fails
// while another program holds the clipboard open, so a helper program does that.
[[nodiscard]] inline std::unique_ptr<QObject> takeClipboard()
{
#ifdef Q_OS_WIN
    auto holder = std::make_unique<QProcess>(); // ends, letting go, when dropped
    holder->start(QCoreApplication::applicationDirPath() + "/win_helper.exe",
                  {"hold", "someone else"});
    if (!holder->waitForReadyRead(30000)) // it says "held"
        qFatal("the clipboard holder did not start: %s", qPrintable(holder->errorString()));
    return holder;
#else
    auto taker = std::make_unique<QObject>();
    QClipboard *clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, taker.get(), [clipboard, &t = *taker] {
        QObject::disconnect(clipboard, nullptr, &t, nullptr);
        clipboard->setText(QStringLiteral("someone else"));
    });
    return taker;
#endif
}

inline QByteArray clipboardBytes() { return QGuiApplication::clipboard()->text().toUtf8(); }

// Each test function starts with a fresh set of windows, the menu shown, and
// "before" on the clipboard.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<Windows> m_windows;

protected slots:
    void initTestCase() { prepareApplication(); }
    void init()
    {
        m_windows = std::make_unique<Windows>();
        m_windows->start();
        QGuiApplication::clipboard()->setText("before");
    }
    void cleanup() { m_windows.reset(); }
};
