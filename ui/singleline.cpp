#include "singleline.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <limits>

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

class SingleLineValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    // The field held no break before this edit, so every break belongs to the
    // text just inserted, which ends at the cursor: keep what stands before the
    // first break and what follows the insertion. A programmatic set leaves the
    // cursor at the end, so that keeps the first line alone. An input method
    // may leave the cursor before the text it committed: then nothing stands
    // between break and cursor, and the cut at the first break does the work.
    State validate(QString &input, int &pos) const override
    {
        dropFrameMarks(input, pos);
        const qsizetype breakAt = firstBreak(input);
        if (breakAt == input.size())
            return Acceptable;
        input.remove(breakAt, std::max<qsizetype>(pos, breakAt) - breakAt);
        input.truncate(firstBreak(input));
        pos = static_cast<int>(breakAt);
        return Acceptable;
    }

private:
    // U+FDD0 and U+FDD1 mark frames inside Qt's text documents: the script box
    // would turn them into line breaks, so a field does not take them.
    static void dropFrameMarks(QString &input, int &pos)
    {
        for (QChar mark : {QChar(0xFDD0), QChar(0xFDD1)}) {
            pos -= static_cast<int>(QStringView(input).left(pos).count(mark));
            input.remove(mark);
        }
    }

    static qsizetype firstBreak(const QString &text)
    {
        return std::find_if(text.cbegin(), text.cend(), isLineBreak) - text.cbegin();
    }
};

} // namespace

void setUpFields(QWidget &window)
{
    auto *validator = new SingleLineValidator(&window);
    for (QLineEdit *field : window.findChildren<QLineEdit *>()) {
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setValidator(validator);
    }
}
