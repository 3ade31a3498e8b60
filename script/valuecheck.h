#pragma once

// Whether the game reads a box's value as the box shows it. The value is put
// in its line of a block, the block is read with the script reader, and the
// box is marked when that line would not load, or when the value is not read
// as the box means it. The blocks still take every value as typed; this only
// tells the user, before the script leaves the tool, what the game would do.

#include <string>
#include <string_view>

namespace script {

// A box, by the line of the block its value goes into.
enum class ValueKind {
    Vector,     // origin, angles, set size: one number of a ( x y z ) triple
    Scale,      // the scale: one number after "="
    Argument,   // wait, delay: one number after the command
    IdName,     // the variable name after "local.", read as typed, indexes and fields too
    Thread,     // a label, or a script path, "::" and a label
    QuotedText, // the model path and the message, between double quotes, no escapes
};

// Empty when the game reads the value as typed; otherwise one short sentence:
// what the game will do, and what to type instead. An empty ID name, thread or
// quoted text is not marked here: the Add check answers for those.
std::string checkValue(ValueKind kind, std::string_view utf8);

} // namespace script
