#pragma once

// The reading of a level script as spawnsmith-check and the language server
// read it: where the game stops, or, when it loads, the lines that fail when
// they run (warning.h); and the labels one script uses in another, looked
// for there when both are read. Plain C++.

#include "listener.h"
#include "vocabulary.h"
#include "warning.h"
#include "words.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace script {

// also, where given, hears the reading as the warnings do.
LevelScript readLevelScript(std::string_view text,
                            const Vocabulary &vocabulary = Vocabulary::game(),
                            ReadListener *also = nullptr);

// A script's labels, ready to be asked about: whether it has one, letter
// case aside, and the nearest to one it lacks. The script must outlive it.
class ScriptLabels final
{
public:
    explicit ScriptLabels(const LevelScript &script);
    bool has(std::string_view label) const { return m_set.find(label); }
    std::string_view nearest(std::string_view label);

private:
    NameTable<Nothing, true> m_set;
    std::optional<NearNames> m_nearest; // only where a label is missing
};

// Where user uses path::label and named(path) gives the labels of the script
// the path names (null where it names none, or one that does not load), the
// label must be there: a warning for each that is not, in the order of the text.
std::vector<Warning>
labelsMissing(const LevelScript &user,
              const std::function<ScriptLabels *(std::string_view path)> &named);

// Two runs of warnings, each in the order of the text, as one.
void merge(std::vector<Warning> &warnings, std::vector<Warning> more);

// Scripts checked together: where one uses path::label and the path names
// exactly one of the others (that one's path ends with it, a whole folder or
// file name at a time, letter case aside, '\' as '/'), and that one loads,
// the label must be there.
struct NamedScript
{
    std::string_view path;
    LevelScript *script;
};
void checkLabelsAcross(std::span<const NamedScript> scripts);

// The scripts of a list by every ending of their paths that starts a folder
// or file name: "maps/dm/mill.scr", "dm/mill.scr", "mill.scr"; an ending two
// share names neither.
class ScriptsByPath final
{
public:
    static constexpr std::size_t kNone = SIZE_MAX;

    void add(std::string_view path, std::size_t number);
    // The number of the one script the path names, or kNone.
    std::size_t named(std::string_view used) const;

private:
    static constexpr std::size_t kTwo = SIZE_MAX - 1;
    std::unordered_map<std::string, std::size_t> m_byEnding;
};

} // namespace script
