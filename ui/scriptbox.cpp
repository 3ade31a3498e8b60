#include "scriptbox.h"

#include "feedback.h"
#include "script_messages.h"

#include <QPlainTextEdit>
#include <QTextCursor>

void appendBlock(QPlainTextEdit &output, const script::Lines &lines)
{
    QTextCursor end(output.document());
    end.movePosition(QTextCursor::End);
    end.insertText(fromUtf8(script::blockText(lines))); // each CR LF becomes one paragraph break
}

QString scriptText(const QPlainTextEdit &output)
{
    // Raw text, not toPlainText(): that one turns no-break spaces into spaces.
    const QString raw = output.document()->toRawText();
    // One pass into a buffer of the final size; QString::replace() moves the
    // tail of a multi-megabyte script again and again.
    QString text;
    text.reserve(raw.size() + raw.count(QChar::ParagraphSeparator));
    qsizetype start = 0;
    for (qsizetype end; (end = raw.indexOf(QChar::ParagraphSeparator, start)) >= 0;
         start = end + 1) {
        text.append(QStringView(raw).mid(start, end - start));
        text.append(u"\r\n");
    }
    text.append(QStringView(raw).mid(start));
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
