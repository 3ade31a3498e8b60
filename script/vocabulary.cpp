#include "vocabulary.h"

#include "words.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace script {

// The table, compiled in from vocabulary.txt (see cmake/EmbedText.cmake).
extern const unsigned char kVocabulary[];
extern const std::size_t kVocabulary_size;

namespace {

constexpr Releases kEveryRelease =
    kAlliedAssault | kSpearhead | kBreakthrough | kOpenMoHAA | kReborn | kNightFall;

// Names, letter case aside, to numbers.
class NameIndex
{
public:
    static constexpr int kNone = -1;

    // The number already there for an equal name, or value, now there.
    int insert(std::string_view name, int value) { return *m_table.insert(name, value).first; }
    void set(std::string_view name, int value) { *m_table.insert(name, value).first = value; }
    int at(std::string_view name) const
    {
        const int *found = m_table.find(name);
        return found ? *found : kNone;
    }

private:
    NameTable<int, true> m_table;
};

// The next part of text up to the separator, taken off it. The table is
// read at every start of spawnsmith-check: no part costs an allocation.
std::string_view next(std::string_view &text, char separator)
{
    const std::size_t end = text.find(separator);
    const std::string_view part = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return part;
}

// The fields of a line of the table, five at the most.
struct Fields
{
    std::array<std::string_view, 5> f;
    std::size_t count = 0;
    explicit Fields(std::string_view line)
    {
        while (!line.empty() && count < f.size())
            f[count++] = next(line, '\t');
    }
};

// The releases a table's line names; every one where it names none.
Releases releases(std::string_view field)
{
    static constexpr std::pair<std::string_view, Release> kNames[] = {
        {"aa", kAlliedAssault}, {"sh", kSpearhead},  {"bt", kBreakthrough},
        {"opm", kOpenMoHAA},    {"reborn", kReborn}, {"nightfall", kNightFall}};
    Releases found = 0;
    while (!field.empty()) {
        const std::string_view word = next(field, ' ');
        for (const auto &[name, release] : kNames)
            if (word == name)
                found |= release;
    }
    return found ? found : kEveryRelease;
}

Releases releasesOf(Game game)
{
    switch (game) {
    case Game::Any:
        return kEveryRelease;
    case Game::AlliedAssault:
        return kAlliedAssault;
    case Game::AlliedAssaultReborn:
        return kAlliedAssault | kReborn;
    case Game::Spearhead:
        return kSpearhead;
    case Game::SpearheadNightFall:
        return kSpearhead | kNightFall;
    case Game::Breakthrough:
        return kBreakthrough;
    case Game::BreakthroughNightFall:
        return kBreakthrough | kNightFall;
    case Game::OpenMoHAA:
        return kOpenMoHAA;
    }
    return kEveryRelease;
}

// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string_view> &names)
{
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += i + 1 == names.size() ? " and " : ", ";
        out += names[i];
    }
    return out;
}

} // namespace

std::string_view gameName(Game game)
{
    switch (game) {
    case Game::Any:
        return "The game";
    case Game::AlliedAssault:
        return "Allied Assault";
    case Game::AlliedAssaultReborn:
        return "Allied Assault with the Reborn patch";
    case Game::Spearhead:
        return "Spearhead";
    case Game::SpearheadNightFall:
        return "Spearhead with the NightFall patch";
    case Game::Breakthrough:
        return "Breakthrough";
    case Game::BreakthroughNightFall:
        return "Breakthrough with the NightFall patch";
    case Game::OpenMoHAA:
        return "OpenMoHAA";
    }
    return "The game";
}

namespace {
constexpr std::pair<std::string_view, Game> kCalled[] = {
    {"aa", Game::AlliedAssault}, {"aa-reborn", Game::AlliedAssaultReborn},
    {"sh", Game::Spearhead},     {"sh-nightfall", Game::SpearheadNightFall},
    {"bt", Game::Breakthrough},  {"bt-nightfall", Game::BreakthroughNightFall},
    {"opm", Game::OpenMoHAA},
};
} // namespace

