#include "runchecks.h"

#include <algorithm>

namespace script {
namespace {

std::string shown(std::string_view word) { return printable(word, 40); }

// A model path: in a folder, or a .tik file (the game adds ".tik" to others).
bool isModelPath(std::string_view name)
{
    return name.find_first_of("/\\") != std::string_view::npos
           || (name.size() > 4 && sameIgnoringCase(name.substr(name.size() - 4), ".tik"));
}

std::string_view nearestLabel(std::string_view label, const std::vector<std::string> &labels)
{
    const std::vector<std::string_view> names(labels.begin(), labels.end());
    return nearestName(label, names);
}

// Letter case aside, as the warnings compare labels and paths.
bool hasLabel(const std::vector<std::string> &labels, std::string_view label)
{
    return std::any_of(labels.begin(), labels.end(),
                       [label](const std::string &l) { return sameIgnoringCase(l, label); });
}

std::string noLabel(std::string_view label, std::string_view where,
                    const std::vector<std::string> &labels)
{
    return "The game finds no label '" + shown(label) + "' in " + std::string(where)
           + ", so the line fails when it runs" + didYouMean(nearestLabel(label, labels));
}

// Whether the script at path is the one a script names as used: the path ends
// with it, letter case aside, as the game's files are found on Windows.
bool names(std::string_view path, std::string_view used)
{
    std::string p(path), u(used);
    for (std::string *s : {&p, &u})
        std::replace(s->begin(), s->end(), '\\', '/');
    return !u.empty() && p.size() >= u.size()
           && sameIgnoringCase(std::string_view(p).substr(p.size() - u.size()), u)
           && (p.size() == u.size() || p[p.size() - u.size() - 1] == '/');
}

} // namespace

std::string didYouMean(std::string_view nearest)
{
    return nearest.empty() ? "." : ": did you mean '" + shown(nearest) + "'?";
}

RunChecks::RunChecks(std::string_view text)
    : m_text(text)
    , m_vocabulary(Vocabulary::game())
{}

std::string_view RunChecks::word(const Token &token) const
{
    return m_text.substr(token.begin, token.end - token.begin);
}

std::string RunChecks::plain(const Token &token) const
{
    const std::string_view w = word(token);
    return std::string(token.kind == Tok::Text ? w.substr(1, w.size() - 2) : w);
}

void RunChecks::warn(const Token &at, std::string sentence)
{
    m_warnings.push_back({at.begin, 1, 1, std::move(sentence)});
}

void RunChecks::label(const Token &name)
{
    m_labels.emplace_back(word(name));
    m_known.clear(); // a thread may start here, or a goto land, with any locals
}

void RunChecks::caseLabel() { m_known.clear(); }

void RunChecks::command(const Token &name, CommandKind kind, const PlainArgument &first, bool sent,
                        std::string_view object)
{
    const std::string read = name.escaped ? unescaped(word(name)) : std::string();
    const std::string_view command = name.escaped ? std::string_view(read) : word(name);
    if (!object.empty()) {
        const auto known = std::find_if(m_known.begin(), m_known.end(),
                                        [object](const Known &k) { return k.variable == object; });
        if (known != m_known.end() && !m_vocabulary.answers(*known->gameClass, command, kind))
            return warn(name, "The game's " + shown(known->spawnName) + " does not answer '"
                                  + shown(command) + "', so the line fails when it runs"
                                  + didYouMean(m_vocabulary.nearestAnswer(*known->gameClass,
                                                                          command, kind)));
    }
    // Escapes change what the game reads; such a word is left alone.
    if (first.first.kind == Tok::End || first.first.escaped || first.second.escaped)
        return;
    if (!sent && sameIgnoringCase(command, "spawn") && first.second.kind == Tok::End)
        return spawn(first.first);
    if (sameIgnoringCase(command, "thread") || sameIgnoringCase(command, "waitthread")
        || sameIgnoringCase(command, "goto") || sameIgnoringCase(command, "setthread")) {
        if (first.second.kind == Tok::End)
            m_uses.push_back({first.first.begin, {}, plain(first.first)});
        else
            m_uses.push_back({first.second.begin, plain(first.first), plain(first.second)});
    }
}

void RunChecks::spawn(const Token &name)
{
    const std::string spawned = plain(name);
    bool isClass = false;
    m_spawnAt = name.begin;
    m_spawned = m_vocabulary.spawned(spawned, &isClass);
    if (spawned.empty() || isClass || isModelPath(spawned))
        return;
    warn(name, "The game has no class '" + shown(spawned)
                   + "' and it names no model, so the spawn fails when it runs"
                   + didYouMean(m_vocabulary.nearestClass(spawned)));
}

void RunChecks::forget(std::string_view variable)
{
    // Letter case aside: whether the game tells X from x or not, nothing is
    // then known of either.
    std::erase_if(m_known,
                  [variable](const Known &k) { return sameIgnoringCase(k.variable, variable); });
}

void RunChecks::assigned(std::string_view variable, const PlainArgument *spawned)
{
    forget(variable);
    if (!m_scopes.empty()) // what a branch assigns is forgotten after it
        m_assigned.push_back(variable);
    // The spawn, read just before, said which class it makes.
    if (!spawned || spawned->first.kind == Tok::End || spawned->second.kind != Tok::End
        || spawned->first.escaped || spawned->first.begin != m_spawnAt || !m_spawned)
        return;
    m_known.push_back({variable, m_spawned, word(spawned->first)});
}

void RunChecks::enter(bool loop)
{
    m_scopes.push_back({m_known, m_assigned.size()});
    if (loop)
        m_known.clear();
}

void RunChecks::leave()
{
    Scope scope = std::move(m_scopes.back());
    m_scopes.pop_back();
    m_known = std::move(scope.known);
    for (std::size_t i = scope.assignedFrom; i < m_assigned.size(); ++i)
        forget(m_assigned[i]);
}

void RunChecks::finish(LevelScript &script) const
{
    script.warnings = m_warnings;
    script.labels = m_labels;
    for (const Use &use : m_uses) {
        if (!use.path.empty()) {
            script.labelsUsed.push_back({use.offset, 1, 1, use.path, use.label});
            continue;
        }
        // Letter case aside: a warning only where no label could be meant.
        if (!hasLabel(m_labels, use.label))
            script.warnings.push_back(
                {use.offset, 1, 1, noLabel(use.label, "this script", m_labels)});
    }
    std::stable_sort(script.warnings.begin(), script.warnings.end(),
                     [](const Warning &a, const Warning &b) { return a.offset < b.offset; });
}

void checkLabelsAcross(std::span<const NamedScript> scripts)
{
    for (const NamedScript &user : scripts) {
        bool warned = false;
        for (const LabelUse &use : user.script->labelsUsed) {
            const auto named = [&use](const NamedScript &s) { return names(s.path, use.path); };
            const auto target = std::find_if(scripts.begin(), scripts.end(), named);
            // Only a script that loads, and the only one of that name.
            if (target == scripts.end() || target->script->stop
                || std::find_if(target + 1, scripts.end(), named) != scripts.end()
                || hasLabel(target->script->labels, use.label))
                continue;
            user.script->warnings.push_back(
                {use.offset, use.line, use.column,
                 noLabel(use.label, printable(use.path, 100), target->script->labels)});
            warned = true;
        }
        if (warned)
            std::stable_sort(
                user.script->warnings.begin(), user.script->warnings.end(),
                [](const Warning &a, const Warning &b) { return a.offset < b.offset; });
    }
}

} // namespace script
