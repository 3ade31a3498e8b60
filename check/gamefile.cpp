#include "gamefile.h"

#include "scriptfile.h"
#include "words.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace files {
namespace {

std::string_view trimmed(std::string_view s)
{
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string at(const std::filesystem::path &path, std::size_t line)
{
    return path.string() + ":" + std::to_string(line) + ": ";
}

// A folder's path with no separator at its end, so that two of the same
// folder compare equal.
std::filesystem::path folderPath(const std::filesystem::path &folder)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(folder, error).lexically_normal();
    if (!path.has_filename() && path.has_relative_path())
        path = path.parent_path();
    return path;
}

} // namespace

GameFile readGameFile(std::string_view text, const std::filesystem::path &shownPath)
{
    GameFile file{shownPath, std::nullopt, {}};
    std::size_t namedOn = 0, number = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        const std::string_view whole = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        ++number;
        const std::string_view line = trimmed(whole.substr(0, whole.find('#')));
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        const std::string_view name = trimmed(line.substr(equals + 1));
        std::string why;
        if (equals == std::string_view::npos || trimmed(line.substr(0, equals)) != "game")
            why = "cannot read '" + script::shown(line)
                  + "': a line here says game = NAME, NAME one of "
                  + std::string(script::gameCalls()) + " ('#' starts a comment).";
        else if (!script::gameCalled(name))
            why = "no game is called '" + script::shown(name) + "': NAME is one of "
                  + std::string(script::gameCalls()) + ".";
        else if (namedOn)
            why = "the game is named already, on line " + std::to_string(namedOn)
                  + ": keep one line game = NAME.";
        if (!why.empty()) {
            file.error = at(shownPath, number) + why;
            file.game.reset();
            return file;
        }
        namedOn = number;
        file.game = script::gameCalled(name);
    }
    return file;
}

GameFile findGameFile(const std::filesystem::path &folder, const std::filesystem::path &top)
{
    std::error_code error;
    std::filesystem::path at = folderPath(folder);
    const std::filesystem::path stop = top.empty() ? std::filesystem::path() : folderPath(top);
    for (;;) {
        const std::filesystem::path candidate = at / kGameFileName;
        if (std::filesystem::is_regular_file(candidate, error)) {
            const std::unique_ptr<ScriptFile> read = readScriptFile(candidate.string());
            if (!read)
                return {candidate, std::nullopt,
                        candidate.string() + ": cannot read it: " + std::strerror(errno)};
            return readGameFile(read->text(), candidate);
        }
        if (at == stop || !at.has_relative_path())
            return {};
        at = at.parent_path();
    }
}

} // namespace files
