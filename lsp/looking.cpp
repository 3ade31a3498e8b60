#include "looking.h"

#include "catalogue.h"
#include "words.h"

#include <algorithm>
#include <unordered_map>

namespace lsp {

std::size_t offsetIn(const Known &known, Position at, Encoding encoding)
{
    return known.read->lines->offset(*known.read->text, at, encoding);
}

Range rangeIn(const Known &known, script::Span span, Encoding encoding)
{
    const std::string &text = *known.read->text;
    const Lines &lines = *known.read->lines;
    return {lines.position(text, span.begin, encoding), lines.position(text, span.end, encoding)};
}

std::string_view wordIn(const Known &known, script::Span span)
{
    return std::string_view(*known.read->text).substr(span.begin, span.size());
}

bool within(script::Span span, std::size_t offset)
{
    return !span.empty() && span.begin <= offset && offset <= span.end;
}

namespace {

// The last entry that starts at or before offset, by the start key gives.
template <class List, class Key>
auto lastBefore(const List &list, std::size_t offset, Key key) -> decltype(&list[0])
{
    const auto after = std::upper_bound(list.begin(), list.end(), offset,
                                        [&](std::size_t o, const auto &e) { return o < key(e); });
    return after == list.begin() ? nullptr : &*(after - 1);
}

} // namespace

const script::OutlineLabel *labelAt(const script::Outline &outline, std::size_t offset)
{
    const auto *label = lastBefore(outline.labels, offset,
                                   [](const script::OutlineLabel &l) { return l.at.begin; });
    return label && within(label->at, offset) ? label : nullptr;
}

const script::OutlineUse *useAt(const script::Outline &outline, std::size_t offset)
{
    const auto *use =
        lastBefore(outline.uses, offset, [](const script::OutlineUse &u) { return u.command; });
    return use && (within(use->label, offset) || within(use->path, offset)) ? use : nullptr;
}

const script::OutlineCommand *commandAt(const script::Outline &outline, std::size_t offset)
{
    const auto *command = lastBefore(outline.commands, offset,
                                     [](const script::OutlineCommand &c) { return c.begin; });
    return command && offset <= command->begin + command->size ? command : nullptr;
}

const script::OutlineLabel *labelNamed(const script::Outline &outline, std::string_view name)
{
    const script::OutlineLabel *near = nullptr;
    for (const script::OutlineLabel &label : outline.labels) {
        if (label.name == name)
            return &label;
        if (!near && script::sameIgnoringCase(label.name, name))
            near = &label;
    }
    return near;
}

std::optional<LabelIn> labelOf(ScriptServer &scripts, const Known &from,
                               const script::OutlineUse &use)
{
    if (use.label.empty())
        return std::nullopt;
    std::optional<Known> in = use.path.empty() ? from : scripts.named(wordIn(from, use.path));
    if (!in)
        return std::nullopt;
    const script::OutlineLabel *label = labelNamed(in->read->outline, wordIn(from, use.label));
    if (!label)
        return std::nullopt;
    return LabelIn{std::move(*in), label};
}

std::optional<LabelIn> labelAtPosition(ScriptServer &scripts, const std::string &uri, Position at)
{
    const std::optional<Known> known = scripts.document(uri);
    if (!known)
        return std::nullopt;
    const std::size_t offset = offsetIn(*known, at, scripts.encoding());
    const script::Outline &outline = known->read->outline;
    if (const script::OutlineLabel *label = labelAt(outline, offset))
        return LabelIn{*known, label};
    const script::OutlineUse *use = useAt(outline, offset);
    return use && within(use->label, offset) ? labelOf(scripts, *known, *use) : std::nullopt;
}

std::vector<UseIn> usesOf(ScriptServer &scripts, const LabelIn &label)
{
    std::vector<UseIn> uses;
    for (const Known &known : scripts.every()) {
        std::unordered_map<std::string, bool> namesIt; // by the path a use gives
        for (const script::OutlineUse &use : known.read->outline.uses) {
            const std::string_view name = wordIn(known, use.label);
            if (use.label.empty() || !script::sameIgnoringCase(name, label.label->name))
                continue;
            bool there = false;
            if (use.path.empty()) {
                there = known.uri == label.script.uri;
            } else {
                const std::string path(wordIn(known, use.path));
                const auto [found, fresh] = namesIt.try_emplace(path, false);
                if (fresh) {
                    const std::optional<Known> named = scripts.named(path);
                    found->second = named && named->uri == label.script.uri;
                }
                there = found->second;
            }
            if (there && labelNamed(label.script.read->outline, name) == label.label)
                uses.push_back({known, &use});
        }
    }
    return uses;
}

std::string parametersOf(const Known &known, const script::OutlineLabel &label)
{
    if (label.colon <= label.at.end)
        return {};
    const std::string_view written = wordIn(known, {label.at.end, label.colon});
    const std::size_t first = written.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(written.substr(first, written.find_last_not_of(" \t") - first + 1));
}

const script::OutlineLabel *threadAt(const script::Outline &outline, std::size_t offset)
{
    return lastBefore(outline.labels, offset,
                      [](const script::OutlineLabel &l) { return l.at.begin; });
}

std::size_t threadEnd(const Known &known, const script::OutlineLabel &label)
{
    if (label.end != 0)
        return label.end + 3;
    const std::vector<script::OutlineLabel> &labels = known.read->outline.labels;
    const std::size_t next = std::size_t(&label - labels.data()) + 1;
    return next < labels.size() ? labels[next].at.begin : known.read->text->size();
}

const std::vector<std::string_view> &catalogueModels()
{
    static const std::vector<std::string_view> models = [] {
        std::vector<std::string_view> paths;
        for (const catalogue::List list : {catalogue::common(), catalogue::uncommon()})
            for (const std::string_view entry : list)
                if (entry.ends_with(".tik"))
                    paths.push_back(entry);
        return paths;
    }();
    return models;
}

bool inCatalogue(std::string_view path)
{
    constexpr std::string_view kFolder = "models/";
    if (path.size() > kFolder.size()
        && script::sameIgnoringCase(path.substr(0, kFolder.size()), kFolder))
        path.remove_prefix(kFolder.size());
    const std::vector<std::string_view> &models = catalogueModels();
    return std::any_of(models.begin(), models.end(), [&](std::string_view model) {
        return script::sameIgnoringCase(model, path);
    });
}

namespace {

bool isNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isListener(std::string_view word)
{
    for (const std::string_view listener :
         {"local", "level", "game", "group", "parm", "self", "owner"})
        if (word == listener)
            return true;
    return false;
}

// The run of name bytes around an offset.
script::Span nameAround(std::string_view text, std::size_t offset)
{
    std::size_t begin = std::min(offset, text.size()), end = begin;
    while (begin > 0 && isNameByte(text[begin - 1]))
        --begin;
    while (end < text.size() && isNameByte(text[end]))
        ++end;
    return {std::uint32_t(begin), std::uint32_t(end)};
}

} // namespace

std::optional<Variable> variableAt(std::string_view text, std::size_t offset)
{
    const script::Span name = nameAround(text, offset);
    if (name.empty())
        return std::nullopt;
    const std::string_view word = text.substr(name.begin, name.size());
    if (isListener(word) && name.end < text.size() && text[name.end] == '.') {
        const script::Span field = nameAround(text, name.end + 1);
        if (field.begin == name.end + 1 && !field.empty())
            return Variable{name, field};
        return std::nullopt;
    }
    if (name.begin == 0 || text[name.begin - 1] != '.')
        return std::nullopt;
    const script::Span listener = nameAround(text, name.begin - 1);
    if (listener.end != name.begin - 1 || !isListener(text.substr(listener.begin, listener.size())))
        return std::nullopt;
    return Variable{listener, name};
}

std::string_view spawnedAs(const Known &known, std::string_view listener, std::string_view field,
                           std::size_t before)
{
    const std::vector<script::OutlineField> &fields = known.read->outline.fields;
    for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
        if (!it->changes || it->listener.begin >= before || wordIn(known, it->listener) != listener
            || !script::sameIgnoringCase(wordIn(known, it->field), field))
            continue;
        return it->spawned.empty() ? std::string_view() : wordIn(known, it->spawned);
    }
    return {};
}

} // namespace lsp
