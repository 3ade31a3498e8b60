#include "reader.h"

#include "runchecks.h"
#include "vocabulary.h"
#include "wordstream.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace script {
namespace {

// Levels of brackets, braces, indexes, signs and nested statements: deeper
// than any script a person writes, yet well within the stack of any thread
// here (the game's own reader gives up far sooner).
constexpr int kMaxDepth = 1000;

struct Found
{
    Token token;
    std::string_view expected; // what the game needed there
    std::string compiled;      // for a line it read but cannot compile, the sentence
};

// Thrown to unwind the recursive descent at the first stop.
struct Stopped
{
    Found found;
};

// A word in a sentence: a stop's sentence may quote a long run of anything.
std::string shown(std::string_view word) { return printable(word, 24); }

// Why the game's compiler refuses a command it looks up in vain.
std::string unknownCommand(std::string_view name, CommandKind kind)
{
    const Vocabulary &vocabulary = Vocabulary::game();
    const std::string quoted = "'" + shown(name) + "'";
    if (kind == CommandKind::Plain && vocabulary.knows(name, CommandKind::Return))
        return "The game knows " + quoted
               + " only as a command that gives a value and will not "
                 "load the script: use it where a value is read, as after '='.";
    if (kind == CommandKind::Return && vocabulary.knows(name, CommandKind::Plain))
        return "The game knows " + quoted
               + " only as a command that gives no value and will "
                 "not load the script: use it as a statement of its own.";
    return "The game knows no command " + quoted
           + (kind == CommandKind::Return ? " that gives a value" : "")
           + " and will not load the script" + didYouMean(vocabulary.nearestCommand(name, kind));
}

class Parser
{
public:
    // With run, also tells it what it needs for the warnings, as it reads.
    Parser(std::string_view text, Dialect dialect, Stages stages, RunChecks *run = nullptr)
        : m_text(text)
        , m_words(text, dialect)
        , m_compile(stages != Stages::ReadingOnly)
        , m_lookUp(stages == Stages::All && dialect == Dialect::Game)
        , m_run(run)
    {
        m_token = nextWord();
        m_ahead = nextWord();
    }

    void program()
    {
        skipLineEnd();
        while (m_token.kind != Tok::End)
            statement();
    }

    // Once the reading is over (no words are cut after).
    std::size_t dialectWordAt() { return m_words.finish().dialectWordAt(); }
    std::size_t length() { return m_words.finish().length(); }

    // The game reads the whole text before it compiles any of it: a line it
    // cannot compile stops the script only when every line could be read.
    const std::optional<Found> &compileStop() const { return m_compileStop; }

private:
    struct Depth
    {
        explicit Depth(Parser &parser)
            : m_parser(parser)
        {
            if (++m_parser.m_depth > kMaxDepth)
                m_parser.stop("less nesting of brackets, braces or statements");
        }
        ~Depth() { --m_parser.m_depth; }
        Parser &m_parser;
    };

    // What an expression is, as far as assigning to it goes.
    enum class Kind { Other, Listener, VariableField, Field, Array, Size };

    static bool assignable(Kind k)
    {
        return k == Kind::VariableField || k == Kind::Field || k == Kind::Array;
    }

    // Only the first line the game cannot compile counts.
    void compileError(const Token &at, std::string sentence)
    {
        if (m_compile && !m_compileStop)
            m_compileStop = Found{at, {}, std::move(sentence)};
    }

    // The compiler looks every command up, once its arguments are read.
    void command(const Token &name, CommandKind kind)
    {
        if (!m_lookUp || m_compileStop)
            return;
        const std::string_view written = word(name);
        const std::string read = name.escaped ? unescaped(written) : std::string();
        const std::string_view known = name.escaped ? std::string_view(read) : written;
        if (!m_vocabulary.knows(known, kind))
            compileError(name, unknownCommand(known, kind));
    }

