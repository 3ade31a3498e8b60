#include "server.h"

#include "harness.h"
#include "lspclient.h"
#include "shapes.h"
#include "table.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

namespace {

QString checkProgram()
{
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("../check/spawnsmith-check"));
}

QString writeFile(const QTemporaryDir &dir, const std::string &name, const std::string &text)
{
    const QString path = dir.filePath(QString::fromStdString(name));
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) < 0)
        fail(QStringLiteral("cannot write ") + path);
    return path;
}

// spawnsmith-check's read of the file, the median of five runs.
double checkerMs(const QString &path)
{
    QList<qint64> samples;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        QProcess check;
        check.setStandardOutputFile(QProcess::nullDevice());
        check.start(checkProgram(), {path});
        check.waitForFinished(-1);
        samples << clock.nsecsElapsed();
    }
    return medianMs(samples);
}

// A figure of /proc/PID/status, in KiB; -1 where there is none.
qint64 statusKiB(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QStringLiteral("^%1:\\s*(\\d+)").arg(field),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

// A server started, initialized for a folder, and how it takes changes.
struct Session
{
    std::unique_ptr<LspClient> client;
    bool incremental = true;
    bool versioned = true; // its diagnostics say which version they are of
    qint64 startKiB = -1;
};

Session start(const QStringList &command, const QString &folder)
{
    Session session;
    session.client = std::make_unique<LspClient>(command.first(), command.mid(1));
    const int id = session.client->ask(
        "initialize",
        {{"processId", QCoreApplication::applicationPid()},
         {"rootUri", QUrl::fromLocalFile(folder).toString()},
         {"capabilities", QJsonObject{{"workspace", QJsonObject{{"configuration", true}}}}}});
    const QJsonObject answer = session.client->answer(id, 120'000);
    if (answer.isEmpty())
        fail(QStringLiteral("no answer to initialize from ") + command.join(' '));
    const QJsonValue sync = answer["result"]["capabilities"]["textDocumentSync"];
    session.incremental = (sync.isObject() ? sync["change"].toInt() : sync.toInt()) == 2;
    session.client->notify("initialized", {});
    session.startKiB = statusKiB(session.client->processId(), "VmRSS");
    return session;
}

// The diagnostics published after a change of version, in milliseconds.
double publishedAfter(Session &session, const QString &uri, int version, const QElapsedTimer &clock)
{
    const QJsonObject published = session.client->waitFor(
        [&](const QJsonObject &m) {
            return m["method"] == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri
                   && (!m["params"].toObject().contains("version")
                       || m["params"]["version"].toInt() >= version);
        },
        120'000);
    if (published.isEmpty())
        fail(QStringLiteral("no diagnostics within 120 s"));
    session.versioned = published["params"].toObject().contains("version");
    return clock.nsecsElapsed() / 1e6;
}

// One word of line, put in place of another of the same length, and back.
struct Keystrokes
{
    double firstMs = 0, changeMs = 0;
    qint64 residentKiB = -1, peakKiB = -1;
};

Keystrokes keystrokes(Session &session, const QString &path, QByteArray text, int line,
                      int character, const QByteArray &word, const QByteArray &other)
{
    const QString uri = QUrl::fromLocalFile(path).toString();
    QElapsedTimer clock;
    clock.start();
    session.client->open(uri, text);
    Keystrokes k;
    k.firstMs = publishedAfter(session, uri, 1, clock);
    if (!session.versioned) // a second reading of the opening may follow: let it pass
        session.client->waitFor(
            [&](const QJsonObject &m) {
                return m["method"] == "textDocument/publishDiagnostics"
                       && m["params"]["uri"] == uri;
            },
            int(k.firstMs * 2) + 2'000);
    // Where the line starts in the text, for a server that takes it whole.
    qsizetype at = 0;
    for (int l = 0; l < line; ++l)
        at = text.indexOf('\n', at) + 1;
    QList<qint64> samples;
    for (int version = 2; version < 12; ++version) {
        const QByteArray &put = version % 2 ? word : other;
        text.replace(at + character, put.size(), put);
        const QJsonObject range{
            {"start", QJsonObject{{"line", line}, {"character", character}}},
            {"end", QJsonObject{{"line", line}, {"character", character + int(put.size())}}}};
        const QJsonObject change =
            session.incremental ? QJsonObject{{"range", range}, {"text", QString::fromLatin1(put)}}
                                : QJsonObject{{"text", QString::fromUtf8(text)}};
        clock.restart();
        session.client->notify("textDocument/didChange",
                               {{"textDocument", QJsonObject{{"uri", uri}, {"version", version}}},
                                {"contentChanges", QJsonArray{change}}});
        samples << qint64(publishedAfter(session, uri, version, clock) * 1e6);
    }
    k.changeMs = medianMs(samples);
    // The reading before the last one is let go just after the last is
    // published: memory is read once that is surely done.
    QThread::msleep(200);
    k.residentKiB = statusKiB(session.client->processId(), "VmRSS");
    k.peakKiB = statusKiB(session.client->processId(), "VmHWM");
    return k;
}

// The timed answer to a request, the median of seven.
double answerMs(Session &session, const QString &method, const QJsonObject &params)
{
    QList<qint64> samples;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer clock;
        clock.start();
        if (session.client->answer(session.client->ask(method, params), 120'000).isEmpty())
            fail(QStringLiteral("no answer to ") + method);
        samples << clock.nsecsElapsed();
    }
    return medianMs(samples);
}

QJsonObject at(const QString &path, int line, int character)
{
    return {{"textDocument", QJsonObject{{"uri", QUrl::fromLocalFile(path).toString()}}},
            {"position", QJsonObject{{"line", line}, {"character", character}}}};
}

// The line in the own-names blocks whose spawn's class is changed.
constexpr int kChangedLine = 7;       // "local.crate2 = spawn script_model"
constexpr int kChangedCharacter = 21; // "script_model"

void keystroke(const QStringList &command, const QString &who, bool withTargets)
{
    for (const int blocks : {50'000, 25'000, 100'000}) { // the size, then half and double
        if (!withTargets && blocks != 50'000)
            continue;
        QTemporaryDir dir;
        const shapes::File file = shapes::ownNames(blocks).front();
        const QString path = writeFile(dir, file.name, file.text);
        Session session = start(command, dir.path());
        const QByteArray text = QByteArray::fromStdString(file.text);
        const Keystrokes k = keystrokes(session, path, text, kChangedLine, kChangedCharacter,
                                        "script_model", "script_modle");
        const QString size = QString::number(double(text.size()) / 1e6, 'f', 1);
        if (blocks != 50'000) {
            reportMs(QStringLiteral("  a one-word change at %1 the size (%2 MB)")
                         .arg(blocks < 50'000 ? "half" : "double", size),
                     k.changeMs);
            continue;
        }
        reportMs(
            QStringLiteral("%1, 50,000 objects each its own ID name (%2 MB): marks after opening")
                .arg(who, size),
            k.firstMs);
        if (withTargets) {
            const double checker = checkerMs(path);
            reportMs(QStringLiteral("  spawnsmith-check reading the file"), checker);
            reportMs(QStringLiteral("  marks after a one-word change"), k.changeMs, 1.5 * checker);
            const auto past = [&](qint64 kib) {
                return QString::number(double(kib - session.startKiB) * 1024 / double(text.size()),
                                       'f', 2);
            };
            const double times = past(k.residentKiB).toDouble();
            report(QStringLiteral("  its memory serving, past its start (VmRSS) / open text"),
                   past(k.residentKiB), QStringLiteral("<= 3.00"), times <= 3.0);
            report(QStringLiteral("  at its peak, while a change is read beside the last reading"),
                   past(k.peakKiB));
            report(QStringLiteral("  its memory at start, the table with it (VmRSS)"),
                   mebibytes(session.startKiB));
        } else {
            reportMs(QStringLiteral("  marks after a one-word change"), k.changeMs);
            report(QStringLiteral("  its peak memory (VmHWM)"), mebibytes(k.peakKiB));
        }
    }
}

void smallScript()
{
    QTemporaryDir dir;
    const shapes::File file = shapes::ownNames(240).front(); // about 50 KB
    const QString path = writeFile(dir, file.name, file.text);
    Session session = start({checkProgram(), QStringLiteral("--lsp")}, dir.path());
    const Keystrokes k =
        keystrokes(session, path, QByteArray::fromStdString(file.text), kChangedLine,
                   kChangedCharacter, "script_model", "script_modle");
    reportMs(QStringLiteral("Language server, %1 KB script: marks after a one-word change")
                 .arg(file.text.size() / 1000),
             k.changeMs, 10.0);
}

// 45,000 labels and objects beside them, about 10 MB: definition,
// references and completion answered from the last reading.
void manyLabels()
{
    QTemporaryDir dir;
    std::string text = shapes::labels(45'000).front().text;
    text += shapes::ownNames(12'000).front().text;
    const QString path = writeFile(dir, "maps/dm/labels.scr", text);
    Session session = start({checkProgram(), QStringLiteral("--lsp")}, dir.path());
    session.client->open(QUrl::fromLocalFile(path).toString(), QByteArray::fromStdString(text));
    session.client->published(QUrl::fromLocalFile(path).toString(), 120'000);
    const double checker = checkerMs(path);
    reportMs(QStringLiteral("Language server, 45,000 labels (%1 MB): spawnsmith-check reading it")
                 .arg(double(text.size()) / 1e6, 0, 'f', 1),
             checker);
    // Line 30,001 calls part15000; the cursor on its label.
    QJsonObject references = at(path, 30'001, 12);
    references["context"] = QJsonObject{{"includeDeclaration", true}};
    reportMs(QStringLiteral("  definition of a label used"),
             answerMs(session, "textDocument/definition", at(path, 30'001, 12)), checker / 3);
    reportMs(QStringLiteral("  references of it"),
             answerMs(session, "textDocument/references", references), checker / 3);
    reportMs(QStringLiteral("  completion after thread (45,000 labels)"),
             answerMs(session, "textDocument/completion", at(path, 30'001, 8)), checker / 3);
}

// 200 scripts of 50 KB that call one another, one open: references of a
// label across all of them, and a definition in a script not open.
void workspace()
{
    QTemporaryDir dir;
    QString first;
    QByteArray firstText;
    for (const shapes::File &file : shapes::scripts(200)) {
        const QString path = writeFile(dir, file.name, file.text);
        if (first.isEmpty()) {
            first = path;
            firstText = QByteArray::fromStdString(file.text);
        }
    }
    Session session = start({checkProgram(), QStringLiteral("--lsp")}, dir.path());
    session.client->open(QUrl::fromLocalFile(first).toString(), firstText);
    session.client->published(QUrl::fromLocalFile(first).toString(), 120'000);
    QElapsedTimer clock;
    clock.start();
    // Line 802 of part0 is the label label0, which part199 calls.
    QJsonObject references = at(first, 802, 2);
    references["context"] = QJsonObject{{"includeDeclaration", false}};
    session.client->answer(session.client->ask("textDocument/references", references), 120'000);
    reportMs(QStringLiteral("Language server, 200 scripts of 50 KB: references across them, "
                            "first (read from disk)"),
             clock.nsecsElapsed() / 1e6);
    reportMs(QStringLiteral("  again"), answerMs(session, "textDocument/references", references));
    reportMs(QStringLiteral("  definition in a script not open"),
             answerMs(session, "textDocument/definition", at(first, 1, 30)));
}

} // namespace

void measureServer()
{
    progress("the language server: a keystroke in 10 MB, half and double");
    keystroke({checkProgram(), QStringLiteral("--lsp")}, QStringLiteral("Language server"), true);
    smallScript();
    progress("the language server: definition, references, completion");
    manyLabels();
    workspace();
    const QString other = qEnvironmentVariable("SPAWNSMITH_OTHER_SERVER");
    if (other.isEmpty()) {
        report(QStringLiteral("Another language server, beside it"), QStringLiteral("not run"),
               QStringLiteral("set SPAWNSMITH_OTHER_SERVER"));
        return;
    }
    progress("another language server on the same file");
    // Named by its program or script, not by the options after it (--stdio).
    const QStringList command = QProcess::splitCommand(other);
    const auto named = std::find_if(command.rbegin(), command.rend(),
                                    [](const QString &word) { return !word.startsWith('-'); });
    const QString name = named == command.rend() ? other : QFileInfo(*named).fileName();
    keystroke(command, QStringLiteral("  beside it: ") + name, false);
}
