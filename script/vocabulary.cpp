#include "vocabulary.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace script {

// The table, compiled in from vocabulary.txt (see cmake/EmbedText.cmake).
extern const unsigned char kVocabulary[];
extern const std::size_t kVocabulary_size;

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// FNV-1a over the bytes with the bit that tells a letter's case set: equal
// for two names that differ in case only (and for a few other pairs, which
// the comparison after it tells apart).
std::uint32_t hashIgnoringCase(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (char c : name)
        hash = (hash ^ (static_cast<unsigned char>(c) | 0x20u)) * 16777619u;
    return hash;
}

// Names, letter case aside, to numbers: open addressing in a table at most
// half full, so that a look-up is a hash and a probe or two.
class NameIndex
{
public:
    static constexpr int kNone = -1;

    // The number already there for an equal name, or value, now there.
    int insert(std::string_view name, int value)
    {
        if (2 * (m_count + 1) > m_slots.size())
            grow();
        Slot &slot = find(name, hashIgnoringCase(name));
        if (slot.value == kNone) {
            slot = {name, hashIgnoringCase(name), value};
            ++m_count;
        }
        return slot.value;
    }
    void set(std::string_view name, int value) { find(name, hashIgnoringCase(name)).value = value; }

    int at(std::string_view name) const
    {
        if (m_slots.empty())
            return kNone;
        return const_cast<NameIndex *>(this)->find(name, hashIgnoringCase(name)).value;
    }

private:
    struct Slot
    {
        std::string_view name;
        std::uint32_t hash = 0;
        int value = kNone;
    };

    Slot &find(std::string_view name, std::uint32_t hash)
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.value == kNone || (slot.hash == hash && sameIgnoringCase(slot.name, name)))
                return slot;
        }
    }

    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(64, m_slots.size() * 2));
        old.swap(m_slots);
        for (const Slot &slot : old)
            if (slot.value != kNone)
                find(slot.name, slot.hash) = slot;
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + 1;
    }
}

// Names longer than any command are given no suggestion: the distance of
// every pair would cost a scan of the whole table each time.
constexpr std::size_t kLongestName = 64;

// How far off a suggestion may be: one edit for short names, two for others.
std::size_t reach(std::string_view name) { return name.size() <= 4 ? 1 : 2; }

} // namespace

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
    };
    std::vector<Command> commands;
    NameIndex byName[2]; // plain and return commands, by name
    std::vector<GameClass> classes;
    NameIndex classByName;
    NameIndex spawnable; // spawn names and class names; kAmbiguous where two share one
    static constexpr int kAmbiguous = -2;

    int command(std::string_view name, CommandKind kind) const
    {
        return kind <= CommandKind::Return ? byName[int(kind)].at(name) : NameIndex::kNone;
    }
};

Vocabulary::Vocabulary(std::string_view text)
    : m_table(std::make_unique<Table>())
{
    Table &t = *m_table;
    std::vector<std::string_view> parents;
    std::vector<std::vector<std::string_view>> commandLines;
    for (std::string_view line : split(text, '\n')) {
        const std::vector<std::string_view> f = split(line, '\t');
        if (f.size() == 4 && f[0] == "class") {
            t.classByName.insert(f[1], int(t.classes.size()));
            t.classes.push_back({f[1], f[3] == "-" ? std::string_view() : f[3], 0, {}});
            parents.push_back(f[2]);
        } else if (f.size() == 4 && f[0] == "command" && (f[2] == "plain" || f[2] == "return")) {
            // Fields are never looked up, so getters and setters are not kept.
            const CommandKind kind = f[2] == "plain" ? CommandKind::Plain : CommandKind::Return;
            t.byName[int(kind)].insert(f[1], int(t.commands.size()));
            t.commands.push_back({f[1], kind});
            commandLines.push_back(split(f[3], ' '));
        }
    }
    for (std::size_t i = 0; i < t.classes.size(); ++i) {
        GameClass &c = t.classes[i];
        c.parent = t.classByName.at(parents[i]); // "Class", the root, is in no line of its own
        if (!c.spawnName.empty() && t.spawnable.insert(c.spawnName, int(i)) != int(i))
            t.spawnable.set(c.spawnName, Table::kAmbiguous);
    }
    // The game looks a spawn name up first, then a class name.
    for (std::size_t i = 0; i < t.classes.size(); ++i)
        t.spawnable.insert(t.classes[i].name, int(i));
    for (std::size_t id = 0; id < commandLines.size(); ++id) {
        for (std::string_view listed : commandLines[id]) {
            const bool refuses = listed.starts_with('!');
            const int c = t.classByName.at(refuses ? listed.substr(1) : listed);
            if (c != NameIndex::kNone)
                t.classes[std::size_t(c)].listed.push_back(std::uint32_t(id * 2 + !refuses));
        }
    }
    for (GameClass &c : t.classes)
        std::sort(c.listed.begin(), c.listed.end());
}

Vocabulary::~Vocabulary() = default;

const Vocabulary &Vocabulary::game()
{
    static const Vocabulary vocabulary(
        {reinterpret_cast<const char *>(kVocabulary), kVocabulary_size});
    return vocabulary;
}

bool Vocabulary::knows(std::string_view name, CommandKind kind) const
{
    return m_table->command(name, kind) != NameIndex::kNone;
}

std::string_view Vocabulary::nearestCommand(std::string_view name, CommandKind kind) const
{
    std::vector<std::string_view> names;
    for (const Table::Command &command : m_table->commands)
        if (command.kind == kind)
            names.push_back(command.name);
    return nearestName(name, names);
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
    if (id == NameIndex::kNone)
        return false;
    for (const GameClass *c = &gameClass;;) {
        const auto at = std::lower_bound(c->listed.begin(), c->listed.end(), std::uint32_t(id) * 2);
        if (at != c->listed.end() && *at / 2 == std::uint32_t(id))
            return *at % 2 == 1;
        if (c->parent == NameIndex::kNone)
            return false;
        c = &m_table->classes[std::size_t(c->parent)];
    }
}

std::string_view Vocabulary::nearestAnswer(const GameClass &gameClass, std::string_view name,
                                           CommandKind kind) const
{
    std::vector<std::string_view> names;
    for (const Table::Command &command : m_table->commands)
        if (command.kind == kind && answers(gameClass, command.name, kind))
            names.push_back(command.name);
    return nearestName(name, names);
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lower(x) == lower(y);
           });
}

std::string_view nearestName(std::string_view name, std::span<const std::string_view> candidates)
{
    if (name.empty() || name.size() > kLongestName)
        return {};
    std::string_view best;
    std::size_t bestDistance = reach(name) + 1;
    bool bestSameLength = false;
    for (std::string_view candidate : candidates) {
        const std::size_t distance = editDistance(name, candidate, bestDistance);
        const bool sameLength = candidate.size() == name.size();
        if (distance == 0)
            continue; // the name itself, in another letter case
        if (distance < bestDistance
            || (distance == bestDistance && sameLength && !bestSameLength
                && distance <= reach(name))) {
            best = candidate;
            bestDistance = distance;
            bestSameLength = sameLength;
        }
    }
    return best;
}

std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit)
{
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit)
        return limit + 1;
    // Three rows of the usual table: the one before last is for a swap.
    std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        std::size_t least = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = lower(a[i - 1]) == lower(b[j - 1]);
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2])
                && lower(a[i - 2]) == lower(b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
            least = std::min(least, row[j]);
        }
        if (least > limit)
            return limit + 1;
        std::swap(before, last);
        std::swap(last, row);
    }
    return std::min(last[b.size()], limit + 1);
}

} // namespace script
