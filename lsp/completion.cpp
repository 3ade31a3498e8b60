// What may be typed at a place, by what the line holds before it: a
// command where a statement or a value starts (of the chosen game; after an
// object spawned as a class, that class's own first), a label after thread,
// waitthread and goto, another script's labels after path::, a script after
// exec, a class after spawn, a model path in the quotes of model and spawn,
// and a field's name after local., level. and game.

#include "looking.h"

#include "words.h"

#include <algorithm>
#include <set>

namespace lsp {
namespace {

// No editor shows more; past them the list says it is incomplete.
constexpr std::size_t kMostItems = 1000;

bool isWordByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool startsWith(std::string_view name, std::string_view typed)
{
    return name.size() >= typed.size()
           && script::sameIgnoringCase(name.substr(0, typed.size()), typed);
}

// The place being typed at: the line before the cursor, the word being
// typed, and the word before it.
struct Place
{
    std::string_view before; // the line up to the word being typed
    std::string_view typed;
};

Place placeOf(std::string_view line, bool (*belongs)(char))
{
    std::size_t start = line.size();
    while (start > 0 && belongs(line[start - 1]))
        --start;
    return {line.substr(0, start), line.substr(start)};
}

// The word before the end of text, past blanks.
std::string_view lastWord(std::string_view text)
{
    std::size_t end = text.find_last_not_of(" \t");
    if (end == std::string_view::npos)
        return {};
    std::size_t start = end + 1;
    while (start > 0 && text[start - 1] != ' ' && text[start - 1] != '\t')
        --start;
    return text.substr(start, end + 1 - start);
}

// Whether the cursor is within quotes, and where they open.
std::size_t openQuote(std::string_view line)
{
    std::size_t open = std::string_view::npos;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && open != std::string_view::npos)
            ++i;
        else if (line[i] == '"')
            open = open == std::string_view::npos ? i : std::string_view::npos;
        else if (open == std::string_view::npos && line.substr(i, 2) == "//")
            return std::string_view::npos;
    }
    return open;
}

class Offer final
{
public:
    explicit Offer(std::string_view typed)
        : m_typed(typed)
    {}
    void add(std::string_view label, std::string detail, Completion::Kind kind)
    {
        if (wants(label))
            m_list.items.push_back({std::string(label), std::move(detail), kind});
    }
    // The detail made only for what is offered: of 45,000 labels, a thousand.
    template <typename Detail>
    void addWith(std::string_view label, Detail detail, Completion::Kind kind)
    {
        if (wants(label))
            m_list.items.push_back({std::string(label), detail(), kind});
    }
    Completions take() { return std::move(m_list); }

private:
    bool wants(std::string_view label)
    {
        if (m_list.incomplete || !startsWith(label, m_typed)
            || !m_seen.insert(script::folded(label)).second)
            return false;
        m_list.incomplete = m_list.items.size() == kMostItems;
        return !m_list.incomplete;
    }

    std::string_view m_typed;
    std::set<std::string> m_seen;
    Completions m_list;
};

void commands(Offer &offer, const script::Vocabulary &vocabulary, script::CommandKind kind,
              const script::Vocabulary::GameClass *object)
{
    const std::string detail = kind == script::CommandKind::Plain ? "command" : "gives a value";
    if (object)
        for (const std::string_view name : vocabulary.ownCommands(*object, kind))
            offer.add(name, detail + ", of " + std::string(script::Vocabulary::className(*object)),
                      Completion::Kind::Command);
    for (const std::string_view name : vocabulary.commands(kind))
        if (!object || vocabulary.answers(*object, name, kind))
            offer.add(name, detail, Completion::Kind::Command);
}

void labels(Offer &offer, const Known &known)
{
    for (const script::OutlineLabel &label : known.read->outline.labels)
        offer.addWith(
            wordIn(known, label.at),
            [&] {
                return "label, line "
                       + std::to_string(known.read->lines->lineOf(label.at.begin) + 1);
            },
            Completion::Kind::Label);
}

// What ends a value, so that a command after it is sent to it.
bool endsValue(std::string_view before)
{
    const std::string_view word = lastWord(before);
    if (word.empty())
        return false;
    const char last = word.back();
    return last == ')' || last == ']' || last == '"' || word.front() == '$'
           || word.find('.') != std::string_view::npos || word == "self" || word == "level"
           || word == "game" || word == "local" || word == "group" || word == "owner"
           || word == "parm";
}

