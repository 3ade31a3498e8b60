#pragma once

// What a script holds, for an editor: where its labels stand and where their
// threads end, the labels and scripts it names, its commands and what each
// is sent to, the fields it sets and the objects it spawns. It listens to a
// reading (readLevelScript's also, which hears past a stop too), and each
// list is in the order of the text. Small entries: a script may hold
// hundreds of thousands of commands. Plain C++.

#include "listener.h"
#include "words.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// A word of the text.
struct Span
{
    std::uint32_t begin = 0, end = 0;
    bool empty() const { return begin == end; }
    std::uint32_t size() const { return end - begin; }
};

struct OutlineLabel
{
    Span at;
    std::string name;        // as the game keeps it
    std::uint32_t colon = 0; // its parameters stand between at and the colon
    std::uint32_t end = 0;   // where the thread's end stands, at the top; 0 for none
};

struct OutlineCommand
{
    std::uint32_t begin = 0;
    std::uint16_t size = 0;
    CommandKind kind = CommandKind::Plain;
    bool sent = false;
    Span object; // local.X's X it is sent to; empty for any other
};

// A label or a script named by thread, waitthread, goto, setthread, exec or
// waitexec: label alone, path::label, or exec path.
struct OutlineUse
{
    std::uint32_t command = 0; // where its command's word starts
    Span path, label;          // either may be empty; quotes left out
};

// A field set: level.X, local.X, game.X, or an element of X, each time; a
// field of X (X.y), once for statements in a row about the same X. Where X is set to a spawn, the
// name spawned.
struct OutlineField
{
    Span listener, field;
    Span spawned;         // empty for anything else; quotes left out
    bool changes = false; // X itself is set, or an element of it; not a field of it
};

// Each list in the order of the text (of the words' starts).
struct Outline
{
    std::vector<OutlineLabel> labels;
    std::vector<OutlineCommand> commands;
    std::vector<OutlineUse> uses;
    std::vector<OutlineField> fields;
    std::vector<Span> models; // the text after model, or a spawn's path; quotes left out
};

class OutlineListener final : public ReadListener
{
public:
    explicit OutlineListener(std::string_view text);

    void label(const Token &at, std::string_view name, std::uint32_t colon) override;
    void command(const CommandRead &command) override;
    void assigned(const AssignmentRead &assignment) override;
    void entered(bool loop) override;
    void left() override;

    // What it heard, each list in the order of the text.
    Outline take();

private:
    Span plain(const Token &token) const; // a word, or a text within its quotes

    std::string_view m_text;
    Outline m_outline;
    std::string_view m_lastFieldOf; // the X of the last field of X set
    int m_depth = 0;
    std::uint32_t m_spawnAt = UINT32_MAX; // where the last spawn's command starts,
    Span m_spawned;                       // and what it spawns
};

// Whether the command's first argument is a label or a script: thread,
// waitthread, goto, setthread, exec, waitexec, letter case aside.
bool namesLabel(std::string_view command);

} // namespace script
