#include "form1.h"

#include "catalogue.h"
#include "feedback.h"
#include "script_messages.h"
#include "scriptbox.h"
#include "scriptmark.h"
#include "singleline.h"
#include "ui_form1.h"
#include "valuemark.h"
#include "windows.h"

Form1::Form1(Windows &windows)
    : ToolWindow(windows)
    , m_ui(std::make_unique<Ui::Form1>())
{
    m_ui->setupUi(this);
    for (std::string_view entry : catalogue::suggestions())
        m_ui->ModelCombo->addItem(fromUtf8(entry));
    m_ui->ModelCombo->setCurrentIndex(-1);   // the model text starts empty
    m_ui->ModelCombo->setCompleter(nullptr); // typed text stays exactly as typed
    setUpFields(*this);
    markValues();
    ScriptMark::attach(*m_ui->Output);
    finishSetUp(m_ui->Output);

    connect(m_ui->Add, &QPushButton::clicked, this, &Form1::addClicked);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form1::copyClicked);
    connect(m_ui->Command3, &QPushButton::clicked, this, &Form1::clearScriptClicked);
    connect(m_ui->Command4, &QPushButton::clicked, this, &Form1::clearFieldsClicked);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form1::closeRequested);
}

Form1::~Form1() = default;

void Form1::addClicked()
{
    const script::ObjectFields block = fields();
    if (script::objectFieldsMissing(block))
        return showMessage(this, script::messages::kInputEmpty);
    appendBlock(*m_ui->Output, script::objectBlock(block));
}

void Form1::copyClicked() { copyScript(*this, *m_ui->Output); }

void Form1::clearScriptClicked() { clearScript(*m_ui->Output); }

void Form1::clearFieldsClicked()
{
    m_ui->IDname->clear();
    m_ui->ModelCombo->clearEditText();
    m_ui->comment->clear();
}

void Form1::markValues()
{
    using script::ValueKind;
    for (QLineEdit *box :
         {m_ui->OriginX, m_ui->OriginY, m_ui->OriginZ, m_ui->AngleY, m_ui->AngleP, m_ui->AngleR})
        ValueMark::attach(*box, ValueKind::Vector);
    ValueMark::attach(*m_ui->ScaleSize, ValueKind::Scale);
    ValueMark::attach(*m_ui->IDname, ValueKind::IdName);
    ValueMark::attach(*m_ui->ModelCombo->lineEdit(), ValueKind::QuotedText);
}

script::ObjectFields Form1::fields() const
{
    return {
        .comment = toUtf8(m_ui->comment->text()),
        .idName = toUtf8(m_ui->IDname->text()),
        .model = toUtf8(m_ui->ModelCombo->currentText()),
        .originX = toUtf8(m_ui->OriginX->text()),
        .originY = toUtf8(m_ui->OriginY->text()),
        .originZ = toUtf8(m_ui->OriginZ->text()),
        .angleY = toUtf8(m_ui->AngleY->text()),
        .angleP = toUtf8(m_ui->AngleP->text()),
        .angleR = toUtf8(m_ui->AngleR->text()),
        .scale = toUtf8(m_ui->ScaleSize->text()),
    };
}