bool startsStatement(std::string_view before)
{
    const std::size_t last = before.find_last_not_of(" \t");
    return last == std::string_view::npos || before[last] == ';' || before[last] == '{'
           || before[last] == '}' || before.substr(0, last + 1).ends_with("else");
}

bool startsValue(std::string_view before)
{
    const std::size_t last = before.find_last_not_of(" \t");
    return last != std::string_view::npos
           && std::string_view("=(+-*/%!<>&|^~,[").find(before[last]) != std::string_view::npos;
}

bool isPathByte(char c) { return c != ' ' && c != '\t' && c != '"'; }

bool isAny(std::string_view word, std::initializer_list<std::string_view> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view name) { return script::sameIgnoringCase(word, name); });
}

} // namespace

Completions Answers::complete(const std::string &uri, Position at)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    const std::string &text = *known->read->text;
    const std::size_t offset = offsetIn(*known, at, m_scripts.encoding());
    const std::size_t lineStart = known->read->lines->start(known->read->lines->lineOf(offset));
    const std::string_view line = std::string_view(text).substr(lineStart, offset - lineStart);
    const script::Vocabulary &vocabulary = m_scripts.vocabulary(uri);
    const auto done = [&](Offer &offer, std::string_view typed) {
        Completions list = offer.take();
        list.replaced =
            rangeIn(*known, {std::uint32_t(offset - typed.size()), std::uint32_t(offset)},
                    m_scripts.encoding());
        return list;
    };

    // In quotes: the catalogue's model paths after model and spawn.
    if (const std::size_t quote = openQuote(line); quote != std::string_view::npos) {
        const std::string_view typed = line.substr(quote + 1);
        Offer offer(typed);
        if (isAny(lastWord(line.substr(0, quote)), {"model", "spawn"}))
            for (const std::string_view model : catalogueModels())
                offer.add(model, "model of the catalogue", Completion::Kind::Model);
        return done(offer, typed);
    }
    const Place path = placeOf(line, isPathByte);
    if (isAny(lastWord(path.before), {"exec", "waitexec"})
        && path.typed.find("::") == std::string_view::npos) {
        Offer offer(path.typed);
        for (const std::string &name : m_scripts.scriptNames())
            offer.add(name, "script", Completion::Kind::Script);
        return done(offer, path.typed);
    }
    const Place place = placeOf(line, isWordByte);
    const std::string_view before = place.before, word = lastWord(before);
    Offer offer(place.typed);
    const bool blank = !before.empty() && (before.back() == ' ' || before.back() == '\t');
    if (before.ends_with("::")) { // another script's labels
        std::string_view named = placeOf(before.substr(0, before.size() - 2), isPathByte).typed;
        if (const std::optional<Known> script = m_scripts.named(named))
            labels(offer, *script);
    } else if (before.ends_with('.')) { // a field the script sets
        const std::string_view listener =
            placeOf(before.substr(0, before.size() - 1), isWordByte).typed;
        for (const script::OutlineField &field : known->read->outline.fields)
            if (wordIn(*known, field.listener) == listener)
                offer.add(wordIn(*known, field.field), "field set in this script",
                          Completion::Kind::Variable);
    } else if (blank && isAny(word, {"thread", "waitthread", "goto", "setthread"})) {
        labels(offer, *known);
    } else if (blank && isAny(word, {"spawn"})) {
        for (const script::Vocabulary::GameClass *c : vocabulary.spawnable())
            offer.add(script::Vocabulary::spawnName(*c),
                      "class " + std::string(script::Vocabulary::className(*c)),
                      Completion::Kind::Class);
    } else if (startsStatement(before)) {
        commands(offer, vocabulary, script::CommandKind::Plain, nullptr);
    } else if (startsValue(before)) {
        commands(offer, vocabulary, script::CommandKind::Return, nullptr);
    } else if (blank && endsValue(before)) {
        const script::Vocabulary::GameClass *object = nullptr;
        const std::size_t last = before.find_last_not_of(" \t");
        if (const std::optional<Variable> variable = variableAt(text, lineStart + last)) {
            const std::string_view spawned = spawnedAs(*known, wordIn(*known, variable->listener),
                                                       wordIn(*known, variable->field), offset);
            object = spawned.empty() ? nullptr : vocabulary.spawned(spawned);
        }
        commands(offer, vocabulary, script::CommandKind::Plain, object);
    }
    return done(offer, place.typed);
}

} // namespace lsp
