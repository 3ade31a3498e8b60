#pragma once

// The game's vocabulary: the commands its compiler knows, in which of the
// games, and its classes with the commands each answers. The table built in
// (vocabulary.txt, compiled in) is written by tools/make_vocabulary.py from
// the engine's public source and an editor package's list of which game
// knows which command; a test may give a small table of its own. Plain C++,
// no Qt; a vocabulary never changes once made, so any thread may use it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace script {

enum class CommandKind : std::uint8_t {
    Plain,  // a statement: "wait 1", "local.crate model ..."
    Return, // read for its value: "local.crate = spawn script_model"
};

// The games a script may be checked for.
enum class Game : std::uint8_t {
    Any,                   // what loads in at least one of the others
    AlliedAssault,         // 1.11, as released and patched by its makers
    AlliedAssaultReborn,   // 1.11 with the community's Reborn patch (1.12)
    Spearhead,             // 2.15
    SpearheadNightFall,    // 2.15 with the community's NightFall patch
    Breakthrough,          // 2.40
    BreakthroughNightFall, // 2.40 with NightFall
    OpenMoHAA,             // the open-source engine
};
inline constexpr int kGames = 8;

// The releases that know a command, one bit each: the games themselves and
// the community patches that add commands to them.
enum Release : std::uint8_t {
    kAlliedAssault = 1 << 0,
    kSpearhead = 1 << 1,
    kBreakthrough = 1 << 2,
    kOpenMoHAA = 1 << 3,
    kReborn = 1 << 4,    // a patch of Allied Assault
    kNightFall = 1 << 5, // a patch of Spearhead and Breakthrough
};
using Releases = std::uint8_t;

// The game as a sentence names it: "Allied Assault", "Spearhead with the
// NightFall patch"; "The game" for Any.
std::string_view gameName(Game game);

// The game as scripters name it (--game, a .spawnsmith file, an editor's
// setting): "aa", "sh-nightfall"; nothing where the name is none of them.
std::optional<Game> gameCalled(std::string_view name);
// Those names, in the order of Game: "aa, aa-reborn, ..., opm".
std::string_view gameCalls();

// The releases in a sentence's words: "Breakthrough and OpenMoHAA know it;
// the Reborn patch adds it to Allied Assault". Empty for none.
std::string whoKnows(Releases releases);

class Vocabulary final
{
public:
    struct Table;
    struct GameClass;

    // A vocabulary made from a table in the form of vocabulary.txt, for one
    // game; the text is copied.
    explicit Vocabulary(std::string_view table, Game game = Game::Any);

    // The vocabulary built into the program, for a game.
    static const Vocabulary &game(Game game = Game::Any);

    Game target() const { return m_game; }

    // Whether the game's compiler knows the command as that kind, in any
    // letter case. Fields are never looked up: the compiler does not.
    bool knows(std::string_view name, CommandKind kind) const;

    // The releases that know the command as that kind, whatever the game.
    Releases knownIn(std::string_view name, CommandKind kind) const;

    // The command of that kind nearest to name that the game knows, a letter
    // or two off (two letters swapped count as one); empty when none is that near.
    std::string_view nearestCommand(std::string_view name, CommandKind kind) const;

    // Whether some class has a field setter of that name (letter case as
    // written), and whether the named class answers it.
    bool isSetter(std::string_view name) const;
    bool answersSetter(std::string_view className, std::string_view name) const;

    // The class that "spawn name" makes, by its spawn name or its class name
    // in any letter case; null when there is none, or two classes share it.
    // isClass, where given, tells whether any class has that name.
    const GameClass *spawned(std::string_view name, bool *isClass = nullptr) const;
    // The spawn name nearest to name, a letter or two off; empty for none.
    std::string_view nearestClass(std::string_view name) const;

    // Whether the class, or the nearest parent that lists the command, answers
    // it; a command whose classes the table does not give is answered by all.
    bool answers(const GameClass &gameClass, std::string_view command, CommandKind kind) const;
    // The command of that kind nearest to name that the class answers; empty for none.
    std::string_view nearestAnswer(const GameClass &gameClass, std::string_view name,
                                   CommandKind kind) const;

    // What the table says of a name, letter case aside, for an editor: the
    // kinds it is known as, the releases that know it as a command (of any
    // game), the classes whose own table answers it.
    struct Facts
    {
        bool plain = false, gives = false, field = false;
        Releases releases = 0;
        bool everyClass = false;                // no source says which classes answer it
        std::vector<const GameClass *> classes; // in the table's order
    };
    Facts facts(std::string_view name) const;

    // The commands of a kind the game knows, in the table's order.
    std::vector<std::string_view> commands(CommandKind kind) const;
    // Of those, the ones the class's own table answers.
    std::vector<std::string_view> ownCommands(const GameClass &gameClass, CommandKind kind) const;
    // The classes a spawn makes by a spawn name of their own, in the table's order.
    std::vector<const GameClass *> spawnable() const;
    static std::string_view className(const GameClass &gameClass);
    static std::string_view spawnName(const GameClass &gameClass);

    ~Vocabulary();
    Vocabulary(const Vocabulary &) = delete;
    Vocabulary &operator=(const Vocabulary &) = delete;
    Vocabulary(Vocabulary &&) = delete;
    Vocabulary &operator=(Vocabulary &&) = delete;

private:
    Vocabulary(std::shared_ptr<const Table> table, Game game);
    bool inGame(int command) const;

    std::shared_ptr<const Table> m_table;
    Game m_game;
    Releases m_releases; // those the game is made of
};

} // namespace script
