#pragma once

// Helpers for tests that drive the real windows.

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class Windows;

// Sets the application up as main() does.
void prepareApplication();

// The one visible top-level window of the tool (fails the test if not exactly one).
QWidget *visibleWindow();
QStringList visibleWindowNames();

// A child control by object name, failing loudly when it is missing.
template <class T = QWidget>
T *control(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s in %s", name, qPrintable(window->objectName()));
    return found;
}

// One message box as the user saw it.
struct Message
{
    QString text;
    QString title;
    bool plain = false; // no icon and one OK button
};

// Clicks the button with the mouse and answers, with its OK button, every
// modal message box the click opens. Returns them in order.
QList<Message> clickAndAnswer(QAbstractButton *button);
QList<Message> clickAndAnswer(QWidget *window, const char *buttonName);

// The registry's window of that class name ("Form1" to "Form6"), created if need be.
QWidget *windowNamed(Windows &windows, const QString &name);

// Another program takes the clipboard the moment the tool next writes to it.
void grabClipboardOnNextWrite();

// Opens a window from the main menu with the mouse; returns the window.
QWidget *openFromMenu(const char *menuButton);
