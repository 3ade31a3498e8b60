#include "scriptserver.h"

#include "gamefile.h"
#include "uri.h"

#include <algorithm>

namespace lsp {

// One reading of a document's text, as published.
struct ScriptServer::Reading
{
    std::int64_t version = 0;
    Encoding encoding = Encoding::Utf16;
    std::string key; // of the document's path; empty for none
    std::shared_ptr<const ReadScript> read;
    std::vector<std::string> targets;   // keys of the scripts it names
    std::vector<script::Warning> there; // labels it uses that they lack
    std::vector<Diagnostic> diagnostics;
};

struct ScriptServer::Document
{
    Document(std::string uri, std::string text)
        : uri(std::move(uri))
        , text(std::move(text))
    {}
    std::string uri;
    std::optional<std::filesystem::path> path;
    std::string key;
    std::int64_t version = 0;
    Text text;
    script::Game game = script::Game::Any;
    Work work = Work::None;
    std::shared_ptr<const Reading> reading; // the last published
};

namespace {

bool sameLabels(const script::LevelScript &a, const script::LevelScript &b)
{
    if (a.stop.has_value() != b.stop.has_value() || a.labels.size() != b.labels.size())
        return false;
    for (std::size_t i = 0; i < a.labels.size(); ++i)
        if (a.name(a.labels[i]) != b.name(b.labels[i]))
            return false;
    return true;
}

bool before(Position a, Position b)
{
    return a.line < b.line || (a.line == b.line && a.character < b.character);
}

bool meet(Range a, Range b) { return !before(a.end, b.start) && !before(b.end, a.start); }

} // namespace

ScriptServer::ScriptServer(Client client, std::optional<script::Game> given)
    : m_client(std::move(client))
    , m_given(given)
    , m_worker([this] { work(); })
{}

ScriptServer::~ScriptServer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void ScriptServer::setEncoding(Encoding encoding)
{
    const std::lock_guard lock(m_mutex);
    m_encoding = encoding;
}

void ScriptServer::setFolders(std::vector<std::filesystem::path> folders)
{
    const std::lock_guard lock(m_mutex);
    m_workspace.setFolders(std::move(folders));
    reconsiderGames();
    for (auto &[uri, document] : m_documents)
        schedule(*document, Work::Labels);
}

bool ScriptServer::setGame(std::string_view name)
{
    const std::optional<script::Game> game =
        name.empty() ? script::Game::Any : script::gameCalled(name);
    if (!game)
        return false;
    const std::lock_guard lock(m_mutex);
    m_setting = *game;
    reconsiderGames();
    return true;
}

void ScriptServer::open(const std::string &uri, std::int64_t version, std::string text)
{
    auto document = std::make_unique<Document>(uri, std::move(text));
    document->version = version;
    document->path = pathOf(uri);
    const std::lock_guard lock(m_mutex);
    if (document->path) {
        document->key = pathKey(*document->path);
        if (!m_workspace.folderOf(*document->path))
            m_workspace.addOutside(*document->path);
        m_opened[document->key] = uri;
    }
    document->game = gameOf(document->path);
    Document &opened = *(m_documents[uri] = std::move(document));
    schedule(opened, Work::Read);
}

bool ScriptServer::change(const std::string &uri, std::int64_t version, std::vector<Change> changes)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_documents.find(uri);
    if (found == m_documents.end())
        return false;
    Document &document = *found->second;
    for (Change &change : changes) {
        if (change.range)
            document.text.replace(*change.range, change.text, m_encoding);
        else
            document.text = Text(std::move(change.text));
    }
    document.version = version;
    if (document.text.bytes()->size() > kLargestText) {
        m_client.log(uri + " is larger than the server reads (2 GiB): it is not read again.");
        return true;
    }
    schedule(document, Work::Read);
    return true;
}

void ScriptServer::saved(const std::string &uri)
{
    (void)uri; // without word of files changed on disk, a save is the time to look again
    filesChanged();
}

void ScriptServer::filesChanged()
{
    const std::lock_guard lock(m_mutex);
    m_errorsShown.clear();
    m_workspace.rescan();
    reconsiderGames();
    for (auto &[uri, document] : m_documents)
        if (document->reading && !document->reading->targets.empty())
            schedule(*document, Work::Labels);
}

void ScriptServer::close(const std::string &uri)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_documents.find(uri);
    if (found == m_documents.end())
        return;
    const std::string key = found->second->key;
    m_client.publish(uri, found->second->version, {});
    m_documents.erase(found);
    if (key.empty())
        return;
    m_opened.erase(key);
    // Those that named it read its labels from disk again.
    for (auto &[other, document] : m_documents)
        if (document->reading
            && std::find(document->reading->targets.begin(), document->reading->targets.end(), key)
                   != document->reading->targets.end())
            schedule(*document, Work::Labels);
}

