// spawnsmith-check as a user or an editor runs it: the report line, the exit
// status, standard input, files that cannot be read, and large or odd input.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QByteArray out, err;
};

Run check(const QStringList &arguments, const QByteArray &input = {}, const QString &folder = {})
{
    // Beside the test where the build puts them together (Windows), or where it was built.
    const QString built = QStringLiteral(SPAWNSMITH_CHECK_PROGRAM);
    const QString beside =
        QDir(QCoreApplication::applicationDirPath()).filePath(QFileInfo(built).fileName());
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QFileInfo::exists(beside) ? beside : built, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    Run run{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
#ifdef Q_OS_WIN // a console program there ends its lines as the console does
    run.out.replace("\r\n", "\n");
    run.err.replace("\r\n", "\n");
#endif
    return run;
}

} // namespace

class CheckTest final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void files_data()
    {
        QTest::addColumn<QByteArray>("loads");
        QTest::addColumn<QByteArray>("stops");
        QTest::addColumn<QByteArray>("report"); // after the file name
        QTest::newRow("CR LF") << QByteArray("main:\r\nlocal.a = 1\r\nend\r\n")
                               << QByteArray("main:\r\nlocal.a = ( 1 2 )\r\nend\r\n")
                               << QByteArray(":2:17: error: The game cannot read ')' here: it "
                                             "needs a value.\n");
        QTest::newRow("LF") << QByteArray("main:\nlocal.a = 1\nend\n")
                            << QByteArray("main:\nend\nmain:\n")
                            << QByteArray(":3:1: error: The game has a label of this name "
                                          "already: give this one a name of its own.\n");
        QTest::newRow("binary") << QByteArray("end\n\0\x01\x02\xff b\n", 11)
                                << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0(",
                                              12)
                                << QByteArray(":1:1: error: The game knows no command '?ELF?\?\?' "
                                              "and will not load the script.\n");
    }
    void files()
    {
        QFETCH(QByteArray, loads);
        QFETCH(QByteArray, stops);
        QFETCH(QByteArray, report);
        const QString good = write("good.scr", loads), bad = write("bad.scr", stops);
        const Run fine = check({good});
        QCOMPARE(fine.status, 0);
        QCOMPARE(fine.out, QByteArray());
        const Run both = check({good, bad});
        QCOMPARE(both.status, 1);
        QCOMPARE(both.out, bad.toUtf8() + report);
        const Run piped = check({}, stops);
        QCOMPARE(piped.status, 1);
        QCOMPARE(piped.out, "<stdin>" + report);
    }

    // Warnings in the compilers' form: they leave the status at 0, but not
    // with --strict; a label used in another file given is looked for there.
    void warnings_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::newRow("warnings") << QStringList() << 0;
        QTest::newRow("--strict") << QStringList{"--strict"} << 1;
    }
    void warnings()
    {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        const QString mill = write("mill.scr", "main:\r\n\tlocal.t = spawn trigger_multiple\r\n"
                                               "\tlocal.t rotateyup 30\r\n"
                                               "\tthread global/door.scr::opn\r\nend\r\n");
        QDir(m_dir.path()).mkdir("global");
        const QString door = write("global/door.scr", "open:\r\nend\r\n");
        const Run run = check(options + QStringList{mill, door});
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, mill.toUtf8()
                              + ":3:10: warning: The game's trigger_multiple does not answer "
                                "'rotateyup', so the line fails when it runs. [not-answered]\n"
                              + mill.toUtf8()
                              + ":4:26: warning: The game finds no label 'opn' in "
                                "global/door.scr, so the line fails when it runs: "
                                "did you mean 'open'? [no-label-there]\n");
        QCOMPARE(check(options + QStringList{door}).status, 0);
    }

    // A file that cannot be read is named with the system's reason, and the
    // others are still checked.
    void unreadable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("missing") << "missing.scr" << QByteArray("No such file or directory");
#ifdef Q_OS_WIN // its C library refuses a folder as a file it may not read
        QTest::newRow("a folder") << "folder" << QByteArray("Permission denied");
#else
        QTest::newRow("a folder") << "folder" << QByteArray("Is a directory");
        QTest::newRow("no permission") << "locked.scr" << QByteArray("Permission denied");
