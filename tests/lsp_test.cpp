// spawnsmith-check --lsp as an editor drives it, over its standard input and
// output: the marks and where they stand as the editor counts, scripts read
// together, the game, quick fixes, and every kind of bad input, after which
// it goes on serving.

#include "lspclient.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The server, as a client of the project's own talks to it.
class Server final : public LspClient
{
public:
    explicit Server(const QStringList &options = {})
        : LspClient(program(), QStringList{"--lsp"} + options)
    {}

private:
    // Beside the test where the build puts them together (Windows), or where it was built.
    static QString program()
    {
        const QString built = QStringLiteral(SPAWNSMITH_CHECK_PROGRAM);
        const QString beside =
            QDir(QCoreApplication::applicationDirPath()).filePath(QFileInfo(built).fileName());
        return QFileInfo::exists(beside) ? beside : built;
    }
};

// Diagnostics as "line:character-line:character severity code" lines.
QString shown(const QJsonObject &published)
{
    QStringList lines;
    for (const QJsonValue d : published["diagnostics"].toArray()) {
        const QJsonObject r = d["range"].toObject();
        lines << QString("%1:%2-%3:%4 %5 %6")
                     .arg(r["start"]["line"].toInt())
                     .arg(r["start"]["character"].toInt())
                     .arg(r["end"]["line"].toInt())
                     .arg(r["end"]["character"].toInt())
                     .arg(d["severity"].toInt() == 1 ? "error" : "warning", d["code"].toString());
    }
    return lines.join('\n');
}

QJsonObject at(const QString &uri, int line, int character)
{
    return {{"textDocument", QJsonObject{{"uri", uri}}},
            {"position", QJsonObject{{"line", line}, {"character", character}}}};
}

QJsonObject range(int line, int from, int to)
{
    return {{"start", QJsonObject{{"line", line}, {"character", from}}},
            {"end", QJsonObject{{"line", line}, {"character", to}}}};
}

} // namespace

class LspTest final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &text)
    {
        QDir().mkpath(QFileInfo(m_dir.filePath(name)).path());
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return uriOf(name);
    }
    QString uriOf(const QString &name) const
    {
        return QUrl::fromLocalFile(QDir(m_dir.path()).filePath(name)).toString();
    }
    QJsonObject inFolder(const QString &folder = {}) const
    {
        return {{"rootUri", QUrl::fromLocalFile(QDir(m_dir.path()).filePath(folder)).toString()}};
    }

