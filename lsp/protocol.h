#pragma once

// The Language Server Protocol's side of the server: JSON-RPC messages in,
// calls on the ScriptServer, which knows scripts and no JSON, and answers
// out. It knows nothing of scripts itself, as clangd's ClangdLSPServer
// translates for ClangdServer. Plain C++ and nlohmann's JSON.

#include "answers.h"
#include "scriptserver.h"
#include "transport.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace lsp {

using nlohmann::json;

class Protocol final
{
public:
    Protocol(Transport &transport, std::optional<script::Game> given);
    Protocol(const Protocol &) = delete;
    Protocol &operator=(const Protocol &) = delete;

    // A message's bytes, on the thread that reads them: the message to
    // handle, or nothing where it is answered already (JSON it cannot read)
    // or only cancels a request.
    std::optional<json> receive(std::string_view bytes);

    // One message, on the thread that handles them all in turn; false once
    // the server is told to exit.
    bool handle(json message);

    // What the process ends with: 0 after shutdown, else 1.
    int exitStatus() const { return m_shutDown ? 0 : 1; }

    void log(const std::string &message);

private:
    using Handler = std::function<json(const json &params)>;

    void request(const json &message);
    void notification(json &message);
    void response(const json &message);
    void respond(const json &id, json result);
    void fail(const json &id, int code, const std::string &message);
    void notify(std::string_view method, json params);
    void ask(std::string_view method, json params, std::function<void(const json &)> then);
    void showError(const std::string &message);
    bool cancelled(const json &id);

    json initialize(const json &params);
    void initialized();
    void setGame(const json &settings);
    void askConfiguration();
    json codeActions(const json &params);
    void opened(json &params);
    void changed(json &params);
    void closed(const json &params);
    void configurationChanged(const json &params);
    void foldersChanged(const json &event);
    void answering(); // the requests the answers serve

    Transport &m_transport;
    ScriptServer m_scripts;
    Answers m_answers{m_scripts};
    Encoding m_encoding = Encoding::Utf16;
    std::vector<std::filesystem::path> m_folders;
    bool m_initialized = false, m_shutDown = false;
    bool m_pullsConfiguration = false, m_watchesFiles = false;
    std::map<std::string, Handler> m_requests;
    // Their parameters are theirs to take from (a document's text).
    std::map<std::string, std::function<void(json &params)>> m_notifications;
    std::map<std::int64_t, std::function<void(const json &)>> m_asked; // by the id sent
    std::int64_t m_nextId = 1;
    std::mutex m_cancelling;
    std::set<std::string> m_cancelled; // ids, as JSON text
};

} // namespace lsp
