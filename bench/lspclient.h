#pragma once

// A language server's client of our own, for the benchmark and the tests: it
// starts a server program, sends it JSON-RPC messages framed as the Language
// Server Protocol frames them, and reads what comes back. The requests a
// server sends (workspace/configuration and the like) are answered with
// nothing, as an editor without such settings would.

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <functional>

class LspClient
{
public:
    using Predicate = std::function<bool(const QJsonObject &)>;

    LspClient(const QString &program, const QStringList &arguments);
    ~LspClient();
    LspClient(const LspClient &) = delete;
    LspClient &operator=(const LspClient &) = delete;

    void bytes(const QByteArray &raw);
    void body(const QByteArray &json);
    void send(QJsonObject message);
    void notify(const QString &method, const QJsonObject &params);
    int ask(const QString &method, const QJsonObject &params);
    // The answer to a request (its result or its error); empty after the time allowed.
    const QJsonObject answer(int id, int allowMs = 60'000);
    QJsonValue result(const QString &method, const QJsonObject &params);

    // The first message read from now on that matches; empty after the time allowed.
    const QJsonObject waitFor(const Predicate &matches, int allowMs = 60'000);
    // Every message so far that matches.
    QList<QJsonObject> seen(const Predicate &matches) const;

    void initialize(const QJsonObject &params = {});
    void open(const QString &uri, const QByteArray &text, int version = 1);
    // The next diagnostics published for the document.
    QJsonObject published(const QString &uri, int allowMs = 60'000);

    // Closes the server's input; its exit status, or -1.
    int exitStatus();
    bool running() const { return m_process.state() == QProcess::Running; }
    qint64 processId() const { return m_process.processId(); }

private:
    bool readMore(int waitMs);

    QProcess m_process;
    QByteArray m_buffer;
    QList<QJsonObject> m_read;
    qsizetype m_next = 0;
    int m_id = 0;
};
