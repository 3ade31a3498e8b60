// What loads but fails when it runs: for each kind of warning, scripts that
// must get it, with the word and the nearest right one, and scripts that must
// not, where the game would not fail.

#include "levelscript.h"
#include "runchecks.h"

#include <QTest>

namespace {

const char *const kTrigger = "[not-answered] The game's trigger_multiple does not answer "
                             "'rotateyup', so the line fails when it runs.";

// A script's warnings, as "line:column [kind] sentence" lines.
QString lines(const script::LevelScript &script)
{
    QStringList out;
    for (const script::Warning &warning : script.warnings)
        out << QString("%1:%2 [%3] %4")
                   .arg(warning.place.line)
                   .arg(warning.place.column)
                   .arg(QString::fromStdString(std::string(script::code(warning.kind))),
                        QString::fromStdString(script::sentence(warning)));
    return out.join('\n');
}

// The warnings of a script, read with a second one at path beside it (and a
// third at otherPath, where given). A listener of its own beside the
// warnings' (as a language server's) must hear the reading as they do.
QString warnings(const QByteArray &text, const QByteArray &besidePath, const QByteArray &beside,
                 const QByteArray &otherPath = {}, const QByteArray &other = {})
{
    const std::string_view read(text.data(), std::size_t(text.size()));
    script::RunChecks echo(read, script::Vocabulary::game());
    script::LevelScript first = script::readLevelScript(read, script::Vocabulary::game(), &echo);
    if (first.stop)
        return "does not load: " + QString::fromStdString(first.stop->sentence);
    script::LevelScript heard;
    echo.finish(heard);
    if (lines(heard) != lines(first))
        return "a listener beside it heard otherwise:\n" + lines(heard);
    script::LevelScript second = script::readLevelScript(beside.toStdString());
    script::LevelScript third = script::readLevelScript(other.toStdString());
    const std::string path = besidePath.toStdString(), thirdPath = otherPath.toStdString();
    std::vector<script::NamedScript> scripts{{"maps/dm/mill.scr", &first}, {path, &second}};
    if (!otherPath.isEmpty())
        scripts.push_back({thirdPath, &third});
    script::checkLabelsAcross(scripts);
    return lines(first);
}

} // namespace

class WarningsTest final : public QObject
{
    Q_OBJECT

    static void row(const char *name, const QByteArray &text, const QString &expected,
                    const QByteArray &beside = "open:\nend\n",
                    const QByteArray &besidePath = "maps/global/door.scr",
                    const QByteArray &other = {}, const QByteArray &otherPath = {})
    {
        QTest::newRow(name) << text << beside << besidePath << other << otherPath << expected;
    }

private slots:
    void warn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("beside"); // a script checked with it
        QTest::addColumn<QByteArray>("besidePath");
        QTest::addColumn<QByteArray>("other"); // a third, where otherPath is given
        QTest::addColumn<QByteArray>("otherPath");
        QTest::addColumn<QString>("expected");

