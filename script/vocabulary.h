#pragma once

// The game's vocabulary: the commands its compiler knows, and its classes with
// the commands each answers, from the table that tools/make_vocabulary.py
// writes from the engine's public source (vocabulary.txt, compiled in). Plain
// C++, no Qt; read once, on first use, from any thread.

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace script {

enum class CommandKind : std::uint8_t {
    Plain,  // a statement: "wait 1", "local.crate model ..."
    Return, // read for its value: "local.crate = spawn script_model"
    Getter, // a field read, such as .origin
    Setter, // a field written
};

class Vocabulary final
{
public:
    struct Table;
    struct GameClass;

    // The vocabulary built into the program.
    static const Vocabulary &game();

    // Whether the game's compiler knows the command as that kind, in any
    // letter case. Fields are never looked up: the compiler does not.
    bool knows(std::string_view name, CommandKind kind) const;

    // The known command of that kind nearest to name, a letter or two off
    // (two letters swapped count as one); empty when none is that near.
    std::string_view nearestCommand(std::string_view name, CommandKind kind) const;

    // The class that "spawn name" makes, by its spawn name or its class name
    // in any letter case; null when there is none, or two classes share it.
    // isClass, where given, tells whether any class has that name.
    const GameClass *spawned(std::string_view name, bool *isClass = nullptr) const;
    // The spawn name nearest to name, a letter or two off; empty for none.
    std::string_view nearestClass(std::string_view name) const;

    // Whether the class, or the nearest parent that lists the command, answers it.
    bool answers(const GameClass &gameClass, std::string_view command, CommandKind kind) const;
    // The command of that kind nearest to name that the class answers; empty for none.
    std::string_view nearestAnswer(const GameClass &gameClass, std::string_view name,
                                   CommandKind kind) const;

    ~Vocabulary();
    Vocabulary(const Vocabulary &) = delete;
    Vocabulary &operator=(const Vocabulary &) = delete;

private:
    explicit Vocabulary(std::string_view text);

    std::unique_ptr<Table> m_table;
};

// How many edits turn one name into the other, letter case aside: a letter
// put in, left out or changed, or two neighbours swapped, each one edit.
// Past limit, limit + 1.
std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit);

// Of the candidates, the one nearest to name, a letter or two off; of equally
// near ones, one of the same length first, then the first given. Empty when
// none is that near.
std::string_view nearestName(std::string_view name, std::span<const std::string_view> candidates);

// Whether two names are the same, the case of ASCII letters aside.
bool sameIgnoringCase(std::string_view a, std::string_view b);

} // namespace script
