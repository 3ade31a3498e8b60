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
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace script {

// Why the game stops: a word it cannot read where it stands, or one of the
// checks its compiler makes once every line is read.
enum class StopKind : std::uint8_t {
    CannotRead,           // a word the grammar has no place for there
    TooDeep,              // nesting past any the reader follows
    UnknownCommand,       // a command the game does not know, or not as that kind
    DuplicateLabel,       // a label of a name already taken
    CannotAssign,         // a value assigned to what is not a variable
    BreakOutside,         // a break outside a loop or a switch
    ContinueOutside,      // a continue outside a loop
    TooManyBreaks,        // more breaks held at once than the compiler holds
    TooManyContinues,     // the same for continues
    CaseValue,            // a case value the compiler does not take
    ParameterNotVariable, // a label's or case's parameter that is no variable
    BuiltInParameter,     // a parameter of a name the game keeps for a field of its own
};

// A short name of each kind, for tools that tell them apart.
std::string_view code(StopKind kind);

struct Stop
{
    std::size_t offset = 0; // byte offset in the text
    std::size_t end = 0;    // just past the word there
    std::size_t line = 1;   // as Place counts
    std::size_t column = 1;
    StopKind kind = StopKind::CannotRead;
    std::string sentence; // what the game found there and what it needed instead
    std::string nearest;  // the word probably meant, where the sentence names one
};

// The game reads the whole text first, then compiles it: a label used twice,
// a value assigned to something that is not a variable, a break outside a loop,
// a command it does not know stop the script only when every line could be read.
// The game's two public readers judge the reading and the grammar, not the
// commands: their verdicts are compared with Grammar or ReadingOnly.
enum class Stages : std::uint8_t { All, Grammar, ReadingOnly };

// Nothing when the script loads. The listener, where given, is told what the
// game's own reading reads; with readOn, also past the stop, each line after
// it read as if it started the text (for an editor, which knows the script
// while it does not load).
std::optional<Stop> readScript(std::string_view text, Stages stages = Stages::All,
                               const Vocabulary &vocabulary = Vocabulary::game(),
                               ReadListener *listener = nullptr, bool readOn = false);

// One reader's view only; the one above combines both.
std::optional<Stop> readScript(std::string_view text, Dialect dialect, Stages stages,
                               const Vocabulary &vocabulary = Vocabulary::game());

} // namespace script
