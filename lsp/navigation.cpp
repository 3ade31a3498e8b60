// Going to labels and scripts, their uses, renaming a label, a script's
// labels, the links of exec and path::label, and the calls between threads.

#include "looking.h"

#include "lexer.h"
#include "reader.h"
#include "uri.h"
#include "words.h"

#include <algorithm>

namespace lsp {
namespace {

Location whole(const Known &known) { return {known.uri, {}}; }

Symbol symbolOf(const Known &known, const script::OutlineLabel &label, Encoding encoding)
{
    const script::Span thread{label.at.begin, std::uint32_t(threadEnd(known, label))};
    return {std::string(wordIn(known, label.at)),
            parametersOf(known, label),
            {},
            {known.uri, rangeIn(known, thread, encoding)},
            rangeIn(known, label.at, encoding)};
}

CallItem callItemOf(const Known &known, const script::OutlineLabel &label, Encoding encoding)
{
    const Symbol symbol = symbolOf(known, label, encoding);
    return {symbol.name, known.path.filename().string(), known.uri, symbol.location.range,
            symbol.selection};
}

// Whether the game reads name, alone before a colon, as a label of that name.
bool readsAsLabel(const std::string &name)
{
    script::Lexer lexer(name);
    const script::Token word = lexer.next();
    return !name.empty() && word.kind == script::Tok::Name && !word.escaped
           && word.end == name.size() && name.find_first_of("\"$") == std::string::npos
           && !script::readScript(name + ":\n", script::Stages::Grammar);
}

// The label of a call item: in an open script, or one on disk.
std::optional<LabelIn> labelOfItem(ScriptServer &scripts, const CallItem &item)
{
    if (std::optional<LabelIn> label = labelAtPosition(scripts, item.uri, item.selection.start))
        return label;
    const std::optional<std::filesystem::path> path = pathOf(item.uri);
    std::optional<Known> known = path ? scripts.at(*path) : std::nullopt;
    if (!known)
        return std::nullopt;
    const std::size_t offset = offsetIn(*known, item.selection.start, scripts.encoding());
    const script::OutlineLabel *label = labelAt(known->read->outline, offset);
    return label ? std::optional<LabelIn>(LabelIn{*known, label}) : std::nullopt;
}

} // namespace

std::vector<Location> Answers::definition(const std::string &uri, Position at)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    const Encoding encoding = m_scripts.encoding();
    const std::size_t offset = offsetIn(*known, at, encoding);
    const script::Outline &outline = known->read->outline;
    if (const script::OutlineLabel *label = labelAt(outline, offset))
        return {{uri, rangeIn(*known, label->at, encoding)}};
    const script::OutlineUse *use = useAt(outline, offset);
    if (!use)
        return {};
    if (within(use->path, offset) || use->label.empty()) {
        const std::optional<Known> script = m_scripts.named(wordIn(*known, use->path));
        return script ? std::vector<Location>{whole(*script)} : std::vector<Location>{};
    }
    const std::optional<LabelIn> label = labelOf(m_scripts, *known, *use);
    if (!label)
        return {};
    return {{label->script.uri, rangeIn(label->script, label->label->at, encoding)}};
}

std::vector<Location> Answers::references(const std::string &uri, Position at, bool declaration)
{
    const std::optional<LabelIn> label = labelAtPosition(m_scripts, uri, at);
    if (!label)
        return {};
    const Encoding encoding = m_scripts.encoding();
    std::vector<Location> found;
    if (declaration)
        found.push_back({label->script.uri, rangeIn(label->script, label->label->at, encoding)});
    for (const UseIn &use : usesOf(m_scripts, *label))
        found.push_back({use.script.uri, rangeIn(use.script, use.use->label, encoding)});
    return found;
}

std::optional<Range> Answers::renamable(const std::string &uri, Position at,
                                        std::string &placeholder, std::string &why)
{
    const std::optional<Known> known = m_scripts.document(uri);
    const std::optional<LabelIn> label = labelAtPosition(m_scripts, uri, at);
    if (!known || !label) {
        why = "Only a label, or a use of one, can be renamed here.";
        return std::nullopt;
    }
    const std::size_t offset = offsetIn(*known, at, m_scripts.encoding());
    const script::OutlineLabel *written = labelAt(known->read->outline, offset);
    const script::Span word = written ? written->at : useAt(known->read->outline, offset)->label;
    placeholder = label->label->name;
    return rangeIn(*known, word, m_scripts.encoding());
}

