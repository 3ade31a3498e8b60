// The vocabulary: a small table of its own shows how classes and their parents
// answer commands, how a shared spawn name and ties between suggestions are
// handled; the table built in shows which game knows which command, through
// the reader's verdict and sentence.

#include "levelscript.h"
#include "reader.h"

#include <QTest>

namespace {

// Three generations of classes, two classes with one spawn name, commands
// known in one release or another, one that a class refuses with two near
// ones known in different games.
const char *const kTable = "class\tListener\tClass\t-\n"
                           "class\tEntity\tListener\t-\n"
                           "class\tMover\tEntity\tscript_mover\n"
                           "class\tExploder\tMover\tfunc_exploder\n"
                           "class\tMusic\tEntity\ttrigger_music\n"
                           "class\tReverb\tEntity\ttrigger_music\n"
                           "command\tspawn\treturn\tListener\taa sh\n"
                           "command\tmove\tplain\tMover\taa\n"
                           "command\ttouch\tplain\tEntity !Exploder\taa\n"
                           "command\tmow\tplain\tListener\tsh\n"
                           "command\tmod\tplain\tListener\tsh\n"
                           "command\tmoves\tplain\tListener\taa\n"
                           "command\tlaunch\tplain\t?\tbt\n"
                           "command\ttaunt\tplain\tListener\taa reborn nightfall bt\n"
                           "command\tglide\tplain\tEntity !Mover\taa\n"
                           "command\tslide\tplain\tListener\tsh\n"
                           "command\tguide\tplain\tListener\taa\n"
                           "command\trally\tplain\tListener\treborn\n";

// "line:column sentence" of a script's stop, or its warnings' lines.
QString verdict(const std::string &text, const script::Vocabulary &vocabulary)
{
    const script::LevelScript read = script::readLevelScript(text, vocabulary);
    if (read.stop)
        return QString("%1:%2 %3")
            .arg(read.stop->line)
            .arg(read.stop->column)
            .arg(QString::fromStdString(read.stop->sentence));
    QStringList lines;
    for (const script::Warning &warning : read.warnings)
        lines << QString("%1:%2 %3")
                     .arg(warning.place.line)
                     .arg(warning.place.column)
                     .arg(QString::fromStdString(script::sentence(warning)));
    return lines.join('\n');
}

} // namespace