        // Labels.
        row("a thread to no label", "main:\n\tthread open_dor\nend\nopen_door:\nend\n",
            "2:9 [no-label] The game finds no label 'open_dor' in this script, so the line fails "
            "when it runs: did you mean 'open_door'?");
        row("labels there, in any case",
            "main:\n\tthread helper\n\twaitthread HELPER\n\tgoto done\ndone:\nhelper:\nend\n", "");
        row("setthread to no label", "local.t = spawn trigger_multiple\nlocal.t setthread gone\n",
            "2:19 [no-label] The game finds no label 'gone' in this script, so the line fails when "
            "it runs.");
        row("a label in a variable", "thread local.label\n", "");
        row("a label written with a backslash, used",
            "thread gate_of_the_castle\ngate_of_the\\_castle:\nend\n", "");
        row("a label there longer than any name",
            "thread global/door.scr::" + QByteArray(65537, 'o'), "");
        row("a path of the length no name reaches", "thread " + QByteArray(65535, 'p') + "::x\n",
            "");
        row("quoted labels", "thread \"helper\"\nthread \"helpr\"\nhelper:\nend\n",
            "2:9 [no-label] The game finds no label 'helpr' in this script, so the line fails when "
            "it runs: did you mean 'helper'?");
        row("in a script checked with it", "waitthread global/door.scr::opn\n",
            "1:29 [no-label-there] The game finds no label 'opn' in global/door.scr, so the line "
            "fails when it runs: did you mean 'open'?");
        row("there, in a script checked with it", "thread global/DOOR.scr::OPEN\n", "");
        row("in a script not checked", "thread global/bridge.scr::nothing\n", "");
        row("in a script whose name only ends the same", "thread door.scr::opn\n", "",
            "open:\nend\n", "maps/trapdoor.scr");
        row("a goto to no label", "goto gone\nend\n",
            "1:6 [no-label] The game finds no label 'gone' in this script, so the line fails "
            "when it runs.");
        row("a label written with a backslash", "thread go\\ne\nwaitthread \"g\\one\"\n", "");
        row("read by both readers, warned once", QByteArray("thread gone\nend\n\0 wait 5.\n", 25),
            "1:8 [no-label] The game finds no label 'gone' in this script, so the line fails "
            "when it runs.");
        row("a script checked with it that does not load", "thread global/door.scr::opn\n", "",
            "open:\n\tmodle\nend\n");
        row("a label in a switch, from outside it",
            "thread inner\nswitch (local.a) {\ninner:\n\tbreak\n}\n",
            "1:8 [no-label] The game finds no label 'inner' in this script, so the line fails "
            "when it runs.");
        row("in line order among the others",
            "thread gone\nthread global/door.scr::opn\nlocal.b = spawn script_modle\n",
            "1:8 [no-label] The game finds no label 'gone' in this script, so the line fails when "
            "it runs.\n2:25 [no-label-there] The game finds no label 'opn' in global/door.scr, so "
            "the line fails when it runs: did you mean 'open'?\n3:17 [no-class] The game has no "
            "class 'script_modle' and it names no model, so the spawn fails when it runs: did you "
            "mean 'script_model'?");
        row("in two scripts in a row, each in its own",
            "thread global/door.scr::open\nthread global/gate.scr::open\n",
            "2:25 [no-label-there] The game finds no label 'open' in global/gate.scr, so the line "
            "fails when it runs.",
            "open:\nend\n", "maps/global/door.scr", "shut:\nend\n", "maps/global/gate.scr");
        row("in scripts whose paths end alike, named by neither ending",
            "thread door.scr::open\nthread a/door.scr::open\n",
            "2:20 [no-label-there] The game finds no label 'open' in a/door.scr, so the line fails "
            "when it runs.",
            "shut:\nend\n", "a/door.scr", "lock:\nend\n", "b/door.scr");
        row("in a script given with backslashes", "thread global/door.scr::opn\n",
            "1:25 [no-label-there] The game finds no label 'opn' in global/door.scr, so the line "
            "fails when it runs: did you mean 'open'?",
            "open:\nend\n", "maps\\global\\door.scr");

        // Spawns.
        row("a spawn of no class", "local.b = spawn script_modle\n",
            "1:17 [no-class] The game has no class 'script_modle' and it names no model, so the "
            "spawn fails when it runs: did you mean 'script_model'?");
        row("a spawn name two classes share", "local.m = spawn trigger_music\nlocal.m wait\n", "");
        row("a model path in capitals", "spawn barrel.TIK\nspawn static/Barrel.Tik\n", "");
        row("a class written with a backslash", "spawn scr\\ipt_modle\n", "");
        row("spawns of classes and models",
            "spawn script_model\nspawn SCRIPT_MODEL\nspawn ScriptModel\n"
            "spawn \"models/static/barrel.tik\"\nspawn static/barrel\nspawn barrel.tik\n"
            "spawn local.name\n$player spawn nothing_here\n",
            "");

