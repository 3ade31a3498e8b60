// What a word is, in the project's own words: a command's kind, the classes
// that answer it and the games that know it; a label used, where it stands;
// a spawned variable's class; whether the catalogue has a model.

#include "looking.h"

#include "words.h"

#include <algorithm>
#include <cctype>

namespace lsp {
namespace {

// A word in Markdown's code quotes.
std::string inCode(std::string_view word)
{
    std::string shown = script::shown(word);
    std::replace(shown.begin(), shown.end(), '`', '\'');
    return "`" + shown + "`";
}

std::string lineOf(const Known &known, std::size_t offset)
{
    return std::to_string(known.read->lines->lineOf(offset) + 1);
}

std::string className(const script::Vocabulary::GameClass &c)
{
    const std::string_view spawn = script::Vocabulary::spawnName(c);
    return std::string(script::Vocabulary::className(c))
           + (spawn.empty() ? "" : " (" + inCode(spawn) + ")");
}

std::string aboutCommand(const Known &known, const script::OutlineCommand &command,
                         const script::Vocabulary &vocabulary)
{
    const std::string_view name = wordIn(known, {command.begin, command.begin + command.size});
    const script::Vocabulary::Facts facts = vocabulary.facts(name);
    if (!facts.plain && !facts.gives)
        return "The game knows no command " + inCode(name) + ".";
    std::string text = "**" + script::shown(name) + "**: a command "
                       + (facts.plain && facts.gives ? "given as a statement or for its value"
                          : facts.plain              ? "given as a statement (it gives no value)"
                                                     : "that gives a value")
                       + (facts.field ? "; also a field of objects" : "") + ".\n\n";
    // The class the script spawned the object as, first.
    std::vector<std::string> answering;
    if (!command.object.empty()) {
        const std::string_view spawned =
            spawnedAs(known, "local", wordIn(known, command.object), command.begin);
        if (const script::Vocabulary::GameClass *c =
                spawned.empty() ? nullptr : vocabulary.spawned(spawned))
            text += "local." + script::shown(wordIn(known, command.object)) + " is a "
                    + className(*c)
                    + (vocabulary.answers(*c, name, command.kind) ? ", which answers it"
                                                                  : ", which does not answer it")
                    + ".\n\n";
    }
    if (facts.everyClass) {
        text += "No source says which classes answer it: every class is taken to.\n\n";
    } else {
        constexpr std::size_t kShown = 12;
        std::string classes;
        for (std::size_t i = 0; i < facts.classes.size() && i < kShown; ++i)
            classes += (i ? ", " : "") + className(*facts.classes[i]);
        if (facts.classes.size() > kShown)
            classes += " and " + std::to_string(facts.classes.size() - kShown) + " more";
        text += "Answered by " + classes + ".\n\n";
    }
    const std::string who = script::whoKnows(facts.releases);
    text += who.empty() ? "No game knows it."
                        : std::string(1, char(std::toupper(who[0]))) + who.substr(1) + ".";
    return text;
}

std::string aboutUse(ScriptServer &scripts, const Known &known, const script::OutlineUse &use,
                     std::size_t offset)
{
    if (within(use.path, offset) || use.label.empty()) {
        const std::string_view path = wordIn(known, use.path);
        const std::optional<Known> script = scripts.named(path);
        if (!script)
            return "No script of the workspace is named " + inCode(path) + ".";
        return "The script " + inCode(path) + ": " + inCode(script->path.generic_string()) + ".";
    }
    const std::optional<LabelIn> label = labelOf(scripts, known, use);
    const std::string where = use.path.empty() ? "this script" : inCode(wordIn(known, use.path));
    if (!label)
        return "No label " + inCode(wordIn(known, use.label)) + " in " + where + ".";
    const script::OutlineLabel &l = *label->label;
    std::string text = "The label " + inCode(l.name) + " of " + where + ", line "
                       + lineOf(label->script, l.at.begin);
    if (const std::string parameters = parametersOf(label->script, l); !parameters.empty())
        text += ", with the parameters " + inCode(parameters);
    return text + ".";
}

} // namespace

std::string Answers::hover(const std::string &uri, Position at, Range &range)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    const Encoding encoding = m_scripts.encoding();
    const std::size_t offset = offsetIn(*known, at, encoding);
    const script::Outline &outline = known->read->outline;
    if (const script::OutlineUse *use = useAt(outline, offset)) {
        range = rangeIn(*known, within(use->path, offset) ? use->path : use->label, encoding);
        return aboutUse(m_scripts, *known, *use, offset);
    }
    for (const script::Span model : outline.models)
        if (within(model, offset)) {
            range = rangeIn(*known, model, encoding);
            const std::string_view path = wordIn(*known, model);
            return inCatalogue(path) ? "The tool's catalogue has the model " + inCode(path) + "."
                                     : "The tool's catalogue has no model " + inCode(path) + ".";
        }
    if (const script::OutlineCommand *command = commandAt(outline, offset)) {
        range = rangeIn(*known, {command->begin, command->begin + command->size}, encoding);
        return aboutCommand(*known, *command, m_scripts.vocabulary(uri));
    }
    if (const std::optional<Variable> variable = variableAt(*known->read->text, offset)) {
        const std::string_view listener = wordIn(*known, variable->listener);
        const std::string_view field = wordIn(*known, variable->field);
        const std::string_view spawned = spawnedAs(*known, listener, field, variable->field.end);
        if (spawned.empty())
            return {};
        range = rangeIn(*known, {variable->listener.begin, variable->field.end}, encoding);
        const script::Vocabulary::GameClass *c = m_scripts.vocabulary(uri).spawned(spawned);
        return inCode(std::string(listener) + "." + std::string(field)) + " is spawned as "
               + (c ? "a " + className(*c) : inCode(spawned)) + ".";
    }
    return {};
}

} // namespace lsp
