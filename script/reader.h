#pragma once

// Reads a whole level script as the game does and answers whether it loads or
// where the game stops: the one place in the project that knows the grammar
// of the game's script language and the checks of its compiler, and that asks
// the game's vocabulary (vocabulary.h) about its words. Plain C++, no Qt.
//
// The game compiles a level script as a whole, so one line it cannot read, or
// one command it does not know, stops all of it. Two public readers of the
// language exist and differ in a few corners; a text loads here only when both
// load it, and the stop is the first place where either stops.

#include "lexer.h"
#include "listener.h"
#include "place.h"
#include "vocabulary.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace script {

struct Stop
{
    std::size_t offset = 0; // byte offset in the text
    std::size_t line = 1;   // as Place counts
    std::size_t column = 1;
    std::string sentence; // what the game found there and what it needed instead
};

// The game reads the whole text first, then compiles it: a label used twice,
// a value assigned to something that is not a variable, a break outside a loop,
// a command it does not know stop the script only when every line could be read.
// The game's two public readers judge the reading and the grammar, not the
// commands: their verdicts are compared with Grammar or ReadingOnly.
enum class Stages : std::uint8_t { All, Grammar, ReadingOnly };

// Nothing when the script loads. The listener, where given, is told what the
// game's own reading reads.
std::optional<Stop> readScript(std::string_view text, Stages stages = Stages::All,
                               const Vocabulary &vocabulary = Vocabulary::game(),
                               ReadListener *listener = nullptr);

// One reader's view only; the one above combines both.
std::optional<Stop> readScript(std::string_view text, Dialect dialect, Stages stages,
                               const Vocabulary &vocabulary = Vocabulary::game());

} // namespace script