#endif
    }
    void unreadable()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reason);
        QString path = m_dir.filePath(name);
        QVERIFY(name != "folder" || QDir(m_dir.path()).mkpath(name));
        if (name == "locked.scr") {
            QVERIFY(QFile::setPermissions(write(name, "wait 1\n"), {}));
            // Root reads it still; a file of the system's that refuses every
            // reader stands in, where there is one.
            if (QFile(path).open(QIODevice::ReadOnly))
                path = "/sys/bus/pci/rescan";
            if (!QFileInfo::exists(path) || QFile(path).open(QIODevice::ReadOnly))
                QSKIP("every file here is readable to this user (root)");
        }
        const QString bad = write("bad.scr", "local.a = ,\n");
        const Run run = check({path, bad});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, "spawnsmith-check: cannot read " + path.toUtf8() + ": " + reason + "\n");
        QVERIFY(run.out.startsWith(bad.toUtf8() + ":1:11: error: The game reads a comma"));
    }

    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray usage = "Usage: spawnsmith-check [--game GAME] [--strict] [FILE]...";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << QByteArray();
        QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << QByteArray();
        QTest::newRow("--version") << QStringList{"--version"} << 0
                                   << QByteArray("spawnsmith-check 1.0\n") << QByteArray();
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << 2 << QByteArray()
                                 << QByteArray("spawnsmith-check: unknown option --frobnicate\n");
        // "-" is standard input; after "--", a file may be called "-h".
        QTest::newRow("-") << QStringList{"-"} << 1 << QByteArray("<stdin>:1:11: error: The game")
                           << QByteArray();
        QTest::newRow("--") << QStringList{"--", "-h"} << 1
                            << QByteArray("-h:1:11: error: The game") << QByteArray();
        QTest::newRow("-- before an option's name")
            << QStringList{"--", "--strict"} << 1 << QByteArray("--strict:1:12: error: The game")
            << QByteArray();
        QTest::newRow("-- before --game")
            << QStringList{"--", "--game"} << 1 << QByteArray("--game:1:13: error: The game")
            << QByteArray();
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        write("-h", "local.b = ,\n");
        write("--strict", "local.bb = ,\n");
        write("--game", "local.bbb = ,\n");
        const Run run = check(arguments, "local.a = ,\n", m_dir.path());
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.startsWith(out), run.out.constData());
        QVERIFY2(run.err.startsWith(err), run.err.constData());
    }

    // --game: the commands that game knows, or a refusal that names it: cos
    // (bt, opm, both patches), revive (bt, opm), json_parse (NightFall alone).
    void games_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray cos = " knows no command 'cos' that gives a value and will not load the "
                               "script (Breakthrough and OpenMoHAA know it; the Reborn patch adds "
                               "it to Allied Assault and the NightFall patch to Spearhead).\n";
        const QByteArray revive = " knows no command 'revive' and will not load the script "
                                  "(Breakthrough and OpenMoHAA know it).\n";
        const QByteArray json = " knows no command 'json_parse' that gives a value and will not "
                                "load the script (the NightFall patch adds it to Spearhead and "
                                "Breakthrough).\n";
        const QByteArray aa = "<stdin>:2:11: error: Allied Assault" + cos;
        QTest::newRow("none") << QStringList() << 0 << QByteArray() << QByteArray();
        QTest::newRow("aa") << QStringList{"--game", "aa"} << 1 << aa << QByteArray();
        QTest::newRow("aa, --strict first")
            << QStringList{"--strict", "--game", "aa"} << 1 << aa << QByteArray();
        QTest::newRow("aa-reborn")
            << QStringList{"--game=aa-reborn"} << 1
            << "<stdin>:3:4: error: Allied Assault with the Reborn patch" + revive << QByteArray();
        QTest::newRow("sh") << QStringList{"--game", "sh"} << 1
                            << "<stdin>:2:11: error: Spearhead" + cos << QByteArray();
        QTest::newRow("sh-nightfall")
            << QStringList{"--game", "sh-nightfall"} << 1
            << "<stdin>:3:4: error: Spearhead with the NightFall patch" + revive << QByteArray();
        QTest::newRow("bt") << QStringList{"--game", "bt"} << 1
                            << "<stdin>:4:11: error: Breakthrough" + json << QByteArray();
        QTest::newRow("bt-nightfall")
            << QStringList{"--game", "bt-nightfall"} << 0 << QByteArray() << QByteArray();
        QTest::newRow("opm") << QStringList{"--game", "opm"} << 1
                             << "<stdin>:4:11: error: OpenMoHAA" + json << QByteArray();
        QTest::newRow("unknown") << QStringList{"--game", "mohaa"} << 2 << QByteArray()
                                 << QByteArray("spawnsmith-check: unknown game 'mohaa'\n");
        QTest::newRow("missing") << QStringList{"--game"} << 2 << QByteArray()
                                 << QByteArray("spawnsmith-check: unknown game ''\n");
    }
    void games()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const Run run = check(
            arguments, "main:\nlocal.x = cos 90\n$x revive\nlocal.y = json_parse \"a\"\nend\n");
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, out);
        QVERIFY2(run.err.startsWith(err), run.err.constData());
    }

    // A .spawnsmith file in the script's folder, or one above, names its
    // game; --game outweighs it; a line it cannot take is an error.
    void gameFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out"); // after the script's path
        QTest::addColumn<QByteArray>("err"); // after the file's path
        const QByteArray cos = ":2:11: error: Allied Assault knows no command 'cos' that gives a "
                               "value";
        QTest::newRow("game = aa") << QByteArray("# stock servers\r\n game = aa \r\n")
                                   << QStringList() << 1 << cos << QByteArray();
        QTest::newRow("--game outweighs it")
            << QByteArray("game = aa\n") << QStringList{"--game", "opm"} << 0 << QByteArray()
            << QByteArray();
        QTest::newRow("comments only")
            << QByteArray("# nothing yet\n") << QStringList() << 0 << QByteArray() << QByteArray();
        QTest::newRow("a line it cannot take")
            << QByteArray("game = aa\ngmae = sh\n") << QStringList() << 2 << QByteArray()
            << QByteArray(":2: cannot read 'gmae = sh': a line here says game = NAME, NAME one of "
                          "aa, aa-reborn, sh, sh-nightfall, bt, bt-nightfall, opm ('#' starts a "
                          "comment).\n");
        QTest::newRow("a game of no name")
            << QByteArray("game = mohaa\n") << QStringList() << 2 << QByteArray()
            << QByteArray(":1: no game is called 'mohaa'");
        QTest::newRow("named twice")
            << QByteArray("game = aa\ngame = sh\n") << QStringList() << 2 << QByteArray()
            << QByteArray(":2: the game is named already, on line 1");
    }
    void gameFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QTemporaryDir mod;
        QDir(mod.path()).mkpath("NOT_REBORN/maps/dm");
        const QString gameFile = mod.filePath("NOT_REBORN/.spawnsmith");
        const QString script = mod.filePath("NOT_REBORN/maps/dm/train.scr");
        for (const auto &[path, text] :
             {std::pair{gameFile, file},
              std::pair{script, QByteArray("main:\nlocal.x = cos 90\nend\n")}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
        }
        const Run run = check(options + QStringList{script});
        QCOMPARE(run.status, status);
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : run.out.startsWith(script.toUtf8() + out),
                 run.out.constData());
        const QByteArray shownFile = QDir::toNativeSeparators(gameFile).toUtf8();
        QVERIFY2(err.isEmpty() ? run.err.isEmpty()
                               : run.err.startsWith("spawnsmith-check: " + shownFile + err),
                 run.err.constData());
    }

    // 100 MB of blocks, and 100,000 nested brackets: a verdict, not a crash.
    void large()
    {
        const QByteArray block = "local.bike1 = spawn script_model\r\nlocal.bike1 model "
                                 "\"vehicles/bmwbike.tik\"\r\nlocal.bike1.origin = ( 512 -256 0 "
                                 ")\r\nlocal.bike1.angles = ( 0 90 0 )\r\nlocal.bike1.scale = "
                                 "1.0\r\n\r\n";
        const QString big = write("big.scr", block.repeated(578'034) + "(\r\n");
        const Run run = check({big});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, big.toUtf8()
                              + ":3468206:1: error: The game cannot read the end of the "
                                "script here: it needs a value.\n");
        QFile::remove(big);
        const Run deep = check({}, QByteArray("local.a = ").append(QByteArray(100'000, '(')));
        QCOMPARE(deep.status, 1);
        QVERIFY(deep.out.contains("less nesting"));
    }
};

QTEST_GUILESS_MAIN(CheckTest)
#include "check_test.moc"
