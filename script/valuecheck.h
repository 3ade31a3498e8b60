#pragma once

// Whether the game reads a field's value as the box shows it. The blocks still
// take every value as typed; this only tells the user, before the script
// leaves the tool, which values the game would refuse or misread.

#include <string_view>

namespace script {

// What a box holds, as far as the game's reading of it goes.
enum class ValueKind {
    Number,     // origin, angles, scale, set size, wait, delay
    IdName,     // the variable name after "local."
    Thread,     // a label, or a script path, "::" and a label
    QuotedText, // the model path and the message, written between double quotes
};

enum class Problem {
    None,
    // numbers
    NoNumber,    // empty or blank
    Comma,       // 1,5
    PlusSign,    // +5
    StrayMinus,  // - 5, 5-, --5
    Exponent,    // 1e+30
    Letters,     // 51O, 0x10, 90°
    SecondPoint, // 1.2.3
    TwoNumbers,  // 1 2
    NotANumber,  // any other sign, or no digit
    // ID names
    NameBreaker, // a space, sign or non-ASCII letter ends the name
    NameKeyword, // size
    NameBackslash,
    // threads
    ThreadComment, // //, /* or */
    ThreadSemicolon,
    ThreadSpace,
    ThreadColon, // a single colon
    // quoted text
    InnerQuote,
    Backslash,
};

// The first problem the game has with the value, or Problem::None. An empty ID
// name, thread or quoted text has none here: the Add check answers for those.
Problem checkValue(ValueKind kind, std::string_view utf8) noexcept;

// One short sentence: what the game will do, and what to type instead. Empty
// for Problem::None.
std::string_view explain(Problem problem) noexcept;

} // namespace script
