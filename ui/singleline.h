#pragma once

// A single-line field must never hold a line break: a break inside a value
// would split a script line in two. Text pasted, dropped or set into such a
// field keeps only its first line, as single-line text boxes do.

class QWidget;

// Applies the rule to every single-line field (and editable combo box) of a window.
void keepFieldsSingleLine(QWidget &window);
