#include "lexer.h"

#include <algorithm>
#include <array>
#include <cstring>

// The lexer's hot loop is one function with everything it calls inlined.
#if defined(__GNUC__)
#define SPAWNSMITH_FLATTEN [[gnu::flatten]]
#else
#define SPAWNSMITH_FLATTEN
#endif

namespace script {
namespace {

// The classes of a character, one bit each, looked up in one table: the
// lexer asks several of them of every character it reads.
enum Class : std::uint16_t {
    kDigit = 1 << 0,
    kLetter = 1 << 1,     // ASCII letters
    kAlnum = 1 << 2,      // letters, digits and _
    kWord = 1 << 3,       // may be part of a word: all but brackets, braces,
                          // line ends, comma, colon, semicolon and blanks
    kVariable = 1 << 4,   // may be part of a name after "local." or "$"
    kNonNumeric = 1 << 5, // turns a number just before it into a word (a point among them)
    kBlank = 1 << 6,
    kLineEnd = 1 << 7,
    kSpace = 1 << 8,    // blanks, line ends, vertical tab, form feed
    kTextStop = 1 << 9, // ends a run of plain text inside quotes
};

constexpr std::uint16_t classify(unsigned char u)
{
    const char c = static_cast<char>(u);
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool alnum = digit || letter || c == '_';
    const bool blank = c == ' ' || c == '\t';
    const bool lineEnd = c == '\r' || c == '\n';
    std::uint16_t classes = 0;
    if (digit)
        classes |= kDigit;
    if (letter)
        classes |= kLetter;
    if (alnum)
        classes |= kAlnum;
    if (std::string_view("{}()[]\r\n,:; \t").find(c) == std::string_view::npos)
        classes |= kWord;
    if (alnum || c == '"' || c == '$' || c == '\\')
        classes |= kVariable;
    if (letter || u >= 0x80 || std::string_view("_\"'?@#`.").find(c) != std::string_view::npos)
        classes |= kNonNumeric;
    if (blank)
        classes |= kBlank;
    if (lineEnd)
        classes |= kLineEnd;
    if (blank || lineEnd || c == '\v' || c == '\f')
        classes |= kSpace;
    if (lineEnd || c == '"' || c == '\\')
        classes |= kTextStop;
    return classes;
}

constexpr auto kClasses = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned c = 0; c < table.size(); ++c)
        table[c] = classify(static_cast<unsigned char>(c));
    return table;
}();

bool is(char c, std::uint16_t classes) { return kClasses[static_cast<unsigned char>(c)] & classes; }

// A number followed by one of these is a float or a word, not a whole number.
constexpr std::uint16_t kNumberTail = kDigit | kNonNumeric;

// What turns a quoted text just before it into a word.
constexpr std::uint16_t kNonExpression = kDigit | kNonNumeric;

template <std::size_t N>
bool same(std::string_view word, const char (&keyword)[N])
{
    return std::memcmp(word.data(), keyword, N - 1) == 0;
}

// The keyword a whole run of letters, digits and _ is, or End for none. The
// game's rules match these words exactly, letter case included; "end" is a
// plain name that is never part of a longer one. Most words are no keyword:
// the length and the first letter leave one or two to compare.
Tok keyword(std::string_view w)
{
    const auto is = [w](const auto &keyword) { return same(w, keyword); };
    switch (w.size() * 256 + static_cast<unsigned char>(w[0])) {
    case 2 * 256 + 'i':
        return is("if") ? Tok::If : Tok::End;
    case 2 * 256 + 'd':
        return is("do") ? Tok::Do : Tok::End;
    case 3 * 256 + 'e':
        return is("end") ? Tok::Name : Tok::End;
    case 3 * 256 + 'f':
        return is("for") ? Tok::For : Tok::End;
    case 3 * 256 + 'N':
        return is("NIL") ? Tok::Nil : Tok::End;
    case 3 * 256 + 't':
        return is("try") ? Tok::Try : Tok::End;
    case 4 * 256 + 'g':
        return is("game") ? Tok::Listener : Tok::End;
    case 4 * 256 + 'p':
        return is("parm") ? Tok::Listener : Tok::End;
    case 4 * 256 + 's':
        return is("self") ? Tok::Listener : Tok::End;
    case 4 * 256 + 'e':
        return is("else") ? Tok::Else : Tok::End;
    case 4 * 256 + 'N':
        return is("NULL") ? Tok::Null : Tok::End;
    case 4 * 256 + 'c':
        return is("case") ? Tok::Case : Tok::End;
    case 5 * 256 + 'l':
        return is("local") || is("level") ? Tok::Listener : Tok::End;
    case 5 * 256 + 'g':
        return is("group") ? Tok::Listener : Tok::End;
    case 5 * 256 + 'o':
        return is("owner") ? Tok::Listener : Tok::End;
    case 5 * 256 + 'w':
        return is("while") ? Tok::While : Tok::End;
    case 5 * 256 + 'c':
        return is("catch") ? Tok::Catch : Tok::End;
    case 5 * 256 + 'b':
        return is("break") ? Tok::Break : Tok::End;
    case 6 * 256 + 's':
        return is("switch") ? Tok::Switch : Tok::End;
    case 6 * 256 + 'i':
        return is("ifless") ? Tok::Operator : Tok::End;
    case 7 * 256 + 'i':
        return is("ifequal") ? Tok::Operator : Tok::End;
    case 8 * 256 + 'e':
        return is("endarray") || is("endArray") ? Tok::EndArray : Tok::End;
    case 8 * 256 + 'c':
        return is("continue") ? Tok::Continue : Tok::End;
    case 9 * 256 + 'm':
        return is("makearray") || is("makeArray") ? Tok::MakeArray : Tok::End;
    case 9 * 256 + 'i':
        return is("ifgreater") ? Tok::Operator : Tok::End;
    case 10 * 256 + 'i':
        return is("ifstrequal") || is("ifnotequal") ? Tok::Operator : Tok::End;
    case 11 * 256 + 'i':
        return is("iflessequal") ? Tok::Operator : Tok::End;
    case 13 * 256 + 'i':
        return is("ifstrnotequal") ? Tok::Operator : Tok::End;
    case 14 * 256 + 'i':
        return is("ifgreaterequal") ? Tok::Operator : Tok::End;
    default:
        return Tok::End;
    }
}

