#pragma once

// The words of a level script, cut the way the game cuts them. Plain C++, no Qt.
//
// The game's word rules pick the longest match and, between matches of equal
// length, the rule written first; a few rules depend on what came just before
// (a name after "local." or "$", a field after ")" or "]"). This lexer follows
// those rules by hand so that every mark the tool makes rests on the same cut.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace script {

enum class Tok : std::uint8_t {
    End,  // the end of the text
    Eol,  // one or more line ends, or a // comment
    Name, // a word: a command, a label, a field name
    Text, // "quoted text"
    Integer,
    Float,
    Listener, // game, group, level, local, parm, owner, self
    Dollar,   // $ before a targetname
    Period,
    Size, // "size" right after a period
    LBrace,
    RBrace,
    LParen,
    RParen,
    LSquare,
    RSquare,
    Assign,   // =
    OpAssign, // += -= *= /= %= &= ^= |= <<= >>=
    Increment,
    Decrement,
    Semicolon,
    Colon,
    DoubleColon,
    Operator, // a binary operator: + - * / % == != < > <= >= << >> & | ^ && ||
    Negate,   // a minus sign right after a space and right before the next word
    Not,
    Complement,
    Question, // ?: one reader has no conditional expression
    Comma,    // one reader refuses it, the other skips it
    Null,
    Nil,
    If,
    Else,
    While,
    For,
    Do,
    Try,
    Catch,
    Switch,
    Case,
    Break,
    Continue,
    MakeArray,
    EndArray,
    // Words that stop the script whatever follows.
    StrayCommentEnd, // */ outside a comment
    OpenComment,     // /* with no */ after it
};

// The two public readers cut a few words differently; a text loads only when
// both load it, so the reader cuts it both ways where it matters.
enum class Dialect : std::uint8_t {
    Game,    // the game's own reader: a NUL byte ends the text, "5." is a number, a
             // comma, a stray */ or an unclosed /* stop the script
    Library, // the stand-alone library: a NUL byte is a letter, "5." is a name, a
             // comma and a stray */ are passed over, an unclosed /* runs to the end
};

struct Token
{
    std::uint32_t begin = 0; // offset of its first character (for a negating
                             // minus, of the minus, not of the space before it)
    std::uint32_t end = 0;   // offset just past it
    Tok kind = Tok::End;
    bool escaped = false; // a backslash changes the name or text the game reads
};

// Whether a word is one of the language's keywords: if, else, while, for,
// do, try, catch, switch, case, break, continue, makearray, endarray, NULL, NIL.
bool isKeyword(Tok kind);

// A word as the game reads it where Token::escaped says a backslash changes
// it: a backslash takes the next character (\n a line end, \t a tab), and one
// at the very end is dropped.
std::string unescaped(std::string_view word);

// The text of a word.
inline std::string_view wordOf(std::string_view text, const Token &token)
{
    return text.substr(token.begin, token.end - token.begin);
}

// Where a lexer stands between two words. The game's word rules have three
// states: the usual one, the names and fields after "local." or "$", and the
// look for a field right after ")" or "]".
struct LexerPlace
{
    enum class State : std::uint8_t { Initial, Variables, CheckVariable };

    std::size_t pos = 0;
    State state = State::Initial;
    Tok previous = Tok::End;
    bool endLineGiven = false;
    // Offset of the first word that the other dialect cuts differently, or npos.
    std::size_t dialectWordAt = std::string_view::npos;
};

class Lexer
{
public:
    explicit Lexer(std::string_view text, Dialect dialect = Dialect::Game) noexcept;

    Token next() noexcept;

    // Up to count words into out, stopping after the end of the text; how
    // many. A reader of a whole script asks for many words in one call.
    std::size_t next(Token *out, std::size_t count) noexcept;

    // How much of the text is read: in the game's dialect, up to a NUL byte.
    std::size_t length() const noexcept { return m_text.size(); }

    // Where the first word the other dialect cuts differently begins, among
    // the words cut so far; npos for none.
    std::size_t dialectWordAt() const noexcept { return m_place.dialectWordAt; }

private:
    std::string_view m_text;
    Dialect m_dialect;
    LexerPlace m_place;
};

} // namespace script
