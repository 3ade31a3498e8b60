#pragma once

// The scripts in the workspace's folders on disk: found by the paths scripts
// name one another by (path::label, exec path) as spawnsmith-check finds the
// files it is given, and each read when first asked about and again once it
// changed on disk. Any thread may ask. Plain C++.

#include "levelscript.h"
#include "outline.h"
#include "text.h"
#include "vocabulary.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lsp {

// A script read, open in the editor or on disk: its text and lines, what
// spawnsmith-check finds in it, its outline, and its labels for the scripts
// that name it (asked only by the thread that reads).
struct ReadScript
{
    ReadScript(std::shared_ptr<const std::string> text, std::shared_ptr<const Lines> lines,
               script::Game game);
    ReadScript(const ReadScript &) = delete;
    ReadScript &operator=(const ReadScript &) = delete;

    std::shared_ptr<const std::string> text;
    std::shared_ptr<const Lines> lines;
    script::Game game;
    script::LevelScript script;
    script::Outline outline;
    mutable script::ScriptLabels labels; // views of script's names
};

// A script read from disk, as it was when read.
struct DiskScript
{
    std::filesystem::path path;
    std::filesystem::file_time_type written;
    std::uintmax_t size = 0;
    std::shared_ptr<const ReadScript> read;
};

class Workspace final
{
public:
    void setFolders(std::vector<std::filesystem::path> folders);
    std::vector<std::filesystem::path> folders() const;
    // The deepest folder of the workspace the path lies in, if any.
    std::optional<std::filesystem::path> folderOf(const std::filesystem::path &path) const;

    // The scripts are looked for anew when next asked about.
    void rescan();
    // A script opened from outside the folders counts among them.
    void addOutside(const std::filesystem::path &path);

    // The path of the one script a path used in a script names; nothing
    // where it names none, or more than one.
    std::optional<std::filesystem::path> named(std::string_view used);
    // Every script, by path; and as scripts name them (relative to its folder).
    std::vector<std::filesystem::path> scripts();
    std::vector<std::string> names();

    // The script as it is on disk, read with the game's vocabulary; read
    // anew where it changed since; null where it cannot be read.
    std::shared_ptr<const ReadScript> read(const std::filesystem::path &path, script::Game game);

private:
    void scanLocked();

    mutable std::mutex m_mutex;
    std::vector<std::filesystem::path> m_folders;
    std::vector<std::filesystem::path> m_outside;
    bool m_scanned = false;
    std::vector<std::filesystem::path> m_scripts;
    std::vector<std::string> m_names;
    script::ScriptsByPath m_byPath;
    std::unordered_map<std::string, DiskScript> m_read; // by pathKey
};

} // namespace lsp