// Cuts words from a copy of the lexer's place. It lives only for one call of
// Lexer::next, so that everything it knows can stay in registers while it
// writes words out.
class Scanner
{
public:
    using State = LexerPlace::State;

    Scanner(std::string_view text, Dialect dialect, const LexerPlace &place)
        : m_begin(text.data())
        , m_end(text.data() + text.size())
        , m_p(text.data() + place.pos)
        , m_dialect(dialect)
        , m_state(place.state)
        , m_previous(place.previous)
        , m_endLineGiven(place.endLineGiven)
        , m_dialectWordAt(place.dialectWordAt)
    {}

    LexerPlace place() const
    {
        return {static_cast<std::size_t>(m_p - m_begin), m_state, m_previous, m_endLineGiven,
                m_dialectWordAt};
    }

    // The next word, into out.
    void next(Token &out)
    {
        m_out = &out;
        if (m_state == State::CheckVariable) {
            m_state = State::Initial;
            const char *q = m_p;
            while (is(at(q), kBlank))
                ++q;
            if (at(q) == '.' && fieldAhead(q + 1)) {
                m_p = q;
                m_state = State::Variables;
            }
        }
        if (m_state != State::Variables || !variables()) {
            m_state = State::Initial;
            initial();
        }
        m_previous = out.kind;
    }

private:
    char at(const char *q) const { return q < m_end ? *q : '\0'; }

    void dialectWord(const char *at)
    {
        m_dialectWordAt = std::min(m_dialectWordAt, static_cast<std::size_t>(at - m_begin));
    }

    // Writes the word into its slot, field by field: a token built whole and
    // then copied stalls on its small fields.
    void make(Tok kind, const char *from, const char *to, bool escaped = false)
    {
        m_p = to;
        m_out->begin = static_cast<std::uint32_t>(from - m_begin);
        m_out->end = static_cast<std::uint32_t>(to - m_begin);
        m_out->kind = kind;
        m_out->escaped = escaped;
    }

    // After the point of a field: digits, then anything but a digit or a space.
    bool fieldAhead(const char *q) const
    {
        while (q < m_end && is(*q, kDigit))
            ++q;
        return q < m_end && !is(*q, kSpace);
    }

    bool variables()
    {
        if (m_p >= m_end)
            return false;
        const char c = *m_p;
        if (c == '.' || is(c, kBlank)) {
            const char *q = m_p;
            while (is(at(q), kBlank))
                ++q;
            if (at(q) != '.' || !fieldAhead(q + 1))
                return false;
            make(Tok::Period, q, q + 1);
            return true;
        }
        if (!is(c, kVariable))
            return false;
        const char *run = m_p;
        bool escaped = false;
        while (run < m_end && is(*run, kVariable)) {
            escaped = escaped || *run == '\\';
            ++run;
        }
        if (run - m_p == 4 && std::memcmp(m_p, "size", 4) == 0) {
            m_state = State::Initial;
            make(Tok::Size, m_p, run);
            return true;
        }
        if (c == '"') {
            bool textEscaped = false;
            const char *end = closedText(m_p, textEscaped);
            if (end && end >= run) {
                m_state = State::Initial;
                make(Tok::Text, m_p, end, textEscaped);
                return true;
            }
        }
        make(Tok::Name, m_p, run, escaped);
        return true;
    }