std::optional<Game> gameCalled(std::string_view name)
{
    for (const auto &[called, game] : kCalled)
        if (called == name)
            return game;
    return std::nullopt;
}

std::string_view gameCalls()
{
    static const std::string calls = [] {
        std::string out;
        for (const auto &called : kCalled)
            out += (out.empty() ? "" : ", ") + std::string(called.first);
        return out;
    }();
    return calls;
}

std::string whoKnows(Releases releases)
{
    std::vector<std::string_view> games;
    for (const auto &[release, name] :
         {std::pair{kAlliedAssault, "Allied Assault"}, std::pair{kSpearhead, "Spearhead"},
          std::pair{kBreakthrough, "Breakthrough"}, std::pair{kOpenMoHAA, "OpenMoHAA"}})
        if (releases & release)
            games.push_back(name);
    std::string out =
        games.empty() ? "" : listed(games) + (games.size() == 1 ? " knows it" : " know it");
    // A patch is named for the games it adds the command to.
    std::vector<std::string> patches;
    if ((releases & kReborn) && !(releases & kAlliedAssault))
        patches.push_back("the Reborn patch adds it to Allied Assault");
    std::vector<std::string_view> nightFall;
    if ((releases & kNightFall) && !(releases & kSpearhead))
        nightFall.push_back("Spearhead");
    if ((releases & kNightFall) && !(releases & kBreakthrough))
        nightFall.push_back("Breakthrough");
    if (!nightFall.empty())
        patches.push_back(
            (patches.empty() ? "the NightFall patch adds it to " : "the NightFall patch to ")
            + listed(nightFall));
    if (!patches.empty())
        out += (out.empty() ? "" : "; ") + patches[0]
               + (patches.size() > 1 ? " and " + patches[1] : "");
    return out;
}

struct Vocabulary::GameClass
{
    std::string_view name;
    std::string_view spawnName;
    int parent = NameIndex::kNone;
    // Each command it lists itself: its number times two, plus one where the
    // class answers it (not where it refuses one a parent answers). Sorted.
    std::vector<std::uint32_t> listed;
};

struct Vocabulary::Table
{
    struct Command
    {
        std::string_view name;
        CommandKind kind;
        Releases releases;
        bool everyClass; // the table does not say which classes answer it
    };
    std::string text;
    std::vector<Command> commands;
    NameIndex byName[2]; // plain and return commands, by name
    // Setters by name as written: the compiler looks them up so.
    std::unordered_map<std::string_view, int> setters;
    NameIndex fieldNames; // getters and setters, letter case aside
    std::vector<GameClass> classes;
    NameIndex classByName;
    NameIndex spawnable; // spawn names and class names; kAmbiguous where two share one
    static constexpr int kAmbiguous = -2;

    explicit Table(std::string_view table);
    void addClass(std::string_view name, std::string_view spawnName);
    int command(std::string_view name, CommandKind kind) const
    {
        return byName[int(kind)].at(name);
    }
    bool answers(const GameClass &gameClass, int command) const;
};

