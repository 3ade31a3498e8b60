#include "form4.h"

#include "feedback.h"
#include "script_messages.h"
#include "scriptbox.h"
#include "scriptmark.h"
#include "singleline.h"
#include "ui_form4.h"
#include "valuemark.h"
#include "windows.h"

Form4::Form4(Windows &windows)
    : ToolWindow(windows)
    , m_ui(std::make_unique<Ui::Form4>())
{
    m_ui->setupUi(this);
    setUpFields(*this);
    markValues();
    ScriptMark::attach(*m_ui->Output);
    finishSetUp(m_ui->Command2);

    connect(m_ui->Add, &QPushButton::clicked, this, &Form4::addClicked);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form4::copyClicked);
    connect(m_ui->Command3, &QPushButton::clicked, this, &Form4::clearScriptClicked);
    connect(m_ui->Command4, &QPushButton::clicked, this, &Form4::clearFieldsClicked);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form4::closeRequested);
}

Form4::~Form4() = default;

// The size boxes follow the system colour scheme, shown or hidden. Qt sends
// this event to the window itself but never passes it on to changeEvent().
bool Form4::event(QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange)
        ValueMark::followColourScheme(*this);
    return ToolWindow::event(event);
}

void Form4::addClicked()
{
    const script::TriggerFields block = fields();
    if (script::triggerFieldsMissing(block))
        return showMessage(this, script::messages::kInputEmpty);
    appendBlock(*m_ui->Output, script::triggerBlock(block));
}

void Form4::copyClicked() { copyScript(*this, *m_ui->Output); }

void Form4::clearScriptClicked() { clearScript(*m_ui->Output); }

void Form4::clearFieldsClicked()
{
    m_ui->IDname->clear();
    m_ui->Text1->clear();
    m_ui->Text2->clear();
    m_ui->comment->clear();
}

// The two size triples look alike but for their background: the first takes
// the system's scroll-bar colour, the second its active-title (selection)
// colour, each with the text colour meant to be read over it.
void Form4::markValues()
{
    using script::ValueKind;
    for (QLineEdit *box : {m_ui->OriginXa, m_ui->OriginYa, m_ui->OriginZa})
        ValueMark::attach(*box, ValueKind::Vector);
    for (QLineEdit *box : {m_ui->Text3, m_ui->Text4})
        ValueMark::attach(*box, ValueKind::Argument);
    for (QLineEdit *box : {m_ui->OriginX2, m_ui->OriginY2, m_ui->OriginZ2})
        ValueMark::attach(*box, ValueKind::Vector, {{QPalette::Button, QPalette::ButtonText}});
    for (QLineEdit *box : {m_ui->OriginX3, m_ui->OriginY3, m_ui->OriginZ3})
        ValueMark::attach(*box, ValueKind::Vector,
                          {{QPalette::Highlight, QPalette::HighlightedText}});
    ValueMark::attach(*m_ui->IDname, ValueKind::IdName);
    ValueMark::attach(*m_ui->Text1, ValueKind::Thread);
    ValueMark::attach(*m_ui->Text2, ValueKind::QuotedText);
}

script::TriggerFields Form4::fields() const
{
    return {
        .comment = toUtf8(m_ui->comment->text()),
        .idName = toUtf8(m_ui->IDname->text()),
        .originX = toUtf8(m_ui->OriginXa->text()),
        .originY = toUtf8(m_ui->OriginYa->text()),
        .originZ = toUtf8(m_ui->OriginZa->text()),
        .sizeMinX = toUtf8(m_ui->OriginX2->text()),
        .sizeMinY = toUtf8(m_ui->OriginY2->text()),
        .sizeMinZ = toUtf8(m_ui->OriginZ2->text()),
        .sizeMaxX = toUtf8(m_ui->OriginX3->text()),
        .sizeMaxY = toUtf8(m_ui->OriginY3->text()),
        .sizeMaxZ = toUtf8(m_ui->OriginZ3->text()),
        .thread = toUtf8(m_ui->Text1->text()),
        .message = toUtf8(m_ui->Text2->text()),
        .wait = toUtf8(m_ui->Text3->text()),
        .delay = toUtf8(m_ui->Text4->text()),
    };
}
