#include "form3.h"

#include "feedback.h"
#include "maker.h"
#include "ui_form3.h"
#include "windows.h"

Form3::Form3(Windows &windows)
    : ToolWindow(windows)
    , m_ui(std::make_unique<Ui::Form3>())
{
    m_ui->setupUi(this);
    m_ui->Label4->setText(fromUtf8(maker::kRightsNotice));
    finishSetUp(m_ui->Command1);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form3::closeRequested);
}

Form3::~Form3() = default;
