#include "lexer.h"

#include <array>
#include <utility>

namespace script {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isHigh(char c) { return static_cast<unsigned char>(c) >= 0x80; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isSpace(char c) { return isBlank(c) || isLineEnd(c) || c == '\v' || c == '\f'; }
bool isAlnum(char c) { return isLetter(c) || isDigit(c) || c == '_'; }

// Everything but brackets, braces, line ends, comma, colon, semicolon and blanks
// can be part of a word.
bool isWordChar(char c)
{
    switch (c) {
    case '{':
    case '}':
    case '(':
    case ')':
    case '[':
    case ']':
    case '\r':
    case '\n':
    case ',':
    case ':':
    case ';':
    case ' ':
    case '\t':
        return false;
    default:
        return true;
    }
}

// What a variable name after "local." or "$" may hold.
bool isVariableChar(char c) { return isAlnum(c) || c == '"' || c == '$' || c == '\\'; }

// What turns a number just before it into a word (a point among them).
bool isNonNumeric(char c)
{
    switch (c) {
    case '_':
    case '"':
    case '\'':
    case '?':
    case '@':
    case '#':
    case '`':
    case '.':
        return true;
    default:
        return isLetter(c) || isHigh(c);
    }
}

// What turns a quoted text just before it into a word.
bool isNonExpression(char c) { return isDigit(c) || isNonNumeric(c); }

struct Keyword
{
    std::string_view word;
    Tok kind;
};

constexpr std::array kKeywords{
    Keyword{"end", Tok::Name},
    Keyword{"if", Tok::If},
    Keyword{"else", Tok::Else},
    Keyword{"while", Tok::While},
    Keyword{"for", Tok::For},
    Keyword{"do", Tok::Do},
    Keyword{"game", Tok::Listener},
    Keyword{"group", Tok::Listener},
    Keyword{"level", Tok::Listener},
    Keyword{"local", Tok::Listener},
    Keyword{"parm", Tok::Listener},
    Keyword{"owner", Tok::Listener},
    Keyword{"self", Tok::Listener},
    Keyword{"NULL", Tok::Null},
    Keyword{"NIL", Tok::Nil},
    Keyword{"try", Tok::Try},
    Keyword{"catch", Tok::Catch},
    Keyword{"switch", Tok::Switch},
    Keyword{"case", Tok::Case},
    Keyword{"break", Tok::Break},
    Keyword{"continue", Tok::Continue},
    Keyword{"makearray", Tok::MakeArray},
    Keyword{"makeArray", Tok::MakeArray},
    Keyword{"endarray", Tok::EndArray},
    Keyword{"endArray", Tok::EndArray},
    Keyword{"ifequal", Tok::Operator},
    Keyword{"ifstrequal", Tok::Operator},
    Keyword{"ifnotequal", Tok::Operator},
    Keyword{"ifstrnotequal", Tok::Operator},
    Keyword{"ifless", Tok::Operator},
    Keyword{"ifgreater", Tok::Operator},
    Keyword{"iflessequal", Tok::Operator},
    Keyword{"ifgreaterequal", Tok::Operator},
};

} // namespace

Lexer::Lexer(std::string_view text, Dialect dialect) noexcept
    : m_text(text)
    , m_dialect(dialect)
{
    // The game reads a script as a C string: a NUL byte ends it.
    if (dialect == Dialect::Game)
        m_text = text.substr(0, text.find('\0'));
}

Token Lexer::make(Tok kind, std::size_t begin, std::size_t end, bool escaped) noexcept
{
    m_pos = end;
    return {kind, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end), escaped};
}

Token Lexer::next() noexcept
{
    if (m_state == State::CheckVariable) {
        m_state = State::Initial;
        std::size_t p = m_pos;
        while (isBlank(at(p)))
            ++p;
        if (at(p) == '.' && fieldAhead(p + 1)) {
            m_pos = p;
            m_state = State::Variables;
        }
    }
    Token token;
    if (m_state != State::Variables || !variables(token)) {
        m_state = State::Initial;
        token = initial();
    }
    m_previous = token.kind;
    return token;
}