std::optional<WorkspaceEdit> Answers::rename(const std::string &uri, Position at,
                                             const std::string &name, std::string &why)
{
    const std::optional<LabelIn> label = labelAtPosition(m_scripts, uri, at);
    if (!label) {
        why = "Only a label, or a use of one, can be renamed here.";
        return std::nullopt;
    }
    if (!readsAsLabel(name)) {
        why = "The game does not read '" + name
              + "' as a label: a label is one word of letters, digits and _.";
        return std::nullopt;
    }
    const script::OutlineLabel *taken = labelNamed(label->script.read->outline, name);
    if (taken && taken != label->label) {
        why = "The script has a label '" + taken->name + "' already.";
        return std::nullopt;
    }
    const Encoding encoding = m_scripts.encoding();
    WorkspaceEdit edit;
    edit[label->script.uri].push_back({rangeIn(label->script, label->label->at, encoding), name});
    for (const UseIn &use : usesOf(m_scripts, *label))
        edit[use.script.uri].push_back({rangeIn(use.script, use.use->label, encoding), name});
    return edit;
}

std::vector<Symbol> Answers::symbols(const std::string &uri)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    std::vector<Symbol> symbols;
    for (const script::OutlineLabel &label : known->read->outline.labels)
        symbols.push_back(symbolOf(*known, label, m_scripts.encoding()));
    return symbols;
}

std::vector<Symbol> Answers::search(const std::string &query)
{
    constexpr std::size_t kMost = 1000;
    const std::string folded = script::folded(query);
    std::vector<Symbol> found;
    for (const Known &known : m_scripts.every()) {
        for (const script::OutlineLabel &label : known.read->outline.labels) {
            if (found.size() == kMost)
                return found;
            if (script::folded(label.name).find(folded) == std::string::npos)
                continue;
            Symbol symbol = symbolOf(known, label, m_scripts.encoding());
            symbol.container = known.path.filename().string();
            found.push_back(std::move(symbol));
        }
    }
    return found;
}

std::vector<Link> Answers::links(const std::string &uri)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    std::vector<Link> links;
    for (const script::OutlineUse &use : known->read->outline.uses)
        if (!use.path.empty())
            if (const std::optional<Known> script = m_scripts.named(wordIn(*known, use.path)))
                links.push_back({rangeIn(*known, use.path, m_scripts.encoding()), script->uri});
    return links;
}

std::vector<CallItem> Answers::callItems(const std::string &uri, Position at)
{
    const std::optional<LabelIn> label = labelAtPosition(m_scripts, uri, at);
    if (!label)
        return {};
    return {callItemOf(label->script, *label->label, m_scripts.encoding())};
}

namespace {

// Calls grouped by the thread at their other end, in the order first met.
class CallList final
{
public:
    explicit CallList(Encoding encoding)
        : m_encoding(encoding)
    {}
    void add(const Known &thread, const script::OutlineLabel &label, const Known &caller,
             script::Span word)
    {
        const auto [at, fresh] = m_byThread.try_emplace({thread.uri, &label}, m_calls.size());
        if (fresh)
            m_calls.push_back({callItemOf(thread, label, m_encoding), {}});
        m_calls[at->second].ranges.push_back(rangeIn(caller, word, m_encoding));
    }
    std::vector<Calls> take() { return std::move(m_calls); }

private:
    Encoding m_encoding;
    std::vector<Calls> m_calls;
    std::map<std::pair<std::string, const void *>, std::size_t> m_byThread;
};

} // namespace

std::vector<Calls> Answers::callers(const CallItem &item)
{
    const std::optional<LabelIn> label = labelOfItem(m_scripts, item);
    if (!label)
        return {};
    CallList calls(m_scripts.encoding());
    for (const UseIn &use : usesOf(m_scripts, *label))
        // A use before any label is run by no thread.
        if (const script::OutlineLabel *caller =
                threadAt(use.script.read->outline, use.use->command))
            calls.add(use.script, *caller, use.script, use.use->label);
    return calls.take();
}

std::vector<Calls> Answers::callees(const CallItem &item)
{
    const std::optional<LabelIn> label = labelOfItem(m_scripts, item);
    if (!label)
        return {};
    const Known &known = label->script;
    const std::size_t from = label->label->at.begin, to = threadEnd(known, *label->label);
    CallList calls(m_scripts.encoding());
    for (const script::OutlineUse &use : known.read->outline.uses)
        if (use.command >= from && use.command < to)
            if (const std::optional<LabelIn> callee = labelOf(m_scripts, known, use))
                calls.add(callee->script, *callee->label, known, use.label);
    return calls.take();
}

} // namespace lsp
