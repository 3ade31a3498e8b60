#include "textmirror.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
// The document's own length: its characters without the end it always has.
qsizetype lengthOf(const QTextDocument &document) { return document.characterCount() - 1; }
} // namespace

TextEdit TextChanges::reset(const QTextDocument &document)
{
    TextEdit edit{.from = 0, .cut = 0, .put = document.toRawText(), .whole = true};
    m_length = edit.put.size();
    return edit;
}

TextEdit TextChanges::follow(const QTextDocument &document, int position, int removed, int added)
{
    const qsizetype length = lengthOf(document);
    // A change at the very end may count the document's closing paragraph too.
    TextEdit edit;
    edit.from = std::min<qsizetype>(position, m_length);
    edit.cut = std::min<qsizetype>(removed, m_length - edit.from);
    const qsizetype put = std::clamp<qsizetype>(added, 0, length - edit.from);
    if (put > 0) {
        QTextCursor range(const_cast<QTextDocument *>(&document));
        range.setPosition(int(edit.from));
        range.setPosition(int(edit.from + put), QTextCursor::KeepAnchor);
        edit.put = range.selectedText(); // breaks as U+2029, as in the raw text
    }
    m_length += edit.put.size() - edit.cut;
    return m_length == length ? edit : reset(document);
}

void TextMirror::apply(const TextEdit &edit)
{
    if (edit.whole) {
        m_buffer = edit.put;
        m_gapStart = m_gapEnd = m_buffer.size();
        return;
    }
    moveGap(edit.from);
    m_gapEnd += edit.cut;
    makeRoom(edit.put.size());
    std::copy(edit.put.cbegin(), edit.put.cend(), m_buffer.begin() + m_gapStart);
    m_gapStart += edit.put.size();
    // The two halves are each turned into UTF-8: never split a surrogate pair.
    if (m_gapStart > 0 && m_gapEnd < m_buffer.size() && m_buffer[m_gapStart - 1].isHighSurrogate()
        && m_buffer[m_gapEnd].isLowSurrogate())
        moveGap(m_gapStart + 1);
}

void TextMirror::moveGap(qsizetype position)
{
    QChar *data = m_buffer.data();
    if (position < m_gapStart) {
        const qsizetype moved = m_gapStart - position;
        std::move_backward(data + position, data + m_gapStart, data + m_gapEnd);
        m_gapStart -= moved;
        m_gapEnd -= moved;
    } else if (position > m_gapStart) {
        const qsizetype moved = position - m_gapStart;
        std::move(data + m_gapEnd, data + m_gapEnd + moved, data + m_gapStart);
        m_gapStart += moved;
        m_gapEnd += moved;
    }
}

void TextMirror::makeRoom(qsizetype wanted)
{
    if (gap() >= wanted)
        return;
    // Grow by half again, so that a run of additions costs little on the whole.
    const qsizetype grown = std::max(wanted - gap(), m_buffer.size() / 2 + 1024);
    const qsizetype tail = m_buffer.size() - m_gapEnd;
    m_buffer.resize(m_buffer.size() + grown);
    QChar *data = m_buffer.data();
    std::move_backward(data + m_gapEnd, data + m_gapEnd + tail, data + m_buffer.size());
    m_gapEnd += grown;
}
