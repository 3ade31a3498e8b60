#include "textmirror.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {
// The document's own length: its characters without the end it always has.
qsizetype lengthOf(const QTextDocument &document) { return document.characterCount() - 1; }
} // namespace

void TextMirror::reset(const QTextDocument &document)
{
    m_buffer = document.toRawText();
    m_gapStart = m_gapEnd = m_buffer.size();
}

bool TextMirror::follow(const QTextDocument &document, int position, int removed, int added)
{
    const qsizetype length = lengthOf(document);
    // A change at the very end may count the document's closing paragraph too.
    const qsizetype from = std::min<qsizetype>(position, size());
    const qsizetype cut = std::min<qsizetype>(removed, size() - from);
    const qsizetype put = std::clamp<qsizetype>(added, 0, length - from);
    moveGap(from);
    m_gapEnd += cut;
    if (put > 0) {
        QTextCursor range(const_cast<QTextDocument *>(&document));
        range.setPosition(int(from));
        range.setPosition(int(from + put), QTextCursor::KeepAnchor);
        const QString inserted = range.selectedText(); // breaks as U+2029, as in the raw text
        makeRoom(inserted.size());
        std::copy(inserted.cbegin(), inserted.cend(), m_buffer.begin() + m_gapStart);
        m_gapStart += inserted.size();
    }
    return size() == length;
}

QString TextMirror::text() const
{
    QString whole;
    whole.reserve(size());
    whole.append(QStringView(m_buffer).first(m_gapStart));
    whole.append(QStringView(m_buffer).sliced(m_gapEnd));
    return whole;
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
