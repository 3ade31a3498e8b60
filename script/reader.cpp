#include "reader.h"

#include "words.h"
#include "wordstream.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace script {
namespace {

// Levels of brackets, braces, indexes, signs and nested statements: deeper
// than any script a person writes, yet well within the stack of any thread
// here (the game's own reader gives up far sooner).
constexpr int kMaxDepth = 1000;

// Past how many stops a reading for an editor gives up reading on.
constexpr int kMostStops = 10'000;

// The breaks (and the continues) the game's compiler holds at once, until the
// loops and switches around them end; a switch holds one of its own.
constexpr int kJumpsAtOnce = 100;

struct Found
{
    Token token;
    StopKind kind = StopKind::CannotRead;
    std::string_view expected; // what the game needed there
    std::string compiled;      // for a line it read but cannot compile, the sentence
    std::string nearest;       // the word probably meant, where the sentence names one
};

// Thrown to unwind the recursive descent at the first stop.
struct Stopped
{
    Found found;
};

// The listener of a reading that nobody listens to.
ReadListener &nobody()
{
    static ReadListener none;
    return none;
}

// Why the game's compiler refuses a command it looks up in vain; nearest, the
// one probably meant where the sentence names one.
std::string unknownCommand(const Vocabulary &vocabulary, std::string_view name, CommandKind kind,
                           std::string &nearest)
{
    const std::string game(gameName(vocabulary.target()));
    const std::string quoted = "'" + shown(name) + "'";
    if (kind == CommandKind::Plain && vocabulary.knows(name, CommandKind::Return))
        return game + " knows " + quoted
               + " only as a command that gives a value and will not load the script: use it "
                 "where a value is read, as after '='.";
    if (kind == CommandKind::Return && vocabulary.knows(name, CommandKind::Plain))
        return game + " knows " + quoted
               + " only as a command that gives no value and will not load the script: use it "
                 "as a statement of its own.";
    const std::string sentence = game + " knows no command " + quoted
                                 + (kind == CommandKind::Return ? " that gives a value" : "")
                                 + " and will not load the script";
    if (const Releases elsewhere = vocabulary.knownIn(name, kind))
        return sentence + " (" + whoKnows(elsewhere) + ").";
    nearest = vocabulary.nearestCommand(name, kind);
    return sentence + didYouMean(nearest);
}

// A whole number as the compiler keeps it: as large as its integers go.
std::string wholeNumber(std::string_view digits)
{
    constexpr std::uint64_t kLargest = 2147483647;
    std::uint64_t value = 0;
    for (char c : digits)
        value = std::min(kLargest, value * 10 + std::uint64_t(c - '0'));
    return std::to_string(value);
}

// The class whose fields a listener's own fields are, by the listener's word;
// empty for self and owner, which may be any object.
std::string_view listenerClass(std::string_view listener)
{
    if (listener == "game")
        return "Game";
    if (listener == "level")
        return "Level";
    if (listener == "local")
        return "ScriptThread";
    if (listener == "parm")
        return "Parm";
    if (listener == "group")
        return "ScriptClass";
    return {};
}

class Parser
{
public:
    Parser(std::string_view text, Dialect dialect, Stages stages, const Vocabulary &vocabulary,
           ReadListener &listener, bool readOn)
        : m_text(text)
        , m_words(text, dialect)
        , m_compile(stages != Stages::ReadingOnly)
        , m_lookUp(stages == Stages::All && dialect == Dialect::Game)
        , m_vocabulary(vocabulary)
        , m_listener(listener)
        , m_readOn(readOn)
    {
        m_token = nextWord();
        m_ahead = nextWord();
    }

    // The statements of the text. Read on past a stop, the next line is read
    // as if it started the text, so that the listener hears what follows.
    void program()
    {
        skipLineEnd();
        while (m_token.kind != Tok::End) {
            if (!m_readOn) {
                statement();
                continue;
            }
            try {
                statement();
            } catch (Stopped &stopped) {
                if (!m_stop)
                    m_stop = std::move(stopped.found);
                if (m_stop->kind == StopKind::TooDeep || ++m_stops > kMostStops)
                    return;
                passLine();
            }
        }
    }

