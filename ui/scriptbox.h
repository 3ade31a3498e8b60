#pragma once

// The script box of a script window: its whole text is the script buffer.
// The box holds paragraphs; the buffer reads every paragraph break as CR LF.

#include "script.h"

#include <QString>

class QPlainTextEdit;
class QWidget;

// Inserts the block at the very end. Never rebuilds the whole text, so the
// cost of a click does not grow with the script.
void appendBlock(QPlainTextEdit &output, const script::Lines &lines);

// The buffer with CR LF line ends, exactly as it goes to the clipboard.
QString scriptText(const QPlainTextEdit &output);

// The same from the box's raw text, in which a paragraph end and a line
// separator (Shift+Enter) each end one line of the script.
QString scriptText(QStringView raw);
bool isLineBreak(QChar c);

void clearScript(QPlainTextEdit &output);

// Copies the whole buffer to the clipboard and tells the user how it went;
// the whole text is left selected.
void copyScript(QWidget &window, QPlainTextEdit &output);
