// The script reader against the game's two public readers (a committed table
// of their verdicts), and against texts made to hurt it: deep nesting, NUL
// bytes, random bytes, every kind of line end.

#include "reader.h"
#include "tabletext.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <string>

class ReaderTest final : public QObject
{
    Q_OBJECT

private slots:
    // Every row: loads or stops as both readers say, at the line they name.
    void table_data()
    {
        QTest::addColumn<QByteArray>("fragment");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<bool>("readingOnly");
        QTest::addColumn<int>("line");
        QFile table(QStringLiteral(SPAWNSMITH_READER_TABLE));
        QVERIFY2(table.open(QIODevice::ReadOnly), qPrintable(table.fileName()));
        int row = 0;
        while (!table.atEnd()) {
            const QByteArray entry = table.readLine().chopped(1);
            if (entry.startsWith('#'))
                continue;
            const QList<QByteArray> fields = entry.split('\t');
            QCOMPARE(fields.size(), 4);
            QTest::addRow("row %d", ++row) << fields[3] << (fields[0] == "loads")
                                           << (fields[1] == "reading") << fields[2].toInt();
        }
        QVERIFY(row >= 1000);
    }
    void table()
    {
        QFETCH(QByteArray, fragment);
        QFETCH(bool, loads);
        QFETCH(bool, readingOnly);
        QFETCH(int, line);
        const auto stop =
            script::readScript(unescape(fragment),
                               readingOnly ? script::Stages::ReadingOnly : script::Stages::Grammar);
        QCOMPARE(!stop.has_value(), loads);
        if (stop && line != 0)
            QCOMPARE(stop->line, std::size_t(line));
    }