// After the point of a field: digits, then anything but a digit or a space.
bool Lexer::fieldAhead(std::size_t at) const noexcept
{
    while (at < m_text.size() && isDigit(m_text[at]))
        ++at;
    return at < m_text.size() && !isSpace(m_text[at]);
}

bool Lexer::variables(Token &token) noexcept
{
    if (m_pos >= m_text.size())
        return false;
    const char c = m_text[m_pos];
    if (isBlank(c) || c == '.') {
        std::size_t p = m_pos;
        while (isBlank(at(p)))
            ++p;
        if (at(p) != '.' || !fieldAhead(p + 1))
            return false;
        token = make(Tok::Period, p, p + 1);
        return true;
    }
    if (!isVariableChar(c))
        return false;
    std::size_t run = m_pos;
    bool escaped = false;
    while (run < m_text.size() && isVariableChar(m_text[run])) {
        escaped = escaped || m_text[run] == '\\';
        ++run;
    }
    if (run - m_pos == 4 && m_text.substr(m_pos, 4) == "size") {
        m_state = State::Initial;
        token = make(Tok::Size, m_pos, run);
        return true;
    }
    if (c == '"') {
        bool textEscaped = false;
        const std::size_t end = closedText(m_pos, textEscaped);
        if (end != 0 && end >= run) {
            m_state = State::Initial;
            token = make(Tok::Text, m_pos, end, textEscaped);
            return true;
        }
    }
    token = make(Tok::Name, m_pos, run, escaped);
    return true;
}

Token Lexer::initial() noexcept
{
    while (m_pos < m_text.size()) {
        const std::size_t p = m_pos;
        const char c = m_text[p];
        if (isBlank(c)) {
            const char n1 = at(p + 1), n2 = at(p + 2);
            if (n1 == '-') {
                if (n2 == '-')
                    return make(Tok::Decrement, p + 1, p + 3);
                if (n2 == '=')
                    return make(Tok::OpAssign, p + 1, p + 3);
                if (isBlank(n2))
                    return make(Tok::Operator, p + 1, p + 3);
                return make(Tok::Negate, p + 1, p + 2);
            }
            if (n1 == '+' && n2 == '+')
                return make(Tok::Increment, p + 1, p + 3);
            ++m_pos;
            continue;
        }
        if (isLineEnd(c)) {
            std::size_t end = p;
            while (end < m_text.size() && isLineEnd(m_text[end]))
                ++end;
            if (m_previous != Tok::Eol)
                return make(Tok::Eol, p, end);
            m_pos = end;
            continue;
        }
        if (c == '\\' && isLineEnd(at(p + 1))) { // the line goes on in the next one
            m_pos = p + 1;
            while (m_pos < m_text.size() && isLineEnd(m_text[m_pos]))
                ++m_pos;
            continue;
        }
        if (c == '/' && at(p + 1) == '*') {
            const std::size_t close = m_text.find("*/", p + 2);
            if (close == std::string_view::npos) {
                Token open = make(Tok::OpenComment, p, p + 2);
                m_pos = m_text.size();
                if (m_dialect == Dialect::Library) // a comment to the end
                    continue;
                return open;
            }
            m_pos = close + 2;
            continue;
        }
        if (c == '/' && at(p + 1) == '/') {
            while (m_pos < m_text.size() && !isLineEnd(m_text[m_pos]))
                ++m_pos;
            if (m_previous != Tok::Eol)
                return make(Tok::Eol, p, m_pos);
            continue;
        }
        if (m_dialect == Dialect::Library && (c == ',' || (c == '*' && at(p + 1) == '/'))) {
            m_pos = p + (c == ',' ? 1 : 2); // the library passes over these
            continue;
        }
        if (c == '"')
            return quoted();
        if (isDigit(c) || c == '.')
            return number();
        if (isLetter(c) || c == '_')
            return word();
        return punctuation();
    }
    // The game adds a line end to every script it reads.
    if (m_previous != Tok::Eol && !m_endLineGiven) {
        m_endLineGiven = true;
        return make(Tok::Eol, m_text.size(), m_text.size());
    }
    return make(Tok::End, m_text.size(), m_text.size());
}