class VocabularyTest final : public QObject
{
    Q_OBJECT

private slots:
    void table_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("verdict");
        const auto row = [](const char *name, const char *text, script::Game game,
                            const QString &verdict) {
            QTest::newRow(name) << QByteArray(text) << int(game) << verdict;
        };
        const script::Game any = script::Game::Any;
        row("answered by a parent's table", "local.m = spawn func_exploder\nlocal.m move\n", any,
            "");
        row("refused though a parent answers", "local.m = spawn func_exploder\nlocal.m touch\n",
            any,
            "2:9 The game's func_exploder does not answer 'touch', so the line fails when it "
            "runs.");
        row("answered by its own parent", "local.m = spawn script_mover\nlocal.m touch\n", any, "");
        row("a spawn name two classes share", "local.m = spawn trigger_music\nlocal.m move\n", any,
            "");
        row("no class", "local.m = spawn trigger_musik\n", any,
            "1:17 The game has no class 'trigger_musik' and it names no model, so the spawn "
            "fails when it runs: did you mean 'trigger_music'?");
        row("classes not given: answered by all", "local.m = spawn script_mover\nlocal.m launch\n",
            any, "");
        row("a name of the same length first", "mov\n", any,
            "1:1 The game knows no command 'mov' and will not load the script: did you mean "
            "'mow'?");
        row("of two as near, the first in the table", "moe\n", any,
            "1:1 The game knows no command 'moe' and will not load the script: did you mean "
            "'mow'?");
        row("nearest within the game", "moe\n", script::Game::AlliedAssault,
            "1:1 Allied Assault knows no command 'moe' and will not load the script: did you "
            "mean 'move'?");
        row("known in another game", "mod\n", script::Game::AlliedAssault,
            "1:1 Allied Assault knows no command 'mod' and will not load the script (Spearhead "
            "knows it).");
        row("known in another game and a patch of it", "taunt\n", script::Game::Spearhead,
            "1:1 Spearhead knows no command 'taunt' and will not load the script (Allied Assault "
            "and Breakthrough know it; the NightFall patch adds it to Spearhead).");
        row("known in that game", "moves\nMOVE\n", script::Game::AlliedAssault, "");
        row("a suggestion any game knows", "local.m = spawn script_mover\nlocal.m glide\n", any,
            "2:9 The game's script_mover does not answer 'glide', so the line fails when it runs: "
            "did you mean 'slide'?");
        row("a suggestion the game knows", "local.m = spawn script_mover\nlocal.m glide\n",
            script::Game::AlliedAssault,
            "2:9 The game's script_mover does not answer 'glide', so the line fails when it runs: "
            "did you mean 'guide'?");
        row("a patch's command in the other patch", "rally\n", script::Game::SpearheadNightFall,
            "1:1 Spearhead with the NightFall patch knows no command 'rally' and will not load the "
            "script (the Reborn patch adds it to Allied Assault).");
        row("a patch's command in its own", "rally\n", script::Game::AlliedAssaultReborn, "");
        row("a value as a statement", "spawn\n", script::Game::Spearhead,
            "1:1 Spearhead knows 'spawn' only as a command that gives a value and will not load "
            "the script: use it where a value is read, as after '='.");
    }
    void table()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, game);
        QFETCH(QString, verdict);
        const script::Vocabulary vocabulary(kTable, script::Game(game));
        QCOMPARE(::verdict(text.toStdString(), vocabulary), verdict);
    }

    // The table built in: each command as the game named knows it, letter
    // case aside. 1 loads, 0 does not, in the order of kGames.
    void games_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("loads"); // any, aa, aa+reborn, sh, sh+nf, bt, bt+nf, opm
        QTest::newRow("in every game") << QByteArray("wait 1\nWAIT 1\n") << QByteArray("11111111");
        QTest::newRow("Breakthrough's, and the patches'")
            << QByteArray("local.x = COS 90\n") << QByteArray("10101111");
        QTest::newRow("the expansions'")
            << QByteArray("dprintln \"x\"\n") << QByteArray("10011111");
        QTest::newRow("OpenMoHAA's own")
            << QByteArray("event_subscribe a b\n") << QByteArray("10000001");
        QTest::newRow("no source says")
            << QByteArray("local.x waittill_any a b\n") << QByteArray("11111111");
        QTest::newRow("the patches' and OpenMoHAA's")
            << QByteArray("local.x = md5string \"a\"\n") << QByteArray("10101011");
        QTest::newRow("a patch's, not OpenMoHAA's")
            << QByteArray("local.x = md5file \"a\"\n") << QByteArray("10101010");
        // revive's row lists bt opm; json_parse's, nightfall alone.
        QTest::newRow("Breakthrough's own") << QByteArray("$x revive\n") << QByteArray("10000111");
        QTest::newRow("NightFall's, not Reborn's")
            << QByteArray("local.x = json_parse \"a\"\n") << QByteArray("10001010");
        QTest::newRow("the games' own use")
            << QByteArray("$x _crate_think\n") << QByteArray("11111111");
    }
    void games()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, loads);
        for (int game = 0; game < script::kGames; ++game) {
            const auto stop = script::readScript(text.toStdString(), script::Stages::All,
                                                 script::Vocabulary::game(script::Game(game)));
            QVERIFY2(!stop == (loads[game] == '1'),
                     qPrintable(QString("game %1: %2")
                                    .arg(game)
                                    .arg(stop ? QString::fromStdString(stop->sentence) : "loads")));
        }
    }

    // The sentence names the game checked for, the games that know the
    // command, and the patch that adds it to which game.
    void sentences_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("the expansions' and a patch's")
            << QByteArray("addkills 1\n") << int(script::Game::AlliedAssault)
            << "Allied Assault knows no command 'addkills' and will not load the script "
               "(Spearhead, Breakthrough and OpenMoHAA know it; the Reborn patch adds it to "
               "Allied Assault).";
        QTest::newRow("the patches' only")
            << QByteArray("local.a = MD5file x\n") << int(script::Game::OpenMoHAA)
            << "OpenMoHAA knows no command 'MD5file' that gives a value and will not load the "
               "script (the Reborn patch adds it to Allied Assault and the NightFall patch to "
               "Spearhead and Breakthrough).";
        QTest::newRow("mistyped, the nearest the game knows")
            << QByteArray("dprintl x\n") << int(script::Game::AlliedAssault)
            << "Allied Assault knows no command 'dprintl' and will not load the script: did you "
               "mean 'println'?";
        QTest::newRow("mistyped, the nearest any game knows")
            << QByteArray("dprintl x\n") << int(script::Game::Any)
            << "The game knows no command 'dprintl' and will not load the script: did you mean "
               "'dprintln'?";
    }
    void sentences()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, game);
        QFETCH(QString, sentence);
        const auto stop = script::readScript(text.toStdString(), script::Stages::All,
                                             script::Vocabulary::game(script::Game(game)));
        QVERIFY(stop);
        QCOMPARE(QString::fromStdString(stop->sentence), sentence);
    }

    // Where the engine's source marks a command plainly as added by an
    // expansion, the table agrees: the game before refuses it, the one
    // named takes it.
    void plainlyMarked_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("first"); // the first game that knows it
        const int sh = int(script::Game::Spearhead), bt = int(script::Game::Breakthrough);
        for (const char *name : {"addkills 1", "animloop_pain", "debug_int3", "debugline 1 2",
                                 "dprintln x", "gvo", "playmovie x"})
            QTest::newRow(name) << QByteArray(name) << sh;
        for (const char *name : {"armwithweapons", "jailassistescape", "jailescape",
                                 "jailescapestop", "landminedamage 1 2 3", "setscoreboardtoggle 1",
                                 "stopteamrespawn 1", "killaxis 1", "local.x = getentbyentnum 1"})
            QTest::newRow(name) << QByteArray(name) << bt;
    }
    void plainlyMarked()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, first);
        const std::string script = "main:\n\t" + text.toStdString() + "\nend\n";
        const auto before = script::readScript(script, script::Stages::All,
                                               script::Vocabulary::game(script::Game(first - 2)));
        QVERIFY(before);
        QVERIFY2(before->sentence.find("knows no command") != std::string::npos,
                 before->sentence.c_str());
        QVERIFY(!script::readScript(script, script::Stages::All,
                                    script::Vocabulary::game(script::Game(first))));
    }
};

QTEST_APPLESS_MAIN(VocabularyTest)
#include "vocabulary_test.moc"