    // The first stop, where the reading read on past it.
    const std::optional<Found> &stopReadOn() const { return m_stop; }

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
                m_parser.stop("less nesting of brackets, braces or statements", StopKind::TooDeep);
        }
        ~Depth() { --m_parser.m_depth; }
        Depth(const Depth &) = delete;
        Depth &operator=(const Depth &) = delete;
        Parser &m_parser;
    };

    // A body that may not run, or may run again, as the listener hears of it.
    struct Branch
    {
        Branch(Parser &parser, bool loop)
            : m_listener(parser.m_listener)
        {
            m_listener.entered(loop);
        }
        ~Branch() { m_listener.left(); }
        Branch(const Branch &) = delete;
        Branch &operator=(const Branch &) = delete;
        ReadListener &m_listener;
    };

    // Where breaks and continues may stand, and how many the compiler holds
    // until the loop or switch being read ends.
    struct Jumps
    {
        int loops = 0, breakable = 0;
        int breaks = 0, continues = 0;
    };
    struct JumpScope
    {
        JumpScope(Parser &parser, bool loop)
            : m_parser(parser)
            , m_saved(parser.m_jumps)
        {
            ++m_parser.m_jumps.breakable;
            m_parser.m_jumps.loops += loop;
            m_parser.m_jumps.breaks += !loop; // a switch holds one of its own
        }
        ~JumpScope() { m_parser.m_jumps = m_saved; }
        JumpScope(const JumpScope &) = delete;
        JumpScope &operator=(const JumpScope &) = delete;
        Parser &m_parser;
        Jumps m_saved;
    };

    // The words read while it lives, kept (a case value, judged once read).
    struct Capture
    {
        Capture(Parser &parser, std::vector<Token> &words)
            : m_parser(parser)
        {
            m_parser.m_capture = &words;
        }
        ~Capture() { m_parser.m_capture = nullptr; }
        Capture(const Capture &) = delete;
        Capture &operator=(const Capture &) = delete;
        Parser &m_parser;
    };

    // What an expression is, as far as assigning to it goes.
    enum class Kind { Other, Listener, VariableField, Field, Array, Size };
    // Where a value starts with a listener's field: the field alone, its
    // element, or a field of it.
    enum class Shape { None, Whole, Element, Field };

    static bool assignable(Kind k)
    {
        return k == Kind::VariableField || k == Kind::Field || k == Kind::Array;
    }

    std::string_view word(const Token &t) const { return wordOf(m_text, t); }

    // Only the first line the game cannot compile counts.
    void compileError(const Token &at, StopKind why, std::string sentence, std::string nearest = {})
    {
        if (m_compile && !m_compileStop)
            m_compileStop = Found{at, why, {}, std::move(sentence), std::move(nearest)};
    }

    // The compiler looks every command up, once its arguments are read; the
    // listener hears of it after.
    void command(CommandRead read)
    {
        if (m_lookUp && !m_compileStop) {
            const std::string_view written = word(read.name);
            const std::string unescapedName = read.name.escaped ? unescaped(written) : "";
            const std::string_view name = read.name.escaped ? unescapedName : written;
            if (!m_vocabulary.knows(name, read.kind)) {
                std::string nearest;
                std::string why = unknownCommand(m_vocabulary, name, read.kind, nearest);
                compileError(read.name, StopKind::UnknownCommand, std::move(why),
                             std::move(nearest));
            }
        }
        m_listener.command(read);
    }

    // The X of local.X where the value just read is that and nothing more.
    Token localObject() const
    {
        if (m_valueShape == Shape::Whole && word(m_valueListener) == "local")
            return m_valueRoot;
        return {};
    }

    // A label's name as the compiler keeps it: escapes read, quotes dropped,
    // a number as the number it is ("01" and "1" are one label).
    std::string_view labelName(const Token &token)
    {
        std::string_view name = word(token);
        if (token.kind == Tok::Text)
            name = name.substr(1, name.size() - 2);
        if (token.kind == Tok::Integer) {
            std::string number = wholeNumber(name);
            return number == name ? name : keep(std::move(number));
        }
        return token.escaped ? keep(unescaped(name)) : name;
    }
    // A name that is in no word of the text, kept while the text is read.
    std::string_view keep(std::string name) { return m_names.emplace_back(std::move(name)); }

    // Labels outside a switch, and those of each switch being read, each
    // once, as the compiler keeps them.
    void label(const Token &at, std::string_view name, const Token &colon)
    {
        const bool fresh = m_switchDepth == 0
                               ? m_labels.insert(name, {}).second
                               : m_switchLabels[m_switchDepth - 1].insert(name, {}).second;
        if (!fresh)
            compileError(at, StopKind::DuplicateLabel,
                         "The game has a label of this name already: give this one a name of "
                         "its own.");
        if (m_switchDepth == 0)
            m_listener.label(at, name, colon.begin);
        else
            m_listener.caseLabel();
    }

    // The parameters of a label or a case: each a variable such as local.name.
    void checkParameters()
    {
        for (const Parameter &parameter : m_parameters) {
            if (parameter.kind != Kind::VariableField) {
                compileError(parameter.at, StopKind::ParameterNotVariable,
                             "The game takes only variables such as local.name as a label's "
                             "parameters.");
            } else if (m_lookUp && parameter.builtIn) {
                compileError(parameter.at, StopKind::BuiltInParameter,
                             "The game keeps '" + shown(word(parameter.field))
                                 + "' as a field of its own and takes no parameter "
                                   "of that name: use another name.");
            }
        }
    }

    Tok kind() const { return m_token.kind; }
    void advance()
    {
        if (m_capture)
            m_capture->push_back(m_token);
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
    [[noreturn]] void stop(std::string_view expected, StopKind why = StopKind::CannotRead)
    {
        throw Stopped{{m_token, why, expected, {}, {}}};
    }
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
    void passLine()
    {
        while (kind() != Tok::Eol && kind() != Tok::End)
            advance();
        skipLineEnd();
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

    // One statement, by the word it starts with.
    void declaration()
    {
        switch (kind()) {
        case Tok::Name:
            return labelOrCommand();
        case Tok::Case:
            return caseLabel();
        case Tok::LBrace:
            return block();
        case Tok::If:
            return ifStatement();
        case Tok::Switch:
            return switchStatement();
        case Tok::While:
            return whileLoop();
        case Tok::For:
            return forLoop();
        case Tok::Do:
            return doLoop();
        case Tok::Try:
            return tryCatch();
        case Tok::Break:
            return breakStatement();
        case Tok::Continue:
            return continueStatement();
        case Tok::Semicolon:
            return advance();
        default:
            return objectStatement();
        }
    }

    // A command alone, or a label when a colon follows its words.
    void labelOrCommand()
    {
        const Token name = m_token;
        advance();
        m_parameters.clear();
        PlainArgument first;
        arguments(true, &first);
        if (kind() == Tok::Colon) {
            label(name, labelName(name), m_token);
            checkParameters();
            return advance();
        }
        command({name, CommandKind::Plain, first, false, {}});
    }

    // case VALUE PARAMETERS: where VALUE is a whole number, a negated one, or
    // a text or name, as the compiler takes a case value.
    void caseLabel()
    {
        advance();
        std::vector<Token> value;
        {
            const Capture capture(*this, value);
            argument();
        }
        m_parameters.clear();
        arguments(true);
        const Token colon = m_token;
        expect(Tok::Colon, "':' after the case value");
        const std::optional<std::string_view> name = caseName(value);
        if (!name)
            compileError(value.front(), StopKind::CaseValue,
                         "The game takes only a whole number, a negated one or a "
                         "text as a case value.");
        else if (!name->empty())
            label(value.front(), *name, colon);
        else // a label all the same, of a name nobody can call
            m_listener.caseLabel();
        checkParameters();
    }

    // The label a case value makes: nothing for a value the compiler refuses;
    // an empty name for a negated value other than a number (the compiler
    // takes it, but its label cannot be foretold).
    std::optional<std::string_view> caseName(std::span<const Token> value)
    {
        // Brackets around a value leave it as it is.
        while (value.size() >= 3 && value.front().kind == Tok::LParen
               && value.back().kind == Tok::RParen && enclosed(value)) {
            value = value.subspan(1, value.size() - 2);
            while (!value.empty() && value.front().kind == Tok::Eol)
                value = value.subspan(1);
            if (!value.empty() && value.back().kind == Tok::Eol)
                value = value.first(value.size() - 1);
        }
        if (value.size() == 1
            && (value[0].kind == Tok::Integer || value[0].kind == Tok::Text
                || value[0].kind == Tok::Name))
            return labelName(value[0]);
        if (value.empty() || value[0].kind != Tok::Negate
            || std::any_of(value.begin(), value.end(),
                           [](const Token &t) { return t.kind == Tok::DoubleColon; }))
            return std::nullopt;
        if (value.size() == 2 && value[1].kind == Tok::Integer) {
            const std::string_view number = labelName(value[1]);
            return number == "0" ? number : keep("-" + std::string(number));
        }
        return std::string_view();
    }

    // Whether the first word of value, an opening bracket, is closed by its last.
    static bool enclosed(std::span<const Token> value)
    {
        int depth = 0;
        for (std::size_t i = 0; i < value.size(); ++i) {
            depth += value[i].kind == Tok::LParen ? 1 : value[i].kind == Tok::RParen ? -1 : 0;
            if (depth == 0)
                return i + 1 == value.size();
        }
        return false;
    }

    void ifStatement()
    {
        advance();
        argument();
        branch();
        if (kind() == Tok::Else) {
            advance();
            branch();
        }
    }

    void switchStatement()
    {
        advance();
        argument();
        // Each switch has labels of its own, for as long as it is read.
        if (m_switchLabels.size() == m_switchDepth)
            m_switchLabels.emplace_back();
        m_switchLabels[m_switchDepth++].clear();
        struct Left // also where the reading stops inside, and reads on
        {
            std::size_t &depth;
            ~Left() { --depth; }
        } left{m_switchDepth};
        const JumpScope jumps(*this, false);
        const Branch cases(*this, false);
        block();
    }

    void whileLoop()
    {
        advance();
        argument();
        const JumpScope jumps(*this, true);
        const Branch repeated(*this, true);
        body();
    }

    void doLoop()
    {
        advance();
        {
            const JumpScope jumps(*this, true);
            const Branch repeated(*this, true);
            body();
        }
        expect(Tok::While, "'while' after the body of 'do'");
        argument();
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
        // The condition and the steps run again and again, as the body does;
        // the steps run after the body, as the compiler puts them, where a
        // break may stand but a continue only as outside the loop.
        const JumpScope jumps(*this, true);
        const Branch repeated(*this, true);
        expression();
        expect(Tok::Semicolon, "';' after the condition of 'for'");
        const int loops = std::exchange(m_jumps.loops, jumps.m_saved.loops);
        do {
            skipLineEnd();
            statement();
        } while (kind() != Tok::RParen);
        m_jumps.loops = loops;
        advance();
        // The body runs before the steps do.
        const Branch bodyRuns(*this, true);
        body();
    }

    void tryCatch()
    {
        advance();
        {
            const Branch tried(*this, false);
            block();
        }
        expect(Tok::Catch, "'catch' after the block of 'try'");
        const Branch caught(*this, false);
        block();
    }

    void breakStatement()
    {
        if (m_jumps.breakable == 0)
            compileError(m_token, StopKind::BreakOutside,
                         "The game cannot compile break outside a loop or a switch.");
        else if (++m_jumps.breaks > kJumpsAtOnce)
            compileError(m_token, StopKind::TooManyBreaks,
                         "The game compiles no more than " + std::to_string(kJumpsAtOnce)
                             + " breaks in the loops and switches around one another, "
                               "a switch counting as one: split this one.");
        advance();
    }

    void continueStatement()
    {
        if (m_jumps.loops == 0)
            compileError(m_token, StopKind::ContinueOutside,
                         "The game cannot compile continue outside a loop.");
        else if (++m_jumps.continues > kJumpsAtOnce)
            compileError(m_token, StopKind::TooManyContinues,
                         "The game compiles no more than " + std::to_string(kJumpsAtOnce)
                             + " continues in the loops around one another: split this "
                               "one.");
        advance();
    }

    // A statement that starts with a value: a command sent to it, or an
    // assignment to it.
    void objectStatement()
    {
        if (!startsValue(kind()))
            stop("a command, a label or a variable at the start of a statement");
        const Kind assigned = value();
        switch (kind()) {
        case Tok::Name: {
            const Token object = localObject();
            const Token name = m_token;
            advance();
            PlainArgument first;
            arguments(false, &first);
            return command({name, CommandKind::Plain, first, true, object});
        }
        case Tok::Assign:
        case Tok::OpAssign:
        case Tok::Increment:
        case Tok::Decrement:
            return assignment(assigned);
        default:
            stop("a command, '=', '++' or '--' after the variable");
        }
    }

    // After the value assigned to, which the compiler must be able to assign.
    void assignment(Kind assigned)
    {
        if (assigned == Kind::Size)
            compileError(m_token, StopKind::CannotAssign,
                         "The game reads size as the length of an array and cannot "
                         "assign to it: use another name.");
        else if (!assignable(assigned))
            compileError(m_token, StopKind::CannotAssign,
                         "The game cannot assign a value here: the left side must be a "
                         "variable, such as local.name.");
        // local.X itself changes, or an element of it: not a field of it.
        const bool local = (m_valueShape == Shape::Whole || m_valueShape == Shape::Element)
                           && word(m_valueListener) == "local";
        const Token variable = local ? m_valueRoot : Token{};
        const Token listener = m_valueListener, field = m_valueRoot;
        const bool fieldOfIt = m_valueShape == Shape::Field;
        const bool element = m_valueShape == Shape::Element;
        const bool whole = kind() == Tok::Assign;
        const bool step = kind() == Tok::Increment || kind() == Tok::Decrement;
        advance();
        // Where the value starts (it may start on the next line).
        const std::uint32_t valueAt = kind() == Tok::Eol ? m_ahead.begin : m_token.begin;
        if (!step)
            expression();
        if (field.kind == Tok::End)
            return;
        const bool oneCommand =
            m_valueCommand.begin == valueAt && m_valueCommand.end == m_token.begin;
        m_listener.assigned({variable, element, whole,
                             oneCommand ? valueAt : AssignmentRead::kNoCommand, listener, field,
                             fieldOfIt});
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

    // With parameters, each argument is kept for the label's check. With
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
        const Shape valueShape = m_valueShape;
        const Token field = m_valueRoot, listener = m_valueListener;
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
            m_parameters.push_back({at, k, field,
                                    k == Kind::VariableField && valueShape == Shape::Whole
                                        && builtIn(listener, field)});
    }

    // Whether the compiler keeps listener.field as a field of its own: a
    // setter of that name that the listener answers, or any setter for self
    // and owner, which may be any object.
    bool builtIn(const Token &listener, const Token &field) const
    {
        const std::string_view name = word(field);
        if (!m_lookUp || field.kind != Tok::Name || field.escaped || !m_vocabulary.isSetter(name))
            return false;
        const std::string_view gameClass = listenerClass(word(listener));
        return gameClass.empty() || m_vocabulary.answersSetter(gameClass, name);
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
    // starts with a listener's field, m_valueListener and m_valueRoot are
    // those words and m_valueShape tells what follows.
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
        const Token start = m_token;
        Kind result = primary();
        Token root;
        Shape shape = Shape::None;
        for (;;) {
            if (kind() == Tok::Period) {
                advance();
                if (kind() == Tok::Size) {
                    result = Kind::Size;
                } else if (kind() == Tok::Name || kind() == Tok::Text) {
                    if (result == Kind::Listener) {
                        root = m_token;
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
                m_valueListener = start;
                m_valueRoot = root;
                m_valueShape = result == Kind::Size ? Shape::None : shape;
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

    // A command read for its value. Where it is sent to nothing, its place is
    // kept, for an assignment of exactly its value.
    void valueCommand(const Token &name, bool sent, const Token &object)
    {
        PlainArgument first;
        arguments(false, &first);
        command({name, CommandKind::Return, first, sent, object});
        if (!sent)
            m_valueCommand = {name.begin, m_token.begin};
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
            const Token object = localObject();
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
            const Token object = localObject();
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

    struct Parameter
    {
        Token at;
        Kind kind;
        Token field;  // of listener.field
        bool builtIn; // a field the compiler keeps for itself
    };

    std::string_view m_text;
    WordStream m_words;
    std::span<const Token> m_batch;
    std::size_t m_read = 0;
    Token m_token;
    Token m_ahead;
    bool m_afterLineEnd = false;             // the word before the current one was a line end
    std::vector<Token> *m_capture = nullptr; // where words read are kept, while one is given
    int m_depth = 0;
    const bool m_compile;
    // The game's compiler compiles the game's own reading of the text.
    const bool m_lookUp;
    const Vocabulary &m_vocabulary;
    ReadListener &m_listener;
    const bool m_readOn; // past a stop, for a listener that hears the whole text
    std::optional<Found> m_stop;
    int m_stops = 0;
    std::optional<Found> m_compileStop;
    Jumps m_jumps;
    // The labels read outside any switch, and in each switch being read, by
    // how deep it is; a table left by a switch is used again by the next.
    NameTable<Nothing, false> m_labels;
    std::vector<NameTable<Nothing, false>> m_switchLabels;
    std::size_t m_switchDepth = 0;
    std::deque<std::string> m_names; // see keep()
    std::vector<Parameter> m_parameters;
    // Of the value just read (see value()).
    Token m_valueListener, m_valueRoot;
    Shape m_valueShape = Shape::None;
    // The last command read for its value and sent to nothing: where its name
    // starts, and the word after its arguments.
    struct
    {
        std::uint32_t begin = UINT32_MAX, end = 0;
    } m_valueCommand;
};

std::string describe(std::string_view text, const Token &token)
{
    const std::string word = shown(wordOf(text, token));
    switch (token.kind) {
    case Tok::End:
        return "the end of the script";
    case Tok::Eol:
        return token.begin == token.end || text[token.begin] != '/' ? "the end of the line"
                                                                    : "a comment";
    case Tok::Name:
        return "the word '" + word + "'";
    case Tok::Text:
        return "the quoted text " + word;
    case Tok::Integer:
    case Tok::Float:
        return "the number " + word;
    case Tok::Listener:
    case Tok::Size:
        return "the keyword '" + word + "'";
    default:
        return isKeyword(token.kind) ? "the keyword '" + word + "'" : "'" + word + "'";
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

Stop locate(std::string_view text, const Found &found)
{
    const Place place = Places(text).at(found.token.begin);
    return {found.token.begin, found.token.end,       place.line,   place.column,
            found.kind,        sentence(text, found), found.nearest};
}

struct Reading
{
    std::optional<Stop> stop;
    std::size_t dialectWordAt = std::string_view::npos;
    std::size_t length = 0; // of the text read; less than the whole after a NUL byte
};

Reading read(std::string_view text, Dialect dialect, Stages stages, const Vocabulary &vocabulary,
             ReadListener &listener, bool readOn = false)
{
    Parser parser(text, dialect, stages, vocabulary, listener, readOn);
    Reading reading;
    try {
        parser.program();
        if (parser.stopReadOn())
            reading.stop = locate(text, *parser.stopReadOn());
        else if (parser.compileStop())
            reading.stop = locate(text, *parser.compileStop());
    } catch (const Stopped &stopped) {
        reading.stop = locate(text, stopped.found);
    }
    reading.dialectWordAt = parser.dialectWordAt();
    reading.length = parser.length();
    return reading;
}

} // namespace

std::string_view code(StopKind kind)
{
    switch (kind) {
    case StopKind::CannotRead:
        return "cannot-read";
    case StopKind::TooDeep:
        return "too-deep";
    case StopKind::UnknownCommand:
        return "unknown-command";
    case StopKind::DuplicateLabel:
        return "duplicate-label";
    case StopKind::CannotAssign:
        return "cannot-assign";
    case StopKind::BreakOutside:
        return "break-outside";
    case StopKind::ContinueOutside:
        return "continue-outside";
    case StopKind::TooManyBreaks:
        return "too-many-breaks";
    case StopKind::TooManyContinues:
        return "too-many-continues";
    case StopKind::CaseValue:
        return "case-value";
    case StopKind::ParameterNotVariable:
        return "parameter-not-variable";
    case StopKind::BuiltInParameter:
        return "built-in-parameter";
    }
    return {};
}

std::optional<Stop> readScript(std::string_view text, Dialect dialect, Stages stages,
                               const Vocabulary &vocabulary)
{
    return read(text, dialect, stages, vocabulary, nobody()).stop;
}

std::optional<Stop> readScript(std::string_view text, Stages stages, const Vocabulary &vocabulary,
                               ReadListener *listener, bool readOn)
{
    // Most scripts read the same in both: the second reading is only needed
    // where the other reader cuts a word differently before the game's stop
    // (anywhere, when the game reads it all), or a NUL byte ends the game's text.
    const Reading game =
        read(text, Dialect::Game, stages, vocabulary, listener ? *listener : nobody(), readOn);
    const bool differs = game.dialectWordAt != std::string_view::npos
                         && (!game.stop || game.dialectWordAt <= game.stop->offset);
    if (!differs && game.length == text.size())
        return game.stop;
    std::optional<Stop> library = read(text, Dialect::Library, stages, vocabulary, nobody()).stop;
    if (!game.stop || (library && library->offset < game.stop->offset))
        return library;
    return game.stop;
}

} // namespace script
