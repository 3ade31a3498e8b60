// The two script windows driven through their real widgets: the bytes that
// reach the clipboard, the messages, and what each button leaves in place.

#include "guitest.h"
#include "windows.h"
#include "worked_examples.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

namespace {

const QString kInputEmpty =
    "An input field is empty, please perform an input before processing the code";
const QString kNoScript = "There is no script to copy to the clipboard!";
const QString kCopied = "The script has been copied to clipboard!";
const QString kNotCopied = "The script could not be copied to the clipboard!";

const QByteArray kBikeBlock = QByteArray::fromStdString(std::string(examples::kObjectBlock));
const QByteArray kDoorBlock = QByteArray::fromStdString(std::string(examples::kTriggerBlock));

QLineEdit *field(QWidget *window, const char *name)
{
    if (auto *combo = window->findChild<QComboBox *>(QString::fromLatin1(name)))
        return combo->lineEdit();
    return control<QLineEdit>(window, name);
}

// Replaces a field's text by typing, as the user would.
void type(QWidget *window, const char *name, const QString &text)
{
    QLineEdit *edit = field(window, name);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    for (char32_t c : text.toUcs4()) // keyClicks() knows only ASCII keys
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
}

QByteArray clipboardBytes() { return QGuiApplication::clipboard()->text().toUtf8(); }

QPlainTextEdit *output(QWidget *window) { return control<QPlainTextEdit>(window, "Output"); }

void fillBike(QWidget *w)
{
    type(w, "comment", "spawn the bike");
    type(w, "IDname", "bike1");
    type(w, "ModelCombo", "vehicles/bmwbike.tik");
    type(w, "OriginX", "512");
    type(w, "OriginY", "-256");
    type(w, "AngleP", "90");
}

void fillDoor(QWidget *w)
{
    type(w, "comment", "door trigger");
    type(w, "IDname", "trig1");
    type(w, "OriginXa", "100");
    type(w, "OriginYa", "200");
    type(w, "OriginX2", "-64");
    type(w, "OriginY2", "-64");
    type(w, "OriginX3", "64");
    type(w, "OriginY3", "64");
    type(w, "OriginZ3", "96");
    type(w, "Text1", "open_door");
    type(w, "Text2", "The door opens");
}

QList<Message> copy(QWidget *w) { return clickAndAnswer(w, "Command2"); }

} // namespace

class ScriptWindowsTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Windows> m_windows;
    QWidget *open(const char *menuButton) { return openFromMenu(menuButton); }

