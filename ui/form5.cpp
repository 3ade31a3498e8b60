#include "form5.h"

#include "catalogue.h"
#include "catalogue_messages.h"
#include "feedback.h"
#include "ui_form5.h"
#include "windows.h"

namespace {

void fill(QListWidget &list, catalogue::List entries)
{
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(entries.size()));
    for (std::string_view entry : entries)
        rows.append(fromUtf8(entry));
    list.addItems(rows);
}

} // namespace

Form5::Form5(Windows &windows)
    : ToolWindow(windows)
    , m_ui(std::make_unique<Ui::Form5>())
{
    m_ui->setupUi(this);
    fill(*m_ui->List1, catalogue::common());
    fill(*m_ui->List2, catalogue::uncommon());
    finishSetUp(m_ui->Command1);

    namespace says = catalogue::messages;
    connect(m_ui->Command2, &QPushButton::clicked, this,
            [this] { getItem(*m_ui->List1, *m_ui->Text1, says::kNoCommonSelection); });
    connect(m_ui->Command5, &QPushButton::clicked, this,
            [this] { getItem(*m_ui->List2, *m_ui->Text2, says::kNoUncommonSelection); });
    connect(m_ui->Command3, &QPushButton::clicked, this, [this] { copyItem(*m_ui->Text1); });
    connect(m_ui->Command4, &QPushButton::clicked, this, [this] { copyItem(*m_ui->Text2); });
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form5::closeRequested);
}

Form5::~Form5() = default;

// The selected row, not merely the current one: tabbing into a list makes a
// row current without selecting it.
void Form5::getItem(const QListWidget &list, QLineEdit &item, std::string_view noSelection)
{
    const QList<QListWidgetItem *> selected = list.selectedItems();
    if (selected.isEmpty() || selected.first()->text().isEmpty())
        return showMessage(this, noSelection);
    item.setText(selected.first()->text());
}

void Form5::copyItem(QLineEdit &item)
{
    if (item.text().isEmpty())
        return showMessage(this, catalogue::messages::kNoItem);
    item.selectAll();
    if (!putOnClipboard(item.selectedText()))
        return showMessage(this, catalogue::messages::kItemNotCopied);
    showMessage(this, catalogue::messages::kItemCopied);
}