Token Lexer::name(std::size_t begin) noexcept
{
    std::size_t end = begin + 1;
    bool escaped = m_text[begin] == '\\';
    while (end < m_text.size() && isWordChar(m_text[end])) {
        escaped = escaped || m_text[end] == '\\';
        ++end;
    }
    return make(Tok::Name, begin, end, escaped);
}

// End of a quoted text that opens at begin and closes on the same line, or 0.
std::size_t Lexer::closedText(std::size_t begin, bool &escaped) const noexcept
{
    std::size_t p = begin + 1;
    escaped = false;
    while (p < m_text.size() && m_text[p] != '"' && !isLineEnd(m_text[p])) {
        if (m_text[p] == '\\') {
            if (p + 1 >= m_text.size() || m_text[p + 1] == '\n')
                return 0;
            escaped = true;
            ++p;
        }
        ++p;
    }
    return p < m_text.size() && m_text[p] == '"' ? p + 1 : 0;
}

Token Lexer::quoted() noexcept
{
    const std::size_t begin = m_pos;
    bool escaped = false;
    const std::size_t end = closedText(begin, escaped);
    if (end == 0)
        return name(begin); // no closing quote on the line: a word
    if (end < m_text.size() && isNonExpression(m_text[end])) {
        Token word = name(end); // glued to what follows: one word
        word.begin = static_cast<std::uint32_t>(begin);
        word.escaped = word.escaped || escaped;
        return word;
    }
    return make(Tok::Text, begin, end, escaped);
}

Token Lexer::number() noexcept
{
    const std::size_t begin = m_pos;
    std::size_t run = begin;
    while (run < m_text.size() && (isDigit(m_text[run]) || m_text[run] == '.'))
        ++run;
    const std::size_t runLength = run - begin;

    // The longest match wins; of equal ones, the rule the game lists first.
    enum Rule { Period, Integer, WordAfterNumber, Float, AlnumWord };
    Rule best = Period;
    std::size_t bestLength = 0;
    const auto offer = [&](Rule rule, std::size_t length) {
        if (length > bestLength) {
            best = rule;
            bestLength = length;
        }
    };
    if (m_text[begin] == '.')
        offer(Period, 1);
    if (isDigit(m_text[begin])) {
        std::size_t digits = begin;
        while (digits < m_text.size() && isDigit(m_text[digits]))
            ++digits;
        offer(Integer, digits - begin);
    }
    bool pointLast = runLength >= 2 && m_text[run - 1] == '.';
    if (run < m_text.size() && isNonNumeric(m_text[run]))
        offer(WordAfterNumber, runLength + 1);
    else if (pointLast && m_dialect == Dialect::Library)
        offer(WordAfterNumber, runLength);
    if (pointLast && !(run < m_text.size() && isNonNumeric(m_text[run])))
        m_dialectWord = true;
    offer(Float, runLength);
    std::size_t p = run;
    while (at(p) == 'e' && (at(p + 1) == '+' || at(p + 1) == '-') && p + 1 < m_text.size())
        p += 2;
    if (p > run && p < m_text.size() && (isDigit(m_text[p]) || m_text[p] == '.'))
        offer(Float, p + 1 - begin);
    if (isDigit(m_text[begin])) {
        std::size_t alnum = begin;
        while (alnum < m_text.size() && isAlnum(m_text[alnum]))
            ++alnum;
        offer(AlnumWord, alnum - begin);
    }
    switch (best) {
    case Period:
        return make(Tok::Period, begin, begin + 1);
    case Integer:
        return make(Tok::Integer, begin, begin + bestLength);
    case Float:
        return make(Tok::Float, begin, begin + bestLength);
    case WordAfterNumber:
    case AlnumWord:
        break;
    }
    return name(begin);
}