private slots:
    void initTestCase() { prepareApplication(); }
    void init()
    {
        m_windows = std::make_unique<Windows>();
        m_windows->start();
        QGuiApplication::clipboard()->setText("before");
    }
    void cleanup() { m_windows.reset(); }

    void workedExamplesReachTheClipboard_data()
    {
        QTest::addColumn<QByteArray>("menuButton");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("object") << QByteArray("Command1") << kBikeBlock;
        QTest::newRow("trigger") << QByteArray("Command2") << kDoorBlock;
    }
    void workedExamplesReachTheClipboard()
    {
        QFETCH(QByteArray, menuButton);
        QFETCH(QByteArray, block);
        QWidget *w = open(menuButton);
        (menuButton == "Command1" ? fillBike : fillDoor)(w);
        QVERIFY(clickAndAnswer(w, "Add").isEmpty()); // no message on success
        QVERIFY(clickAndAnswer(w, "Add").isEmpty());

        const QList<Message> seen = copy(w);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, kCopied);
        QCOMPARE(seen[0].title, "Spawnsmith");
        QVERIFY(seen[0].plain);
        QCOMPARE(clipboardBytes(), block + block);
        QCOMPARE(output(w)->textCursor().selectedText().size(), output(w)->toPlainText().size());
        QCOMPARE(field(w, "IDname")->text().isEmpty(), false); // fields are kept for the next block
    }

    void requiredFieldsGiveOneMessage_data()
    {
        QTest::addColumn<QByteArray>("menuButton");
        QTest::addColumn<QByteArrayList>("emptied");
        const QByteArray objects = "Command1", trigger = "Command2";
        QTest::newRow("object: fresh window") << objects << QByteArrayList{"IDname", "ModelCombo"};
        QTest::newRow("object: ID name") << objects << QByteArrayList{"IDname"};
        QTest::newRow("object: model") << objects << QByteArrayList{"ModelCombo"};
        QTest::newRow("trigger: all three")
            << trigger << QByteArrayList{"IDname", "Text1", "Text2"};
        QTest::newRow("trigger: thread") << trigger << QByteArrayList{"Text1"};
        QTest::newRow("trigger: message") << trigger << QByteArrayList{"Text2"};
    }
    void requiredFieldsGiveOneMessage()
    {
        QFETCH(QByteArray, menuButton);
        QFETCH(QByteArrayList, emptied);
        QWidget *w = open(menuButton);
        (menuButton == "Command1" ? fillBike : fillDoor)(w);
        output(w)->setPlainText("untouched");
        for (const QByteArray &name : emptied)
            type(w, name, "");
        const QList<Message> seen = clickAndAnswer(w, "Add");
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, kInputEmpty);
        QVERIFY(seen[0].plain);
        QCOMPARE(output(w)->toPlainText(), "untouched");
    }

    void blanksAndOptionalFieldsDoNotStopAdd()
    {
        QWidget *w = open("Command2");
        fillDoor(w);
        type(w, "IDname", " ");
        type(w, "Text3", "");
        type(w, "Text4", "");
        QVERIFY(clickAndAnswer(w, "Add").isEmpty());
        QVERIFY(output(w)->toPlainText().contains("local.  wait \nlocal.  delay \n"));
    }

    void copyingAnEmptyScriptLeavesTheClipboard()
    {
        QWidget *w = open("Command1");
        fillBike(w);
        clickAndAnswer(w, "Add");
        QVERIFY(clickAndAnswer(w, "Command3").isEmpty()); // Clear Script
        QVERIFY(output(w)->toPlainText().isEmpty());
        QCOMPARE(field(w, "IDname")->text(), "bike1");
        const QList<Message> seen = copy(w);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, kNoScript);
        QCOMPARE(clipboardBytes(), QByteArray("before"));
    }

    void aLoneLineEndIsAScript()
    {
        QWidget *w = open("Command2");
        QTest::keyClick(output(w), Qt::Key_Return);
        QCOMPARE(copy(w).value(0).text, kCopied);
        QCOMPARE(clipboardBytes(), QByteArray("\r\n"));
    }

    void handTypedTextStaysInTheScript()
    {
        QWidget *w = open("Command1");
        fillBike(w);
        QTest::keyClicks(output(w), "// mine");
        QTest::keyClick(output(w), Qt::Key_Return);
        QTest::keyClicks(output(w), "no end"); // no line end: the block continues this line
        clickAndAnswer(w, "Add");
        copy(w);
        QCOMPARE(clipboardBytes(), "// mine\r\nno end" + kBikeBlock);
    }

    void nonAsciiAndNoBreakSpacesPassUnchanged()
    {
        QWidget *w = open("Command1");
        fillBike(w);
        const QString id = QString::fromUtf8("vélo\u00a0自転車🚲");
        type(w, "IDname", id);
        clickAndAnswer(w, "Add");
        copy(w);
        QVERIFY(clipboardBytes().contains("local." + id.toUtf8() + " = spawn script_model\r\n"));
    }

    void clearInputFieldsEmptiesOnlyTheNames_data()
    {
        QTest::addColumn<QByteArray>("menuButton");
        QTest::addColumn<QByteArrayList>("emptied");
        QTest::addColumn<QByteArrayList>("kept");
        QTest::newRow("objects") << QByteArray("Command1")
                                 << QByteArrayList{"IDname", "ModelCombo", "comment"}
                                 << QByteArrayList{"OriginX", "OriginY", "OriginZ",  "AngleY",
                                                   "AngleP",  "AngleR",  "ScaleSize"};
        QTest::newRow("trigger") << QByteArray("Command2")
                                 << QByteArrayList{"IDname", "Text1", "Text2", "comment"}
                                 << QByteArrayList{"OriginXa", "OriginYa", "OriginZa", "OriginX2",
                                                   "OriginY2", "OriginZ2", "OriginX3", "OriginY3",
                                                   "OriginZ3", "Text3",    "Text4"};
    }
    void clearInputFieldsEmptiesOnlyTheNames()
    {
        QFETCH(QByteArray, menuButton);
        QFETCH(QByteArrayList, emptied);
        QFETCH(QByteArrayList, kept);
        QWidget *w = open(menuButton);
        for (const QByteArray &name : emptied + kept)
            type(w, name, "v_" + name);
        output(w)->setPlainText("script");
        QVERIFY(clickAndAnswer(w, "Command4").isEmpty());
        for (const QByteArray &name : emptied)
            QVERIFY2(field(w, name)->text().isEmpty(), name);
        for (const QByteArray &name : kept)
            QCOMPARE(field(w, name)->text(), "v_" + name);
        QCOMPARE(output(w)->toPlainText(), "script");
    }

    void modelSuggestion()
    {
        QWidget *w = open("Command1");
        auto *combo = control<QComboBox>(w, "ModelCombo");
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->currentText(), "");
        combo->setCurrentIndex(0); // chosen from the drop-down
        QCOMPARE(combo->currentText(), "vehicles/bmwbike.tik");
        type(w, "ModelCombo", "v");
        QCOMPARE(combo->currentText(), "v"); // no completion changes what was typed
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(combo->count(), 1); // nothing is added to the list
    }

    void enterAndEscapeRunNothing()
    {
        QWidget *w = open("Command1");
        fillBike(w);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(field(w, "IDname"), key);
        QVERIFY(output(w)->toPlainText().isEmpty());
        QVERIFY(w->isVisible());
    }

    // A single-line field keeps only the first line of what is pasted into it.
    void pastedLineBreaksAreCut_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("CR LF") << "first\r\nsecond";
        QTest::newRow("LF") << "first\nsecond\nthird";
        QTest::newRow("CR") << "first\rsecond";
        QTest::newRow("paragraph separator") << QString("first\u2029second");
    }
    void pastedLineBreaksAreCut()
    {
        QFETCH(QString, pasted);
        QWidget *w = open("Command2");
        for (const char *name : {"IDname", "Text2", "OriginX3"}) {
            QLineEdit *edit = field(w, name);
            edit->setText("ab");
            edit->setCursorPosition(1);
            QGuiApplication::clipboard()->setText(pasted);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edit->text(), "afirstb");
        }
        QWidget *objects =
            (QTest::mouseClick(control<QAbstractButton>(w, "Command1"), Qt::LeftButton),
             open("Command1"));
        QLineEdit *model = field(objects, "ModelCombo");
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(model, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(model->text(), "first");
    }

    void formattedPasteIntoTheScriptIsPlain()
    {
        QWidget *w = open("Command1");
        auto *mime = new QMimeData;
        mime->setHtml("<b>bold</b><table><tr><td>cell</td></tr></table>");
        mime->setText("bold\ncell");
        QGuiApplication::clipboard()->setMimeData(mime);
        QTest::keyClick(output(w), Qt::Key_V, Qt::ControlModifier);
        copy(w);
        QCOMPARE(clipboardBytes(), QByteArray("bold\r\ncell"));
        QVERIFY(!output(w)->document()->toHtml().contains("<table"));
    }

    // Another program takes the clipboard the moment it is written.
    void failedClipboardWriteIsReported()
    {
        QWidget *w = open("Command1");
        fillBike(w);
        clickAndAnswer(w, "Add");
        const QString before = output(w)->toPlainText();
        grabClipboardOnNextWrite();
        const QList<Message> seen = copy(w);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].text, kNotCopied);
        QVERIFY(seen[0].plain);
        QCOMPARE(output(w)->toPlainText(), before);
        QVERIFY(!output(w)->textCursor().hasSelection());
    }

    void theTwoScriptsAreIndependent()
    {
        QWidget *objects = open("Command1");
        fillBike(objects);
        clickAndAnswer(objects, "Add");
        QTest::mouseClick(control<QAbstractButton>(objects, "Command1"), Qt::LeftButton);
        QWidget *trigger = open("Command2");
        QVERIFY(output(trigger)->toPlainText().isEmpty());
        QCOMPARE(copy(trigger).value(0).text, kNoScript);
    }
};

QTEST_MAIN(ScriptWindowsTest)
#include "script_windows_test.moc"
