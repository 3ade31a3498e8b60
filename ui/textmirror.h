#pragma once

// A copy of a text box's raw text, kept up to date change by change, so that
// a copy of a whole multi-megabyte script can be handed on in a few
// milliseconds: QTextDocument::toRawText() walks every piece of the document
// and takes several times as long. The copy is a gap buffer: an edit moves
// the gap to where it happens, so typing in one place costs next to nothing.

#include <QString>

class QTextDocument;

class TextMirror final
{
public:
    // The whole text anew (at the start, or when a change did not add up).
    void reset(const QTextDocument &document);

    // Follows QTextDocument::contentsChange; false when the copy no longer
    // matches the document's length, and should be reset.
    bool follow(const QTextDocument &document, int position, int removed, int added);

    QString text() const;
    qsizetype size() const { return m_buffer.size() - gap(); }

private:
    qsizetype gap() const { return m_gapEnd - m_gapStart; }
    void moveGap(qsizetype position);
    void makeRoom(qsizetype wanted);

    QString m_buffer;
    qsizetype m_gapStart = 0, m_gapEnd = 0;
};
