#include "form2.h"

#include "form1.h"
#include "form3.h"
#include "form4.h"
#include "form5.h"
#include "form6.h"
#include "ui_form2.h"
#include "windows.h"

Form2::Form2(Windows &windows)
    : ToolWindow(windows)
    , m_ui(std::make_unique<Ui::Form2>())
{
    m_ui->setupUi(this);
    finishSetUp(m_ui->Command1);
    connect(m_ui->Command1, &QPushButton::clicked, this,
            [this] { this->windows().openFromMenu(this->windows().objects()); });
    connect(m_ui->Command2, &QPushButton::clicked, this,
            [this] { this->windows().openFromMenu(this->windows().trigger()); });
    connect(m_ui->Command3, &QPushButton::clicked, this,
            [this] { this->windows().openFromMenu(this->windows().about()); });
    connect(m_ui->Command5, &QPushButton::clicked, this,
            [this] { this->windows().openFromMenu(this->windows().models()); });
    connect(m_ui->Command6, &QPushButton::clicked, this,
            [this] { this->windows().openFromMenu(this->windows().contact()); });
    connect(m_ui->Command4, &QPushButton::clicked, this, &Form2::closeRequested);
}

Form2::~Form2() = default;

void Form2::closeRequested() { windows().endRun(); }
