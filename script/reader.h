#pragma once

// Reads a whole level script as the game does and answers whether it loads or
// where the game stops: the one place in the project that knows the grammar
// of the game's script language, and that asks the game's vocabulary
// (vocabulary.h) about its words. Plain C++, no Qt.
//
// The game compiles a level script as a whole, so one line it cannot read, or
// one command it does not know, stops all of it. Two public readers of the
// language exist and differ in a few corners; a text loads here only when both
// load it, and the stop is the first place where either stops.

#include "lexer.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace script {

struct Stop
{
    std::size_t offset = 0; // byte offset in the text
    std::size_t line = 1;   // 1-based; an LF ends a line (CR LF too), a lone CR does not
    std::size_t column = 1; // 1-based, in bytes
    std::string sentence;   // what the game found there and what it needed instead
};

// The game reads the whole text first, then compiles it: a label used twice,
// a value assigned to something that is not a variable, a break outside a loop,
// a command it does not know stop the script only when every line could be read.
// The game's two public readers judge the reading and the grammar, not the
// commands: their verdicts are compared with Grammar or ReadingOnly.
enum class Stages : std::uint8_t { All, Grammar, ReadingOnly };

// Nothing when the script loads.
std::optional<Stop> readScript(std::string_view text, Stages stages = Stages::All);

// One reader's view only; the one above combines both.
std::optional<Stop> readScript(std::string_view text, Dialect dialect, Stages stages);

// A line the game loads that fails when it runs: the game skips it, with a line
// in its console that scripters rarely see.
struct Warning
{
    std::size_t offset = 0, line = 1, column = 1; // as in Stop
    std::string sentence;
};

// A thread, waitthread, goto or setthread to path::label in another script.
struct LabelUse
{
    std::size_t offset = 0, line = 1, column = 1; // of the label
    std::string path, label;
};

// A level script as spawnsmith-check reads it: where the game stops, or, when
// it loads, what fails when it runs.
struct LevelScript
{
    std::optional<Stop> stop;
    // When it loads: a thread call to a label it does not have, a spawn of a
    // name that is neither a class nor a model path, a command that a spawned
    // object does not answer; in the order of the text.
    std::vector<Warning> warnings;
    std::vector<std::string> labels;  // its labels, when it loads
    std::vector<LabelUse> labelsUsed; // in other scripts, when it loads
};

LevelScript readLevelScript(std::string_view text);

// Scripts checked together: where one uses path::label and the path names
// another of them (that one's path ends with it), the label must be there.
struct NamedScript
{
    std::string_view path;
    LevelScript *script;
};
void checkLabelsAcross(std::span<const NamedScript> scripts);

} // namespace script
