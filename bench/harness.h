#pragma once

// What the benchmark needs to drive the real windows: controls by name, the
// worked-example fields, a wait for a window's first paint, and the answer to
// a message box.

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

class QAbstractButton;
class QPlainTextEdit;

// Stops the run: a figure measured on a broken path would be worthless.
[[noreturn]] void fail(const QString &why);

// A child control by object name; stops the run when it is missing.
template <class T = QWidget>
T *control(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        fail(QStringLiteral("no control %1 in %2").arg(name, window->objectName()));
    return found;
}

// The worked examples: the fields as the user fills them, and the exact bytes
// one "Add to script" then puts on the clipboard.
extern const QByteArray kBikeBlock;
extern const QByteArray kDoorBlock;
void fillBike(QWidget *objects);
void fillDoor(QWidget *trigger);

// Empties the script box, then inserts the text at the end through one
// QTextCursor, as "Add to script" does: each CR LF becomes one paragraph break.
void prefill(QPlainTextEdit &output, const QByteArray &text);

// Runs the event loop until the named window's first paint is finished.
class FirstPaint final : public QObject
{
public:
    FirstPaint(const QString &windowName, const QElapsedTimer &clock);
    ~FirstPaint() override;

    // Clock reading once the paint is done, in nanoseconds; stops the run on timeout.
    qint64 wait();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_windowName;
    const QElapsedTimer &m_clock;
    QEventLoop m_loop;
    bool m_painting = false;
    qint64 m_paintedAt = -1;
};

// Clicks the button and returns once it has done its work and the screen is repainted.
qint64 timedClick(QAbstractButton *button);

// Clicks a button that opens one message box; answers it with its OK button.
// Returns the nanoseconds from the press to the box being up, and its text.
struct Answered
{
    qint64 shownAfter = -1;
    QString text;
};
Answered clickAndAnswer(QAbstractButton *button);

// While one lives, any message box stops the run: an Add that shows one added nothing.
class NoMessageBoxes final
{
public:
    NoMessageBoxes();

private:
    QTimer m_guard;
};

double medianMs(QList<qint64> nanoseconds);

// VmHWM from /proc/self/status, in KiB: the peak resident set so far.
qint64 peakResidentKiB();