    // The variable X where the value just read is local.X and nothing more.
    std::string_view localObject() const
    {
        return m_valueShape == Shape::Whole
                   ? m_text.substr(m_valueRoot.begin, m_valueRoot.end - m_valueRoot.begin)
                   : std::string_view();
    }

    // Known objects, before and after a branch or loop (see RunChecks).
    struct Branch
    {
        Branch(Parser &parser, bool loop)
            : m_run(parser.m_run)
        {
            if (m_run)
                m_run->enter(loop);
        }
        ~Branch()
        {
            if (m_run)
                m_run->leave();
        }
        Branch(const Branch &) = delete;
        Branch &operator=(const Branch &) = delete;
        RunChecks *m_run;
    };

    std::string_view word(const Token &t) const { return m_text.substr(t.begin, t.end - t.begin); }

    // Labels outside a switch, and those of each switch being read.
    void label(const Token &name)
    {
        std::set<std::string, std::less<>> &labels =
            m_switchLabels.empty() ? m_labels : m_switchLabels.back();
        if (!labels.emplace(word(name)).second)
            compileError(name, "The game has a label of this name already: give this one a name of "
                               "its own.");
        if (m_run && m_switchLabels.empty())
            m_run->label(name);
        else if (m_run)
            m_run->caseLabel();
    }

    Tok kind() const { return m_token.kind; }
    void advance()
    {
        m_afterLineEnd = m_token.kind == Tok::Eol;
        m_token = m_ahead;
        m_ahead = nextWord();
    }
    // The next word of the text, from the words cut ahead.
    Token nextWord()
    {
        if (m_read == m_batch.size()) {
            m_batch = m_words.next();
            m_read = 0;
        }
        return m_batch[m_read++];
    }
    [[noreturn]] void stop(std::string_view expected) { throw Stopped{{m_token, expected, {}}}; }
    void expect(Tok what, std::string_view expected)
    {
        if (kind() != what)
            stop(expected);
        advance();
    }
    void skipLineEnd()
    {
        if (kind() == Tok::Eol)
            advance();
    }

    static bool startsValue(Tok t)
    {
        switch (t) {
        case Tok::Text:
        case Tok::Integer:
        case Tok::Float:
        case Tok::Listener:
        case Tok::Dollar:
        case Tok::LParen:
        case Tok::Null:
        case Tok::Nil:
        case Tok::Negate:
        case Tok::Not:
        case Tok::Complement:
            return true;
        default:
            return false;
        }
    }
    static bool startsArgument(Tok t) { return t == Tok::Name || startsValue(t); }
    static bool isPrefix(Tok t)
    {
        return t == Tok::Negate || t == Tok::Not || t == Tok::Complement;
    }

    // One statement and the line end after it.
    void statement()
    {
        declaration();
        skipLineEnd();
    }

