#include "valuecheck.h"

#include "lexer.h"
#include "reader.h"
#include "script.h"

#include <algorithm>
#include <vector>

namespace script {
namespace {

// Stands for the value while the neutral block is built; never typed in a box
// that reaches this far (a box holds one line of text).
constexpr char kMarker = '\x01';

// The value in its line of a block whose other boxes hold plain values.
struct Context
{
    std::string text;
    std::size_t begin = 0, end = 0; // the value's first place in the text
};

Context place(ValueKind kind, std::string_view value)
{
    const std::string marker(1, kMarker);
    ObjectFields object{.comment = {},
                        .idName = "a",
                        .model = "m",
                        .originX = "0",
                        .originY = "0",
                        .originZ = "0",
                        .angleY = "0",
                        .angleP = "0",
                        .angleR = "0",
                        .scale = "1"};
    TriggerFields triggerFields{.comment = {},
                                .idName = "a",
                                .originX = "0",
                                .originY = "0",
                                .originZ = "0",
                                .sizeMinX = "0",
                                .sizeMinY = "0",
                                .sizeMinZ = "0",
                                .sizeMaxX = "0",
                                .sizeMaxY = "0",
                                .sizeMaxZ = "0",
                                .thread = "t",
                                .message = "m",
                                .wait = "1",
                                .delay = "0"};
    // The box's field in its block; the ID name stands on every line.
    const bool trigger = kind == ValueKind::Argument || kind == ValueKind::Thread;
    std::string &field = kind == ValueKind::Vector       ? object.originY
                         : kind == ValueKind::Scale      ? object.scale
                         : kind == ValueKind::IdName     ? object.idName
                         : kind == ValueKind::QuotedText ? object.model
                         : kind == ValueKind::Argument   ? triggerFields.wait
                                                         : triggerFields.thread;
    field = marker;
    const Lines lines = trigger ? triggerBlock(triggerFields) : objectBlock(object);
    const std::string block = blockText(lines);
    Context context;
    context.begin = block.find(kMarker);
    context.end = context.begin + value.size();
    for (char c : block) {
        if (c == kMarker)
            context.text += value;
        else
            context.text += c;
    }
    return context;
}

struct Words
{
    std::vector<Token> tokens; // those that touch the value, in order
    Token after;               // the first one after the value
    bool dialectWord = false;  // the other reader would cut a word differently
};

Words wordsOf(const Context &context, Dialect dialect, std::size_t from, std::size_t to)
{
    Words words;
    Lexer lexer(context.text, dialect);
    for (Token t = lexer.next(); t.kind != Tok::End; t = lexer.next()) {
        if (t.begin >= to && t.kind != Tok::Eol) {
            words.after = t;
            break;
        }
        if (t.end > from && t.begin < to)
            words.tokens.push_back(t);
    }
    words.dialectWord = lexer.dialectWordAt() != std::string_view::npos;
    return words;
}

std::string_view textOf(const Context &context, const Token &t)
{
    return std::string_view(context.text).substr(t.begin, t.end - t.begin);
}

bool has(const Words &words, Tok kind)
{
    return std::ranges::any_of(words.tokens, [kind](const Token &t) { return t.kind == kind; });
}

bool escaped(const Words &words)
{
    return std::ranges::any_of(words.tokens, [](const Token &t) { return t.escaped; });
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// One number, as typed: an optional minus right before digits with at most
// one point (a point at the end the library's cut already takes as a name).
bool oneNumber(const Context &context, const Words &words)
{
    std::vector<Token> t = words.tokens;
    if (!t.empty() && t.front().kind == Tok::Negate)
        t.erase(t.begin());
    if (t.size() != 1 || (t[0].kind != Tok::Integer && t[0].kind != Tok::Float))
        return false;
    const std::string_view number = textOf(context, t[0]);
    if (std::ranges::count(number, '.') > 1
        || !std::ranges::all_of(number, [](char c) { return c == '.' || (c >= '0' && c <= '9'); }))
        return false;
    // The game keeps whole numbers in 32 bits.
    const std::string_view digits =
        number.substr(number.find_first_not_of('0') == number.npos ? number.size() - 1
                                                                   : number.find_first_not_of('0'));
    return t[0].kind == Tok::Float || digits.size() < 10
           || (digits.size() == 10 && digits <= "2147483647");
}

// A variable name read as typed: a name right after "local.", with fields and
// indexes, ending where the value ends.
bool oneVariable(const Context &context, const Words &words)
{
    const std::vector<Token> &t = words.tokens;
    if (t.empty() || t.front().kind != Tok::Name || t.front().begin != context.begin
        || escaped(words) || words.after.kind != Tok::Assign)
        return false;
    int depth = 0;
    for (const Token &token : t) {
        if (token.end > context.end)
            return false;
        if (token.kind == Tok::LSquare)
            ++depth;
        else if (token.kind == Tok::RSquare)
            --depth;
        else if (depth == 0 && token.kind != Tok::Name && token.kind != Tok::Period)
            return false;
    }
    return depth == 0;
}

// A label, or a path, "::" and a label.
bool oneLabel(const Words &words)
{
    const std::vector<Token> &t = words.tokens;
    const bool label = t.size() == 1 && t[0].kind == Tok::Name;
    const bool path = t.size() == 3 && t[0].kind == Tok::Name && t[1].kind == Tok::DoubleColon
                      && t[2].kind == Tok::Name;
    return (label || path) && !escaped(words);
}

// The quoted text, from quote to quote, with nothing changed inside.
bool oneText(const Context &context, const Words &words)
{
    return words.tokens.size() == 1 && words.tokens[0].kind == Tok::Text
           && words.tokens[0].begin + 1 == context.begin && words.tokens[0].end == context.end + 1
           && !words.tokens[0].escaped;
}

bool readAsTyped(ValueKind kind, const Context &context, const Words &words)
{
    switch (kind) {
    case ValueKind::Vector:
    case ValueKind::Scale:
    case ValueKind::Argument:
        return oneNumber(context, words);
    case ValueKind::IdName:
        return oneVariable(context, words);
    case ValueKind::Thread:
        return oneLabel(words);
    case ValueKind::QuotedText:
        return oneText(context, words);
    }
    return false;
}

constexpr std::string_view kComment =
    "The game reads //, /* and */ as comment marks and loses the rest of the line "
    "or script: leave them out.";

std::string numberHint(const Context &context, const Words &words, std::string_view value)
{
    const std::string_view t = trimmed(value);
    if (t.empty())
        return "The game finds no value in an empty box: type a number, such as 0.";
    if (has(words, Tok::Comma))
        return "The game reads a comma as a word of its own and cannot load the line: "
               "write 1.5, not 1,5.";
    if (has(words, Tok::Eol) || has(words, Tok::StrayCommentEnd))
        return std::string(kComment);
    for (const Token &token : words.tokens) {
        const std::string_view word = textOf(context, token);
        if (token.kind == Tok::Operator && word == "+")
            return "The game has no plus sign and cannot load the line: write 5, not +5.";
        if (token.kind == Tok::Float && word.find('e') != word.npos)
            return "The game splits a power of ten such as 1e+30 into two values: "
                   "write the number in full.";
    }
    if (t.back() == '.' && t.find_first_of("0123456789") != t.npos
        && t.find_first_not_of("-0123456789.") == t.npos)
        return "One of the game's readers takes a number ending in a point as a name: "
               "write 5 or 5.0, not 5.";
    if (has(words, Tok::Name))
        return "The game reads letters or symbols in a number as a name, not a number: "
               "write digits only.";
    for (const Token &token : words.tokens)
        if (token.kind == Tok::Float && std::ranges::count(textOf(context, token), '.') > 1)
            return "The game drops everything from a second point on: "
                   "write one point, as in 1.5.";
    const auto numbers = std::ranges::count_if(words.tokens, [](const Token &token) {
        return token.kind == Tok::Integer || token.kind == Tok::Float;
    });
    if (numbers > 1 && t.find_first_of(" \t") != t.npos && !has(words, Tok::Operator))
        return "The game reads a space inside a number as two values: write one number.";
    if (t.find('-') != t.npos)
        return "The game cannot load a minus sign that is not right before the digits: "
               "write -5.";
    if (numbers == 1 && words.tokens.size() <= 2 && !has(words, Tok::Eol))
        return "The game keeps whole numbers up to 2147483647: write a smaller number.";
    return "The game cannot read this as a number: write digits with at most one point, "
           "as in -12.5.";
}

std::string nameHint(const Words &words)
{
    if (has(words, Tok::Size))
        return "The game reads size as a keyword and cannot load the line: "
               "write Size or another name.";
    if (!words.tokens.empty()
        && (words.tokens[0].kind == Tok::Float || words.tokens[0].kind == Tok::Integer))
        return "The game reads a name of digits alone as a number and cannot load the line: "
               "start it with a letter, as in bike12.";
    if (escaped(words))
        return "The game drops a backslash from a name, so a\\b becomes ab: leave it out.";
    return "The game cannot load a name holding a space, a sign or an accented letter: "
           "use letters, digits and _, as in bike_1.";
}

std::string threadHint(const Words &words, std::string_view value)
{
    if (has(words, Tok::Eol) || has(words, Tok::OpenComment) || has(words, Tok::StrayCommentEnd))
        return std::string(kComment);
    if (has(words, Tok::Semicolon))
        return "The game ends the line at ; and runs the rest as a command: leave it out.";
    if (has(words, Tok::Colon) || has(words, Tok::DoubleColon))
        return "The game reads :: only between a script path and a label: "
               "write open, or global/door.scr::open.";
    for (Tok bracket : {Tok::LParen, Tok::RParen, Tok::LSquare, Tok::RSquare, Tok::Comma})
        if (has(words, bracket))
            return "The game reads brackets and commas as words of their own: "
                   "write the label alone, as in open_door.";
    if (escaped(words))
        return "The game drops a backslash from a label, so a\\b becomes ab: leave it out.";
    if (words.tokens.size() > 1 && trimmed(value).find_first_of(" \t") != std::string_view::npos)
        return "The game reads a space as the end of the thread name: "
               "write open_door, not open door.";
    return "The game does not read this as a label: write a name of letters, digits and _, "
           "as in open_door.";
}

std::string textHint(std::string_view value)
{
    if (value.find('"') != value.npos)
        return "The game ends the text at a double quote and reads the rest as script: "
               "use ' instead.";
    return "The game reads a backslash as an escape, so C:\\new gets a line break: "
           "write / instead.";
}

std::string hint(ValueKind kind, const Context &context, const Words &words, std::string_view value)
{
    switch (kind) {
    case ValueKind::Vector:
    case ValueKind::Scale:
    case ValueKind::Argument:
        return numberHint(context, words, value);
    case ValueKind::IdName:
        return nameHint(words);
    case ValueKind::Thread:
        return threadHint(words, value);
    case ValueKind::QuotedText:
        return textHint(value);
    }
    return {};
}

} // namespace

std::string checkValue(ValueKind kind, std::string_view utf8)
{
    if (utf8.empty() && kind != ValueKind::Vector && kind != ValueKind::Scale
        && kind != ValueKind::Argument)
        return {};
    const Context context = place(kind, utf8);
    const std::optional<Stop> stop = readScript(context.text);
    // The words of a quoted text include its quotes; a minus right before a
    // number takes the blank before it.
    const std::size_t from = kind == ValueKind::QuotedText ? context.begin - 1 : context.begin;
    const std::size_t to = kind == ValueKind::QuotedText ? context.end + 1 : context.end;
    const Words first = wordsOf(context, Dialect::Game, from, to);
    bool typed = readAsTyped(kind, context, first);
    // The library's cut is needed only where it differs from the game's.
    if (typed && (first.dialectWord || context.text.find('\0') != std::string::npos))
        typed = readAsTyped(kind, context, wordsOf(context, Dialect::Library, from, to));
    if (!stop && typed)
        return {};
    // An unclosed /* takes the rest of the script, whatever the box.
    if (stop && stop->offset >= from && stop->offset < to && has(first, Tok::OpenComment))
        return stop->sentence;
    return hint(kind, context, first, utf8);
}

} // namespace script
