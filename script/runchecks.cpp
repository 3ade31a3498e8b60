#include "runchecks.h"

#include <algorithm>
#include <optional>

namespace script {
namespace {

// A model path: in a folder, or a .tik file (the game adds ".tik" to others).
bool isModelPath(std::string_view name)
{
    return name.find_first_of("/\\") != std::string_view::npos
           || (name.size() > 4 && sameIgnoringCase(name.substr(name.size() - 4), ".tik"));
}

// The commands the warnings look at: a spawn, and those whose first argument
// is a label, or path::label. Most commands are neither, as their length shows.
enum class Looked { Other, Spawn, Label };
Looked lookedAt(std::string_view command)
{
    switch (command.size()) {
    case 4:
        return sameIgnoringCase(command, "goto") ? Looked::Label : Looked::Other;
    case 5:
        return sameIgnoringCase(command, "spawn") ? Looked::Spawn : Looked::Other;
    case 6:
        return sameIgnoringCase(command, "thread") ? Looked::Label : Looked::Other;
    case 9:
        return sameIgnoringCase(command, "setthread") ? Looked::Label : Looked::Other;
    case 10:
        return sameIgnoringCase(command, "waitthread") ? Looked::Label : Looked::Other;
    default:
        return Looked::Other;
    }
}

} // namespace

// Room kept ahead for the names of a script this large: room not used costs
// nothing, and the tables never move as they fill.
constexpr std::size_t kBytesPerName = 128;

RunChecks::RunChecks(std::string_view text, const Vocabulary &vocabulary)
    : m_text(text)
    , m_vocabulary(vocabulary)
    , m_places(text)
    , m_bodies{{0, 0}}
{
    m_labels.reserve(text.size() / kBytesPerName);
    m_known.reserve(text.size() / kBytesPerName);
    m_uses.reserve(text.size() / 16); // two a line at most, in a script of nothing else
}

std::string_view RunChecks::plain(const Token &token) const
{
    const std::string_view w = word(token);
    return token.kind == Tok::Text ? w.substr(1, w.size() - 2) : w;
}

void RunChecks::warn(WarningKind kind, const Token &at, std::string_view word,
                     std::string_view where, std::string_view nearest)
{
    m_warnings.push_back({kind, at.begin, at.end, m_places.at(at.begin), std::string(word),
                          std::string(where), std::string(nearest)});
}

void RunChecks::label(const Token &at, std::string_view name, std::uint32_t colon)
{
    (void)colon;
    // The reader's name lives only while it reads; the text lives on.
    if (name != word(at) && !m_labels.find(name))
        name = m_names.emplace_back(name);
    m_labels.insert(name, {});
    caseLabel(); // a thread may start here, or a goto land, with any locals
}

void RunChecks::caseLabel() { m_bodies.back().knownSince = ++m_events; }

void RunChecks::entered(bool loop)
{
    // A loop's body may run again, after anything it sets.
    m_bodies.push_back({++m_bodiesSeen, loop ? ++m_events : m_bodies.back().knownSince});
}

void RunChecks::left() { m_bodies.pop_back(); }

const RunChecks::Known *RunChecks::known(std::string_view variable) const
{
    const Known *found = m_known.find(variable);
    if (!found)
        return nullptr;
    const Known &k = *found;
    const bool holds = k.depth < m_bodies.size() && m_bodies[k.depth].number == k.body
                       && k.since > m_bodies.back().knownSince;
    // Letter case aside, setting one forgets the other; but only the same
    // spelling is surely the same variable.
    return holds && k.gameClass && m_text.substr(k.variable, variable.size()) == variable ? &k
                                                                                          : nullptr;
}

void RunChecks::assigned(const AssignmentRead &assignment)
{
    if (assignment.variable.kind == Tok::End)
        return; // only local variables hold a spawned object here
    const std::string_view variable = word(assignment.variable);
    // The spawn, read just before, said which class it makes.
    const bool spawned = assignment.whole && !assignment.element
                         && assignment.valueCommand == m_spawnAt && m_spawned;
    // Only what is spawned is known; set to anything else, it is known no more.
    Known *known = spawned ? m_known.insert(variable, {}).first : m_known.find(variable);
    if (known)
        *known = {spawned ? m_spawned : nullptr,
                  assignment.variable.begin,
                  m_spawnName.begin,
                  m_spawnName.end,
                  ++m_events,
                  m_bodies.back().number,
                  std::uint16_t(m_bodies.size() - 1)};
}

void RunChecks::command(const CommandRead &read)
{
    const std::string unescapedName = read.name.escaped ? unescaped(word(read.name)) : "";
    const std::string_view name = read.name.escaped ? unescapedName : word(read.name);
    if (read.object.kind != Tok::End) {
        const Known *object = known(word(read.object));
        if (object && !m_vocabulary.answers(*object->gameClass, name, read.kind))
            warn(WarningKind::NotAnswered, read.name, name,
                 word(object->spawnName, object->spawnNameEnd),
                 nearestAnswer(*object, name, read.kind));
    }
    const PlainArgument &first = read.argument;
    // Escapes change what the game reads; such a word is left alone.
    if (first.first.kind == Tok::End || first.first.escaped || first.second.escaped)
        return;
    const Looked looked = lookedAt(name);
    if (looked == Looked::Spawn && !read.sent && first.second.kind == Tok::End)
        return spawn(first.first, read.name);
    if (looked != Looked::Label)
        return;
    const bool hasPath = first.second.kind != Tok::End;
    const std::string_view label = plain(hasPath ? first.second : first.first);
    const std::string_view path = plain(first.first);
    if (label.size() >= Use::kNoPath || path.size() >= Use::kNoPath)
        return; // longer than any name: no label is that
    m_uses.push_back({at(label), at(path), std::uint16_t(label.size()),
                      hasPath ? std::uint16_t(path.size()) : Use::kNoPath});
}

void RunChecks::spawn(const Token &name, const Token &command)
{
    const std::string_view spawned = plain(name);
    bool isClass = false;
    m_spawnAt = command.begin;
    m_spawned = m_vocabulary.spawned(spawned, &isClass);
    m_spawnName = name;
    if (spawned.empty() || isClass || isModelPath(spawned))
        return;
    const auto [at, fresh] = m_nearest.try_emplace("class " + std::string(spawned));
    if (fresh)
        at->second = m_vocabulary.nearestClass(spawned);
    warn(WarningKind::NoClass, name, spawned, {}, at->second);
}

std::string_view RunChecks::nearestAnswer(const Known &object, std::string_view command,
                                          CommandKind kind)
{
    std::string key = std::string(kind == CommandKind::Plain ? "plain " : "return ")
                      + std::string(word(object.spawnName, object.spawnNameEnd)) + " "
                      + std::string(command);
    const auto [at, fresh] = m_nearest.try_emplace(std::move(key));
    if (fresh)
        at->second = m_vocabulary.nearestAnswer(*object.gameClass, command, kind);
    return at->second;
}

void RunChecks::finish(LevelScript &script)
{
    const std::size_t whileReading = m_warnings.size();
    // The names kept, in one string of the size they need.
    std::size_t size = 0, usedThere = 0;
    for (const auto &label : m_labels.entries())
        size += label.size;
    for (const Use &use : m_uses) {
        if (use.pathSize != Use::kNoPath) {
            size += use.labelSize + use.pathSize;
            ++usedThere;
        }
    }
    script.names.reserve(size);
    script.labelsUsed.reserve(usedThere);
    std::optional<NearNames> nearest; // only where a label is missing
    for (const Use &use : m_uses) {
        const std::string_view label = m_text.substr(use.label, use.labelSize);
        if (use.pathSize != Use::kNoPath) {
            const Place place = m_places.at(use.label);
            script.labelsUsed.push_back(
                {use.label, std::uint32_t(place.line), std::uint32_t(place.column),
                 keep(script, m_text.substr(use.path, use.pathSize)), keep(script, label)});
        } else if (!m_labels.find(label)) {
            // Letter case aside: a warning only where no label could be meant.
            if (!nearest)
                nearest.emplace(m_labels.names());
            const Token where{use.label, use.label + use.labelSize, Tok::Name, false};
            warn(WarningKind::NoLabel, where, label, {}, nearest->nearest(label));
        }
    }
    // Both runs are in the order of the text.
    std::inplace_merge(m_warnings.begin(), m_warnings.begin() + std::ptrdiff_t(whileReading),
                       m_warnings.end(),
                       [](const Warning &a, const Warning &b) { return a.offset < b.offset; });
    script.warnings = std::move(m_warnings);
    script.labels.reserve(m_labels.size());
    for (const auto &label : m_labels.entries())
        script.labels.push_back(keep(script, label.name()));
}

Name RunChecks::keep(LevelScript &script, std::string_view name)
{
    // A path is mostly the one before it again.
    if (!script.labelsUsed.empty() && name.size() > 0
        && script.name(script.labelsUsed.back().path) == name)
        return script.labelsUsed.back().path;
    const Name kept{std::uint32_t(script.names.size()), std::uint32_t(name.size())};
    script.names += name;
    return kept;
}

} // namespace script
