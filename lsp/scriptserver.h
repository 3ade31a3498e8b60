#pragma once

// What the language server knows of scripts, with no word of the protocol
// (protocol.h translates): the documents open in the editor, each read as
// spawnsmith-check reads a script, beside the protocol on a thread of its
// own; the scripts of the workspace they name; which game each is for. What
// it finds is given to the editor by the Client's calls, for the version of
// the text it was found in and never for an older one. Plain C++.

#include "text.h"
#include "workspace.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lsp {

struct Diagnostic
{
    Range range;
    bool error = false; // where the game stops; else a line that fails when it runs
    std::string code;
    std::string message;
    std::string nearest; // the word probably meant, for a quick fix
    Range word;          // what the fix replaces: the range, within any quotes
};

// An edit that puts the word probably meant in place of a wrong one.
struct Fix
{
    std::string title;
    Range range;
    std::string word;
    Diagnostic diagnostic;
};

// What the server tells the editor unasked. Called from any thread, one call
// at a time.
struct Client
{
    std::function<void(const std::string &uri, std::int64_t version,
                       const std::vector<Diagnostic> &diagnostics)>
        publish;
    std::function<void(const std::string &message)> log;
    std::function<void(const std::string &message)> showError;
};

// One edit of a document: the range replaced, or the whole text.
struct Change
{
    std::optional<Range> range;
    std::string text;
};

class ScriptServer final
{
public:
    // given: the game of --game, which outweighs every other word on it.
    ScriptServer(Client client, std::optional<script::Game> given);
    ~ScriptServer();
    ScriptServer(const ScriptServer &) = delete;
    ScriptServer &operator=(const ScriptServer &) = delete;

    void setEncoding(Encoding encoding);
    void setFolders(std::vector<std::filesystem::path> folders);
    // The editor's setting: a game's name, or empty for every game. False
    // where it names none (the game stays as it was).
    bool setGame(std::string_view name);

    void open(const std::string &uri, std::int64_t version, std::string text);
    // False where the document is not open.
    bool change(const std::string &uri, std::int64_t version, std::vector<Change> changes);
    void saved(const std::string &uri);
    void close(const std::string &uri);
    // Scripts or .spawnsmith files changed on disk, made or deleted.
    void filesChanged();

    // The quick fixes for the diagnostics published for the document's
    // present text that meet the range.
    std::vector<Fix> fixes(const std::string &uri, Range range) const;

    // What answers to the editor's questions read: a script as last read,
    // never read afresh for a question, with the URI and path it goes by.
    struct Known
    {
        std::string uri;
        std::filesystem::path path; // empty for a document that has none
        std::shared_ptr<const ReadScript> read;
    };
    Encoding encoding() const;
    // An open document's last reading.
    std::optional<Known> document(const std::string &uri) const;
    // The script a path used in a script names (open or on disk), or at a path.
    std::optional<Known> named(std::string_view used);
    std::optional<Known> at(const std::filesystem::path &path);
    // Every script of the workspace, and every open document, each once.
    std::vector<Known> every();
    // The workspace's scripts as a script names them (exec path).
    std::vector<std::string> scriptNames();
    // The vocabulary of the game an open document is for.
    const script::Vocabulary &vocabulary(const std::string &uri) const;

private:
    struct Reading;
    struct Document;
    enum class Work : std::uint8_t { None, Labels, Read };

    void work();
    void readNext(std::unique_lock<std::mutex> &lock);
    std::shared_ptr<const Reading> read(const Document &document) const;
    std::vector<Diagnostic> diagnose(const Reading &reading) const;
    std::vector<script::Warning> labelsThere(const Reading &reading,
                                             std::vector<std::string> &targets);
    void finish(Document &document, std::shared_ptr<const Reading> reading);
    void schedule(Document &document, Work work);
    script::Game gameOf(const std::optional<std::filesystem::path> &path);
    void reconsiderGames();

    Client m_client;
    const std::optional<script::Game> m_given;
    Workspace m_workspace;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    Encoding m_encoding = Encoding::Utf16;
    script::Game m_setting = script::Game::Any;
    std::map<std::string, std::unique_ptr<Document>> m_documents; // by URI
    std::map<std::string, std::string> m_opened;                  // URIs by path key
    std::deque<std::string> m_queue;                              // URIs with work
    std::set<std::string> m_errorsShown;                          // of .spawnsmith files, each once
    std::thread m_worker;
};

} // namespace lsp
