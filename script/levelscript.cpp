#include "levelscript.h"

#include "runchecks.h"

#include <algorithm>
#include <string>

namespace script {
namespace {

// Two listeners told the same, in turn.
class Both final : public ReadListener
{
public:
    Both(ReadListener &first, ReadListener &second)
        : m_first(first)
        , m_second(second)
    {}
    void label(const Token &at, std::string_view name, std::uint32_t colon) override
    {
        m_first.label(at, name, colon);
        m_second.label(at, name, colon);
    }
    void caseLabel() override
    {
        m_first.caseLabel();
        m_second.caseLabel();
    }
    void command(const CommandRead &command) override
    {
        m_first.command(command);
        m_second.command(command);
    }
    void assigned(const AssignmentRead &assignment) override
    {
        m_first.assigned(assignment);
        m_second.assigned(assignment);
    }
    void entered(bool loop) override
    {
        m_first.entered(loop);
        m_second.entered(loop);
    }
    void left() override
    {
        m_first.left();
        m_second.left();
    }

private:
    ReadListener &m_first, &m_second;
};

// A path as scripts name one another: '/' between folders, letter case aside.
std::string pathKey(std::string_view path)
{
    std::string key = folded(path);
    std::replace(key.begin(), key.end(), '\\', '/');
    return key;
}

} // namespace

LevelScript readLevelScript(std::string_view text, const Vocabulary &vocabulary, ReadListener *also)
{
    LevelScript script;
    RunChecks run(text, vocabulary);
    if (also) { // it hears past the stop too
        Both both(run, *also);
        script.stop = readScript(text, Stages::All, vocabulary, &both, true);
    } else {
        script.stop = readScript(text, Stages::All, vocabulary, &run);
    }
    if (!script.stop)
        run.finish(script);
    return script;
}

ScriptLabels::ScriptLabels(const LevelScript &script)
{
    m_set.reserve(script.labels.size());
    for (Name label : script.labels)
        m_set.insert(script.name(label), {});
}

std::string_view ScriptLabels::nearest(std::string_view label)
{
    if (!m_nearest)
        m_nearest.emplace(m_set.names());
    return m_nearest->nearest(label);
}

std::vector<Warning>
labelsMissing(const LevelScript &user,
              const std::function<ScriptLabels *(std::string_view path)> &named)
{
    std::vector<Warning> missing;
    std::string_view lastPath;
    bool looked = false;
    ScriptLabels *target = nullptr;
    for (const LabelUse &use : user.labelsUsed) {
        const std::string_view path = user.name(use.path);
        if (!looked || path != lastPath) // mostly the path before
            target = named(path);
        lastPath = path;
        looked = true;
        const std::string_view label = user.name(use.label);
        // Letter case aside: a warning only where no label could be meant.
        if (!target || target->has(label))
            continue;
        missing.push_back({WarningKind::NoLabelThere,
                           use.offset,
                           use.offset + label.size(),
                           {use.line, use.column},
                           std::string(label),
                           std::string(path),
                           std::string(target->nearest(label))});
    }
    return missing;
}

void merge(std::vector<Warning> &warnings, std::vector<Warning> more)
{
    const std::size_t before = warnings.size();
    warnings.insert(warnings.end(), std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
    std::inplace_merge(warnings.begin(), warnings.begin() + std::ptrdiff_t(before), warnings.end(),
                       [](const Warning &a, const Warning &b) { return a.offset < b.offset; });
}

void ScriptsByPath::add(std::string_view path, std::size_t number)
{
    const std::string key = pathKey(path);
    for (std::size_t at = 0; at != std::string::npos;) {
        const auto [found, fresh] = m_byEnding.try_emplace(key.substr(at), number);
        if (!fresh && found->second != number)
            found->second = kTwo;
        const std::size_t slash = key.find('/', at);
        at = slash == std::string::npos ? slash : slash + 1;
    }
}

std::size_t ScriptsByPath::named(std::string_view used) const
{
    const auto found = m_byEnding.find(pathKey(used));
    return found == m_byEnding.end() || used.empty() || found->second == kTwo ? kNone
                                                                              : found->second;
}

void checkLabelsAcross(std::span<const NamedScript> scripts)
{
    ScriptsByPath byPath;
    for (std::size_t i = 0; i < scripts.size(); ++i)
        byPath.add(scripts[i].path, i);
    std::vector<std::optional<ScriptLabels>> labels(scripts.size());
    const auto named = [&](std::string_view path) -> ScriptLabels * {
        const std::size_t target = byPath.named(path);
        if (target == ScriptsByPath::kNone || scripts[target].script->stop)
            return nullptr;
        if (!labels[target])
            labels[target].emplace(*scripts[target].script);
        return &*labels[target];
    };
    for (const NamedScript &user : scripts)
        merge(user.script->warnings, labelsMissing(*user.script, named));
}

} // namespace script
