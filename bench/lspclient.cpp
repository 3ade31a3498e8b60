#include "lspclient.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>

LspClient::LspClient(const QString &program, const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel); // a server's own complaints
    m_process.start(program, arguments);
    m_process.waitForStarted();
}

LspClient::~LspClient()
{
    m_process.kill();
    m_process.waitForFinished();
}

void LspClient::bytes(const QByteArray &raw) { m_process.write(raw); }

void LspClient::body(const QByteArray &json)
{
    bytes("Content-Length: " + QByteArray::number(json.size()) + "\r\n\r\n" + json);
}

void LspClient::send(QJsonObject message)
{
    message["jsonrpc"] = "2.0";
    body(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

void LspClient::notify(const QString &method, const QJsonObject &params)
{
    send({{"method", method}, {"params", params}});
}

int LspClient::ask(const QString &method, const QJsonObject &params)
{
    send({{"id", ++m_id}, {"method", method}, {"params", params}});
    return m_id;
}

const QJsonObject LspClient::answer(int id, int allowMs)
{
    return waitFor([id](const QJsonObject &m) { return m["id"] == id && !m.contains("method"); },
                   allowMs);
}

QJsonValue LspClient::result(const QString &method, const QJsonObject &params)
{
    return answer(ask(method, params))["result"];
}

const QJsonObject LspClient::waitFor(const Predicate &matches, int allowMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        while (m_next < m_read.size())
            if (const QJsonObject m = m_read[m_next++]; matches(m))
                return m;
        const qint64 left = allowMs - timer.elapsed();
        if (left <= 0 || !readMore(int(std::min<qint64>(left, 1'000))))
            return {};
    }
}

QList<QJsonObject> LspClient::seen(const Predicate &matches) const
{
    QList<QJsonObject> found;
    for (const QJsonObject &m : m_read)
        if (matches(m))
            found << m;
    return found;
}

void LspClient::initialize(const QJsonObject &params)
{
    QJsonObject p = params;
    if (!p.contains("capabilities"))
        p["capabilities"] = QJsonObject();
    answer(ask("initialize", p));
    notify("initialized", {});
}

void LspClient::open(const QString &uri, const QByteArray &text, int version)
{
    notify("textDocument/didOpen",
           {{"textDocument", QJsonObject{{"uri", uri},
                                         {"languageId", "morpheus"},
                                         {"version", version},
                                         {"text", QString::fromUtf8(text)}}}});
}

QJsonObject LspClient::published(const QString &uri, int allowMs)
{
    return waitFor(
               [uri](const QJsonObject &m) {
                   return m["method"] == "textDocument/publishDiagnostics"
                          && m["params"]["uri"] == uri;
               },
               allowMs)["params"]
        .toObject();
}

int LspClient::exitStatus()
{
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(60'000) || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

bool LspClient::readMore(int waitMs)
{
    if (!m_process.waitForReadyRead(waitMs) && m_process.state() != QProcess::Running)
        return false;
    m_buffer += m_process.readAllStandardOutput();
    for (;;) {
        const qsizetype headersEnd = m_buffer.indexOf("\r\n\r\n");
        if (headersEnd < 0)
            return true;
        const qsizetype at = m_buffer.indexOf("Content-Length: ");
        const qsizetype length = m_buffer.mid(at + 16, headersEnd - at - 16).trimmed().toLongLong();
        if (m_buffer.size() < headersEnd + 4 + length)
            return true;
        const QJsonObject message =
            QJsonDocument::fromJson(m_buffer.mid(headersEnd + 4, length)).object();
        m_buffer.remove(0, headersEnd + 4 + length);
        if (message.contains("method") && message.contains("id")) {
            // A request of the server's: nothing for each item asked about.
            QJsonValue nothing;
            if (message["method"] == "workspace/configuration")
                nothing = QJsonArray::fromVariantList(
                    QVariantList(message["params"]["items"].toArray().size()));
            send({{"id", message["id"]}, {"result", nothing}});
        }
        m_read << message;
    }
}
