#include "form6.h"

#include "feedback.h"
#include "maker.h"
#include "ui_form6.h"
#include "windows.h"

Form6::Form6(Windows &windows)
    : ToolWindow(windows)
    , m_ui(std::make_unique<Ui::Form6>())
{
    m_ui->setupUi(this);
    // 14.25 pt: the stored layout only holds whole point sizes.
    QFont heading = m_ui->Label1->font();
    heading.setPointSizeF(14.25);
    m_ui->Label1->setFont(heading);
    // Each line is its prefix from the layout followed by the maker's value.
    m_ui->Label2->setText(m_ui->Label2->text() + fromUtf8(maker::kEmail));
    m_ui->Label3->setText(m_ui->Label3->text() + fromUtf8(maker::kMessengerAccount));
    m_ui->Label4->setText(m_ui->Label4->text() + fromUtf8(maker::kMessengerName));
    finishSetUp(m_ui->Command1);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form6::closeRequested);
}

Form6::~Form6() = default;