        // Commands that a spawned object does not answer.
        row("not answered", "local.t = spawn trigger_multiple\nlocal.t rotateyup 30\n",
            QString("2:9 ") + kTrigger);
        row("spawned in other letters", "local.t = SPAWN trigger_multiple\nlocal.t rotateyup 30\n",
            QString("2:9 ") + kTrigger);
        row("a near one answered", "local.t = spawn trigger_multiple\nlocal.t face ( 0 0 0 )\n",
            "2:9 [not-answered] The game's trigger_multiple does not answer 'face', so the line "
            "fails when it runs: did you mean 'fade'?");
        row("one command, two classes, each its own suggestion",
            "local.t = spawn trigger_multiple\nlocal.p = spawn info_player_start\n"
            "local.t face ( 0 0 0 )\nlocal.p face ( 0 0 0 )\n",
            "3:9 [not-answered] The game's trigger_multiple does not answer 'face', so the line "
            "fails when it runs: did you mean 'fade'?\n4:9 [not-answered] The game's "
            "info_player_start does not answer 'face', so the line fails when it runs.");
        row("a value not answered",
            "local.t = spawn trigger_multiple\nlocal.v = local.t canshoot 1\n",
            "2:19 [not-answered] The game's trigger_multiple does not answer 'canshoot', so the "
            "line fails when it runs.");
        row("refused though a parent answers", "local.x = spawn func_exploder\nlocal.x dotouch\n",
            "2:9 [not-answered] The game's func_exploder does not answer 'dotouch', so the line "
            "fails when it runs.");
        row("answered by a mover", "local.m = spawn script_model\nlocal.m rotateyup 30\n", "");
        row("known in a branch",
            "local.t = spawn trigger_multiple\nif (local.a) {\n\tlocal.t rotateyup 30\n}\n",
            QString("3:10 ") + kTrigger);
        row("a field set",
            "local.t = spawn trigger_multiple\nlocal.t.origin = ( 0 0 0 )\nlocal.t rotateyup 30\n",
            QString("3:9 ") + kTrigger);
        row("set again",
            "local.t = spawn trigger_multiple\nlocal.t = $mover\nlocal.t rotateyup 30\n", "");
        row("set again, in other letters",
            "local.t = spawn trigger_multiple\nlocal.T = $mover\nlocal.t rotateyup 30\n", "");
        row("an element set",
            "local.t = spawn trigger_multiple\nlocal.t[1] = $mover\nlocal.t rotateyup 30\n", "");
        row("set in a branch",
            "local.t = spawn trigger_multiple\nif (local.a) local.t = $mover\nlocal.t rotateyup "
            "30\n",
            "");
        row("spawned in an if, used in its else",
            "if (local.a)\n\tlocal.t = spawn trigger_multiple\nelse\n\tlocal.t rotateyup 30\n", "");
        row("an element spawned", "local.arr[1] = spawn script_model\nlocal.arr face ( 0 0 0 )\n",
            "");
        row("spawned in a branch",
            "if (local.a) local.t = spawn trigger_multiple\nlocal.t rotateyup 30\n", "");
        row("set later in a loop",
            "local.t = spawn trigger_multiple\nwhile (1) {\n\tlocal.t rotateyup 30\n"
            "\tlocal.t = $mover\n}\n",
            "");
        row("set in a case",
            "local.t = spawn trigger_multiple\nswitch (local.a) {\ncase 1:\n\tlocal.t = $mover\n"
            "\tbreak\n}\nlocal.t rotateyup 30\n",
            "");
        row("set in a try block",
            "local.t = spawn trigger_multiple\ntry {\n\tlocal.t = $mover\n} catch {\n}\n"
            "local.t rotateyup 30\n",
            "");
        row("set in a for loop",
            "local.t = spawn trigger_multiple\nfor (local.i = 0; local.i < 2; local.i++) {\n"
            "\tlocal.t = $mover\n}\nlocal.t rotateyup 30\n",
            "");
        row("set in a for loop's steps",
            "local.t = spawn trigger_multiple\nfor (local.i = 0; local.i < 2; local.t = $mover)\n"
            "\twait 1\nlocal.t rotateyup 30\n",
            "");
        row("spawned in a for loop's steps, which run after the body",
            "for (local.i = 0; local.i < 2; local.t = spawn trigger_multiple)\n"
            "\tlocal.t rotateyup 30\n",
            "");
        row("set in a for loop's body, used in its steps",
            "local.t = spawn trigger_multiple\nfor (local.i = 0; local.i < 2; local.t rotateyup "
            "30)\n"
            "\tlocal.t = $mover\n",
            "");
        row("known in a try block and its catch block",
            "local.t = spawn trigger_multiple\ntry {\n\tlocal.t rotateyup 30\n} catch {\n"
            "\tlocal.t rotateyup 30\n}\n",
            QString("3:10 ") + kTrigger + "\n5:10 " + kTrigger);
        row("spawned in a case",
            "switch (local.a) {\ncase 1:\n\tlocal.t = spawn trigger_multiple\n"
            "\tbreak\n}\nlocal.t rotateyup 30\n",
            "");
        row("spawned in a try block",
            "try {\n\tlocal.t = spawn trigger_multiple\n} catch {\n}\nlocal.t rotateyup 30\n", "");
        row("spawned in a catch block",
            "try {\n} catch {\n\tlocal.t = spawn trigger_multiple\n}\nlocal.t rotateyup 30\n", "");
        row("spawned in a for loop's steps, used after it",
            "for (local.i = 0; local.i < 2; local.t = spawn trigger_multiple)\n\twait 1\n"
            "local.t rotateyup 30\n",
            "");
        row("known after a switch that leaves it alone",
            "local.t = spawn trigger_multiple\nswitch (local.a) {\ncase 1:\n\tlocal.u = $mover\n"
            "\tbreak\n}\nlocal.t rotateyup 30\n",
            QString("7:9 ") + kTrigger);
        row("known after a branch that leaves it alone",
            "local.t = spawn trigger_multiple\nif (local.a) {\n\tlocal.u = $mover\n}\n"
            "local.t rotateyup 30\n",
            QString("5:9 ") + kTrigger);
        row("known after a loop that leaves it alone",
            "local.t = spawn trigger_multiple\nwhile (local.a) {\n\tlocal.u = $mover\n}\n"
            "local.t rotateyup 30\n",
            QString("5:9 ") + kTrigger);
        row("after a label", "local.t = spawn trigger_multiple\nnext:\nlocal.t rotateyup 30\n", "");
        row("in another thread's variable",
            "local.t = spawn trigger_multiple\nlevel.t rotateyup 30\n", "");
        row("a script that does not load", "thread gone\nmodle\n",
            "does not load: The game knows no command 'modle' and will not load the script: did "
            "you mean 'model'?");
    }
    void warn()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, beside);
        QFETCH(QByteArray, besidePath);
        QFETCH(QByteArray, other);
        QFETCH(QByteArray, otherPath);
        QFETCH(QString, expected);
        QCOMPARE(warnings(text, besidePath, beside, otherPath, other), expected);
    }

    // Among hundreds of labels, asked about again and again, the nearest
    // label is the one named, as among a few (of as near ones, the first);
    // also one longer than any command, two letters off.
    void manyLabels()
    {
        QByteArray text = "main:\n";
        QStringList expected;
        for (int i = 1; i <= 40; ++i) {
            text += "\tthread tank" + QByteArray::number(i * 7) + "_fyxe\n";
            expected << QString("%1:9 [no-label] The game finds no label 'tank%2_fyxe' in this "
                                "script, so the line fails when it runs: did you mean "
                                "'tank%2_fire'?")
                            .arg(i + 1)
                            .arg(i * 7);
        }
        const QByteArray doors = QByteArray("door_").repeated(12) + "x"; // 61 letters
        text += "\tthread gt_" + doors + "\n\tthread tank490_fire\nend\n";
        expected << "42:9 [no-label] The game finds no label 'gt_door_door_door_door_door_door_"
                    "door_do...' in this script, so the line fails when it runs: did you mean "
                    "'gate_door_door_door_door_door_door_door_...'?"
                 << "43:9 [no-label] The game finds no label 'tank490_fire' in this script, so "
                    "the line fails when it runs: did you mean 'tank190_fire'?";
        for (int i = 1; i <= 400; ++i)
            text += "tank" + QByteArray::number(i) + "_fire:\nend\n";
        text += "gate_" + doors + ":\nend\n";
        QCOMPARE(warnings(text, "maps/global/door.scr", "open:\nend\n"), expected.join('\n'));
    }
};

QTEST_APPLESS_MAIN(WarningsTest)
#include "warnings_test.moc"