Token Lexer::word() noexcept
{
    const std::size_t begin = m_pos;
    std::size_t end = begin;
    while (end < m_text.size() && isAlnum(m_text[end]))
        ++end;
    const std::string_view run = m_text.substr(begin, end - begin);
    // Most words are names: only a run as long as some keyword, starting with
    // the letter of one, is looked up.
    constexpr std::string_view kFirstLetters = "bcdefgilmNoprstw";
    if (run.size() >= 2 && run.size() <= 14 && kFirstLetters.find(run[0]) != run.npos) {
        for (const Keyword &keyword : kKeywords) {
            if (keyword.word.size() != run.size() || keyword.word[0] != run[0]
                || keyword.word != run)
                continue;
            if (keyword.kind == Tok::Listener)
                m_state = State::Variables;
            return make(keyword.kind, begin, end);
        }
    }
    return name(begin);
}

Token Lexer::punctuation() noexcept
{
    const std::size_t p = m_pos;
    const char c = m_text[p], n1 = at(p + 1), n2 = at(p + 2);
    const auto one = [&](Tok kind) { return make(kind, p, p + 1); };
    const auto two = [&](Tok kind) { return make(kind, p, p + 2); };
    switch (c) {
    case '=':
        return n1 == '=' ? two(Tok::Operator) : one(Tok::Assign);
    case '+':
        if (n1 == '=')
            return two(Tok::OpAssign);
        return n1 == '+' ? two(Tok::Increment) : one(Tok::Operator);
    case '-':
        if (n1 == '=')
            return two(Tok::OpAssign);
        if (n1 == '-')
            return two(Tok::Decrement);
        return isBlank(n1) ? two(Tok::Operator) : one(Tok::Operator);
    case '*':
        if (n1 == '/')
            return two(Tok::StrayCommentEnd);
        [[fallthrough]];
    case '/':
    case '%':
    case '^':
        return n1 == '=' ? two(Tok::OpAssign) : one(Tok::Operator);
    case '<':
    case '>':
        if (n1 == c)
            return n2 == '=' ? make(Tok::OpAssign, p, p + 3) : two(Tok::Operator);
        return n1 == '=' ? two(Tok::Operator) : one(Tok::Operator);
    case '&':
    case '|':
        if (n1 == '=')
            return two(Tok::OpAssign);
        return n1 == c ? two(Tok::Operator) : one(Tok::Operator);
    case '!':
        return n1 == '=' ? two(Tok::Operator) : one(Tok::Not);
    case '~':
        return one(Tok::Complement);
    case '?':
        return one(Tok::Question);
    case '$': {
        m_state = State::Variables;
        if (n1 != '$')
            return one(Tok::Dollar);
        m_dialectWord = true; // the game takes $$ as one sign, the library as a sign and a name
        if (m_dialect == Dialect::Library)
            return one(Tok::Dollar);
        std::size_t end = p + 1;
        while (at(end) == '$')
            ++end;
        return make(Tok::Dollar, p, end);
    }
    case '{':
        return one(Tok::LBrace);
    case '}':
        return one(Tok::RBrace);
    case '(':
        return one(Tok::LParen);
    case ')':
        m_state = State::CheckVariable;
        return one(Tok::RParen);
    case '[':
        return one(Tok::LSquare);
    case ']':
        m_state = State::CheckVariable;
        return one(Tok::RSquare);
    case ';':
        return one(Tok::Semicolon);
    case ':':
        return n1 == ':' ? two(Tok::DoubleColon) : one(Tok::Colon);
    case ',':
        return one(Tok::Comma);
    default:
        return name(p);
    }
}

} // namespace script