    void initial()
    {
        while (m_p < m_end) {
            const char *p = m_p;
            const char c = *p;
            switch (c) {
            case ' ':
            case '\t': {
                const char n1 = at(p + 1);
                if (n1 == '-') {
                    const char n2 = at(p + 2);
                    if (n2 == '-')
                        return make(Tok::Decrement, p + 1, p + 3);
                    if (n2 == '=')
                        return make(Tok::OpAssign, p + 1, p + 3);
                    if (is(n2, kBlank))
                        return make(Tok::Operator, p + 1, p + 3);
                    return make(Tok::Negate, p + 1, p + 2);
                }
                if (n1 == '+' && at(p + 2) == '+')
                    return make(Tok::Increment, p + 1, p + 3);
                ++m_p;
                continue;
            }
            case '\r':
            case '\n': {
                const char *end = p + 1;
                while (end < m_end && is(*end, kLineEnd))
                    ++end;
                if (m_previous != Tok::Eol)
                    return make(Tok::Eol, p, end);
                m_p = end;
                continue;
            }
            case '\\':
                if (!is(at(p + 1), kLineEnd))
                    return punctuation();
                m_p = p + 1; // the line goes on in the next one
                while (m_p < m_end && is(*m_p, kLineEnd))
                    ++m_p;
                continue;
            case '/':
                if (at(p + 1) == '*') {
                    const std::string_view rest(p + 2, static_cast<std::size_t>(m_end - p - 2));
                    const std::size_t close = rest.find("*/");
                    if (close == std::string_view::npos) {
                        if (m_dialect == Dialect::Library) { // a comment to the end
                            m_p = m_end;
                            continue;
                        }
                        make(Tok::OpenComment, p, p + 2);
                        m_p = m_end;
                        return;
                    }
                    m_p = p + 2 + close + 2;
                    continue;
                }
                if (at(p + 1) == '/') {
                    while (m_p < m_end && !is(*m_p, kLineEnd))
                        ++m_p;
                    if (m_previous != Tok::Eol)
                        return make(Tok::Eol, p, m_p);
                    continue;
                }
                return punctuation();
            case ',':
                if (m_dialect != Dialect::Library)
                    return punctuation();
                m_p = p + 1; // the library passes over it
                continue;
            case '*':
                if (m_dialect != Dialect::Library || at(p + 1) != '/')
                    return punctuation();
                m_p = p + 2; // the library passes over a stray */
                continue;
            case '"':
                return quoted();
            case '.':
                return number();
            default:
                break;
            }
            if (is(c, kDigit))
                return number();
            if (is(c, kLetter) || c == '_')
                return word();
            return punctuation();
        }
        // The game adds a line end to every script it reads.
        if (m_previous != Tok::Eol && !m_endLineGiven) {
            m_endLineGiven = true;
            return make(Tok::Eol, m_end, m_end);
        }
        return make(Tok::End, m_end, m_end);
    }

    // A word from begin on: everything up to a bracket, brace, line end,
    // comma, colon, semicolon or blank.
    void name(const char *begin)
    {
        const char *end = begin + 1;
        bool escaped = *begin == '\\';
        while (end < m_end && is(*end, kWord)) {
            escaped = escaped || *end == '\\';
            ++end;
        }
        return make(Tok::Name, begin, end, escaped);
    }

    // End of a quoted text that opens at begin and closes on the same line,
    // or null.
    const char *closedText(const char *begin, bool &escaped) const
    {
        const char *p = begin + 1;
        escaped = false;
        for (;;) {
            while (p < m_end && !is(*p, kTextStop))
                ++p;
            if (p >= m_end || *p != '\\')
                break;
            if (p + 1 >= m_end || p[1] == '\n')
                return nullptr;
            escaped = true;
            p += 2;
        }
        return p < m_end && *p == '"' ? p + 1 : nullptr;
    }

    void quoted()
    {
        const char *begin = m_p;
        bool escaped = false;
        const char *end = closedText(begin, escaped);
        if (!end)
            return name(begin); // no closing quote on the line: a word
        if (end < m_end && is(*end, kNonExpression)) {
            name(end); // glued to what follows: one word
            m_out->begin = static_cast<std::uint32_t>(begin - m_begin);
            m_out->escaped = m_out->escaped || escaped;
            return;
        }
        return make(Tok::Text, begin, end, escaped);
    }

    void number()
    {
        const char *begin = m_p;
        // Most numbers are plain: digits, or digits, a point and digits, with
        // nothing after them that could make them longer or a word.
        if (is(*begin, kDigit)) {
            const char *q = begin + 1;
            while (q < m_end && is(*q, kDigit))
                ++q;
            if (q == m_end || !is(*q, kNumberTail))
                return make(Tok::Integer, begin, q);
            if (*q == '.') {
                const char *r = q + 1;
                while (r < m_end && is(*r, kDigit))
                    ++r;
                if (r > q + 1 && (r == m_end || !is(*r, kNumberTail)))
                    return make(Tok::Float, begin, r);
            }
        }
        return longNumber(begin);
    }

