#include "warnings.h"

#include "runchecks.h"
#include "words.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace script {

std::string_view code(WarningKind kind)
{
    switch (kind) {
    case WarningKind::NoLabel:
        return "no-label";
    case WarningKind::NoLabelThere:
        return "no-label-there";
    case WarningKind::NoClass:
        return "no-class";
    case WarningKind::NotAnswered:
        return "not-answered";
    }
    return {};
}

std::string sentence(const Warning &warning)
{
    const std::string word = "'" + shown(warning.word) + "'";
    const std::string ending = didYouMean(warning.nearest);
    switch (warning.kind) {
    case WarningKind::NoLabel:
        return "The game finds no label " + word + " in this script, so the line fails when it runs"
               + ending;
    case WarningKind::NoLabelThere:
        return "The game finds no label " + word + " in " + shown(warning.where)
               + ", so the line fails when it runs" + ending;
    case WarningKind::NoClass:
        return "The game has no class " + word
               + " and it names no model, so the spawn fails when it runs" + ending;
    case WarningKind::NotAnswered:
        return "The game's " + shown(warning.where) + " does not answer " + word
               + ", so the line fails when it runs" + ending;
    }
    return {};
}

LevelScript readLevelScript(std::string_view text, const Vocabulary &vocabulary)
{
    LevelScript script;
    RunChecks run(text, vocabulary);
    script.stop = readScript(text, Stages::All, vocabulary, &run);
    if (!script.stop)
        run.finish(script);
    return script;
}

namespace {

// A path as scripts name one another: '/' between folders, letter case aside.
std::string pathKey(std::string_view path)
{
    std::string key = folded(path);
    std::replace(key.begin(), key.end(), '\\', '/');
    return key;
}

// The scripts by every ending of their paths that starts a folder or file
// name: "maps/dm/mill.scr", "dm/mill.scr", "mill.scr". An ending two share
// names neither.
class ScriptsByPath
{
public:
    static constexpr std::size_t kNone = SIZE_MAX, kTwo = SIZE_MAX - 1;

    explicit ScriptsByPath(std::span<const NamedScript> scripts)
    {
        for (std::size_t i = 0; i < scripts.size(); ++i) {
            const std::string key = pathKey(scripts[i].path);
            for (std::size_t at = 0; at != std::string::npos;) {
                const auto [found, fresh] = m_byEnding.try_emplace(key.substr(at), i);
                if (!fresh && found->second != i)
                    found->second = kTwo;
                const std::size_t slash = key.find('/', at);
                at = slash == std::string::npos ? slash : slash + 1;
            }
        }
    }

    std::size_t named(std::string_view used) const
    {
        const auto found = m_byEnding.find(pathKey(used));
        return found == m_byEnding.end() || used.empty() ? kNone : found->second;
    }

private:
    std::unordered_map<std::string, std::size_t> m_byEnding;
};

// A script's labels, made ready to be asked about once one is.
class Labels
{
public:
    explicit Labels(const LevelScript &script)
    {
        m_set.reserve(script.labels.size());
        for (Name label : script.labels)
            m_set.insert(script.name(label), {});
    }

    bool has(std::string_view label) const { return m_set.find(label); }

    std::string_view nearest(std::string_view label)
    {
        if (!m_nearest)
            m_nearest.emplace(m_set.names());
        return m_nearest->nearest(label);
    }

private:
    NameTable<Nothing, true> m_set;
    std::optional<NearNames> m_nearest; // only where a label is missing
};

} // namespace

void checkLabelsAcross(std::span<const NamedScript> scripts)
{
    const ScriptsByPath byPath(scripts);
    std::vector<std::optional<Labels>> labels(scripts.size());
    for (const NamedScript &user : scripts) {
        std::vector<Warning> &warnings = user.script->warnings;
        const std::size_t before = warnings.size();
        std::string_view lastPath;
        bool looked = false;
        std::size_t target = ScriptsByPath::kNone;
        for (const LabelUse &use : user.script->labelsUsed) {
            const std::string_view path = user.script->name(use.path);
            if (!looked || path != lastPath) // mostly the path before
                target = byPath.named(path);
            lastPath = path;
            looked = true;
            if (target == ScriptsByPath::kNone || target == ScriptsByPath::kTwo
                || scripts[target].script->stop)
                continue;
            if (!labels[target])
                labels[target].emplace(*scripts[target].script);
            const std::string_view label = user.script->name(use.label);
            // Letter case aside: a warning only where no label could be meant.
            if (labels[target]->has(label))
                continue;
            warnings.push_back({WarningKind::NoLabelThere,
                                use.offset,
                                {use.line, use.column},
                                std::string(label),
                                std::string(path),
                                std::string(labels[target]->nearest(label))});
        }
        std::inplace_merge(warnings.begin(), warnings.begin() + std::ptrdiff_t(before),
                           warnings.end(),
                           [](const Warning &a, const Warning &b) { return a.offset < b.offset; });
    }
}

} // namespace script
