#include "valuemark.h"

#include "feedback.h"

#include <QApplication>
#include <QLineEdit>

namespace {
const QColor kMarked(0xFF, 0xC0, 0xC0);
} // namespace

ValueMark::ValueMark(QLineEdit &box, script::ValueKind kind, std::optional<Colours> colours)
    : QObject(&box)
    , m_box(box)
    , m_kind(kind)
    , m_colours(colours)
{
    connect(&box, &QLineEdit::textChanged, this, &ValueMark::check);
}

void ValueMark::attach(QLineEdit &box, script::ValueKind kind, std::optional<Colours> colours)
{
    auto *mark = new ValueMark(box, kind, colours);
    mark->paint();
    mark->check();
}

void ValueMark::followColourScheme(QWidget &window)
{
    for (ValueMark *mark : window.findChildren<ValueMark *>())
        mark->paint();
}

void ValueMark::check()
{
    std::string why = script::checkValue(m_kind, toUtf8(m_box.text()));
    if (why == m_why)
        return;
    m_why = std::move(why);
    const QString sentence = fromUtf8(m_why);
    m_box.setToolTip(sentence);
    m_box.setAccessibleDescription(sentence);
    paint();
}

void ValueMark::paint()
{
    QPalette look; // no role of its own: everything inherited
    if (!m_why.empty()) {
        look.setColor(QPalette::Base, kMarked);
        look.setColor(QPalette::Text, Qt::black);
    } else if (m_colours) {
        const QPalette system = QApplication::palette();
        look.setColor(QPalette::Base, system.color(m_colours->background));
        look.setColor(QPalette::Text, system.color(m_colours->text));
    }
    m_box.setPalette(look);
}
