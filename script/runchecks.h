#pragma once

// What the reader tells of a level script as it reads it, and the warnings
// drawn from that: lines the game loads that fail when they run. A thread call
// to a label the script does not have; a spawn of a name that is neither a
// class nor a model path; a command that a spawned object does not answer,
// where the script makes plain which class that object is. Plain C++.

#include "lexer.h"
#include "reader.h"
#include "vocabulary.h"

#include <string>
#include <string_view>
#include <vector>

namespace script {

// A command's first argument where it is a plain word or text, alone or two
// joined by '::' (a path and a label); kind End where it is anything else.
struct PlainArgument
{
    Token first;
    Token second; // after '::'
};

class RunChecks final
{
public:
    explicit RunChecks(std::string_view text);

    // A label outside any switch: where a thread starts, or a goto lands.
    void label(const Token &name);
    // A case of a switch: reached from the switch, whatever came before.
    void caseLabel();
    // A command and its first argument; sent says whether it is sent to an
    // object, and object is the X of local.X where it is sent to that and
    // nothing more, else empty.
    void command(const Token &name, CommandKind kind, const PlainArgument &first, bool sent,
                 std::string_view object);
    // An assignment to local.X itself (not to a field of it); spawned is the
    // first argument where the value is exactly "spawn ...".
    void assigned(std::string_view variable, const PlainArgument *spawned);

    // A branch, a loop body or a block that may not run: what is known of
    // objects before it holds after it only for the variables it leaves alone.
    // Nothing is known at the start of a loop's body, which may run again.
    void enter(bool loop);
    void leave();

    // The warnings, in the order of the text, and the labels, once the whole
    // script was read and loads.
    void finish(LevelScript &script) const;

private:
    struct Known
    {
        std::string_view variable;
        const Vocabulary::GameClass *gameClass;
        std::string_view spawnName; // as the script wrote it
    };
    struct Scope
    {
        std::vector<Known> known;
        std::size_t assignedFrom;
    };
    struct Use
    {
        std::size_t offset;
        std::string path, label;
    };

    std::string_view word(const Token &token) const;
    std::string plain(const Token &token) const; // a word, or a text without its quotes
    void warn(const Token &at, std::string sentence);
    void forget(std::string_view variable);
    void spawn(const Token &name);

    std::string_view m_text;
    const Vocabulary &m_vocabulary;
    std::vector<std::string> m_labels;
    std::vector<Use> m_uses;
    std::vector<Warning> m_warnings;
    std::vector<Known> m_known;
    std::vector<std::string_view> m_assigned; // every variable assigned so far
    std::vector<Scope> m_scopes;
    // The last spawn's name, and the class it makes, for its assignment.
    std::uint32_t m_spawnAt = 0;
    const Vocabulary::GameClass *m_spawned = nullptr;
};

// The end of a sentence that names the right word, where one is near: ": did
// you mean 'word'?"; else ".".
std::string didYouMean(std::string_view nearest);

} // namespace script
