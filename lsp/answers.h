#pragma once

// The answers to what an editor asks of the scripts: where a label stands
// and who uses it, renaming it, a script's labels, what a word is (hover),
// what may be typed next (completion), folds, links, calls and colours. All
// from the last readings (ScriptServer), never a fresh one; no word of the
// protocol. Plain C++.

#include "scriptserver.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lsp {

struct Location
{
    std::string uri;
    Range range;
};

struct TextEdit
{
    Range range;
    std::string text;
};
using WorkspaceEdit = std::map<std::string, std::vector<TextEdit>>; // by URI

// A label, as an outline or a search lists it.
struct Symbol
{
    std::string name;
    std::string detail;    // its parameters
    std::string container; // the script it is in, for a search
    Location location;     // from the label to its thread's end
    Range selection;       // the label's word
};

// A thread, as the call hierarchy shows it; and the calls to or from one.
struct CallItem
{
    std::string name, detail, uri;
    Range range, selection;
};
struct Calls
{
    CallItem item;
    std::vector<Range> ranges; // where the calls stand, in the caller
};

struct Completion
{
    enum class Kind : std::uint8_t { Command, Label, Variable, Class, Script, Model };
    std::string label;
    std::string detail;
    Kind kind;
};
struct Completions
{
    std::vector<Completion> items;
    bool incomplete = false; // more match than are given
    Range replaced;          // what was typed of the word, which an item replaces
};

struct Fold
{
    std::uint32_t start, end; // lines
    bool comment = false;
};

struct Link
{
    Range range;
    std::string target; // URI
};

// The colours of semantic tokens, in the order of the legend the server gives.
enum class Colour : std::uint8_t {
    Label,
    Command,
    Variable,
    Class,
    String,
    Number,
    Comment,
    Keyword
};
inline constexpr const char *kColours[] = {"function", "method", "variable", "class",
                                           "string",   "number", "comment",  "keyword"};

class Answers final
{
public:
    explicit Answers(ScriptServer &scripts)
        : m_scripts(scripts)
    {}

    std::vector<Location> definition(const std::string &uri, Position at);
    std::vector<Location> references(const std::string &uri, Position at, bool declaration);
    // The word renaming would change, or why there is none.
    std::optional<Range> renamable(const std::string &uri, Position at, std::string &placeholder,
                                   std::string &why);
    std::optional<WorkspaceEdit> rename(const std::string &uri, Position at,
                                        const std::string &name, std::string &why);
    std::vector<Symbol> symbols(const std::string &uri);
    std::vector<Symbol> search(const std::string &query);
    // Markdown, and the word's range; empty where there is nothing to say.
    std::string hover(const std::string &uri, Position at, Range &range);
    Completions complete(const std::string &uri, Position at);
    std::vector<Fold> folds(const std::string &uri);
    std::vector<Link> links(const std::string &uri);
    std::vector<CallItem> callItems(const std::string &uri, Position at);
    std::vector<Calls> callers(const CallItem &item);
    std::vector<Calls> callees(const CallItem &item);
    // The semantic tokens, in the protocol's five numbers each.
    std::vector<std::uint32_t> colours(const std::string &uri);

private:
    ScriptServer &m_scripts;
};

} // namespace lsp
