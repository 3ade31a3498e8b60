#include "workspace.h"

#include "scriptfile.h"
#include "uri.h"
#include "words.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace lsp {
namespace {

// More scripts than any mod has: a workspace opened at a disk's root is not
// walked whole.
constexpr std::size_t kMostScripts = 100'000;

bool isScript(const std::filesystem::path &path)
{
    const std::string name = path.filename().string();
    return name.size() > 4 && script::sameIgnoringCase(name.substr(name.size() - 4), ".scr");
}

// Folders no script lives in, however many files they hold.
bool passedOver(const std::filesystem::path &folder)
{
    const std::string name = folder.filename().string();
    return name == ".git" || name == "node_modules";
}

} // namespace

ReadScript::ReadScript(std::shared_ptr<const std::string> text, std::shared_ptr<const Lines> lines,
                       script::Game game)
    : text(std::move(text))
    , lines(std::move(lines))
    , game(game)
    , labels(script)
{
    script::OutlineListener outlining(*this->text);
    script = script::readLevelScript(*this->text, script::Vocabulary::game(game), &outlining);
    outline = outlining.take();
    labels = script::ScriptLabels(script);
}

void Workspace::setFolders(std::vector<std::filesystem::path> folders)
{
    const std::lock_guard lock(m_mutex);
    m_folders = std::move(folders);
    m_scanned = false;
}

std::vector<std::filesystem::path> Workspace::folders() const
{
    const std::lock_guard lock(m_mutex);
    return m_folders;
}

std::optional<std::filesystem::path> Workspace::folderOf(const std::filesystem::path &path) const
{
    const std::lock_guard lock(m_mutex);
    const std::string key = pathKey(path);
    std::optional<std::filesystem::path> deepest;
    for (const std::filesystem::path &folder : m_folders) {
        std::string prefix = pathKey(folder);
        if (!prefix.empty() && prefix.back() != '/')
            prefix += '/';
        if (key.starts_with(prefix)
            && (!deepest || folder.native().size() > deepest->native().size()))
            deepest = folder;
    }
    return deepest;
}

void Workspace::rescan()
{
    const std::lock_guard lock(m_mutex);
    m_scanned = false;
}

void Workspace::addOutside(const std::filesystem::path &path)
{
    const std::lock_guard lock(m_mutex);
    if (std::find(m_outside.begin(), m_outside.end(), path) == m_outside.end()) {
        m_outside.push_back(path);
        m_scanned = false;
    }
}

void Workspace::scanLocked()
{
    if (m_scanned)
        return;
    m_scanned = true;
    m_scripts.clear();
    m_names.clear();
    m_byPath = {};
    std::set<std::string> seen;
    const auto add = [&](const std::filesystem::path &path, const std::string &as) {
        if (seen.insert(pathKey(path)).second) {
            m_byPath.add(as, m_scripts.size());
            m_scripts.push_back(path);
            m_names.push_back(as);
        }
    };
    for (const std::filesystem::path &folder : m_folders) {
        std::error_code error;
        auto it = std::filesystem::recursive_directory_iterator(
            folder, std::filesystem::directory_options::skip_permission_denied, error);
        for (; !error && it != std::filesystem::recursive_directory_iterator()
               && m_scripts.size() < kMostScripts;
             it.increment(error)) {
            if (it->is_directory(error) && passedOver(it->path()))
                it.disable_recursion_pending();
            else if (isScript(it->path()) && it->is_regular_file(error))
                add(it->path(), it->path().lexically_relative(folder).generic_string());
        }
    }
    for (const std::filesystem::path &path : m_outside)
        add(path, path.generic_string());
}

std::optional<std::filesystem::path> Workspace::named(std::string_view used)
{
    const std::lock_guard lock(m_mutex);
    scanLocked();
    const std::size_t number = m_byPath.named(used);
    if (number == script::ScriptsByPath::kNone)
        return std::nullopt;
    return m_scripts[number];
}

std::vector<std::filesystem::path> Workspace::scripts()
{
    const std::lock_guard lock(m_mutex);
    scanLocked();
    return m_scripts;
}

std::vector<std::string> Workspace::names()
{
    const std::lock_guard lock(m_mutex);
    scanLocked();
    return m_names;
}

std::shared_ptr<const ReadScript> Workspace::read(const std::filesystem::path &path,
                                                  script::Game game)
{
    std::error_code error;
    const auto written = std::filesystem::last_write_time(path, error);
    const std::uintmax_t size = error ? 0 : std::filesystem::file_size(path, error);
    if (error)
        return nullptr;
    const std::string key = pathKey(path);
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_read.find(key);
        if (found != m_read.end() && found->second.written == written && found->second.size == size
            && found->second.read->game == game)
            return found->second.read;
    }
    const std::unique_ptr<files::ScriptFile> file = files::readScriptFile(path.string());
    if (!file)
        return nullptr;
    auto text = std::make_shared<const std::string>(file->take());
    auto lines = std::make_shared<const Lines>(*text);
    auto read = std::make_shared<const ReadScript>(std::move(text), std::move(lines), game);
    const std::lock_guard lock(m_mutex);
    m_read[key] = {path, written, size, read};
    return read;
}

} // namespace lsp
