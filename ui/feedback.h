#pragma once

// Messages and the clipboard, as every window uses them.

#include <QString>

#include <string>
#include <string_view>

class QWidget;

// Application title, shown in the title bar of every message box.
inline constexpr char kApplicationTitle[] = "Spawnsmith";

// A modal box with one OK button and no icon; returns when dismissed.
void showMessage(QWidget *window, std::string_view text);

// Puts plain text on the system clipboard. False when the clipboard, read back,
// does not hold exactly that text (another program kept or took it).
bool putOnClipboard(const QString &text);

// Field text to and from the UTF-8 strings the script library works with.
inline std::string toUtf8(const QString &text) { return text.toStdString(); }
inline QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
