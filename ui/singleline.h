#pragma once

// The rules of every single-line field (and editable combo box) of a window:
// - it never holds a line break, which would split a script line in two: text
//   pasted, dropped or set into it keeps only its first line, as single-line
//   text boxes do;
// - it has no length limit of its own (Qt's default would cut long values).

class QWidget;

void setUpFields(QWidget &window);
