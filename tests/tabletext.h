#pragma once

// The committed tables of the game readers' verdicts write their texts with
// C escapes (\r \n \t \\ \xHH), so that any byte fits on one line.

#include <QByteArrayView>

#include <string>

inline std::string unescape(QByteArrayView escaped)
{
    std::string text;
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            text += escaped[i];
            continue;
        }
        const char kind = escaped[++i];
        if (kind == 'x') {
            text += static_cast<char>(escaped.sliced(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            text += kind == 'r' ? '\r' : kind == 'n' ? '\n' : kind == 't' ? '\t' : kind;
        }
    }
    return text;
}
