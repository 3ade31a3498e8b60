#include "runchecks.h"

#include <algorithm>

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

RunChecks::RunChecks(std::string_view text, const Vocabulary &vocabulary)
    : m_text(text)
    , m_vocabulary(vocabulary)
    , m_places(text)
    , m_bodies{{0, 0}}
{}

std::string_view RunChecks::plain(const Token &token) const
{
    const std::string_view w = word(token);
    return token.kind == Tok::Text ? w.substr(1, w.size() - 2) : w;
}

void RunChecks::warn(WarningKind kind, const Token &at, std::string_view word,
                     std::string_view where, std::string_view nearest)
{
    m_warnings.push_back({kind, at.begin, m_places.at(at.begin), std::string(word),
                          std::string(where), std::string(nearest)});
}

void RunChecks::label(const Token &at, std::string_view name)
{
    // The reader's name lives only while it reads; the text lives on.
    if (name != word(at) && !m_labelSet.find(name))
        name = m_names.emplace_back(name);
    if (m_labelSet.insert(name, true).second)
        m_labels.push_back(name);
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
    return holds && k.gameClass && word(k.variable) == variable ? &k : nullptr;
}

void RunChecks::assigned(const AssignmentRead &assignment)
{
    const std::string_view variable = word(assignment.variable);
    // The spawn, read just before, said which class it makes.
    const bool spawned = assignment.whole && !assignment.element
                         && assignment.valueCommand == m_spawnAt && m_spawned;
    const std::uint32_t depth = std::uint32_t(m_bodies.size() - 1);
    *m_known.insert(variable, {}).first = {spawned ? m_spawned : nullptr, assignment.variable,
                                           spawned ? m_spawnName : Token(), ++m_events, depth,
                                           m_bodies.back().number};
}

void RunChecks::command(const CommandRead &read)
{
    const std::string unescapedName = read.name.escaped ? unescaped(word(read.name)) : "";
    const std::string_view name = read.name.escaped ? unescapedName : word(read.name);
    if (read.object.kind != Tok::End) {
        const Known *object = known(word(read.object));
        if (object && !m_vocabulary.answers(*object->gameClass, name, read.kind))
            warn(WarningKind::NotAnswered, read.name, name, word(object->spawnName),
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
    if (first.second.kind == Tok::End)
        m_uses.push_back({first.first.begin, {}, plain(first.first)});
    else
        m_uses.push_back({first.second.begin, plain(first.first), plain(first.second)});
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
                      + std::string(word(object.spawnName)) + " " + std::string(command);
    const auto [at, fresh] = m_nearest.try_emplace(std::move(key));
    if (fresh)
        at->second = m_vocabulary.nearestAnswer(*object.gameClass, command, kind);
    return at->second;
}

void RunChecks::finish(LevelScript &script)
{
    const std::size_t whileReading = m_warnings.size();
    NearNames nearest(m_labels);
    for (const Use &use : m_uses) {
        const Token at{use.offset, use.offset, Tok::Name, false};
        if (!use.path.empty()) {
            script.labelsUsed.push_back({use.offset, m_places.at(use.offset),
                                         std::string(use.path), std::string(use.label)});
        } else if (!m_labelSet.find(use.label)) {
            // Letter case aside: a warning only where no label could be meant.
            warn(WarningKind::NoLabel, at, use.label, {}, nearest.nearest(use.label));
        }
    }
    // Both runs are in the order of the text.
    std::inplace_merge(m_warnings.begin(), m_warnings.begin() + std::ptrdiff_t(whileReading),
                       m_warnings.end(),
                       [](const Warning &a, const Warning &b) { return a.offset < b.offset; });
    script.warnings = std::move(m_warnings);
    script.labels.assign(m_labels.begin(), m_labels.end());
}

} // namespace script