    void declaration()
    {
        switch (kind()) {
        case Tok::Name: { // a command, or a label when a colon follows
            const Token name = m_token;
            advance();
            m_parameters.clear();
            PlainArgument first;
            arguments(true, m_run ? &first : nullptr);
            if (kind() == Tok::Colon) {
                label(name);
                for (const auto &[at, parameter] : m_parameters)
                    if (parameter != Kind::VariableField)
                        compileError(at, "The game takes only variables such as local.name as a "
                                         "label's parameters.");
                advance();
                return;
            }
            command(name, CommandKind::Plain);
            if (m_run)
                m_run->command(name, CommandKind::Plain, first, false, {});
            return;
        }
        case Tok::Case: {
            advance();
            const Token value = m_token;
            if (value.kind != Tok::Integer && value.kind != Tok::Text && value.kind != Tok::Name)
                compileError(value,
                             "The game takes only a whole number or a text as a case value.");
            argument();
            arguments();
            expect(Tok::Colon, "':' after the case value");
            return label(value);
        }
        case Tok::LBrace:
            return block();
        case Tok::If:
            advance();
            argument();
            branch();
            if (kind() == Tok::Else) {
                advance();
                branch();
            }
            return;
        case Tok::Switch: {
            advance();
            argument();
            m_switchLabels.emplace_back();
            ++m_breakable;
            const Branch cases(*this, false);
            block();
            --m_breakable;
            m_switchLabels.pop_back();
            return;
        }
        case Tok::While:
            advance();
            argument();
            return loopBody();
        case Tok::For:
            return forLoop();
        case Tok::Do:
            advance();
            loopBody();
            expect(Tok::While, "'while' after the body of 'do'");
            argument();
            return;
        case Tok::Try: {
            advance();
            {
                const Branch tried(*this, false);
                block();
            }
            expect(Tok::Catch, "'catch' after the block of 'try'");
            const Branch caught(*this, false);
            return block();
        }
        case Tok::Break:
            if (m_breakable == 0)
                compileError(m_token, "The game cannot compile break outside a loop or a switch.");
            return advance();
        case Tok::Continue:
            if (m_loops == 0)
                compileError(m_token, "The game cannot compile continue outside a loop.");
            return advance();
        case Tok::Semicolon:
            return advance();
        default:
            break;
        }
        if (!startsValue(kind()))
            stop("a command, a label or a variable at the start of a statement");
        const Kind assigned = value();
        const std::string_view root =
            m_text.substr(m_valueRoot.begin, m_valueRoot.end - m_valueRoot.begin);
        const Shape shape = m_valueShape;
        switch (kind()) {
        case Tok::Name: {
            const std::string_view object = localObject();
            const Token name = m_token;
            advance();
            PlainArgument first;
            arguments(false, m_run ? &first : nullptr);
            command(name, CommandKind::Plain);
            if (m_run)
                m_run->command(name, CommandKind::Plain, first, true, object);
            return;
        }
        case Tok::Assign:
        case Tok::OpAssign:
        case Tok::Increment:
        case Tok::Decrement: {
            if (assigned == Kind::Size)
                compileError(m_token, "The game reads size as the length of an array and "
                                      "cannot assign to it: use another name.");
            else if (!assignable(assigned))
                compileError(m_token, "The game cannot assign a value here: the left side must "
                                      "be a variable, such as local.name.");
            const bool whole = kind() == Tok::Assign;
            const bool step = kind() == Tok::Increment || kind() == Tok::Decrement;
            advance();
            // Where the value starts (it may start on the next line).
            const std::uint32_t valueAt = kind() == Tok::Eol ? m_ahead.begin : m_token.begin;
            if (!step)
                expression();
            // local.X itself changes, or an element of it: not a field of it.
            if (m_run && (shape == Shape::Whole || shape == Shape::Element)) {
                const bool spawned = whole && shape == Shape::Whole && m_spawnAt == valueAt
                                     && m_spawnEnd == m_token.begin;
                m_run->assigned(root, spawned ? &m_spawnArgument : nullptr);
            }
            return;
        }
        default:
            stop("a command, '=', '++' or '--' after the variable");
        }
    }

    // The statement after if, while, for and do: one, with line ends around it.
    // A ';' belongs to it only right after it: after a line end it is a
    // statement of its own, and an 'else' or 'while' after that is not read.
    void body()
    {
        Depth depth(*this);
        skipLineEnd();
        declaration();
        if (kind() == Tok::Semicolon && !m_afterLineEnd)
            advance();
        skipLineEnd();
    }

    // The body of if or else: it may not run.
    void branch()
    {
        const Branch mayRun(*this, false);
        body();
    }

    void loopBody()
    {
        ++m_loops;
        ++m_breakable;
        const Branch repeated(*this, true);
        body();
        --m_breakable;
        --m_loops;
    }

    void block()
    {
        Depth depth(*this);
        skipLineEnd();
        expect(Tok::LBrace, "'{'");
        skipLineEnd();
        while (kind() != Tok::RBrace) {
            if (kind() == Tok::End)
                stop("'}' to close the block");
            statement();
        }
        advance();
        skipLineEnd();
    }