Vocabulary::Table::Table(std::string_view table)
    : text(table)
{
    std::vector<std::string_view> parents;
    std::vector<std::string_view> commandLines; // the classes each lists
    for (std::string_view lines = text; !lines.empty();) {
        const Fields fields(next(lines, '\n'));
        const auto &f = fields.f;
        if (fields.count == 4 && f[0] == "class") {
            classByName.insert(f[1], int(classes.size()));
            classes.push_back({f[1], f[3] == "-" ? std::string_view() : f[3], 0, {}});
            parents.push_back(f[2]);
            continue;
        }
        if (fields.count < 4 || f[0] != "command")
            continue;
        const int id = int(commands.size());
        if (f[2] == "plain" || f[2] == "return") {
            const CommandKind kind = f[2] == "plain" ? CommandKind::Plain : CommandKind::Return;
            byName[int(kind)].insert(f[1], id);
            commands.push_back({f[1], kind, releases(f[4]), f[3] == "?"});
        } else if (f[2] == "setter") {
            setters.emplace(f[1], id);
            fieldNames.insert(f[1], id);
            commands.push_back({f[1], CommandKind::Plain, 0, false}); // never known as a command
        } else {
            fieldNames.insert(f[1], id); // getters are never looked up
            continue;
        }
        commandLines.push_back(f[3]);
    }
    for (std::size_t i = 0; i < classes.size(); ++i) {
        GameClass &c = classes[i];
        c.parent = classByName.at(parents[i]); // "Class", the root, is in no line of its own
        if (!c.spawnName.empty() && spawnable.insert(c.spawnName, int(i)) != int(i))
            spawnable.set(c.spawnName, kAmbiguous);
    }
    // The game looks a spawn name up first, then a class name.
    for (std::size_t i = 0; i < classes.size(); ++i)
        spawnable.insert(classes[i].name, int(i));
    for (std::size_t id = 0; id < commandLines.size(); ++id) {
        for (std::string_view line = commandLines[id]; !line.empty();) {
            const std::string_view listed = next(line, ' ');
            const bool refuses = listed.starts_with('!');
            const int c = classByName.at(refuses ? listed.substr(1) : listed);
            if (c != NameIndex::kNone)
                classes[std::size_t(c)].listed.push_back(std::uint32_t(id * 2 + !refuses));
        }
    }
    for (GameClass &c : classes)
        std::sort(c.listed.begin(), c.listed.end());
}

bool Vocabulary::Table::answers(const GameClass &gameClass, int command) const
{
    if (commands[std::size_t(command)].everyClass)
        return true;
    for (const GameClass *c = &gameClass;;) {
        const auto at =
            std::lower_bound(c->listed.begin(), c->listed.end(), std::uint32_t(command) * 2);
        if (at != c->listed.end() && *at / 2 == std::uint32_t(command))
            return *at % 2 == 1;
        if (c->parent == NameIndex::kNone)
            return false;
        c = &classes[std::size_t(c->parent)];
    }
}

Vocabulary::Vocabulary(std::string_view table, Game game)
    : Vocabulary(std::make_shared<const Table>(table), game)
{}

Vocabulary::Vocabulary(std::shared_ptr<const Table> table, Game game)
    : m_table(std::move(table))
    , m_game(game)
    , m_releases(releasesOf(game))
{}

Vocabulary::~Vocabulary() = default;

const Vocabulary &Vocabulary::game(Game game)
{
    // One table, read once, for every game.
    static const auto vocabularies = [] {
        const auto table = std::make_shared<const Table>(
            std::string_view(reinterpret_cast<const char *>(kVocabulary), kVocabulary_size));
        std::array<std::unique_ptr<const Vocabulary>, kGames> all;
        for (int g = 0; g < kGames; ++g)
            all[std::size_t(g)].reset(new Vocabulary(table, Game(g)));
        return all;
    }();
    return *vocabularies[std::size_t(game)];
}

bool Vocabulary::inGame(int command) const
{
    return command != NameIndex::kNone
           && (m_table->commands[std::size_t(command)].releases & m_releases);
}

bool Vocabulary::knows(std::string_view name, CommandKind kind) const
{
    return inGame(m_table->command(name, kind));
}

Releases Vocabulary::knownIn(std::string_view name, CommandKind kind) const
{
    const int id = m_table->command(name, kind);
    return id == NameIndex::kNone ? 0 : m_table->commands[std::size_t(id)].releases;
}

std::string_view Vocabulary::nearestCommand(std::string_view name, CommandKind kind) const
{
    std::vector<std::string_view> names;
    for (std::size_t id = 0; id < m_table->commands.size(); ++id)
        if (m_table->commands[id].kind == kind && inGame(int(id)))
            names.push_back(m_table->commands[id].name);
    return nearestName(name, names);
}

