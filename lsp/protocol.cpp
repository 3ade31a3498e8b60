#include "protocol.h"

#include "jsontree.h"
#include "uri.h"

#include <cstdio>
#include <exception>
#include <stdexcept>

namespace lsp {
namespace {

// The errors JSON-RPC and the protocol name.
enum Error {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
    kRequestCancelled = -32800,
    kRequestFailed = -32803,
};

// A request the server understood and refuses, with the reason.
struct Refusal : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// window/showMessage and window/logMessage types.
enum MessageType { kError = 1, kWarning = 2, kInfo = 3, kLog = 4 };

json toJson(Position p) { return {{"line", p.line}, {"character", p.character}}; }
json toJson(Range r) { return {{"start", toJson(r.start)}, {"end", toJson(r.end)}}; }

Position positionFrom(const json &j)
{
    return {j.at("line").get<std::uint32_t>(), j.at("character").get<std::uint32_t>()};
}
Range rangeFrom(const json &j) { return {positionFrom(j.at("start")), positionFrom(j.at("end"))}; }

json toJson(const Diagnostic &d)
{
    return {{"range", toJson(d.range)},
            {"severity", d.error ? 1 : 2},
            {"code", d.code},
            {"source", "spawnsmith"},
            {"message", d.message}};
}

json toJson(const Location &l) { return {{"uri", l.uri}, {"range", toJson(l.range)}}; }

json toJson(const WorkspaceEdit &edit)
{
    json changes = json::object();
    for (const auto &[uri, edits] : edit) {
        json list = json::array();
        for (const TextEdit &e : edits)
            list.push_back({{"range", toJson(e.range)}, {"newText", e.text}});
        changes[uri] = std::move(list);
    }
    return {{"changes", std::move(changes)}};
}

constexpr int kFunction = 12; // SymbolKind
json toJson(const CallItem &item)
{
    return {{"name", item.name},           {"kind", kFunction},
            {"detail", item.detail},       {"uri", item.uri},
            {"range", toJson(item.range)}, {"selectionRange", toJson(item.selection)}};
}

CallItem callItemFrom(const json &j)
{
    return {j.at("name").get<std::string>(), j.value("detail", ""), j.at("uri").get<std::string>(),
            rangeFrom(j.at("range")), rangeFrom(j.at("selectionRange"))};
}

int completionKind(Completion::Kind kind)
{
    switch (kind) {
    case Completion::Kind::Command:
        return 2; // Method: the game's commands are its classes' own
    case Completion::Kind::Label:
        return 3; // Function
    case Completion::Kind::Variable:
        return 6;
    case Completion::Kind::Class:
        return 7;
    case Completion::Kind::Script:
    case Completion::Kind::Model:
        return 17; // File
    }
    return 1;
}

const std::string &uriIn(const json &params)
{
    return params.at("textDocument").at("uri").get_ref<const std::string &>();
}

// A JSON text with every lone UTF-16 surrogate escaped in it made U+FFFD,
// as an editor shows it: the JSON library refuses the text otherwise.
std::string withoutLoneSurrogates(std::string_view text)
{
    const auto unit = [&](std::size_t at) -> long {
        if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u')
            return -1;
        return std::strtol(std::string(text.substr(at + 2, 4)).c_str(), nullptr, 16);
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const long u = unit(i);
        const bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
        if (high && unit(i + 6) >= 0xDC00 && unit(i + 6) <= 0xDFFF) {
            out.append(text.substr(i, 12));
            i += 11;
        } else if (high || low) {
            out += "\\uFFFD";
            i += 5;
        } else {
            out.append(text.substr(i, 2)); // an escape of its own, \\ among them
            ++i;
        }
    }
    return out;
}

} // namespace

Protocol::Protocol(Transport &transport, std::optional<script::Game> given)
    : m_transport(transport)
    , m_scripts(
          Client{[this](const std::string &uri, std::int64_t version,
                        const std::vector<Diagnostic> &diagnostics) {
                     json list = json::array();
                     for (const Diagnostic &d : diagnostics)
                         list.push_back(toJson(d));
                     notify("textDocument/publishDiagnostics",
                            {{"uri", uri}, {"version", version}, {"diagnostics", std::move(list)}});
                 },
                 [this](const std::string &message) { log(message); },
                 [this](const std::string &message) { showError(message); }},
          given)
{
    m_requests["initialize"] = [this](const json &params) { return initialize(params); };
    m_requests["shutdown"] = [this](const json &) {
        m_shutDown = true;
        return json();
    };
    m_requests["textDocument/codeAction"] = [this](const json &params) {
        return codeActions(params);
    };
    answering();
    m_notifications["initialized"] = [this](json &) { initialized(); };
    m_notifications["textDocument/didOpen"] = [this](json &params) { opened(params); };
    m_notifications["textDocument/didChange"] = [this](json &params) { changed(params); };
    m_notifications["textDocument/didSave"] = [this](json &params) {
        m_scripts.saved(uriIn(params));
    };
    m_notifications["textDocument/didClose"] = [this](json &params) { closed(params); };
    m_notifications["workspace/didChangeConfiguration"] = [this](json &params) {
        configurationChanged(params);
    };
    m_notifications["workspace/didChangeWatchedFiles"] = [this](json &) {
        m_scripts.filesChanged();
    };
    m_notifications["workspace/didChangeWorkspaceFolders"] = [this](json &params) {
        foldersChanged(params.at("event"));
    };
}

std::optional<json> Protocol::receive(std::string_view bytes)
{
    std::optional<json> parsed = parseJson(bytes);
    if (!parsed && bytes.find("\\u") != std::string_view::npos)
        parsed = parseJson(withoutLoneSurrogates(bytes));
    if (!parsed) {
        fail(nullptr, kParseError, "The message is no JSON the server can read.");
        return std::nullopt;
    }
    json &message = *parsed;
    if (message.is_object() && message.value("method", json()) == "$/cancelRequest") {
        const json id = message.value("params", json::object()).value("id", json());
        const std::lock_guard lock(m_cancelling);
        m_cancelled.insert(id.dump());
        return std::nullopt;
    }
    return parsed;
}

bool Protocol::handle(json message)
{
    if (!message.is_object()) {
        fail(nullptr, kInvalidRequest, "A message is a JSON object.");
        return true;
    }
    const auto method = message.find("method");
    const auto id = message.find("id");
    const bool goodId = id != message.end() && (id->is_number_integer() || id->is_string());
    if (method != message.end() && method->is_string()) {
        if (*method == "exit")
            return false;
        if (id == message.end())
            notification(message);
        else if (goodId)
            request(message);
        else
            fail(nullptr, kInvalidRequest, "A request's id is a number or a string.");
    } else if (goodId && (message.contains("result") || message.contains("error"))) {
        response(message);
    } else {
        fail(goodId ? *id : json(), kInvalidRequest, "A message has a method, or is a response.");
    }
    return true;
}

void Protocol::request(const json &message)
{
    const json &id = message["id"];
    const std::string &method = message["method"].get_ref<const std::string &>();
    if (cancelled(id))
        return fail(id, kRequestCancelled, "The request was cancelled.");
    if (!m_initialized && method != "initialize")
        return fail(id, kServerNotInitialized, "The server answers once it is initialized.");
    if (m_initialized && method == "initialize")
        return fail(id, kInvalidRequest, "The server is initialized already.");
    if (m_shutDown)
        return fail(id, kInvalidRequest, "The server is shut down: only exit is left.");
    const auto handler = m_requests.find(method);
    if (handler == m_requests.end())
        return fail(id, kMethodNotFound, "The server does not answer " + method + ".");
    try {
        respond(id, handler->second(message.value("params", json::object())));
    } catch (const Refusal &refusal) {
        fail(id, kRequestFailed, refusal.what());
    } catch (const json::exception &e) {
        fail(id, kInvalidParams,
             std::string("The parameters are not of the shape ") + method + " takes: " + e.what());
    } catch (const std::exception &e) {
        fail(id, kInternalError, e.what());
    }
}

void Protocol::notification(json &message)
{
    const std::string &method = message["method"].get_ref<const std::string &>();
    if (!m_initialized || m_shutDown)
        return; // a notification before initialize, or after shutdown, is dropped
    const auto handler = m_notifications.find(method);
    if (handler == m_notifications.end())
        return; // one the server has no use for
    try {
        json &params = message["params"];
        if (params.is_null())
            params = json::object();
        handler->second(params);
    } catch (const std::exception &e) {
        log("The server passed over " + method + ": its parameters are not of the shape it takes ("
            + e.what() + ").");
    }
}

void Protocol::response(const json &message)
{
    if (!message["id"].is_number_integer())
        return;
    const auto asked = m_asked.find(message["id"].get<std::int64_t>());
    if (asked == m_asked.end())
        return;
    const auto then = std::move(asked->second);
    m_asked.erase(asked);
    if (message.contains("result")) {
        try {
            then(message["result"]);
        } catch (const std::exception &e) {
            log(std::string("The server passed over an answer of the editor's: ") + e.what());
        }
    }
}

void Protocol::respond(const json &id, json result)
{
    m_transport.write(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}.dump(
        -1, ' ', false, json::error_handler_t::replace));
}