    void forLoop()
    {
        advance();
        expect(Tok::LParen, "'(' after 'for'");
        if (kind() == Tok::Semicolon) {
            advance();
        } else {
            skipLineEnd();
            declaration();
            skipLineEnd();
            expect(Tok::Semicolon, "';' after the first statement of 'for'");
        }
        // The condition and the steps run again and again, as the body does.
        const Branch repeated(*this, true);
        expression();
        expect(Tok::Semicolon, "';' after the condition of 'for'");
        do {
            skipLineEnd();
            statement();
        } while (kind() != Tok::RParen);
        advance();
        loopBody();
    }

    // With parameters, each argument is kept for the label check. With
    // first, the first argument where it is a plain word or text, alone or
    // two joined by '::'.
    void arguments(bool parameters = false, PlainArgument *first = nullptr)
    {
        if (!startsArgument(kind()))
            return;
        argument(parameters, first);
        while (startsArgument(kind()))
            argument(parameters);
    }

    // A name or a text on its own, with no field or index after it.
    bool plainWord() const
    {
        return (kind() == Tok::Name || kind() == Tok::Text) && m_ahead.kind != Tok::Period
               && m_ahead.kind != Tok::LSquare;
    }

    // One argument of a command: a name or a value, or a list joined by '::'.
    // With shape, where it is plain (see arguments()).
    void argument(bool parameter = false, PlainArgument *shape = nullptr)
    {
        const Token at = m_token;
        const bool plainFirst = shape && plainWord();
        Kind k = Kind::Other;
        if (kind() == Tok::Name)
            advance();
        else
            k = value();
        if (kind() == Tok::DoubleColon) {
            k = Kind::Other;
            advance();
            const Token second = m_token;
            const bool plainSecond = plainFirst && plainWord() && m_ahead.kind != Tok::DoubleColon;
            constantItem();
            constantList();
            if (plainSecond)
                *shape = {at, second};
        } else if (plainFirst) {
            shape->first = at;
        }
        if (parameter)
            m_parameters.emplace_back(at, k);
    }

    // One item of a list joined by '::', after the '::'.
    void constantItem()
    {
        if (kind() == Tok::Name)
            advance();
        else if (startsValue(kind()))
            value();
        else
            stop("a value after '::'");
    }

    void constantList()
    {
        while (kind() == Tok::DoubleColon) {
            advance();
            constantItem();
        }
    }

    // A value that is not a bare name, with its fields and indexes. Where it
    // starts with local.X, m_valueRoot is X and m_valueShape tells what follows.
    Kind value()
    {
        if (isPrefix(kind())) {
            Depth depth(*this);
            advance();
            if (!startsValue(kind()))
                stop("a value after the sign");
            value();
            m_valueShape = Shape::None;
            return Kind::Other;
        }
        const bool local = m_run && kind() == Tok::Listener && word(m_token) == "local";
        Kind result = primary();
        Span root;
        Shape shape = Shape::None;
        for (;;) {
            if (kind() == Tok::Period) {
                advance();
                if (kind() == Tok::Size) {
                    result = Kind::Size;
                } else if (kind() == Tok::Name || kind() == Tok::Text) {
                    if (result == Kind::Listener && local) {
                        root = {m_token.begin, m_token.end};
                        shape = Shape::Whole;
                    } else if (shape == Shape::Whole) {
                        shape = Shape::Field;
                    }
                    result = result == Kind::Listener ? Kind::VariableField : Kind::Field;
                } else {
                    stop("a field name after the point");
                }
                advance();
            } else if (kind() == Tok::LSquare) {
                Depth depth(*this);
                advance();
                expression();
                expect(Tok::RSquare, "']' to close the index");
                if (shape == Shape::Whole)
                    shape = Shape::Element;
                // An element can be assigned only in an array that can be.
                result = assignable(result) ? Kind::Array : Kind::Other;
            } else {
                if (m_run) {
                    m_valueRoot = root;
                    m_valueShape = result == Kind::Size ? Shape::None : shape;
                }
                return result;
            }
        }
    }

