#pragma once

// The script box read as the game reads it, whenever its text changes
// (Add, typing, paste, undo, Clear Script): the line where the game would stop
// turns light red across the box, resting the mouse on it tells why, and the
// box's accessible description reads "Line N: why". Nothing is marked while
// the script loads, and the text itself is never touched.
//
// The reading runs in a thread of its own, a moment after the last change, so
// that typing into a large script never waits for it; a reading overtaken by a
// newer change is dropped. It reads its own copy of the text, which this
// thread keeps up to date by handing on each change as a small edit.

#include "textmirror.h"

#include <QObject>
#include <QString>
#include <QTextCursor>
#include <QThread>
#include <QTimer>

class QPlainTextEdit;
class ScriptReading;

class ScriptMark final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptMark)

public:
    // Watches the box from now on; the box owns the mark.
    static void attach(QPlainTextEdit &output);
    ~ScriptMark() override;

    // Reading on or off, to measure what it costs; off, the mark is cleared.
    void setReading(bool on);

signals:
    void readingWanted(quint64 revision, const QList<TextEdit> &edits);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ScriptMark(QPlainTextEdit &output);
    void changed(int position, int removed, int added);
    void restart();
    void read();
    void show(quint64 revision, int line, qsizetype from, qsizetype to, const QString &why);

    QPlainTextEdit &m_output;
    QTimer m_pause;
    QThread m_thread;
    ScriptReading *m_reading;
    quint64 m_revision = 0;
    bool m_busy = false;
    bool m_on = true;
    TextChanges m_changes;
    QList<TextEdit> m_edits; // not yet handed to the reading
    QTextCursor m_marked;    // the marked line; follows edits until the next reading
    QString m_why;
};