std::vector<Fix> ScriptServer::fixes(const std::string &uri, Range range) const
{
    std::shared_ptr<const Reading> reading;
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_documents.find(uri);
        if (found == m_documents.end() || !found->second->reading
            || found->second->reading->version != found->second->version)
            return {};
        reading = found->second->reading;
    }
    std::vector<Fix> fixes;
    for (const Diagnostic &diagnostic : reading->diagnostics) {
        if (diagnostic.nearest.empty() || !meet(diagnostic.range, range))
            continue;
        const Lines &lines = *reading->read->lines;
        const std::string &text = *reading->read->text;
        const std::size_t from = lines.offset(text, diagnostic.word.start, reading->encoding);
        const std::size_t to = lines.offset(text, diagnostic.word.end, reading->encoding);
        const std::string wrong = text.substr(from, to - from);
        fixes.push_back({"Change '" + wrong + "' to '" + diagnostic.nearest + "'", diagnostic.word,
                         diagnostic.nearest, diagnostic});
    }
    return fixes;
}

void ScriptServer::schedule(Document &document, Work work)
{
    if (document.work == Work::None)
        m_queue.push_back(document.uri);
    document.work = std::max(document.work, work);
    m_wake.notify_one();
}

script::Game ScriptServer::gameOf(const std::optional<std::filesystem::path> &path)
{
    if (m_given)
        return *m_given;
    if (path) {
        const std::filesystem::path folder = path->parent_path();
        const files::GameFile file =
            files::findGameFile(folder, m_workspace.folderOf(*path).value_or(folder));
        if (!file.error.empty() && m_errorsShown.insert(file.error).second)
            m_client.showError(file.error);
        if (file.error.empty() && file.game)
            return *file.game;
    }
    return m_setting;
}

void ScriptServer::reconsiderGames()
{
    for (auto &[uri, document] : m_documents) {
        const script::Game game = gameOf(document->path);
        if (game != document->game) {
            document->game = game;
            schedule(*document, Work::Read);
        }
    }
}

void ScriptServer::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        readNext(lock);
    }
}

void ScriptServer::readNext(std::unique_lock<std::mutex> &lock)
{
    const std::string uri = m_queue.front();
    m_queue.pop_front();
    const auto found = m_documents.find(uri);
    if (found == m_documents.end())
        return;
    Document &document = *found->second;
    const Work work = std::exchange(document.work, Work::None);
    auto reading = std::make_shared<Reading>();
    reading->version = document.version;
    reading->encoding = m_encoding;
    reading->key = document.key;
    const script::Game game = document.game;
    std::shared_ptr<const std::string> text = document.text.bytes();
    std::shared_ptr<const Lines> lines = document.text.lines();
    const std::shared_ptr<const Reading> last = document.reading;
    const bool labelsOnly = work == Work::Labels && last && last->version == reading->version
                            && last->read->game == game;
    lock.unlock();
    reading->read =
        labelsOnly ? last->read
                   : std::make_shared<const ReadScript>(std::move(text), std::move(lines), game);
    reading->there = labelsThere(*reading, reading->targets);
    reading->diagnostics = diagnose(*reading);
    lock.lock();
    const auto still = m_documents.find(uri);
    // A newer text, or another game, is read again: its work is queued.
    if (still != m_documents.end() && still->second->version == reading->version
        && still->second->game == reading->read->game)
        finish(*still->second, std::move(reading));
}

std::vector<script::Warning> ScriptServer::labelsThere(const Reading &reading,
                                                       std::vector<std::string> &targets)
{
    std::vector<std::shared_ptr<const void>> held; // what the labels are views of
    const auto named = [&](std::string_view used) -> script::ScriptLabels * {
        const std::optional<std::filesystem::path> path = m_workspace.named(used);
        if (!path)
            return nullptr;
        const std::string key = pathKey(*path);
        targets.push_back(key);
        if (key == reading.key)
            return reading.read->script.stop ? nullptr : &reading.read->labels;
        script::Game game;
        {
            // An open script's text wins over the disk's.
            const std::lock_guard lock(m_mutex);
            const auto opened = m_opened.find(key);
            if (opened != m_opened.end()) {
                const std::shared_ptr<const Reading> other =
                    m_documents.at(opened->second)->reading;
                if (!other || other->read->script.stop)
                    return nullptr;
                held.push_back(other);
                return &other->read->labels;
            }
            game = gameOf(*path);
        }
        std::shared_ptr<const ReadScript> disk = m_workspace.read(*path, game);
        if (!disk || disk->script.stop)
            return nullptr;
        held.push_back(disk);
        return &disk->labels;
    };
    std::vector<script::Warning> there = script::labelsMissing(reading.read->script, named);
    std::sort(targets.begin(), targets.end());
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    return there;
}