void Protocol::fail(const json &id, int code, const std::string &message)
{
    m_transport.write(
        json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}}
            .dump(-1, ' ', false, json::error_handler_t::replace));
}

void Protocol::notify(std::string_view method, json params)
{
    m_transport.write(
        json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump(
            -1, ' ', false, json::error_handler_t::replace));
}

void Protocol::ask(std::string_view method, json params, std::function<void(const json &)> then)
{
    const std::int64_t id = m_nextId++;
    m_asked[id] = std::move(then);
    m_transport.write(
        json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}}
            .dump(-1, ' ', false, json::error_handler_t::replace));
}

void Protocol::log(const std::string &message)
{
    notify("window/logMessage", {{"type", kLog}, {"message", message}});
}

void Protocol::showError(const std::string &message)
{
    notify("window/showMessage", {{"type", kError}, {"message", "Spawnsmith: " + message}});
}

bool Protocol::cancelled(const json &id)
{
    const std::lock_guard lock(m_cancelling);
    return m_cancelled.erase(id.dump()) > 0;
}

json Protocol::initialize(const json &params)
{
    const json capabilities = params.value("capabilities", json::object());
    const json general = capabilities.value("general", json::object());
    const json encodings = general.value("positionEncodings", json::array());
    if (encodings.is_array()
        && std::find(encodings.begin(), encodings.end(), "utf-8") != encodings.end())
        m_encoding = Encoding::Utf8;
    m_scripts.setEncoding(m_encoding);
    const json workspace = capabilities.value("workspace", json::object());
    m_pullsConfiguration = workspace.value("configuration", false);
    m_watchesFiles = workspace.value("didChangeWatchedFiles", json::object())
                         .value("dynamicRegistration", false);

    std::vector<std::filesystem::path> folders;
    const json listed = params.value("workspaceFolders", json());
    if (listed.is_array()) {
        for (const json &folder : listed)
            if (const auto path = pathOf(folder.at("uri").get<std::string>()))
                folders.push_back(*path);
    } else if (params.value("rootUri", json()).is_string()) {
        if (const auto path = pathOf(params["rootUri"].get<std::string>()))
            folders.push_back(*path);
    } else if (params.value("rootPath", json()).is_string()) {
        folders.emplace_back(params["rootPath"].get<std::string>());
    }
    m_folders = folders;
    m_scripts.setFolders(std::move(folders));
    const json options = params.value("initializationOptions", json());
    if (options.is_object())
        setGame(options);
    m_initialized = true;
    return {{"capabilities",
             {{"positionEncoding", m_encoding == Encoding::Utf8 ? "utf-8" : "utf-16"},
              {"textDocumentSync",
               {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
              {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
              {"definitionProvider", true},
              {"referencesProvider", true},
              {"renameProvider", {{"prepareProvider", true}}},
              {"documentSymbolProvider", true},
              {"workspaceSymbolProvider", true},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {".", ":", "\"", "/"}}}},
              {"foldingRangeProvider", true},
              {"documentLinkProvider", {{"resolveProvider", false}}},
              {"callHierarchyProvider", true},
              {"semanticTokensProvider",
               {{"legend", {{"tokenTypes", kColours}, {"tokenModifiers", {"declaration"}}}},
                {"full", true}}},
              {"workspace",
               {{"workspaceFolders", {{"supported", true}, {"changeNotifications", true}}}}}}},
            {"serverInfo", {{"name", "spawnsmith-check"}, {"version", SPAWNSMITH_VERSION}}}};
}