    Kind primary()
    {
        switch (kind()) {
        case Tok::Dollar:
            advance();
            if (kind() == Tok::Name || kind() == Tok::Text) {
                advance();
            } else if (kind() == Tok::LParen) {
                Depth depth(*this);
                advance();
                expression();
                expect(Tok::RParen, "')' to close the bracket");
            } else {
                stop("a name after '$'");
            }
            return Kind::Other;
        case Tok::Listener:
            advance();
            return Kind::Listener;
        case Tok::Text:
        case Tok::Integer:
        case Tok::Float:
        case Tok::Null:
        case Tok::Nil:
            advance();
            return Kind::Other;
        case Tok::LParen:
            return bracket();
        default:
            stop("a value");
        }
    }

    // ( a ), ( a <line end> ) or the vector ( a b c ).
    Kind bracket()
    {
        Depth depth(*this);
        advance();
        const Kind inner = expression();
        if (kind() == Tok::RParen) {
            advance();
            return inner;
        }
        if (kind() == Tok::Eol && m_ahead.kind == Tok::RParen) {
            advance();
            advance();
            return inner;
        }
        expression();
        expression();
        expect(Tok::RParen, "')': a vector holds three values");
        return Kind::Other;
    }

    Kind expression()
    {
        Kind result = operand();
        while (kind() == Tok::Operator) {
            advance();
            operand();
            result = Kind::Other;
        }
        return result;
    }

    // A command read for its value. Where it is "spawn ...", its place and
    // first argument are kept, for an assignment of exactly that.
    void valueCommand(const Token &name, bool sent, std::string_view object)
    {
        PlainArgument first;
        arguments(false, m_run ? &first : nullptr);
        command(name, CommandKind::Return);
        if (!m_run)
            return;
        m_run->command(name, CommandKind::Return, first, sent, object);
        if (!sent && sameIgnoringCase(word(name), "spawn")) {
            m_spawnAt = name.begin;
            m_spawnEnd = m_token.begin;
            m_spawnArgument = first;
        }
    }

    Kind operand()
    {
        switch (kind()) {
        case Tok::Eol: // the value may start on the next line
            advance();
            return operand();
        case Tok::Name: {
            const Token name = m_token;
            advance();
            if (startsArgument(kind()))
                valueCommand(name, false, {});
            else
                constantList();
            return Kind::Other;
        }
        case Tok::MakeArray:
            makeArray();
            return Kind::Other;
        default:
            break;
        }
        if (isPrefix(kind())) {
            advance();
            call();
            return Kind::Other;
        }
        if (!startsValue(kind()))
            stop("a value");
        const Kind result = value();
        if (kind() == Tok::Name) { // a command sent to the value
            const std::string_view object = localObject();
            const Token name = m_token;
            advance();
            valueCommand(name, true, object);
            return Kind::Other;
        }
        if (kind() == Tok::DoubleColon) {
            constantList();
            return Kind::Other;
        }
        return result;
    }

    // What a sign may stand before: a value, or a command that returns one.
    void call()
    {
        Depth depth(*this);
        switch (kind()) {
        case Tok::Name: {
            const Token name = m_token;
            advance();
            if (kind() == Tok::DoubleColon)
                return constantList();
            if (!startsArgument(kind()))
                stop("a value after the command name");
            return valueCommand(name, false, {});
        }
        case Tok::MakeArray:
            return makeArray();
        case Tok::Negate:
        case Tok::Not:
        case Tok::Complement:
            advance();
            return call();
        default:
            break;
        }
        if (!startsValue(kind()))
            stop("a value after the sign");
        value();
        if (kind() == Tok::Name) {
            const std::string_view object = localObject();
            const Token name = m_token;
            advance();
            valueCommand(name, true, object);
        } else {
            constantList();
        }
    }

