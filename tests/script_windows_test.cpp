// The two script windows driven through their real widgets: the exact bytes
// that reach the clipboard, the messages, and what each button leaves in place.

#include "guitest.h"
#include "scriptmark.h"

#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>

#include <utility>

namespace {

const QString kCopied = "The script has been copied to clipboard!";

const QByteArrayList kFields[] = {{"comment", "IDname", "ModelCombo", "OriginX", "OriginY",
                                   "OriginZ", "AngleY", "AngleP", "AngleR", "ScaleSize"},
                                  {"comment", "IDname", "OriginXa", "OriginYa", "OriginZa",
                                   "OriginX2", "OriginY2", "OriginZ2", "OriginX3", "OriginY3",
                                   "OriginZ3", "Text1", "Text2", "Text3", "Text4"}};
// Every field its own value, so a value read from the wrong box shows; the
// object comment's no-break space and "ü" must pass unchanged.
const QString kDistinct[] = {"c\u00a0ü|id2|m/3.tik|4|-5|6.5|7|8|9|1.25",
                             "c1|id2|3|4|5|6|7|8|9|10|11|t12|m 13|14|15"};

// Window 0 is the Objects window, 1 the Trigger Spawn window.
QWidget *open(int window) { return openFromMenu(window == 0 ? "Command1" : "Command2"); }

void fill(QWidget *w, int window, const QString &values)
{
    const QStringList split = values.split('|');
    for (qsizetype i = 0; i < split.size(); ++i)
        type(w, kFields[window][i], split[i]);
}

QPlainTextEdit *output(QWidget *w) { return control<QPlainTextEdit>(w, "Output"); }

// A box's background and text colours, and what its tooltip says, and its
// accessible description where that says something else.
QString look(QLineEdit *box)
{
    const QString said = box->accessibleDescription();
    return box->palette().color(QPalette::Base).name() + box->palette().color(QPalette::Text).name()
           + " " + box->toolTip() + (said == box->toolTip() ? "" : " | " + said);
}

// A marked box: light red, black text, and a sentence saying why.
bool marked(QLineEdit *box) { return look(box).startsWith("#ffc0c0#000000 The game "); }

// The script box's mark: the line shown light red across the box with black
// text, what resting the mouse on it says, and the box's accessible
// description; empty when nothing is marked.
QString scriptMark(QWidget *w)
{
    QPlainTextEdit *box = output(w);
    const QList<QTextEdit::ExtraSelection> marks = box->extraSelections();
    if (marks.isEmpty())
        return box->accessibleDescription();
    // One mark a screen line, each across the box's full width.
    const QTextBlock block = box->document()->findBlock(marks.first().cursor.position());
    for (const QTextEdit::ExtraSelection &mark : marks) {
        if (mark.format.background() != QBrush(QColor("#ffc0c0"))
            || mark.format.foreground() != QBrush(Qt::black)
            || !mark.format.boolProperty(QTextFormat::FullWidthSelection)
            || mark.cursor.hasSelection()
            || box->document()->findBlock(mark.cursor.position()) != block)
            return QStringLiteral("not a light red line");
    }
    if (marks.size() != block.layout()->lineCount()
        || marks.first().cursor.position() != block.position())
        return QStringLiteral("%1 of %2 screen lines marked")
            .arg(marks.size())
            .arg(block.layout()->lineCount());
    QTextCursor at(block);
    QHelpEvent hover(QEvent::ToolTip, box->cursorRect(at).center(), QPoint(10, 10));
    QCoreApplication::sendEvent(box->viewport(), &hover);
    return QString::number(block.blockNumber() + 1) + "|" + QToolTip::text() + "|"
           + box->accessibleDescription();
}

// Types into the script box: '\n' is Enter, '\v' is Shift+Enter.
void typeScript(QWidget *w, const QString &keys)
{
    for (QChar c : keys) {
        if (c == u'\n' || c == u'\v')
            QTest::keyClick(output(w), Qt::Key_Return,
                            c == u'\v' ? Qt::ShiftModifier : Qt::NoModifier);
        else
            QTest::keyClicks(output(w), QString(c));
    }
}

} // namespace