void Protocol::initialized()
{
    if (m_watchesFiles) {
        const json watchers = {{{"globPattern", "**/*.scr"}},
                               {{"globPattern", "**/*.SCR"}},
                               {{"globPattern", "**/.spawnsmith"}}};
        ask("client/registerCapability",
            {{"registrations",
              {{{"id", "spawnsmith-files"},
                {"method", "workspace/didChangeWatchedFiles"},
                {"registerOptions", {{"watchers", watchers}}}}}}},
            [](const json &) {});
    }
    askConfiguration();
}

void Protocol::askConfiguration()
{
    if (!m_pullsConfiguration)
        return;
    ask("workspace/configuration", {{"items", {{{"section", "spawnsmith"}}}}},
        [this](const json &result) {
            if (result.is_array() && !result.empty() && result[0].is_object())
                setGame(result[0]);
        });
}

// The game of the editor's setting: {"game": "aa"}; empty or null for every game.
void Protocol::setGame(const json &settings)
{
    const auto game = settings.find("game");
    if (game == settings.end())
        return;
    const std::string name = game->is_string() ? game->get<std::string>() : "";
    if (!game->is_null() && !game->is_string())
        return showError("the setting spawnsmith.game is a game's name, such as \"aa\".");
    if (!m_scripts.setGame(name))
        showError("no game is called '" + name + "': spawnsmith.game is one of "
                  + std::string(script::gameCalls()) + ", or empty for every game.");
}