    void makeArray()
    {
        advance();
        for (;;) {
            if (kind() == Tok::Eol) {
                advance();
            } else if (kind() == Tok::EndArray) {
                return advance();
            } else if (startsArgument(kind())) {
                arguments();
                expect(Tok::Eol, "a line end after the row of the array");
            } else {
                stop("a value or 'endarray'");
            }
        }
    }

    // Where a value starts with local.X: X alone, X's element, or X's field.
    enum class Shape { None, Whole, Element, Field };

    std::string_view m_text;
    WordStream m_words;
    std::span<const Token> m_batch;
    std::size_t m_read = 0;
    Token m_token;
    Token m_ahead;
    bool m_afterLineEnd = false; // the word before the current one was a line end
    int m_depth = 0;
    const bool m_compile;
    // The game's compiler compiles the game's own reading of the text.
    const bool m_lookUp;
    std::optional<Found> m_compileStop;
    int m_loops = 0;
    int m_breakable = 0;
    std::set<std::string, std::less<>> m_labels;
    std::vector<std::set<std::string, std::less<>>> m_switchLabels;
    std::vector<std::pair<Token, Kind>> m_parameters;
    const Vocabulary &m_vocabulary = Vocabulary::game();
    RunChecks *const m_run;
    // Of the value just read, with run (see value()); offsets, not tokens, so
    // that no small field is read back whole right after it was written.
    struct Span
    {
        std::uint32_t begin = 0, end = 0;
    };
    Span m_valueRoot;
    Shape m_valueShape = Shape::None;
    // The last "spawn ..." read for its value: where it starts, the word
    // after it, its first argument.
    std::uint32_t m_spawnAt = 0, m_spawnEnd = 0;
    PlainArgument m_spawnArgument;
};

std::string shown(std::string_view text, const Token &token)
{
    return shown(text.substr(token.begin, token.end - token.begin));
}

std::string describe(std::string_view text, const Token &token)
{
    switch (token.kind) {
    case Tok::End:
        return "the end of the script";
    case Tok::Eol:
        return token.begin == token.end || text[token.begin] != '/' ? "the end of the line"
                                                                    : "a comment";
    case Tok::Name:
        return "the word '" + shown(text, token) + "'";
    case Tok::Text:
        return "the quoted text " + shown(text, token);
    case Tok::Integer:
    case Tok::Float:
        return "the number " + shown(text, token);
    case Tok::If:
    case Tok::Else:
    case Tok::While:
    case Tok::For:
    case Tok::Do:
    case Tok::Try:
    case Tok::Catch:
    case Tok::Switch:
    case Tok::Case:
    case Tok::Break:
    case Tok::Continue:
    case Tok::MakeArray:
    case Tok::EndArray:
    case Tok::Null:
    case Tok::Nil:
    case Tok::Listener:
    case Tok::Size:
        return "the keyword '" + shown(text, token) + "'";
    default:
        return "'" + shown(text, token) + "'";
    }
}

// The tokens that stop a script wherever they stand get a sentence of their own.
std::string sentence(std::string_view text, const Found &found)
{
    if (!found.compiled.empty())
        return found.compiled;
    switch (found.token.kind) {
    case Tok::Comma:
        return "The game reads a comma as a word of its own and cannot load the line: "
               "write 1.5, not 1,5.";
    case Tok::OpenComment:
        return "The game reads everything after /* as a comment, and no */ closes it.";
    case Tok::StrayCommentEnd:
        return "The game cannot load */ outside a comment: remove it.";
    case Tok::Question:
        return "The game cannot read '?' (one of its readers has no ?: choice): "
               "use if and else.";
    default:
        break;
    }
    return "The game cannot read " + describe(text, found.token) + " here: it needs "
           + std::string(found.expected) + ".";
}

// How many LF bytes the text holds, eight bytes at a time: a stop at the end
// of a large script has millions of bytes before it.
std::size_t lineEnds(std::string_view text)
{
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0AULL;
    std::size_t count = 0, i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const std::uint64_t x = word ^ kLineFeeds; // a zero byte where an LF was
        // The high bit set in exactly the zero bytes of x.
        const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
        count += static_cast<std::size_t>(std::popcount(zero));
    }
    for (; i < text.size(); ++i)
        count += text[i] == '\n';
    return count;
}

