#pragma once

// What the reader tells of a script as it reads it, for checks that go past
// the grammar (the warnings of lines that fail when they run). The reader
// calls a listener its caller installs, in the order of the text, as
// go/scanner calls an error handler; it knows nothing of what the listener
// makes of it. Only the game's own reading of a text is told. Plain C++.

#include "lexer.h"
#include "vocabulary.h"

#include <cstdint>
#include <string_view>

namespace script {

// A command's first argument where it is a plain word or quoted text, alone
// or two joined by '::' (a script path and a label): the label of a thread
// or goto, the class of a spawn. first is of kind End where the argument is
// anything else; second is of kind End where no '::' follows.
struct PlainArgument
{
    Token first;
    Token second;
};

struct CommandRead
{
    Token name;
    CommandKind kind = CommandKind::Plain; // Return where its value is read
    PlainArgument argument;                // its first argument
    bool sent = false;                     // sent to an object or a value
    Token object; // X where it is sent to local.X and nothing more; else kind End
};

struct AssignmentRead
{
    Token variable;       // X of local.X = ..., local.X[...] = ..., local.X++ ...; else kind End
    bool element = false; // an element of local.X, not local.X itself
    bool whole = false;   // a plain '=', not '+=', '++' and the like
    // Where the value is one command read for its value and nothing more,
    // where that command's name starts; else kNoCommand.
    std::uint32_t valueCommand = kNoCommand;
    static constexpr std::uint32_t kNoCommand = UINT32_MAX;
    // Of any listener's field: level.X = ..., local.X.y = ...: the listener's
    // word (level, local, game, ...) and X, and whether only a field of X is
    // set (X.y = ...), not X or an element of it.
    Token listener;
    Token field;
    bool fieldOfIt = false;
};

class ReadListener
{
public:
    virtual ~ReadListener() = default;

    // A label outside any switch: a thread may start there, or a goto land.
    // name is the label as the game keeps it (escapes read, quotes dropped);
    // its parameters stand before the colon.
    virtual void label(const Token &at, std::string_view name, std::uint32_t colon)
    {
        (void)at;
        (void)name;
        (void)colon;
    }
    // A case of a switch, or a label inside one: reached from the switch.
    virtual void caseLabel() {}
    // A command, once its arguments are read.
    virtual void command(const CommandRead &command) { (void)command; }
    // A value assigned to a variable, once the value is read.
    virtual void assigned(const AssignmentRead &assignment) { (void)assignment; }
    // A body that may not run, or may run again (loop): an if or else body,
    // a loop body with its condition and steps, a switch's block, a try or
    // catch block. Each entered is left, also when the reading stops inside.
    virtual void entered(bool loop) { (void)loop; }
    virtual void left() {}
};

} // namespace script