void Protocol::configurationChanged(const json &params)
{
    const json settings = params.value("settings", json());
    if (settings.is_object() && settings.value("spawnsmith", json()).is_object())
        setGame(settings["spawnsmith"]);
    else
        askConfiguration(); // the editor says only that something changed
}

void Protocol::foldersChanged(const json &event)
{
    const auto each = [&](const char *list,
                          const std::function<void(std::filesystem::path)> &take) {
        for (const json &folder : event.at(list))
            if (const auto path = pathOf(folder.at("uri").get<std::string>()))
                take(*path);
    };
    each("removed", [this](const std::filesystem::path &path) { std::erase(m_folders, path); });
    each("added", [this](std::filesystem::path path) { m_folders.push_back(std::move(path)); });
    m_scripts.setFolders(m_folders);
}

void Protocol::opened(json &params)
{
    json &document = params.at("textDocument");
    std::string text = std::move(document.at("text").get_ref<std::string &>());
    if (text.size() > kLargestText)
        return log("The server reads no document larger than 2 GiB.");
    m_scripts.open(document.at("uri").get<std::string>(),
                   document.at("version").get<std::int64_t>(), std::move(text));
}

void Protocol::changed(json &params)
{
    const json &document = params.at("textDocument");
    std::vector<Change> changes;
    for (json &change : params.at("contentChanges")) {
        Change c;
        if (change.contains("range"))
            c.range = rangeFrom(change["range"]);
        c.text = std::move(change.at("text").get_ref<std::string &>());
        changes.push_back(std::move(c));
    }
    const std::string &uri = document.at("uri").get_ref<const std::string &>();
    if (!m_scripts.change(uri, document.at("version").get<std::int64_t>(), std::move(changes)))
        log("The server passed over a change to " + uri + ", which is not open.");
}

void Protocol::closed(const json &params) { m_scripts.close(uriIn(params)); }