std::vector<Diagnostic> ScriptServer::diagnose(const Reading &reading) const
{
    const std::string &text = *reading.read->text;
    const Lines &lines = *reading.read->lines;
    // A word's range, on the line it starts on.
    const auto range = [&](std::size_t from, std::size_t to) {
        const Position start = lines.position(text, from, reading.encoding);
        to = std::clamp(to, from, std::max(from, lines.end(text, start.line)));
        return Range{start, lines.position(text, to, reading.encoding)};
    };
    const auto word = [&](std::size_t from, std::size_t to) {
        if (to - from >= 2 && text[from] == '"' && text[to - 1] == '"')
            return range(from + 1, to - 1);
        return range(from, to);
    };
    const script::LevelScript &script = reading.read->script;
    if (const std::optional<script::Stop> &stop = script.stop)
        return {{range(stop->offset, stop->end), true, std::string(script::code(stop->kind)),
                 stop->sentence, stop->nearest, word(stop->offset, stop->end)}};
    std::vector<script::Warning> warnings = script.warnings;
    script::merge(warnings, reading.there);
    std::vector<Diagnostic> diagnostics;
    diagnostics.reserve(warnings.size());
    for (const script::Warning &warning : warnings)
        diagnostics.push_back({range(warning.offset, warning.end), false,
                               std::string(script::code(warning.kind)), script::sentence(warning),
                               warning.nearest, word(warning.offset, warning.end)});
    return diagnostics;
}

void ScriptServer::finish(Document &document, std::shared_ptr<const Reading> reading)
{
    const std::shared_ptr<const Reading> last = std::exchange(document.reading, reading);
    m_client.publish(document.uri, reading->version, reading->diagnostics);
    // The scripts that name this one are checked against its labels anew.
    if (document.key.empty() || (last && sameLabels(last->read->script, reading->read->script)))
        return;
    for (auto &[uri, other] : m_documents)
        if (other.get() != &document && other->reading
            && std::binary_search(other->reading->targets.begin(), other->reading->targets.end(),
                                  document.key))
            schedule(*other, Work::Labels);
}

Encoding ScriptServer::encoding() const
{
    const std::lock_guard lock(m_mutex);
    return m_encoding;
}

std::optional<ScriptServer::Known> ScriptServer::document(const std::string &uri) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_documents.find(uri);
    if (found == m_documents.end() || !found->second->reading)
        return std::nullopt;
    return Known{uri, found->second->path.value_or(std::filesystem::path()),
                 found->second->reading->read};
}

std::optional<ScriptServer::Known> ScriptServer::named(std::string_view used)
{
    const std::optional<std::filesystem::path> path = m_workspace.named(used);
    return path ? at(*path) : std::nullopt;
}

std::optional<ScriptServer::Known> ScriptServer::at(const std::filesystem::path &path)
{
    script::Game game;
    {
        const std::lock_guard lock(m_mutex);
        const auto opened = m_opened.find(pathKey(path));
        if (opened != m_opened.end()) {
            const Document &document = *m_documents.at(opened->second);
            if (!document.reading)
                return std::nullopt;
            return Known{document.uri, path, document.reading->read};
        }
        game = gameOf(path);
    }
    std::shared_ptr<const ReadScript> read = m_workspace.read(path, game);
    if (!read)
        return std::nullopt;
    return Known{uriOf(path), path, std::move(read)};
}

std::vector<ScriptServer::Known> ScriptServer::every()
{
    std::vector<Known> every;
    std::set<std::string> seen;
    for (const std::filesystem::path &path : m_workspace.scripts())
        if (std::optional<Known> known = at(path)) {
            seen.insert(known->uri);
            every.push_back(std::move(*known));
        }
    const std::lock_guard lock(m_mutex);
    for (const auto &[uri, document] : m_documents)
        if (document->reading && !seen.count(uri))
            every.push_back(
                {uri, document->path.value_or(std::filesystem::path()), document->reading->read});
    return every;
}

std::vector<std::string> ScriptServer::scriptNames() { return m_workspace.names(); }

const script::Vocabulary &ScriptServer::vocabulary(const std::string &uri) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_documents.find(uri);
    return script::Vocabulary::game(found == m_documents.end() ? m_setting : found->second->game);
}

} // namespace lsp
