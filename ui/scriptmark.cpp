#include "scriptmark.h"

#include "feedback.h"
#include "reader.h"
#include "scriptbox.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace {

const QColor kMarked(0xFF, 0xC0, 0xC0);

// Past this many characters a reading waits for a pause in the typing.
constexpr int kLargeScript = 200'000;
constexpr int kPauseMs = 150;

// Deep nesting is read by recursion: room for it, as on the main thread.
constexpr uint kReadingStack = 16 * 1024 * 1024;

// The script's bytes as Copy puts them on the clipboard (each line break a
// CR LF), in UTF-8, appended at out: at most three bytes for each character.
// lineStarts gets where each line begins in the text, counted from base.
char *scriptUtf8(QStringView raw, qsizetype base, char *out, std::vector<qsizetype> &lineStarts)
{
    const char16_t *const begin = raw.utf16(), *const end = begin + raw.size();
    for (const char16_t *p = begin; p < end;) {
        if (*p < 0x80) {
            *out++ = static_cast<char>(*p++);
        } else if (isLineBreak(QChar(*p))) {
            *out++ = '\r';
            *out++ = '\n';
            lineStarts.push_back(base + (++p - begin));
        } else { // a run of other characters, encoded as Copy encodes them
            const char16_t *run = p;
            while (p < end && *p >= 0x80 && !isLineBreak(QChar(*p)))
                ++p;
            const QByteArray encoded = QStringView(run, p).toUtf8();
            out = std::copy(encoded.cbegin(), encoded.cend(), out);
        }
    }
    return out;
}

} // namespace

// Reads copies of the script in the mark's thread.
class ScriptReading final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ScriptReading)

public:
    ScriptReading() = default;

    void read(quint64 revision, const QList<TextEdit> &edits)
    {
        for (const TextEdit &edit : edits)
            m_text.apply(edit);
        const QStringView before = m_text.before(), after = m_text.after();
        const qsizetype size = before.size() + after.size();
        std::vector<qsizetype> lineStarts{0};
        const std::unique_ptr<char[]> bytes(new char[std::size_t(size) * 3 + 1]);
        char *end = scriptUtf8(before, 0, bytes.get(), lineStarts);
        end = scriptUtf8(after, before.size(), end, lineStarts);
        const std::optional<script::Stop> stop =
            script::readScript({bytes.get(), std::size_t(end - bytes.get())});
        if (!stop)
            return emit done(revision, 0, 0, 0, {});
        // The reader's line N is the box's text after its (N-1)th line break.
        const std::size_t line = std::min(stop->line, lineStarts.size());
        const qsizetype from = lineStarts[line - 1];
        const qsizetype to = line < lineStarts.size() ? lineStarts[line] - 1 : size;
        emit done(revision, int(stop->line), from, to, fromUtf8(stop->sentence));
    }

signals:
    void done(quint64 revision, int line, qsizetype from, qsizetype to, const QString &why);

private:
    TextMirror m_text; // the box's text as this thread knows it
};

ScriptMark::ScriptMark(QPlainTextEdit &output)
    : QObject(&output)
    , m_output(output)
    , m_reading(new ScriptReading)
{
    m_pause.setSingleShot(true);
    qRegisterMetaType<QList<TextEdit>>();
    m_reading->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_reading, &QObject::deleteLater);
    connect(this, &ScriptMark::readingWanted, m_reading, &ScriptReading::read);
    connect(m_reading, &ScriptReading::done, this, &ScriptMark::show);
    connect(&m_pause, &QTimer::timeout, this, &ScriptMark::read);
    connect(output.document(), &QTextDocument::contentsChange, this, &ScriptMark::changed);
    m_thread.setStackSize(kReadingStack);
    m_thread.start();
    output.viewport()->installEventFilter(this);
}

ScriptMark::~ScriptMark()
{
    m_thread.quit();
    m_thread.wait();
}

void ScriptMark::attach(QPlainTextEdit &output) { (new ScriptMark(output))->restart(); }

void ScriptMark::setReading(bool on)
{
    m_on = on;
    if (on)
        return restart();
    m_pause.stop();
    ++m_revision;
    show(m_revision, 0, 0, 0, {});
}

// The reading's copy starts again from the whole text.
void ScriptMark::restart()
{
    m_edits = {m_changes.reset(*m_output.document())};
    ++m_revision;
    m_pause.start(0);
}

void ScriptMark::changed(int position, int removed, int added)
{
    if (!m_on)
        return;
    TextEdit edit = m_changes.follow(*m_output.document(), position, removed, added);
    if (edit.whole)
        m_edits.clear();
    m_edits.append(std::move(edit));
    ++m_revision;
    m_pause.start(m_output.document()->characterCount() > kLargeScript ? kPauseMs : 0);
}

void ScriptMark::read()
{
    if (m_busy)
        return; // read again when the reading under way comes back
    m_busy = true;
    emit readingWanted(m_revision, std::exchange(m_edits, {}));
}

void ScriptMark::show(quint64 revision, int line, qsizetype from, qsizetype to, const QString &why)
{
    m_busy = false;
    if (revision != m_revision) { // the text changed meanwhile
        if (m_on && !m_pause.isActive())
            read();
        return;
    }
    m_why = why;
    QList<QTextEdit::ExtraSelection> marks;
    if (line > 0) {
        m_marked = QTextCursor(m_output.document());
        m_marked.setPosition(int(from));
        m_marked.setPosition(int(to), QTextCursor::KeepAnchor);
        // A full-width mark covers the screen line its cursor is on: one for
        // each screen line of the script line, where a long line wraps.
        QTextCharFormat look;
        look.setBackground(kMarked);
        look.setForeground(Qt::black);
        look.setProperty(QTextFormat::FullWidthSelection, true);
        const auto markAt = [&](int position) {
            QTextEdit::ExtraSelection mark{QTextCursor(m_output.document()), look};
            mark.cursor.setPosition(position);
            marks.append(mark);
        };
        markAt(int(from));
        const QTextBlock block = m_output.document()->findBlock(int(from));
        const QTextLayout *layout = block.layout();
        for (int i = 1; layout && i < layout->lineCount(); ++i) {
            const int start = block.position() + layout->lineAt(i).textStart();
            if (start > from && start < to)
                markAt(start);
        }
    } else {
        m_marked = QTextCursor();
    }
    m_output.setExtraSelections(marks);
    m_output.setAccessibleDescription(line > 0 ? QStringLiteral("Line %1: %2").arg(line).arg(why)
                                               : QString());
}

// Resting the mouse on the marked line tells why the game stops there.
bool ScriptMark::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip || m_why.isEmpty() || m_marked.isNull())
        return QObject::eventFilter(watched, event);
    const auto *help = static_cast<QHelpEvent *>(event);
    QTextCursor at(m_output.document());
    at.setPosition(m_marked.selectionStart());
    const int top = m_output.cursorRect(at).top();
    at.setPosition(m_marked.selectionEnd());
    const int bottom = m_output.cursorRect(at).bottom();
    if (help->pos().y() >= top && help->pos().y() <= bottom)
        QToolTip::showText(help->globalPos(), m_why, m_output.viewport());
    else
        QToolTip::hideText();
    return true;
}

#include "scriptmark.moc"