bool Vocabulary::isSetter(std::string_view name) const
{
    return m_table->setters.find(name) != m_table->setters.end();
}

bool Vocabulary::answersSetter(std::string_view className, std::string_view name) const
{
    const auto setter = m_table->setters.find(name);
    const int c = m_table->classByName.at(className);
    return setter != m_table->setters.end() && c != NameIndex::kNone
           && m_table->answers(m_table->classes[std::size_t(c)], setter->second);
}

const Vocabulary::GameClass *Vocabulary::spawned(std::string_view name, bool *isClass) const
{
    const int c = m_table->spawnable.at(name);
    if (isClass)
        *isClass = c != NameIndex::kNone;
    return c >= 0 ? &m_table->classes[std::size_t(c)] : nullptr;
}

std::string_view Vocabulary::nearestClass(std::string_view name) const
{
    std::vector<std::string_view> names;
    for (const GameClass &c : m_table->classes)
        if (!c.spawnName.empty())
            names.push_back(c.spawnName);
    return nearestName(name, names);
}

bool Vocabulary::answers(const GameClass &gameClass, std::string_view command,
                         CommandKind kind) const
{
    const int id = m_table->command(command, kind);
    return id != NameIndex::kNone && m_table->answers(gameClass, id);
}

std::string_view Vocabulary::nearestAnswer(const GameClass &gameClass, std::string_view name,
                                           CommandKind kind) const
{
    std::vector<std::string_view> names;
    for (std::size_t id = 0; id < m_table->commands.size(); ++id)
        if (m_table->commands[id].kind == kind && inGame(int(id))
            && m_table->answers(gameClass, int(id)))
            names.push_back(m_table->commands[id].name);
    return nearestName(name, names);
}

Vocabulary::Facts Vocabulary::facts(std::string_view name) const
{
    Facts facts;
    facts.field = m_table->fieldNames.at(name) != NameIndex::kNone;
    std::vector<int> ids;
    for (const CommandKind kind : {CommandKind::Plain, CommandKind::Return}) {
        const int id = m_table->command(name, kind);
        if (id == NameIndex::kNone)
            continue;
        (kind == CommandKind::Plain ? facts.plain : facts.gives) = true;
        const Table::Command &command = m_table->commands[std::size_t(id)];
        facts.releases |= command.releases;
        facts.everyClass = facts.everyClass || command.everyClass;
        ids.push_back(id);
    }
    for (const GameClass &c : m_table->classes)
        if (std::any_of(ids.begin(), ids.end(), [&](int id) {
                return std::binary_search(c.listed.begin(), c.listed.end(),
                                          std::uint32_t(id * 2 + 1));
            }))
            facts.classes.push_back(&c);
    return facts;
}

std::vector<std::string_view> Vocabulary::commands(CommandKind kind) const
{
    std::vector<std::string_view> names;
    for (std::size_t id = 0; id < m_table->commands.size(); ++id)
        if (m_table->commands[id].kind == kind && inGame(int(id)))
            names.push_back(m_table->commands[id].name);
    return names;
}

std::vector<std::string_view> Vocabulary::ownCommands(const GameClass &gameClass,
                                                      CommandKind kind) const
{
    std::vector<std::string_view> names;
    for (const std::uint32_t listed : gameClass.listed) {
        const Table::Command &command = m_table->commands[listed / 2];
        if (listed % 2 == 1 && command.kind == kind && inGame(int(listed / 2)))
            names.push_back(command.name);
    }
    return names;
}

std::vector<const Vocabulary::GameClass *> Vocabulary::spawnable() const
{
    std::vector<const GameClass *> classes;
    for (const GameClass &c : m_table->classes)
        if (!c.spawnName.empty())
            classes.push_back(&c);
    return classes;
}

std::string_view Vocabulary::className(const GameClass &gameClass) { return gameClass.name; }

std::string_view Vocabulary::spawnName(const GameClass &gameClass) { return gameClass.spawnName; }

} // namespace script
