#pragma once

// What a reading of a level script finds: where the game stops, or the lines
// it loads that fail when they run (the game skips each, with a line in its
// console that scripters rarely see), and the labels the script has and uses
// in other scripts. The types only: the listener that finds the warnings
// (runchecks.h) fills them, the reading of a level script (levelscript.h)
// hands them out. Plain C++.

#include "place.h"
#include "reader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace script {

enum class WarningKind : std::uint8_t {
    NoLabel,      // a thread, waitthread, goto or setthread to a label this script lacks
    NoLabelThere, // the same to path::label, in another script checked with this one
    NoClass,      // a spawn of a name that is neither a class nor a model path
    NotAnswered,  // a command sent to a spawned object whose class does not answer it
};

// A short name of each kind, for report lines and for tools that count them.
std::string_view code(WarningKind kind);

struct Warning
{
    WarningKind kind = WarningKind::NoLabel;
    std::size_t offset = 0; // of the word, in the text
    std::size_t end = 0;    // just past it
    Place place;
    std::string word;    // the label, the name spawned, or the command
    std::string where;   // the other script's path, or the class's spawn name
    std::string nearest; // the right word nearest to word; empty for none
};

// The warning in words: the one place where its sentences are made.
std::string sentence(const Warning &warning);

// A name kept in a LevelScript's names.
struct Name
{
    std::uint32_t at = 0, size = 0;
};

// A thread, waitthread, goto or setthread to path::label: small, as a script
// may use thousands.
struct LabelUse
{
    std::uint32_t offset = 0; // of the label
    std::uint32_t line = 1, column = 1;
    Name path, label;
};

// A level script as spawnsmith-check reads it: where the game stops, or, when
// it loads, what fails when it runs. Scripts checked together may name
// hundreds of thousands of labels: their names are kept in one string.
struct LevelScript
{
    std::optional<Stop> stop;
    std::vector<Warning> warnings;    // in the order of the text, when it loads
    std::vector<Name> labels;         // as the game keeps them, when it loads
    std::vector<LabelUse> labelsUsed; // in other scripts, when it loads
    std::string names;                // of the labels and the labels used

    std::string_view name(Name n) const { return std::string_view(names).substr(n.at, n.size); }
};

} // namespace script