class ScriptWindowsTest final : public WindowTest
{
    Q_OBJECT

private slots:
    // Text typed into the script box, two clicks on Add, then Copy. A block is
    // refused, with one message a click, when a required field is empty.
    void addToScript_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("before"); // the typed text as it is copied
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QByteArrayList>("marked"); // boxes whose value the game misreads
        QTest::newRow("objects: distinct values")
            << 0 << kDistinct[0] << "" << QByteArray()
            << QByteArray("//c\u00a0ü\r\nlocal.id2 = spawn script_model\r\n"
                          "local.id2 model \"m/3.tik\"\r\nlocal.id2.origin = ( 4 -5 6.5 )\r\n"
                          "local.id2.angles = ( 7 8 9 )\r\nlocal.id2.scale = 1.25\r\n\r\n")
            << QByteArrayList();
        QTest::newRow("objects: empty, blank and quoted values, after typed lines")
            << 0 << "|my bike|a\"b.tik||||-1|x| |"
            << "// mine\vno end" << QByteArray("// mine\r\nno end")
            << QByteArray(
                   "local.my bike = spawn script_model\r\nlocal.my bike model \"a\"b.tik\"\r\n"
                   "local.my bike.origin = (    )\r\nlocal.my bike.angles = ( -1 x   )\r\n"
                   "local.my bike.scale = \r\n\r\n")
            << QByteArrayList{"IDname",  "ModelCombo", "OriginX", "OriginY",
                              "OriginZ", "AngleP",     "AngleR",  "ScaleSize"};
        QTest::newRow("trigger: distinct values")
            << 1 << kDistinct[1] << "" << QByteArray()
            << QByteArray(
                   "//c1\r\nlocal.id2 = spawn trigger_multiple\r\n"
                   "local.id2.origin = ( 3 4 5 )\r\nlocal.id2 setsize ( 6 7 8 ) ( 9 10 11 )\r\n"
                   "local.id2 setthread t12\r\nlocal.id2 message \"m 13\"\r\n"
                   "local.id2 wait 14\r\nlocal.id2 delay 15\r\n\r\n")
            << QByteArrayList();
        QTest::newRow("trigger: blank and empty values, after a line")
            << 1 << " | |||||||||| |say \"hi\"||"
            << "x\n"
            << QByteArray("x\r\n")
            << QByteArray(
                   "// \r\nlocal.  = spawn trigger_multiple\r\nlocal. .origin = (    )\r\n"
                   "local.  setsize (    ) (    )\r\nlocal.  setthread  \r\n"
                   "local.  message \"say \"hi\"\"\r\nlocal.  wait \r\nlocal.  delay \r\n\r\n")
            << (kFields[1].mid(1, 10) + QByteArrayList{"Text1", "Text2", "Text3", "Text4"});
        const char *const refused[][3] = {
            {"objects: no model", "0", "c|id"},
            {"objects: no ID name", "0", "c||m.tik"},
            {"objects: neither", "0", "c"},
            {"trigger: no ID name", "1", "c||1|2|3|4|5|6|7|8|9|t|m"},
            {"trigger: no thread", "1", "c|id|1|2|3|4|5|6|7|8|9||m"},
            {"trigger: no message", "1", "c|id|1|2|3|4|5|6|7|8|9|t"},
            {"trigger: none of the three", "1", "c"},
        };
        for (const auto &[tag, window, values] : refused)
            QTest::newRow(tag) << QByteArray(window).toInt() << values << "mine"
                               << QByteArray("mine") << QByteArray() << QByteArrayList();
    }
    void addToScript()
    {
        QFETCH(int, window);
        QFETCH(QString, values);
        QFETCH(QString, typed);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, block);
        QFETCH(QByteArrayList, marked);
        QWidget *w = open(window);
        fill(w, window, values);
        for (const QByteArray &name : kFields[window])
            QVERIFY2(::marked(field(w, name)) == marked.contains(name), name);
        typeScript(w, typed);
        const QStringList said{
            "An input field is empty, please perform an input before processing the code"};
        QCOMPARE(clickAndAnswer(w, "Add"), block.isEmpty() ? said : QStringList());
        QCOMPARE(clickAndAnswer(w, "Add"), block.isEmpty() ? said : QStringList());
        clickClose(w); // the script and every field are kept while the window is hidden
        QCOMPARE(open(window), w);

        QCOMPARE(clickAndAnswer(w, "Command2"), QStringList{kCopied});
        QCOMPARE(clipboardBytes(), before + block + block);
        QCOMPARE(output(w)->textCursor().selectedText(), output(w)->document()->toRawText());
        const QStringList split = values.split('|');
        for (qsizetype i = 0; i < split.size(); ++i) // no field changes
            QCOMPARE(field(w, kFields[window][i])->text(), split[i]);
    }

    // Every field holds its own value, the script box what was typed; Taken:
    // another program takes the clipboard the moment it is written.
    void buttons_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("clipboard");
        QTest::addColumn<QByteArrayList>("emptied");
        const auto row = [](const char *tag, int window, const char *typed, const char *button,
                            bool taken, const QString &message, const char *clipboard,
                            const QByteArrayList &emptied = {}) {
            QTest::newRow(tag) << window << QString(typed) << QByteArray(button) << taken
                               << (message.isEmpty() ? QStringList() : QStringList{message})
                               << QByteArray(clipboard) << emptied;
        };
        const QString noScript = "There is no script to copy to the clipboard!";
        const QString notCopied = "The script could not be copied to the clipboard!";
        row("objects: Clear Input Fields", 0, "mine", "Command4", false, "", "before",
            {"IDname", "ModelCombo", "comment"});
        row("objects: Clear Script", 0, "a\nb\vc\n", "Command3", false, "", "before", {"Output"});
        row("trigger: Clear Input Fields", 1, "mine", "Command4", false, "", "before",
            {"IDname", "Text1", "Text2", "comment"});
        row("trigger: Clear Script", 1, "a\n\nb\vc", "Command3", false, "", "before", {"Output"});
        row("objects: empty script", 0, "", "Command2", false, noScript, "before");
        row("a lone line end", 0, "\n", "Command2", false, kCopied, "\r\n");
        row("trigger: Shift+Enter and Enter", 1, "a\v\vb\nc\v", "Command2", false, kCopied,
            "a\r\n\r\nb\r\nc\r\n");
        row("trigger: taken", 1, "mine", "Command2", true, notCopied, "someone else");
    }
    void buttons()
    {
        QFETCH(int, window);
        QFETCH(QString, typed);
        QFETCH(QByteArray, button);
        QFETCH(bool, taken);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, clipboard);
        QFETCH(QByteArrayList, emptied);
        QWidget *w = open(window);
        fill(w, window, kDistinct[window]);
        typeScript(w, typed);
        const QString script = output(w)->toPlainText();
        auto taker = taken ? takeClipboard() : nullptr;
        QCOMPARE(clickAndAnswer(w, button), messages);
        taker.reset();
        QCOMPARE(clipboardBytes(), clipboard);
        const QStringList values = kDistinct[window].split('|');
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QByteArray &name = kFields[window][i];
            QCOMPARE(field(w, name)->text(), emptied.contains(name) ? "" : values[i]);
        }
        QCOMPARE(output(w)->toPlainText(), emptied.contains("Output") ? "" : script);
        // A copy leaves the whole script selected; a failed one, the window as it was.
        QCOMPARE(output(w)->textCursor().hasSelection(), messages == QStringList{kCopied});
    }

    // A field keeps the first line of what is pasted into it, and nothing is
    // cut; the cursor stands at the end of the kept text.
    void pastedValues_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        const QString mega = QString(1 << 20, u'm') + "ü";
        QTest::newRow("1 MB") << mega << mega;
        QTest::newRow("CR LF") << "first\r\nsecond"
                               << "first";
        QTest::newRow("line separator") << "first\u2028second"
                                        << "first";
        QTest::newRow("frame marks") << QString::fromUtf16(u"a\uFDD0b\uFDD1c") << "abc";
    }
    void pastedValues()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        for (int window : {0, 1}) {
            QWidget *w = open(window);
            for (const char *name : {"IDname", window == 0 ? "ModelCombo" : "OriginX3"}) {
                QGuiApplication::clipboard()->setText(pasted);
                type(w, name, "<>");
                QTest::keyClick(field(w, name), Qt::Key_Left);
                QTest::keyClick(field(w, name), Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(field(w, name)->text(), "<" + kept + ">");
                QCOMPARE(field(w, name)->cursorPosition(), kept.size() + 1);
            }
            clickClose(w);
        }
    }

    // A box is marked as its text changes, however it changes; a mended box
    // looks as it did in the fresh window.
    void marksFollowTheText()
    {
        QWidget *w = open(0);
        QLineEdit *id = field(w, "IDname");
        const QString fresh = look(id);
        QCOMPARE(fresh, "#ffffff#000000 ");
        const QString breaker = "#ffc0c0#000000 The game cannot load a name holding a space, a "
                                "sign or an accented letter: use letters, digits and _, as in "
                                "bike_1.";
        QTest::keyClicks(id, "bike-");
        QCOMPARE(look(id), breaker);
        QTest::keyClick(id, Qt::Key_Backspace);
        QCOMPARE(look(id), fresh);
        QTest::keyClick(id, Qt::Key_Z, Qt::ControlModifier); // undo
        QCOMPARE(id->text(), "bike-");
        QCOMPARE(look(id), breaker);
        QGuiApplication::clipboard()->setText("size");
        QTest::keyClick(id, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(id, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(look(id), "#ffc0c0#000000 The game reads size as a keyword and cannot load the "
                           "line: write Size or another name.");
        clickAndAnswer(w, "Command4"); // Clear Input Fields
        QCOMPARE(look(id), fresh);
        // An input method may commit text and leave the cursor before it.
        QInputMethodEvent commit({}, {{QInputMethodEvent::Selection, 0, 0, {}}});
        commit.setCommitString("bike 1\nsecond\rthird");
        QCoreApplication::sendEvent(id, &commit);
        QCOMPARE(id->text(), "bike 1");
        QCOMPARE(look(id), breaker);
        // The model box's edit part, set by choosing the one suggestion; a
        // typed text is not completed from the list, nor added to it.
        auto *combo = control<QComboBox>(w, "ModelCombo");
        type(w, "ModelCombo", "models\\bush.tik");
        QVERIFY(marked(combo->lineEdit()));
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentText(), "vehicles/bmwbike.tik");
        QCOMPARE(look(combo->lineEdit()), fresh);
        QVERIFY(QTest::qWaitForWindowActive(w));
        combo->lineEdit()->clear();
        combo->setFocus(); // a completer acts only on the focused box
        QTest::keyClicks(combo, "v");
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->currentText(), "v");
        QCOMPARE(combo->count(), 1);
    }

    // The script box is read whenever its text changes; the line where the
    // game would stop is marked, and only while it would.
    void scriptBoxMarksWhereTheGameStops()
    {
        QWidget *w = open(0);
        const QString vector = "3|The game cannot read ')' here: it needs a value.|"
                               "Line 3: The game cannot read ')' here: it needs a value.";
        typeScript(w, "main:\nlocal.a = 1\nlocal.b = ( 1 2 )\nend\n");
        QTRY_COMPARE(scriptMark(w), vector);
        // Resting the mouse on another line says nothing.
        QHelpEvent elsewhere(
            QEvent::ToolTip,
            output(w)->cursorRect(QTextCursor(output(w)->document()->firstBlock())).center(),
            QPoint(10, 10));
        QCoreApplication::sendEvent(output(w)->viewport(), &elsewhere);
        QTRY_VERIFY(!QToolTip::isVisible());
        // Mended with the keyboard: the mark goes; undone, it comes back.
        QTest::keyClick(output(w), Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(output(w), Qt::Key_Down);
        QTest::keyClick(output(w), Qt::Key_Down);
        QTest::keyClick(output(w), Qt::Key_End);
        QTest::keyClick(output(w), Qt::Key_Left);
        QTest::keyClicks(output(w), "3 ");
        QTRY_COMPARE(scriptMark(w), "");
        QTest::keyClick(output(w), Qt::Key_Z, Qt::ControlModifier);
        QTRY_COMPARE(scriptMark(w), vector);
        QCOMPARE(output(w)->toPlainText(), "main:\nlocal.a = 1\nlocal.b = ( 1 2 )\nend\n");
        // Clear Script: nothing left to mark. A pasted piece of an old script.
        clickAndAnswer(w, "Command3");
        QTRY_COMPARE(output(w)->accessibleDescription(), "");
        QCOMPARE(scriptMark(w), "");
        // Its refused line is long enough to wrap: marked on every screen line.
        QGuiApplication::clipboard()->setText("a\nlocal.c.origin = ( 1,5 0 0 ) //"
                                              + QString(300, 'x') + "\n");
        QTest::keyClick(output(w), Qt::Key_V, Qt::ControlModifier);
        const QString comma = "The game reads a comma as a word of its own and cannot load the "
                              "line: write 1.5, not 1,5.";
        QTRY_COMPARE(scriptMark(w), "2|" + comma + "|Line 2: " + comma);
        QVERIFY(output(w)->document()->findBlockByNumber(1).layout()->lineCount() > 2);
        // A block added with a marked box marks its line; one that loads, none.
        clickAndAnswer(w, "Command3");
        QTRY_COMPARE(scriptMark(w), "");
        fill(w, 0, kDistinct[0]);
        clickAndAnswer(w, "Add");
        QCOMPARE(output(w)->document()->blockCount(), 8);
        type(w, "OriginY", "1,5");
        clickAndAnswer(w, "Add");
        // The first block loads: the first stop is in the second.
        QTRY_COMPARE(scriptMark(w), "11|" + comma + "|Line 11: " + comma);
        // The Trigger Spawn window's box is read too.
        clickClose(w);
        QWidget *trigger = open(1);
        typeScript(trigger, "local.t setthread ::open\n");
        QTRY_COMPARE(scriptMark(trigger),
                     "1|The game cannot read '::' here: it needs a command, a label or a "
                     "variable at the start of a statement.|Line 1: The game cannot read '::' "
                     "here: it needs a command, a label or a variable at the start of a "
                     "statement.");
        // A command the game does not know stops the script too.
        clickAndAnswer(trigger, "Command3");
        typeScript(trigger, "local.t wait 1\nlocal.t dealy 0\n");
        const QString delay = "The game knows no command 'dealy' and will not load the script: "
                              "did you mean 'delay'?";
        QTRY_COMPARE(scriptMark(trigger), "2|" + delay + "|Line 2: " + delay);
    }

    // Quick edits: a change made while the box is being read drops that
    // reading, and the mark follows the newest text, never an older one; in a
    // script read at once, and in a large one, where a reading waits for a
    // pause in the typing.
    void markFollowsQuickEdits_data()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("under 200,000 characters") << 3;
        QTest::newRow("over 200,000 characters") << 7'000;
    }
    void markFollowsQuickEdits()
    {
        QFETCH(int, lines);
        QWidget *w = open(0);
        QPlainTextEdit *box = output(w);
        QTextCursor(box->document())
            .insertText(QString("local.a.origin = ( 512 -256 0 )\n").repeated(lines) + ",");
        const auto line = [lines](int after) { return QString("Line %1: ").arg(lines + after); };
        QTRY_VERIFY(box->accessibleDescription().startsWith(line(1)));
        box->moveCursor(QTextCursor::End);
        bool overtaken = false;
        connect(
            box->findChild<ScriptMark *>(), &ScriptMark::readingWanted, this,
            [&] {
                if (std::exchange(overtaken, true))
                    return;
                // Typed before that reading comes back: ",", two lines down.
                QTest::keyClick(box, Qt::Key_Backspace);
                typeScript(w, "\n,");
            },
            Qt::DirectConnection);
        QTest::keyClick(box, Qt::Key_Backspace);
        typeScript(w, "\n,"); // one line down
        bool stale = false;
        QVERIFY(QTest::qWaitFor([&] {
            stale = stale || box->accessibleDescription().startsWith(line(2));
            return box->accessibleDescription().startsWith(line(3));
        }));
        QVERIFY(overtaken);
        QVERIFY(!stale);
    }

    // The size triples take the system's button and highlight colours, each
    // with the text colour meant for it, and follow the colour scheme as it
    // changes, shown and then hidden, also while a box is marked.
    void sizeBoxesFollowTheColourScheme()
    {
        const QPalette system = QApplication::palette();
        QWidget *w = open(1);
        const auto colours = [w] {
            QString looks;
            for (const char *name : {"OriginX2", "OriginZ2", "OriginX3", "OriginY3"})
                looks += look(field(w, name)).left(14) + ' '; // the colours alone
            return looks.trimmed();
        };
        type(w, "OriginZ2", "1 2");
        type(w, "OriginY3", "x");
        type(w, "Text3", "x");
        QPalette palette = system;
        palette.setColor(QPalette::Base, QColor("#202122")); // a dark scheme: dark boxes,
        palette.setColor(QPalette::Text, QColor("#e0e1e2")); // light text
        const QPalette::ColorRole roles[] = {QPalette::Button, QPalette::ButtonText,
                                             QPalette::Highlight, QPalette::HighlightedText};
        // Button, its text, highlight, its text: changed shown, then hidden.
        for (const QString scheme :
             {"#102030#a0a1a2#405060#b0b1b2", "#112233#c0c1c2#445566#d0d1d2"}) {
            for (int i = 0; i < 4; ++i)
                palette.setColor(roles[i], QColor(scheme.mid(7 * i, 7)));
            QApplication::setPalette(palette);
            QTRY_COMPARE(colours(),
                         scheme.left(14) + " #ffc0c0#000000 " + scheme.mid(14) + " #ffc0c0#000000");
            // Ordinary boxes take the scheme's colours, and a marked one keeps black on red.
            QCOMPARE(look(field(w, "OriginXa")).left(14), "#202122#e0e1e2");
            QCOMPARE(look(field(w, "Text3")).left(14), "#ffc0c0#000000");
            if (w->isVisible())
                clickClose(w);
        }
        open(1);
        type(w, "OriginZ2", "12");
        type(w, "OriginY3", "-3");
        QCOMPARE(colours(), "#112233#c0c1c2 #112233#c0c1c2 #445566#d0d1d2 #445566#d0d1d2");
        QApplication::setPalette(system);
    }
};

QTEST_MAIN(ScriptWindowsTest)
#include "script_windows_test.moc"
