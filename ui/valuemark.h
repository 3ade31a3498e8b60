#pragma once

// A box whose value the game would refuse or misread is marked the moment its
// text changes, however it changed (typing, paste, undo, or the tool setting
// it): a light red background with black text, and a tooltip and accessible
// description saying what the game will do and what to type instead. The
// value itself is never touched. A mended box gets its own colours back.

#include "valuecheck.h"

#include <QObject>
#include <QPalette>

#include <optional>
#include <string>

class QLineEdit;

class ValueMark final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ValueMark)

public:
    // The system colour roles an unmarked box shows as its background and text.
    struct Colours
    {
        QPalette::ColorRole background, text;
    };

    // Watches the box from now on; the box owns the mark. Unmarked, a box
    // given colours shows the system's colours of those roles; other boxes
    // keep the colours they inherit.
    static void attach(QLineEdit &box, script::ValueKind kind,
                       std::optional<Colours> colours = std::nullopt);

    // Every box of the window takes the system colours anew, marked or not.
    static void followColourScheme(QWidget &window);

private:
    ValueMark(QLineEdit &box, script::ValueKind kind, std::optional<Colours> colours);
    void check();
    void paint();

    QLineEdit &m_box;
    const script::ValueKind m_kind;
    std::string m_why; // empty while the game reads the value as typed
    const std::optional<Colours> m_colours;
};