    // Where the game stops, and what it says there.
    void stop_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("comma") << QByteArray("main:\r\nlocal.a.origin = ( 1,5 0 0 )\r\nend\r\n")
                               << 2 << 21
                               << "The game reads a comma as a word of its own and cannot load "
                                  "the line: write 1.5, not 1,5.";
        QTest::newRow("vector of two") << QByteArray("local.a.origin = ( 0 0 )\nend\n") << 1 << 24
                                       << "The game cannot read ')' here: it needs a value.";
        QTest::newRow("setsize with =")
            << QByteArray(
                   "local.t = spawn trigger_multiple\n\nlocal.t setsize = ( 0 0 0 ) ( 1 1 1 )\n")
            << 3 << 17
            << "The game cannot read '=' here: it needs a command, a label or a variable at the "
               "start of a statement.";
        QTest::newRow("size as a name")
            << QByteArray("local.size = spawn script_model\n") << 1 << 12
            << "The game reads size as the length of an array and cannot assign to it: use "
               "another name.";
        QTest::newRow("lone CR ends no line") << QByteArray("a\rb\nlocal.x = +\n") << 2 << 11
                                              << "The game cannot read '+' here: it needs a value.";
        QTest::newRow("unclosed comment") << QByteArray("a\n/* b\nc\n") << 2 << 1
                                          << "The game reads everything after /* as a comment, "
                                             "and no */ closes it.";
        QTest::newRow("label twice") << QByteArray("main:\nend\nmain:\nend\n") << 3 << 1
                                     << "The game has a label of this name already: give this "
                                        "one a name of its own.";
        QTest::newRow("stop at a negating minus") << QByteArray("local.a -5\n") << 1 << 9
                                                  << "The game cannot read '-' here: it needs a "
                                                     "command, '=', '++' or '--' after the "
                                                     "variable.";
        QTest::newRow("stop in the middle of a long script")
            << QByteArray("wait 1\n").repeated(100'000) + "local.a = ( 1,5 0 0 )\n"
                   + QByteArray("wait 1\n").repeated(100'000)
            << 100'001 << 14
            << "The game reads a comma as a word of its own and cannot load the line: write 1.5, "
               "not 1,5.";
        QTest::newRow("unread line wins over uncompiled one")
            << QByteArray("break\nlocal.a = (\n") << 3 << 1
            << "The game cannot read the end of the script here: it needs a value.";
    }
    void stop()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, sentence);
        const auto stop = script::readScript(text.toStdString());
        QVERIFY(stop);
        QCOMPARE(stop->line, std::size_t(line));
        QCOMPARE(stop->column, std::size_t(column));
        QCOMPARE(QString::fromStdString(stop->sentence), sentence);
    }

    // Corners of the language; and where the two readers part, a text loads
    // only if both load it.
    void corners_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("loads");
        QTest::newRow("bracket closed on the next line")
            << QByteArray("local.a = ( 1\n)\n") << true;
        QTest::newRow("';' right after a body") << QByteArray("if (1) {\n};else {\n}\n") << true;
        QTest::newRow("';' after a line end ends the if")
            << QByteArray("if (1) {\n}\n;else {\n}\n") << false;
        QTest::newRow("compound assignments")
            << QByteArray("local.a -= 1\nlocal.b *= ( 2 )\nlocal.c-=1\n") << true;
        QTest::newRow("5. a number in one, a name in the other")
            << QByteArray("local.a.origin = ( 0 -5. 0 )\n") << false;
        QTest::newRow("5. as the last argument") << QByteArray("local.a wait 5.\n") << true;
        QTest::newRow("$$ one sign in one") << QByteArray("$$\twait 1\n") << false;
        QTest::newRow("NUL ends the text in one") << QByteArray("a\nb\0 ( \n", 8) << false;
        QTest::newRow("NUL between statements") << QByteArray("end\n\0 end\n", 10) << true;
        QTest::newRow("comma the game never sees")
            << QByteArray("end\n\0 end, end */\n", 19) << true;
        QTest::newRow("element of no array") << QByteArray("local.a.size[1] = 5\n") << false;
        QTest::newRow("each switch has labels of its own")
            << QByteArray("switch (local.a) {\ncase 1:\nbreak\n}\n"
                          "switch (local.b) {\ncase 1:\nbreak\n}\n")
            << true;
        // Long enough to be cut in a thread of its own while it is read.
        QTest::newRow("a long script, nested all through")
            << QByteArray("if (1) {\n\tlocal.a[1].origin = ( 1 -2 ( 3 ) )\n}\n").repeated(20'000)
            << true;
        QTest::newRow("a line end after for's bracket")
            << QByteArray("for (\nlocal.i = 0; local.i < 2; local.i++)\n\twait 1\n") << true;
        QTest::newRow("?: in one only") << QByteArray("local.a = b ? c : d\n") << false;
        QTest::newRow("+label in one only") << QByteArray("+a:\nend\n") << false;
    }
    void corners()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, loads);
        QCOMPARE(!script::readScript(std::string(text.constData(), text.size())).has_value(),
                 loads);
    }

    // What the game's compiler refuses once every line is read, as the two
    // readers' compilers judge it: case values, labels the compiler takes for
    // one, parameters, and the breaks and continues it holds at once.
    void compileChecks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stop"); // the kind of the stop; empty when it loads
        const auto inSwitch = [](const QByteArray &cases) {
            return "switch (local.a) {\n" + cases + "}\n";
        };
        const QByteArray loads, label = "duplicate-label", caseValue = "case-value",
                                parameter = "parameter-not-variable";
        QTest::newRow("case -1") << inSwitch("case -1:\nbreak\n") << loads;
        QTest::newRow("case in brackets") << inSwitch("case ( 1 ):\nbreak\n") << loads;
        QTest::newRow("case -( 1 )") << inSwitch("case -( 1 ):\nbreak\n") << loads;
        QTest::newRow("case 1.5") << inSwitch("case 1.5:\nbreak\n") << caseValue;
        QTest::newRow("case local.b") << inSwitch("case local.b:\nbreak\n") << caseValue;
        QTest::newRow("case a::b") << inSwitch("case a::b:\nbreak\n") << caseValue;
        QTest::newRow("case ( 1 2 3 )") << inSwitch("case ( 1 2 3 ):\nbreak\n") << caseValue;
        QTest::newRow("cases 1 and 01") << inSwitch("case 1:\ncase 01:\n") << label;
        QTest::newRow("cases -1 and -01") << inSwitch("case -1:\ncase -01:\n") << label;
        QTest::newRow("cases 1 and \"1\"") << inSwitch("case 1:\ncase \"1\":\n") << label;
        QTest::newRow("cases -1 and \"-1\"") << inSwitch("case -1:\ncase \"-1\":\n") << label;
        QTest::newRow("cases -0 and 0") << inSwitch("case -0:\ncase 0:\n") << label;
        QTest::newRow("cases a and \"a\"") << inSwitch("case a:\ncase \"a\":\n") << label;
        QTest::newRow("cases 1 and -1") << inSwitch("case 1:\ncase -1:\n") << loads;
        // A number past the compiler's integers is its largest.
        QTest::newRow("cases 2147483647 and 2147483648")
            << inSwitch("case 2147483647:\ncase 2147483648:\n") << label;
        QTest::newRow("cases 1000000000 and 2147483647")
            << inSwitch("case 1000000000:\ncase 2147483647:\n") << loads;
        // Switches one after another, the first large: each has labels of its own.
        const auto cases = [&](int count) {
            QByteArray labels;
            for (int i = 1; i <= count; ++i)
                labels += "case " + QByteArray::number(i) + ":\n";
            return inSwitch(labels);
        };
        QTest::newRow("switches after a large one")
            << cases(1000) + cases(200) + cases(200) << loads;
        // A switch in a case has labels of its own; the outer one's are kept
        // past its end.
        const QByteArray inner = "case 1:\n\tswitch (local.b) {\n\tcase 2:\n\t\tbreak\n\t}\n";
        QTest::newRow("a case after a switch in a switch, as the inner's")
            << inSwitch(inner + "case 2:\nbreak\n") << loads;
        QTest::newRow("a case after a switch in a switch, as the outer's")
            << inSwitch(inner + "case 1:\nbreak\n") << label;
        QTest::newRow("labels l\\abel and label")
            << QByteArray("l\\abel:\nend\nlabel:\nend\n") << label;
        QTest::newRow("labels Main and main") << QByteArray("Main:\nend\nmain:\nend\n") << loads;
        QTest::newRow("a case's parameter") << inSwitch("case 1 local.b:\nbreak\n") << loads;
        QTest::newRow("a case's parameter not a variable")
            << inSwitch("case 1 5:\nbreak\n") << parameter;
        QTest::newRow("a case's parameter a field")
            << inSwitch("case 1 local.b.c:\nbreak\n") << parameter;
        QTest::newRow("a case's parameter an element")
            << inSwitch("case 1 local.b[1]:\nbreak\n") << parameter;
        QTest::newRow("a label's parameter a field")
            << QByteArray("a local.b local.c.d:\nend\n") << parameter;
        QTest::newRow("a label's parameter an element")
            << QByteArray("a local.b[1]:\nend\n") << parameter;
        // A field the game keeps for itself cannot be a parameter: any field
        // of an object that has a setter of that name, a level's own.
        const QByteArray builtIn = "built-in-parameter";
        QTest::newRow("parameter self.origin") << QByteArray("a self.origin:\nend\n") << builtIn;
        QTest::newRow("parameter self.Origin") << QByteArray("a self.Origin:\nend\n") << loads;
        QTest::newRow("parameter level.alarm") << QByteArray("a level.alarm:\nend\n") << builtIn;
        QTest::newRow("parameter local.alarm") << QByteArray("a local.alarm:\nend\n") << loads;
        const QByteArray breaks = "too-many-breaks", continues = "too-many-continues";
        QTest::newRow("99 breaks in a switch")
            << inSwitch("case 1:\n" + QByteArray("break\n").repeated(99)) << loads;
        QTest::newRow("100 breaks in a switch")
            << inSwitch("case 1:\n" + QByteArray("break\n").repeated(100)) << breaks;
        QTest::newRow("100 breaks in a loop")
            << "while (1) {\n" + QByteArray("break\n").repeated(100) + "}\n"
            << loads;
        QTest::newRow("101 breaks in a loop")
            << "while (1) {\n" + QByteArray("break\n").repeated(101) + "}\n"
            << breaks;
        QTest::newRow("101 breaks in two loops one after the other")
            << "while (1) {\n" + QByteArray("break\n").repeated(60) + "}\nwhile (1) {\n"
                   + QByteArray("break\n").repeated(41) + "}\n"
            << loads;
        QTest::newRow("101 breaks in two loops one in the other")
            << "while (1) {\n" + QByteArray("break\n").repeated(60) + "while (1) {\n"
                   + QByteArray("break\n").repeated(41) + "}\n}\n"
            << breaks;
        QTest::newRow("100 continues in a loop")
            << "while (1) {\n" + QByteArray("continue\n").repeated(100) + "}\n"
            << loads;
        QTest::newRow("101 continues in a loop")
            << "while (1) {\n" + QByteArray("continue\n").repeated(101) + "}\n"
            << continues;
        QTest::newRow("a break in a for loop's steps")
            << QByteArray("for (local.i = 0; local.i < 5; break) {\nwait 1\n}\n") << loads;
        QTest::newRow("a continue in a for loop's steps")
            << QByteArray("for (local.i = 0; local.i < 5; continue) {\nwait 1\n}\n")
            << QByteArray("continue-outside");
        QTest::newRow("a continue in a for loop's body")
            << QByteArray("for (local.i = 0; local.i < 5; local.i++) {\ncontinue\n}\n") << loads;
        QTest::newRow("a continue in an if in a for loop's body") << QByteArray(
            "for (local.i = 0; local.i < 5; local.i++)\n\tif (local.b)\n\t\tcontinue\n")
                                                                  << loads;
    }
    void compileChecks()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stop);
        const auto found = script::readScript(text.toStdString());
        const std::string_view kind = found ? script::code(found->kind) : "";
        QCOMPARE(QByteArray(kind.data(), qsizetype(kind.size())), stop);
    }

    // A large script is cut into words in batches; wherever a batch ends,
    // a comment line after a line end is still no statement of its own.
    void batchBoundaries_data()
    {
        QTest::addColumn<int>("repeats");
        QTest::newRow("cut where it is read") << 2'000;
        QTest::newRow("cut in a thread of its own") << 60'000;
    }
    void batchBoundaries()
    {
        QFETCH(int, repeats);
        // Three words a line; a shift of two words each time meets every place.
        for (int shift = 0; shift < 3; ++shift) {
            const QByteArray text = QByteArray("wait\n").repeated(shift)
                                    + QByteArray("wait 1\n// c\n").repeated(repeats);
            const auto stop = script::readScript(text.toStdString());
            QVERIFY2(!stop, stop ? stop->sentence.c_str() : "");
        }
    }

    // Every command is looked up in the game's vocabulary, in any letter case:
    // a statement needs a plain command, a value one that gives a value;
    // fields are not looked up. A command the game does not know stops the
    // script at that command, with the one probably meant.
    void commands_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("stop"); // line:column sentence, empty when it loads
        const QString model = "The game knows no command 'modle' and will not load the script: "
                              "did you mean 'model'?";
        const QString spawn = "The game knows no command 'spwan' that gives a value and will "
                              "not load the script: did you mean 'spawn'?";
        QTest::newRow("statements, any case")
            << QByteArray("wait 1\nWAIT 1\nWait 0.5\n") << QString();
        QTest::newRow("sent to objects")
            << QByteArray("local.crate = spawn script_model\nlocal.crate model \"a.tik\"\n"
                          "$door OPEN\n")
            << QString();
        QTest::newRow("values") << QByteArray("local.v = getcvar skill\nlocal.w = (GETCVAR skill)\n"
                                              "local.x = -randomint 5\n")
                                << QString();
        QTest::newRow("fields") << QByteArray(
            "local.crate.foobar = 1\nlocal.x = local.crate.nothing\n")
                                << QString();
        QTest::newRow("written with a backslash") << QByteArray("wa\\it 1\n") << QString();
        QTest::newRow("mistyped") << QByteArray("main:\n\tlocal.crate modle \"a.tik\"\nend\n")
                                  << "2:14 " + model;
        QTest::newRow("sent to a targetname")
            << QByteArray("$door opne\n")
            << "1:7 The game knows no command 'opne' and will not load the script: did you mean "
               "'open'?";
        QTest::newRow("alone") << QByteArray("wat 1\n")
                               << "1:1 The game knows no command 'wat' and will not load the "
                                  "script: did you mean 'wait'?";
        QTest::newRow("two letters off, in five")
            << QByteArray("local.crate mdole \"a.tik\"\n")
            << "1:13 The game knows no command 'mdole' and will not load the script: did you mean "
               "'model'?";
        QTest::newRow("nothing near") << QByteArray("xyzzyq 1\n")
                                      << "1:1 The game knows no command 'xyzzyq' and will not "
                                         "load the script.";
        QTest::newRow("a value") << QByteArray("local.x = spwan script_model\n") << "1:11 " + spawn;
        QTest::newRow("its argument first")
            << QByteArray("modle (spwan script_model)\n") << "1:8 " + spawn;
        QTest::newRow("a value as a statement")
            << QByteArray("if (local.a) getcvar x\n")
            << "1:14 The game knows 'getcvar' only as a command that gives a value and will not "
               "load the script: use it where a value is read, as after '='.";
        QTest::newRow("a statement as a value")
            << QByteArray("local.x = wait 1\n")
            << "1:11 The game knows 'wait' only as a command that gives no value and will not "
               "load the script: use it as a statement of its own.";
        QTest::newRow("a line that cannot be read wins")
            << QByteArray("modle 1\nlocal.a = ( 1 2 )\n")
            << "2:17 The game cannot read ')' here: it needs a value.";
    }
    void commands()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, stop);
        const auto found = script::readScript(text.toStdString());
        QCOMPARE(found ? QString("%1:%2 %3")
                             .arg(found->line)
                             .arg(found->column)
                             .arg(QString::fromStdString(found->sentence))
                       : QString(),
                 stop);
    }

    // Nesting up to 1,000 levels loads; past that, and far past any script a
    // person writes, a stop, not a crash.
    void deepNesting_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("open");
        QTest::addColumn<QByteArray>("inner");
        QTest::addColumn<QByteArray>("close");
        QTest::addColumn<int>("levels");
        QTest::addColumn<bool>("loads");
        const QByteArray local = "local.a = ", wait = "wait 1\n";
        QTest::newRow("1,000 brackets")
            << local << QByteArray("(") << QByteArray("1") << QByteArray(")") << 1000 << true;
        QTest::newRow("1,001 brackets")
            << local << QByteArray("(") << QByteArray("1") << QByteArray(")") << 1001 << false;
        QTest::newRow("1,000 braces")
            << QByteArray() << QByteArray("{\n") << wait << QByteArray("}\n") << 1000 << true;
        QTest::newRow("1,001 braces")
            << QByteArray() << QByteArray("{\n") << wait << QByteArray("}\n") << 1001 << false;
        QTest::newRow("brackets") << local << QByteArray("(") << QByteArray("1") << QByteArray(")")
                                  << 100'000 << false;
        QTest::newRow("braces") << QByteArray() << QByteArray("{\n") << wait << QByteArray("}\n")
                                << 100'000 << false;
        QTest::newRow("signs") << local << QByteArray("!") << QByteArray("1") << QByteArray()
                               << 100'000 << false;
        QTest::newRow("indexes") << QByteArray("local.a") << QByteArray("[local.a")
                                 << QByteArray("1") << QByteArray("]") << 100'000 << false;
        QTest::newRow("if") << QByteArray() << QByteArray("if 1 ") << wait << QByteArray()
                            << 100'000 << false;
    }
    void deepNesting()
    {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, open);
        QFETCH(QByteArray, inner);
        QFETCH(QByteArray, close);
        QFETCH(int, levels);
        QFETCH(bool, loads);
        const QByteArray text =
            start + open.repeated(levels) + inner + close.repeated(levels) + "\n";
        const auto stop = script::readScript(text.toStdString());
        QCOMPARE(!stop, loads);
        if (stop)
            QVERIFY2(stop->sentence.find("less nesting") != std::string::npos,
                     stop->sentence.c_str());
    }

    // Random bytes and random pieces of script: a verdict every time.
    void noise()
    {
        QRandomGenerator random(18);
        static constexpr const char *pieces[] = {
            "local.", "(",    ")",    "{",    "}",  "[",  "]",    "\"",        "\\",
            "/*",     "*/",   "//",   "\r\n", "\r", "\n", "-",    " -",        "$",
            "::",     ":",    ";",    ",",    "5.", "if", "else", "makearray", "endarray",
            "\0",     "\xff", "size", " ",    "a",  "1",  ".x",   "=",         "++"};
        for (int round = 0; round < 2000; ++round) {
            std::string text;
            const int length = random.bounded(1, 200);
            for (int i = 0; i < length; ++i) {
                if (round % 2)
                    text += static_cast<char>(random.bounded(256));
                else
                    text += pieces[random.bounded(int(std::size(pieces)))];
            }
            const auto stop = script::readScript(text);
            if (stop) {
                QVERIFY(stop->offset <= text.size());
                QVERIFY(!stop->sentence.empty());
            }
        }
    }
};

QTEST_APPLESS_MAIN(ReaderTest)
#include "reader_test.moc"