void Protocol::answering()
{
    const auto at = [](const json &params) { return positionFrom(params.at("position")); };
    const auto locations = [](const std::vector<Location> &found) {
        json list = json::array();
        for (const Location &l : found)
            list.push_back(toJson(l));
        return list;
    };
    m_requests["textDocument/definition"] = [=, this](const json &params) {
        return locations(m_answers.definition(uriIn(params), at(params)));
    };
    m_requests["textDocument/references"] = [=, this](const json &params) {
        const bool declaration =
            params.value("context", json::object()).value("includeDeclaration", false);
        return locations(m_answers.references(uriIn(params), at(params), declaration));
    };
    m_requests["textDocument/prepareRename"] = [=, this](const json &params) {
        std::string placeholder, why;
        const std::optional<Range> range =
            m_answers.renamable(uriIn(params), at(params), placeholder, why);
        if (!range)
            throw Refusal(why);
        return json{{"range", toJson(*range)}, {"placeholder", placeholder}};
    };
    m_requests["textDocument/rename"] = [=, this](const json &params) {
        std::string why;
        const std::optional<WorkspaceEdit> edit = m_answers.rename(
            uriIn(params), at(params), params.at("newName").get<std::string>(), why);
        if (!edit)
            throw Refusal(why);
        return toJson(*edit);
    };
    m_requests["textDocument/documentSymbol"] = [this](const json &params) {
        json list = json::array();
        for (const Symbol &s : m_answers.symbols(uriIn(params)))
            list.push_back({{"name", s.name},
                            {"detail", s.detail},
                            {"kind", kFunction},
                            {"range", toJson(s.location.range)},
                            {"selectionRange", toJson(s.selection)}});
        return list;
    };
    m_requests["workspace/symbol"] = [this](const json &params) {
        json list = json::array();
        for (const Symbol &s : m_answers.search(params.at("query").get<std::string>()))
            list.push_back(
                {{"name", s.name},
                 {"kind", kFunction},
                 {"containerName", s.container},
                 {"location", {{"uri", s.location.uri}, {"range", toJson(s.selection)}}}});
        return list;
    };
    m_requests["textDocument/hover"] = [=, this](const json &params) {
        Range range;
        const std::string text = m_answers.hover(uriIn(params), at(params), range);
        if (text.empty())
            return json();
        return json{{"contents", {{"kind", "markdown"}, {"value", text}}},
                    {"range", toJson(range)}};
    };
    m_requests["textDocument/completion"] = [=, this](const json &params) {
        const Completions found = m_answers.complete(uriIn(params), at(params));
        json items = json::array();
        for (std::size_t i = 0; i < found.items.size(); ++i) {
            const Completion &c = found.items[i];
            char order[24];
            std::snprintf(order, sizeof order, "%06zu", i); // the order given: a class's own first
            items.push_back(
                {{"label", c.label},
                 {"kind", completionKind(c.kind)},
                 {"detail", c.detail},
                 {"sortText", order},
                 {"filterText", c.label},
                 {"textEdit", {{"range", toJson(found.replaced)}, {"newText", c.label}}}});
        }
        return json{{"isIncomplete", found.incomplete}, {"items", std::move(items)}};
    };
    m_requests["textDocument/foldingRange"] = [this](const json &params) {
        json list = json::array();
        for (const Fold &f : m_answers.folds(uriIn(params))) {
            json fold = {{"startLine", f.start}, {"endLine", f.end}};
            if (f.comment)
                fold["kind"] = "comment";
            list.push_back(std::move(fold));
        }
        return list;
    };
    m_requests["textDocument/documentLink"] = [this](const json &params) {
        json list = json::array();
        for (const Link &l : m_answers.links(uriIn(params)))
            list.push_back({{"range", toJson(l.range)}, {"target", l.target}});
        return list;
    };
    m_requests["textDocument/prepareCallHierarchy"] = [=, this](const json &params) {
        json list = json::array();
        for (const CallItem &item : m_answers.callItems(uriIn(params), at(params)))
            list.push_back(toJson(item));
        return list;
    };
    const auto calls = [](const std::vector<Calls> &found, const char *end) {
        json list = json::array();
        for (const Calls &c : found) {
            json ranges = json::array();
            for (const Range &r : c.ranges)
                ranges.push_back(toJson(r));
            list.push_back({{end, toJson(c.item)}, {"fromRanges", std::move(ranges)}});
        }
        return list;
    };
    m_requests["callHierarchy/incomingCalls"] = [=, this](const json &params) {
        return calls(m_answers.callers(callItemFrom(params.at("item"))), "from");
    };
    m_requests["callHierarchy/outgoingCalls"] = [=, this](const json &params) {
        return calls(m_answers.callees(callItemFrom(params.at("item"))), "to");
    };
    m_requests["textDocument/semanticTokens/full"] = [this](const json &params) {
        return json{{"data", m_answers.colours(uriIn(params))}};
    };
}

json Protocol::codeActions(const json &params)
{
    const std::vector<Fix> fixes = m_scripts.fixes(uriIn(params), rangeFrom(params.at("range")));
    json actions = json::array();
    for (const Fix &fix : fixes)
        actions.push_back(
            {{"title", fix.title},
             {"kind", "quickfix"},
             {"isPreferred", true},
             {"diagnostics", {toJson(fix.diagnostic)}},
             {"edit",
              {{"changes",
                {{uriIn(params), {{{"range", toJson(fix.range)}, {"newText", fix.word}}}}}}}}});
    return actions;
}

} // namespace lsp