Stop locate(std::string_view text, const Found &found)
{
    Stop stop;
    stop.offset = found.token.begin;
    const std::string_view before = text.substr(0, std::min(stop.offset, text.size()));
    // As the game counts: an LF ends a line, a lone CR does not.
    stop.line = lineEnds(before) + 1;
    const std::size_t lineStart = before.rfind('\n');
    stop.column = stop.offset - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    stop.sentence = sentence(text, found);
    return stop;
}

} // namespace

namespace {

struct Reading
{
    std::optional<Stop> stop;
    std::size_t dialectWordAt = std::string_view::npos;
    std::size_t length = 0; // of the text read; less than the whole after a NUL byte
};

Reading read(std::string_view text, Dialect dialect, Stages stages, RunChecks *run = nullptr)
{
    Parser parser(text, dialect, stages, run);
    Reading reading;
    try {
        parser.program();
        if (parser.compileStop())
            reading.stop = locate(text, *parser.compileStop());
    } catch (const Stopped &stopped) {
        reading.stop = locate(text, stopped.found);
    }
    reading.dialectWordAt = parser.dialectWordAt();
    reading.length = parser.length();
    return reading;
}

// Both readings: run learns of the script from the game's own.
std::optional<Stop> readBoth(std::string_view text, Stages stages, RunChecks *run)
{
    // Most scripts read the same in both: the second reading is only needed
    // where the other reader cuts a word differently before the game's stop
    // (anywhere, when the game reads it all), or a NUL byte ends the game's text.
    Reading game = read(text, Dialect::Game, stages, run);
    const bool differs = game.dialectWordAt != std::string_view::npos
                         && (!game.stop || game.dialectWordAt <= game.stop->offset);
    if (!differs && game.length == text.size())
        return game.stop;
    std::optional<Stop> library = read(text, Dialect::Library, stages).stop;
    if (!game.stop || (library && library->offset < game.stop->offset))
        return library;
    return game.stop;
}

// Lines and columns for offsets met in the order of the text.
class Lines
{
public:
    explicit Lines(std::string_view text)
        : m_text(text)
    {}
    template <class T>
    void place(T &at)
    {
        const std::size_t offset = std::min(at.offset, m_text.size());
        if (offset < m_counted) // out of order: count again from the start
            m_counted = 0, m_line = 1;
        m_line += lineEnds(m_text.substr(m_counted, offset - m_counted));
        m_counted = offset;
        const std::size_t lineStart = m_text.substr(0, offset).rfind('\n');
        at.line = m_line;
        at.column = offset - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    }

private:
    std::string_view m_text;
    std::size_t m_counted = 0, m_line = 1;
};

} // namespace

std::optional<Stop> readScript(std::string_view text, Dialect dialect, Stages stages)
{
    return read(text, dialect, stages).stop;
}

std::optional<Stop> readScript(std::string_view text, Stages stages)
{
    return readBoth(text, stages, nullptr);
}

LevelScript readLevelScript(std::string_view text)
{
    LevelScript script;
    RunChecks run(text);
    script.stop = readBoth(text, Stages::All, &run);
    if (script.stop)
        return script;
    run.finish(script);
    Lines lines(text);
    for (Warning &warning : script.warnings)
        lines.place(warning);
    for (LabelUse &use : script.labelsUsed)
        lines.place(use);
    return script;
}

} // namespace script