    // The longest match wins; of equal ones, the rule the game lists first.
    void longNumber(const char *begin)
    {
        const char *run = begin;
        while (run < m_end && (is(*run, kDigit) || *run == '.'))
            ++run;
        const std::size_t runLength = static_cast<std::size_t>(run - begin);

        enum Rule { Period, Integer, WordAfterNumber, Float, AlnumWord };
        Rule best = Period;
        std::size_t bestLength = 0;
        const auto offer = [&](Rule rule, std::size_t length) {
            if (length > bestLength) {
                best = rule;
                bestLength = length;
            }
        };
        if (*begin == '.')
            offer(Period, 1);
        if (is(*begin, kDigit)) {
            const char *digits = begin;
            while (digits < m_end && is(*digits, kDigit))
                ++digits;
            offer(Integer, static_cast<std::size_t>(digits - begin));
        }
        const bool pointLast = runLength >= 2 && run[-1] == '.';
        const bool wordAfter = run < m_end && is(*run, kNonNumeric);
        if (wordAfter)
            offer(WordAfterNumber, runLength + 1);
        else if (pointLast && m_dialect == Dialect::Library)
            offer(WordAfterNumber, runLength);
        if (pointLast && !wordAfter)
            dialectWord(begin);
        offer(Float, runLength);
        const char *p = run;
        while (at(p) == 'e' && (at(p + 1) == '+' || at(p + 1) == '-') && p + 1 < m_end)
            p += 2;
        if (p > run && p < m_end && (is(*p, kDigit) || *p == '.'))
            offer(Float, static_cast<std::size_t>(p + 1 - begin));
        if (is(*begin, kDigit)) {
            const char *alnum = begin;
            while (alnum < m_end && is(*alnum, kAlnum))
                ++alnum;
            offer(AlnumWord, static_cast<std::size_t>(alnum - begin));
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

    void word()
    {
        const char *begin = m_p;
        const char *end = begin + 1;
        while (end < m_end && is(*end, kAlnum))
            ++end;
        const Tok kind = keyword({begin, static_cast<std::size_t>(end - begin)});
        if (kind != Tok::End) {
            if (kind == Tok::Listener)
                m_state = State::Variables;
            return make(kind, begin, end);
        }
        // The rest of the word, as name() reads it.
        bool escaped = false;
        while (end < m_end && is(*end, kWord)) {
            escaped = escaped || *end == '\\';
            ++end;
        }
        return make(Tok::Name, begin, end, escaped);
    }

    void punctuation()
    {
        const char *p = m_p;
        const char c = *p, n1 = at(p + 1), n2 = at(p + 2);
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
            return is(n1, kBlank) ? two(Tok::Operator) : one(Tok::Operator);
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
            dialectWord(p); // the game takes $$ as one sign, the library as a sign and a name
            if (m_dialect == Dialect::Library)
                return one(Tok::Dollar);
            const char *end = p + 1;
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

    const char *const m_begin;
    const char *const m_end;
    const char *m_p;
    Token *m_out = nullptr; // where the word being cut goes
    const Dialect m_dialect;
    State m_state;
    Tok m_previous;
    bool m_endLineGiven;
    std::size_t m_dialectWordAt;
};

} // namespace

std::string unescaped(std::string_view word)
{
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '\\') {
            out += word[i];
        } else if (++i < word.size()) {
            out += word[i] == 'n' ? '\n' : word[i] == 't' ? '\t' : word[i];
        }
    }
    return out;
}

Lexer::Lexer(std::string_view text, Dialect dialect) noexcept
    : m_text(text)
    , m_dialect(dialect)
{
    // The game reads a script as a C string: a NUL byte ends it.
    if (dialect == Dialect::Game)
        m_text = text.substr(0, text.find('\0'));
}

Token Lexer::next() noexcept
{
    Token token;
    next(&token, 1);
    return token;
}

// The whole cut of a batch of words in one function, so that the scanner's
// place stays in registers throughout.
SPAWNSMITH_FLATTEN std::size_t Lexer::next(Token *out, std::size_t count) noexcept
{
    Scanner scanner(m_text, m_dialect, m_place);
    std::size_t given = 0;
    while (given < count) {
        scanner.next(out[given]);
        if (out[given++].kind == Tok::End)
            break;
    }
    m_place = scanner.place();
    return given;
}

bool isKeyword(Tok kind)
{
    switch (kind) {
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
        return true;
    default:
        return false;
    }
}

} // namespace script