private slots:
    // Where the game stops, at the editor's line and column: UTF-16 units
    // unless the editor takes UTF-8; a lone CR ends a line for the editor only.
    void places_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("expected");
        QTest::newRow("after é😀") << QByteArray("main:\r\n\tlocal.x = \"é😀\" modle\r\nend\r\n")
                                  << false << "1:17-1:22 error unknown-command";
        QTest::newRow("after é😀, in bytes")
            << QByteArray("main:\r\n\tlocal.x = \"é😀\" modle\r\nend\r\n") << true
            << "1:20-1:25 error unknown-command";
        QTest::newRow("the line after a lone CR")
            << QByteArray("\t// a\rb\nend\n") << false << "1:0-1:1 error unknown-command";
        QTest::newRow("a line it cannot read, LF")
            << QByteArray("main:\n\tlocal.a = ( 1,5 0 0 )\nend\n") << false
            << "1:14-1:15 error cannot-read";
        QTest::newRow("a label twice")
            << QByteArray("main:\nend\nmain:\nend\n") << false << "2:0-2:4 error duplicate-label";
        QTest::newRow("a break outside")
            << QByteArray("main:\n\tbreak\nend\n") << false << "1:1-1:6 error break-outside";
        QTest::newRow("on the last line, with no line end")
            << QByteArray("main:\n\tmodle") << false << "1:1-1:6 error unknown-command";
        QTest::newRow("at the end of the script")
            << QByteArray("local.a = (") << false << "0:11-0:11 error cannot-read";
    }
    void places()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, utf8);
        QFETCH(QString, expected);
        Server server;
        const QJsonArray offered = utf8 ? QJsonArray{"utf-8", "utf-16"} : QJsonArray{"utf-16"};
        const QJsonObject result =
            server
                .answer(server.ask(
                    "initialize",
                    {{"capabilities", QJsonObject{{"general", QJsonObject{{"positionEncodings",
                                                                           offered}}}}}}))["result"]
                .toObject();
        QCOMPARE(result["capabilities"]["positionEncoding"].toString(), utf8 ? "utf-8" : "utf-16");
        server.notify("initialized", {});
        server.open("file:///places.scr", text);
        const QJsonObject published = server.published("file:///places.scr");
        QCOMPARE(shown(published), expected);
        QCOMPARE(published["version"].toInt(), 1);
        const QJsonObject first = published["diagnostics"][0].toObject();
        QCOMPARE(first["source"].toString(), "spawnsmith");
        QVERIFY(!first["message"].toString().endsWith("]"));
    }

    // Each warning with its kind and the range of its word; path::label is
    // looked for in a script on disk, and an unsaved edit of an open script
    // reaches the scripts that name it.
    void together()
    {
        const QString door = write("global/door.scr", "open:\r\nend\r\n");
        write("global/alarm.scr", "ring:\r\nend\r\n");
        const QString mill = uriOf("maps/mill.scr");
        Server server;
        server.initialize(inFolder());
        server.open(mill,
                    "main:\n\tlocal.t = spawn trigger_multiple\n\tlocal.t rotateyup 30\n"
                    "\tthread global/door.scr::shut\n\tthread gone\n"
                    "\tlocal.b = spawn \"script_modle\"\n\tthread global/alarm.scr::ring\nend\n");
        QCOMPARE(shown(server.published(mill)), "2:9-2:18 warning not-answered\n"
                                                "3:25-3:29 warning no-label-there\n"
                                                "4:8-4:12 warning no-label\n"
                                                "5:17-5:31 warning no-class");
        server.open(door, "open:\r\nend\r\nshut:\r\nend\r\n");
        QCOMPARE(server.published(door)["diagnostics"].toArray().size(), 0);
        // An editor that offers no watching of files is asked for none.
        QVERIFY(server
                    .seen([](const QJsonObject &m) {
                        return m["method"] == "client/registerCapability";
                    })
                    .isEmpty());
        QCOMPARE(shown(server.published(mill)), "2:9-2:18 warning not-answered\n"
                                                "4:8-4:12 warning no-label\n"
                                                "5:17-5:31 warning no-class");
        server.notify("textDocument/didClose", {{"textDocument", QJsonObject{{"uri", door}}}});
        QCOMPARE(server.published(door)["diagnostics"].toArray().size(), 0);
        QCOMPARE(server.published(mill)["diagnostics"].toArray().size(), 4);
        // Changed on disk: noticed when the editor says so, or else on a save.
        write("global/door.scr", "open:\r\nend\r\nshut:\r\nend\r\n");
        server.notify("workspace/didChangeWatchedFiles",
                      {{"changes", QJsonArray{QJsonObject{{"uri", door}, {"type", 2}}}}});
        QCOMPARE(server.published(mill)["diagnostics"].toArray().size(), 3);
        write("global/door.scr", "open:\r\nend\r\n");
        server.notify("textDocument/didSave", {{"textDocument", QJsonObject{{"uri", mill}}}});
        QCOMPARE(server.published(mill)["diagnostics"].toArray().size(), 4);
    }

    // Which game: a .spawnsmith file in the script's folder or above, the
    // editor's setting, and --game over both.
    void games()
    {
        const QByteArray cos = "main:\n\tlocal.x = cos 90\nend\n";
        write("aa [1]/.spawnsmith", "# stock servers\ngame = aa\n");
        write("bad/.spawnsmith", "gmae = aa\n");
        // A URI's escapes may come in either case.
        write("aa [1]/maps/a.scr", cos);
        QString inAa = QDir(m_dir.path()).filePath("aa [1]/maps/a.scr");
        inAa = "file://" + QString(inAa.startsWith('/') ? "" : "/")
               + inAa.replace(" ", "%20").replace("[", "%5b").replace("]", "%5d");
        const QString inBad = write("bad/b.scr", cos), elsewhere = write("c.scr", cos);
        Server server;
        QJsonObject params = inFolder();
        params["capabilities"] = QJsonObject{
            {"workspace",
             QJsonObject{{"didChangeWatchedFiles", QJsonObject{{"dynamicRegistration", true}}}}}};
        server.initialize(params);
        const QJsonObject registered = server.waitFor(
            [](const QJsonObject &m) { return m["method"] == "client/registerCapability"; });
        QVERIFY(QJsonDocument(registered).toJson().contains("**/.spawnsmith"));
        server.open(inAa, cos);
        const QString message = server.published(inAa)["diagnostics"][0]["message"].toString();
        QVERIFY2(message.startsWith("Allied Assault knows no command 'cos'"), qPrintable(message));
        server.open(elsewhere, cos);
        QCOMPARE(shown(server.published(elsewhere)), QString());
        server.notify("workspace/didChangeConfiguration",
                      {{"settings", QJsonObject{{"spawnsmith", QJsonObject{{"game", "sh"}}}}}});
        QCOMPARE(shown(server.published(elsewhere)), "1:11-1:14 error unknown-command");
        server.notify("workspace/didChangeConfiguration",
                      {{"settings", QJsonObject{{"spawnsmith", QJsonObject{{"game", "mohaa"}}}}}});
        QVERIFY(server
                    .waitFor([](const QJsonObject &m) {
                        return m["method"] == "window/showMessage"
                               && m["params"]["message"].toString().contains(
                                   "no game is called 'mohaa'");
                    })
                    .size());
        server.open(inBad, cos);
        QVERIFY(server
                    .waitFor([](const QJsonObject &m) {
                        return m["method"] == "window/showMessage"
                               && m["params"]["message"].toString().contains(
                                   ".spawnsmith:1: cannot read 'gmae = aa'");
                    })
                    .size());
        Server given({"--game", "opm"});
        given.initialize(inFolder());
        given.open(inAa, cos);
        QCOMPARE(shown(given.published(inAa)), QString());
    }

    // A diagnostic that names the right word has a fix that puts it in place.
    void quickFix()
    {
        Server server;
        server.initialize();
        server.open("file:///fix.scr", "main:\n\tlocal.b = spawn \"script_modle\"\n\twat 1\nend\n");
        server.published("file:///fix.scr");
        const QJsonArray actions =
            server
                .result("textDocument/codeAction",
                        {{"textDocument", QJsonObject{{"uri", "file:///fix.scr"}}},
                         {"range", range(2, 2, 2)},
                         {"context", QJsonObject{{"diagnostics", QJsonArray()}}}})
                .toArray();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions[0]["kind"].toString(), "quickfix");
        QVERIFY(actions[0]["isPreferred"].toBool());
        const QJsonObject edit = actions[0]["edit"]["changes"]["file:///fix.scr"][0].toObject();
        QCOMPARE(edit["newText"].toString(), "wait");
        QCOMPARE(edit["range"].toObject(), range(2, 1, 4));
    }

    // Changes applied in order, the last text's diagnostics published last.
    void changes()
    {
        Server server;
        server.initialize();
        const QString uri = "file:///changes.scr";
        server.open(uri, "main:\nend\n");
        server.published(uri);
        for (int version = 2; version <= 21; ++version)
            server.notify("textDocument/didChange",
                          {{"textDocument", QJsonObject{{"uri", uri}, {"version", version}}},
                           {"contentChanges", QJsonArray{QJsonObject{{"range", range(1, 0, 0)},
                                                                     {"text", "\tmodle\n"}}}}});
        // The twentieth line of modle, then all mended at once.
        server.notify(
            "textDocument/didChange",
            {{"textDocument", QJsonObject{{"uri", uri}, {"version", 22}}},
             {"contentChanges",
              QJsonArray{
                  QJsonObject{
                      {"range", QJsonObject{{"start", QJsonObject{{"line", 1}, {"character", 0}}},
                                            {"end", QJsonObject{{"line", 20}, {"character", 0}}}}},
                      {"text", ""}},
                  QJsonObject{{"range", range(1, 1, 6)}, {"text", "wait 1"}}}}});
        QJsonObject last;
        while (last["version"].toInt() != 22)
            last = server.published(uri);
        QCOMPARE(shown(last), QString());
        server.result("shutdown", {});
        QVERIFY(server
                    .seen([](const QJsonObject &m) {
                        return m["method"] == "textDocument/publishDiagnostics";
                    })
                    .constLast()["params"]["version"]
                == 22);
    }

    // Bad input is answered, or passed over, and the server goes on.
    void badInput_data()
    {
        QTest::addColumn<QByteArray>("sent"); // the whole message, headers too
        QTest::addColumn<int>("error");       // of the answer to it (id 7, or none); 0 for none
        // Quotes written ' and @ for file:///, to be read more easily.
        const auto framed = [](QByteArray body) {
            body.replace('\'', '"').replace("@", "file:///");
            return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        };
        QTest::newRow("unreadable JSON") << framed("{\"jsonrpc\": \"2.0\", \"id\": 7,") << -32700;
        QTest::newRow("an unknown request")
            << framed("{'jsonrpc':'2.0','id':7,'method':'textDocument/frobnicate'}") << -32601;
        QTest::newRow("an unknown notification")
            << framed("{'jsonrpc':'2.0','method':'$/frobnicate','params':{}}") << 0;
        QTest::newRow("params of the wrong shape") << framed(
            "{'jsonrpc':'2.0','id':7,'method':'textDocument/hover','params':{'position':3}}")
                                                   << -32602;
        QTest::newRow("no message at all") << framed("[1, 2]") << -32600;
        QTest::newRow("an id of no kind")
            << framed("{'jsonrpc':'2.0','id':{'a':1},'method':'textDocument/hover','params':{}}")
            << -32600;
        QTest::newRow("headers without a length") << QByteArray("Content-Type: x\r\n\r\n") << 0;
        QTest::newRow("a change to a document never opened")
            << framed("{'jsonrpc':'2.0','method':'textDocument/"
                      "didChange','params':{'textDocument':{'uri':'@never.scr','version':2},'"
                      "contentChanges':[{'text':'x'}]}}")
            << 0;
        QTest::newRow("a range past the end, control bytes, a lone surrogate")
            << framed("{'jsonrpc':'2.0','method':'textDocument/"
                      "didChange','params':{'textDocument':{'uri':'@bad.scr','version':2},'"
                      "contentChanges':[{'range':{'start':{'line':90,'character':4},'end':{'line':"
                      "3,'character':99}},'text':'\\tmodle // \\u0000\\u0001\\ud800\\n'}]}}")
            << 0;
        QTest::newRow("a cancelled request")
            << framed("{'jsonrpc':'2.0','method':'$/cancelRequest','params':{'id':7}}")
                   + framed("{'jsonrpc':'2.0','id':7,'method':'textDocument/"
                            "hover','params':{'textDocument':{'uri':'@bad.scr'},'position':{'line':"
                            "0,'character':0}}}")
            << -32800;
    }
    void badInput()
    {
        QFETCH(QByteArray, sent);
        QFETCH(int, error);
        Server server;
        server.initialize();
        server.open("file:///bad.scr", "main:\nend\n");
        server.published("file:///bad.scr");
        server.bytes(sent);
        if (error != 0)
            QCOMPARE(server
                         .waitFor([](const QJsonObject &m) {
                             return m.contains("error") && (m["id"] == 7 || m["id"].isNull());
                         })["error"]["code"]
                         .toInt(),
                     error);
        if (QTest::currentDataTag()
            == QByteArray("a range past the end, control bytes, a lone surrogate"))
            QCOMPARE(shown(server.published("file:///bad.scr")), "2:1-2:6 error unknown-command");
        // It goes on: a document opened after is read.
        server.open("file:///after.scr", "wat\n");
        QCOMPARE(shown(server.published("file:///after.scr")), "0:0-0:3 error unknown-command");
        QVERIFY(server.running());
    }

    // Before initialize a request is refused; a 100 MB document is read and
    // requests are answered meanwhile.
    void beforeInitialize()
    {
        Server server;
        QCOMPARE(server.answer(server.ask("textDocument/hover", {}))["error"]["code"].toInt(),
                 -32002);
        server.initialize();
        const QByteArray block = "local.box = spawn script_model\nlocal.box model \"a.tik\"\n";
        server.open("file:///large.scr", block.repeated((100 << 20) / block.size()) + "modle\n");
        // Seconds to send and read, more under Wine with other tests beside.
        constexpr int kAllowMs = 600'000;
        const QJsonObject hover =
            server.answer(server.ask("textDocument/hover", at("file:///none.scr", 0, 0)), kAllowMs);
        QVERIFY(hover.contains("result"));
        QCOMPARE(hover["result"], QJsonValue());
        QCOMPARE(
            server.published("file:///large.scr", kAllowMs)["diagnostics"][0]["code"].toString(),
            "unknown-command");
    }

    // What may be typed where the cursor (|) is, for a game.
    void completion_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("game");
        QTest::addColumn<QStringList>("offered"); // among the first twenty, in this order
        QTest::addColumn<QStringList>("absent");
        const auto row = [](const char *name, const char *text, const char *game,
                            const QStringList &offered, const QStringList &absent) {
            QTest::newRow(name) << QByteArray(text) << QString(game) << offered << absent;
        };
        row("a spawned class's own commands first",
            "main:\n\tlocal.m = spawn script_model\n\tlocal.m mo|\nend\n", "", {"model"}, {});
        row("the catalogue's paths in a model's quotes",
            "main:\n\tlocal.m model \"static/30|\nend\n", "", {"static/30cal_crate.tik"}, {});
        row("the file's labels after thread",
            "main:\n\tthread he|\nend\nhelper:\nend\nhere:\nend\n", "", {"helper", "here"},
            {"main"});
        row("another script's labels after path::", "main:\n\tthread global/door.scr::|\nend\n", "",
            {"open", "opener"}, {"main"});
        row("a script after exec", "main:\n\texec glo|\nend\n", "", {"global/door.scr"}, {});
        row("a class after spawn", "main:\n\tlocal.m = spawn script_mo|\nend\n", "",
            {"script_model"}, {});
        row("a field the script sets", "main:\n\tlocal.crate = 1\n\tlocal.cr|\nend\n", "",
            {"crate"}, {});
        row("objects whose fields the script sets",
            "main:\n\tlocal.crate.origin = ( 1 2 3 )\n\tlocal.crate.angles = ( 0 90 0 )\n"
            "\tlocal.barrel.scale = 2\n\tlocal.crate.scale = 3\n\tlocal.|\nend\n",
            "", {"crate", "barrel"}, {});
        row("a command that gives a value", "main:\n\tlocal.x = randomi|\nend\n", "", {"randomint"},
            {});
        row("a statement's command", "main:\n\tdprin|\nend\n", "", {"dprintln"}, {});
        row("a statement's command, in Spearhead", "main:\n\tdprin|\nend\n", "sh", {"dprintln"},
            {});
        row("none Allied Assault lacks", "main:\n\tdprin|\nend\n", "aa", {}, {"dprintln"});
        row("no value's command in a statement", "main:\n\trandomi|\nend\n", "", {}, {"randomint"});
    }
    void completion()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, game);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, absent);
        write("global/door.scr", "open local.speed:\nend\nopener:\nend\n");
        Server server;
        QJsonObject params = inFolder();
        params["initializationOptions"] = QJsonObject{{"game", game}};
        server.initialize(params);
        const qsizetype cursor = text.indexOf('|');
        const QByteArray before = text.left(cursor);
        const QString uri = uriOf("maps/typing.scr");
        server.open(uri, text.remove(cursor, 1));
        server.published(uri);
        const QJsonObject list =
            server
                .result("textDocument/completion",
                        at(uri, int(before.count('\n')),
                           int(QString::fromUtf8(before.mid(before.lastIndexOf('\n') + 1)).size())))
                .toObject();
        QStringList labels;
        for (const QJsonValue item : list["items"].toArray())
            labels << item["label"].toString();
        QStringList first = labels.mid(0, 20);
        for (const QString &label : offered)
            QVERIFY2(first.contains(label), qPrintable(label + " in " + first.join(' ')));
        for (const QString &label : absent)
            QVERIFY2(!labels.contains(label), qPrintable(label));
    }

    // A thousand items at most, and the list says when there were more.
    void manyLabels_data()
    {
        QTest::addColumn<int>("labels"); // main among them
        QTest::addColumn<int>("items");
        QTest::addColumn<bool>("incomplete");
        QTest::newRow("999") << 999 << 999 << false;
        QTest::newRow("1,000") << 1000 << 1000 << false;
        QTest::newRow("1,001") << 1001 << 1000 << true;
        QTest::newRow("5,000") << 5000 << 1000 << true;
    }
    void manyLabels()
    {
        QFETCH(int, labels);
        QFETCH(int, items);
        QFETCH(bool, incomplete);
        QByteArray text = "main:\n\tthread \nend\n";
        for (int i = 1; i < labels; ++i)
            text += "part" + QByteArray::number(i) + ":\nend\n";
        Server server;
        server.initialize(inFolder());
        const QString uri = uriOf("maps/many.scr");
        server.open(uri, text);
        server.published(uri);
        const QJsonObject list = server.result("textDocument/completion", at(uri, 1, 8)).toObject();
        QCOMPARE(list["items"].toArray().size(), items);
        QCOMPARE(list["isIncomplete"].toBool(), incomplete);
        for (const QJsonValue item : list["items"].toArray())
            if (item["label"] == "part2")
                QCOMPARE(item["detail"].toString(), "label, line 6");
    }

    // Labels and scripts: where they stand, their uses, renaming, outlines,
    // hover, folds, links, calls and colours, across two scripts, one of them
    // not open.
    void scriptsKnown()
    {
        // In a folder whose name URIs escape.
        const QString door =
            write("mod [1]/global/door.scr", "open local.speed:\n\tthread open\n"
                                             "\tthread opener\nend\nopener:\nend\n");
        const QString mill = uriOf("mod [1]/maps/mill.scr");
        Server server;
        server.initialize(inFolder("mod [1]"));
        server.open(mill, "main:\n\tthread open_gate\n\twaitthread global/door.scr::open 5\n"
                          "\texec global/door.scr\n\tlocal.m = spawn script_model\n"
                          "\tlocal.m model \"static/30cal_crate.tik\"\n"
                          "\tlocal.x = cos (randomint 90)\n\t$gate healthonly 1\n\tarena\nend\n\n"
                          "// the gate\n// opens slowly\nopen_gate:\nend\nidle:\n\twait 1\n"
                          "closing:\nend\n");
        QCOMPARE(shown(server.published(mill)), QString());
        const auto location = [](QJsonValue l) {
            if (l["location"].isObject()) // a symbol found
                l = l["location"];
            return QString("%1 %2:%3")
                .arg(QFileInfo(QUrl(l["uri"].toString()).toLocalFile()).fileName())
                .arg(l["range"]["start"]["line"].toInt())
                .arg(l["range"]["start"]["character"].toInt());
        };
        const auto locations = [&](const QJsonValue &list) {
            QStringList found;
            for (const QJsonValue l : list.toArray())
                found << location(l);
            return found.join(", ");
        };
        QCOMPARE(locations(server.result("textDocument/definition", at(mill, 1, 10))),
                 "mill.scr 13:0");
        QCOMPARE(locations(server.result("textDocument/definition", at(mill, 2, 30))),
                 "door.scr 0:0");
        QCOMPARE(locations(server.result("textDocument/definition", at(mill, 3, 8))),
                 "door.scr 0:0");
        QJsonObject references = at(mill, 2, 30);
        references["context"] = QJsonObject{{"includeDeclaration", true}};
        QCOMPARE(locations(server.result("textDocument/references", references)),
                 "door.scr 0:0, door.scr 1:8, mill.scr 2:29");
        QJsonObject rename = at(mill, 2, 30);
        rename["newName"] = "shut";
        const QJsonObject changes =
            server.result("textDocument/rename", rename)["changes"].toObject();
        QMap<QString, QJsonArray> edits; // by file name
        for (const QString &uri : changes.keys())
            edits[QFileInfo(QUrl(uri).toLocalFile()).fileName()] = changes[uri].toArray();
        QCOMPARE(edits.keys(), (QStringList{"door.scr", "mill.scr"}));
        QCOMPARE(edits["door.scr"].size(), 2);
        QCOMPARE(edits.value("door.scr").at(1)["range"].toObject(), range(1, 8, 12));
        QCOMPARE(changes[mill][0]["range"].toObject(), range(2, 29, 33));
        rename["newName"] = "shut it";
        QCOMPARE(server.answer(server.ask("textDocument/rename", rename))["error"]["code"].toInt(),
                 -32803);
        rename["newName"] = "opener";
        QVERIFY(server.answer(server.ask("textDocument/rename", rename))["error"]["message"]
                    .toString()
                    .contains("has a label 'opener' already"));

        QStringList outline;
        for (const QJsonValue symbol : server
                                           .result("textDocument/documentSymbol",
                                                   {{"textDocument", QJsonObject{{"uri", mill}}}})
                                           .toArray())
            outline << symbol["name"].toString() + "@"
                           + QString::number(symbol["selectionRange"]["start"]["line"].toInt());
        QCOMPARE(outline.join(' '), "main@0 open_gate@13 idle@15 closing@17");
        QCOMPARE(locations(server.result("workspace/symbol", {{"query", "OPENE"}})),
                 "door.scr 4:0");

        const auto hover = [&](int line, int character) {
            return server
                .result("textDocument/hover", at(mill, line, character))["contents"]["value"]
                .toString();
        };
        const QString model = hover(5, 10), cos = hover(6, 12), open = hover(2, 30);
        QVERIFY2(hover(6, 18).contains("**randomint**"), qPrintable(hover(6, 18))); // within cos's
        QVERIFY2(hover(7, 10).contains("also a field"), qPrintable(hover(7, 10)));
        QVERIFY2(hover(8, 2).contains("No source says which classes"), qPrintable(hover(8, 2)));
        QVERIFY2(model.contains("ScriptModel") && model.contains("Allied Assault"),
                 qPrintable(model));
        QVERIFY2(cos.contains("gives a value") && cos.contains("Breakthrough"), qPrintable(cos));
        QVERIFY2(open.contains("global/door.scr") && open.contains("local.speed"),
                 qPrintable(open));

        const QJsonArray folds =
            server
                .result("textDocument/foldingRange", {{"textDocument", QJsonObject{{"uri", mill}}}})
                .toArray();
        // Threads to their end, or to the line before the next label; runs of comments.
        QCOMPARE(folds,
                 (QJsonArray{QJsonObject{{"startLine", 0}, {"endLine", 9}},
                             QJsonObject{{"startLine", 11}, {"endLine", 12}, {"kind", "comment"}},
                             QJsonObject{{"startLine", 13}, {"endLine", 14}},
                             QJsonObject{{"startLine", 15}, {"endLine", 16}},
                             QJsonObject{{"startLine", 17}, {"endLine", 18}}}));
        const QJsonArray links =
            server
                .result("textDocument/documentLink", {{"textDocument", QJsonObject{{"uri", mill}}}})
                .toArray();
        QCOMPARE(links.size(), 2);
        QCOMPARE(QUrl(links[1]["target"].toString()).toLocalFile(),
                 QDir(m_dir.path()).filePath("mod [1]/global/door.scr"));
        QCOMPARE(links[1]["range"].toObject(), range(3, 6, 21));

        const QJsonValue item =
            server.result("textDocument/prepareCallHierarchy", at(mill, 0, 1))[0];
        QStringList callees;
        for (const QJsonValue call :
             server.result("callHierarchy/outgoingCalls", {{"item", item}}).toArray())
            callees << call["to"]["name"].toString() + " in " + call["to"]["detail"].toString();
        QCOMPARE(callees.join(", "), "open_gate in mill.scr, open in door.scr");
        const QJsonValue opening =
            server.result("textDocument/prepareCallHierarchy", at(mill, 2, 30))[0];
        QStringList callers;
        for (const QJsonValue call :
             server.result("callHierarchy/incomingCalls", {{"item", opening}}).toArray())
            callers << call["from"]["name"].toString() + " in " + call["from"]["detail"].toString();
        QCOMPARE(callers.join(", "), "open in door.scr, main in mill.scr");

        // line:character type of each semantic token, the protocol's deltas read.
        const QJsonArray data = server
                                    .result("textDocument/semanticTokens/full",
                                            {{"textDocument", QJsonObject{{"uri", mill}}}})["data"]
                                    .toArray();
        QMap<QString, int> types;
        for (int i = 0, line = 0, character = 0; i + 4 < data.size(); i += 5) {
            character = data[i].toInt() ? data[i + 1].toInt() : character + data[i + 1].toInt();
            line += data[i].toInt();
            types[QString("%1:%2").arg(line).arg(character)] = data[i + 3].toInt();
        }
        QCOMPARE(types.value("1:1", -1), 1);  // thread: a command
        QCOMPARE(types.value("1:8", -1), 0);  // open_gate: a label
        QCOMPARE(types.value("4:1", -1), 2);  // local.m: a variable
        QCOMPARE(types.value("4:17", -1), 3); // script_model: a class
    }

    void exitStatus_data()
    {
        QTest::addColumn<bool>("shutdown");
        QTest::addColumn<bool>("exit");
        QTest::addColumn<int>("status");
        QTest::newRow("shutdown, then exit") << true << true << 0;
        QTest::newRow("exit alone") << false << true << 1;
        QTest::newRow("input closed") << false << false << 1;
        QTest::newRow("shutdown, then input closed") << true << false << 0;
    }
    void exitStatus()
    {
        QFETCH(bool, shutdown);
        QFETCH(bool, exit);
        QFETCH(int, status);
        Server server;
        server.initialize();
        if (shutdown) {
            server.result("shutdown", {});
            QCOMPARE(server.answer(server.ask("textDocument/hover", {}))["error"]["code"].toInt(),
                     -32600);
        }
        if (exit)
            server.notify("exit", {});
        QCOMPARE(server.exitStatus(), status);
    }
};

QTEST_GUILESS_MAIN(LspTest)
#include "lsp_test.moc"
