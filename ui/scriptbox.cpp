#include "scriptbox.h"

#include "feedback.h"
#include "script_messages.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>

void appendBlock(QPlainTextEdit &output, const script::Lines &lines)
{
    QTextCursor end(output.document());
    end.movePosition(QTextCursor::End);
    end.insertText(fromUtf8(script::blockText(lines))); // each CR LF becomes one paragraph break
}

bool isLineBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

QString scriptText(const QPlainTextEdit &output)
{
    // Raw text, not toPlainText(): that one turns no-break spaces into spaces.
    return scriptText(output.document()->toRawText());
}

QString scriptText(QStringView raw)
{
    // One pass into a buffer of the final size; QString::replace() moves the
    // tail of a multi-megabyte script again and again.
    QString text;
    text.reserve(raw.size() + std::count_if(raw.cbegin(), raw.cend(), isLineBreak));
    auto from = raw.cbegin();
    for (auto at = std::find_if(from, raw.cend(), isLineBreak); at != raw.cend();
         at = std::find_if(from, raw.cend(), isLineBreak)) {
        text.append(QStringView(from, at));
        text.append(u"\r\n");
        from = at + 1;
    }
    text.append(QStringView(from, raw.cend()));
    return text;
}

void clearScript(QPlainTextEdit &output)
{
    QTextCursor all(output.document());
    all.select(QTextCursor::Document); // one undo step, so an accidental clear can be undone
    all.removeSelectedText();
}

void copyScript(QWidget &window, QPlainTextEdit &output)
{
    if (output.document()->isEmpty())
        return showMessage(&window, script::messages::kNoScript);
    const QTextCursor before = output.textCursor();
    output.selectAll();
    if (!putOnClipboard(scriptText(output))) {
        output.setTextCursor(before); // a failed copy leaves the window as it was
        return showMessage(&window, script::messages::kScriptNotCopied);
    }
    showMessage(&window, script::messages::kScriptCopied);
}
