#pragma once

// Reads a whole level script as the game does and answers whether it loads or
// where the game stops: the one place in the project that knows the grammar
// of the game's script language. Plain C++, no Qt.
//
// The game compiles a level script as a whole, so one line it cannot read stops
// all of it. Two public readers of the language exist and differ in a few
// corners; a text loads here only when both load it, and the stop is the first
// place where either stops.

#include "lexer.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace script {

struct Stop
{
    std::size_t offset = 0; // byte offset in the text
    std::size_t line = 1;   // 1-based; an LF ends a line (CR LF too), a lone CR does not
    std::size_t column = 1; // 1-based, in bytes
    std::string sentence;   // what the game found there and what it needed instead
};

// The game reads the whole text first, then compiles it: a label used twice,
// a value assigned to something that is not a variable, a break outside a loop
// stop the script only when every line could be read.
enum class Stages : std::uint8_t { All, ReadingOnly };

// Nothing when the script loads.
std::optional<Stop> readScript(std::string_view text, Stages stages = Stages::All);

// One reader's view only; the one above combines both.
std::optional<Stop> readScript(std::string_view text, Dialect dialect, Stages stages);

} // namespace script
