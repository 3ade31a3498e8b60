#pragma once

// A copy of a text box's raw text for a reading in another thread, kept up to
// date there edit by edit. The window's thread turns each change of the box
// into a small edit (where, how much removed, what put there) and hands on
// only that: copying a multi-megabyte script, or walking it with
// QTextDocument::toRawText(), would hold the window for tens of milliseconds.

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringView>

class QTextDocument;

struct TextEdit
{
    qsizetype from = 0; // where the change starts
    qsizetype cut = 0;  // characters removed there
    QString put;        // characters put there
    bool whole = false; // put is the whole text anew
};

// In the window's thread: the edits that follow a document's changes.
class TextChanges final
{
public:
    // The whole text, as a fresh start.
    TextEdit reset(const QTextDocument &document);

    // The edit for one QTextDocument::contentsChange; the whole text anew
    // when the change does not add up to the document's length.
    TextEdit follow(const QTextDocument &document, int position, int removed, int added);

private:
    qsizetype m_length = 0;
};

// Where the copy is read: a gap buffer, so that typing in one place moves
// next to nothing.
class TextMirror final
{
public:
    void apply(const TextEdit &edit);

    // The text is the part before the gap, then the part after it; the gap
    // never splits a surrogate pair.
    QStringView before() const { return QStringView(m_buffer).first(m_gapStart); }
    QStringView after() const { return QStringView(m_buffer).sliced(m_gapEnd); }

private:
    qsizetype gap() const { return m_gapEnd - m_gapStart; }
    void moveGap(qsizetype position);
    void makeRoom(qsizetype wanted);

    QString m_buffer;
    qsizetype m_gapStart = 0, m_gapEnd = 0;
};

Q_DECLARE_METATYPE(TextEdit)
