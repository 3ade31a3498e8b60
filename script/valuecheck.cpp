#include "valuecheck.h"

#include <algorithm>

namespace script {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isNonAscii(char c) { return static_cast<unsigned char>(c) >= 0x80; }
bool has(std::string_view text, std::string_view part) { return text.find(part) != text.npos; }

// Spaces and tabs around a value only separate it from its neighbours.
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Digits with at most one point and at least one digit; what is left of the
// text after the longest such start.
std::string_view afterDecimal(std::string_view text)
{
    bool point = false, digit = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i]))
            digit = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    return digit ? text.substr(i) : text;
}

// 1e+30, 2.5E-3: the game has no such notation and splits it apart.
bool isExponent(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    const std::string_view rest = afterDecimal(text);
    if (rest.size() == text.size() || rest.empty() || (rest.front() != 'e' && rest.front() != 'E'))
        return false;
    std::string_view power = rest.substr(1);
    if (!power.empty() && (power.front() == '+' || power.front() == '-'))
        power.remove_prefix(1);
    return !power.empty() && std::ranges::all_of(power, isDigit);
}

Problem checkNumber(std::string_view value)
{
    const std::string_view t = trimmed(value);
    if (t.empty())
        return Problem::NoNumber;
    if (has(t, ","))
        return Problem::Comma;
    if (isExponent(t))
        return Problem::Exponent;
    if (has(t, "+"))
        return Problem::PlusSign;
    if (std::ranges::any_of(t, [](char c) { return isLetter(c) || isNonAscii(c); }))
        return Problem::Letters;
    if (t.front() == '-' && t.size() > 1 && isBlank(t[1]))
        return Problem::StrayMinus; // "- 5": a subtraction with nothing before it
    if (std::ranges::any_of(t, isBlank))
        return Problem::TwoNumbers;
    if (t.find('-', 1) != t.npos)
        return Problem::StrayMinus;
    const std::string_view number = t.substr(t.front() == '-' ? 1 : 0);
    if (std::ranges::count(number, '.') > 1)
        return Problem::SecondPoint;
    if (number.empty() || !afterDecimal(number).empty())
        return Problem::NotANumber;
    return Problem::None;
}

Problem checkIdName(std::string_view value)
{
    // Words of their own outside quotes, and what ends a name early.
    constexpr std::string_view kBreakers = " \t-.;()[]{},:=+*/%!<>&|^~?";
    if (value == "size") // a keyword in lower case
        return Problem::NameKeyword;
    if (std::ranges::any_of(value, [&](char c) {
            return isNonAscii(c) || has(kBreakers, {&c, 1});
        }))
        return Problem::NameBreaker;
    if (has(value, "\\")) // dropped, keeping the character after it
        return Problem::NameBackslash;
    return Problem::None;
}

Problem checkThread(std::string_view value)
{
    const std::string_view t = trimmed(value);
    if (has(t, "//") || has(t, "/*") || has(t, "*/"))
        return Problem::ThreadComment;
    if (has(t, ";"))
        return Problem::ThreadSemicolon;
    if (std::ranges::any_of(t, isBlank))
        return Problem::ThreadSpace;
    // "::" joins a script path and a label; a colon alone, or three, does not.
    for (std::size_t at = t.find(':'); at != t.npos;) {
        const std::size_t end = std::min(t.find_first_not_of(':', at), t.size());
        if (end - at != 2)
            return Problem::ThreadColon;
        at = t.find(':', end);
    }
    return Problem::None;
}

Problem checkQuoted(std::string_view value)
{
    if (has(value, "\""))
        return Problem::InnerQuote;
    if (has(value, "\\"))
        return Problem::Backslash;
    return Problem::None;
}

} // namespace

Problem checkValue(ValueKind kind, std::string_view utf8) noexcept
{
    switch (kind) {
    case ValueKind::Number:
        return checkNumber(utf8);
    case ValueKind::IdName:
        return checkIdName(utf8);
    case ValueKind::Thread:
        return checkThread(utf8);
    case ValueKind::QuotedText:
        return checkQuoted(utf8);
    }
    return Problem::None;
}

std::string_view explain(Problem problem) noexcept
{
    switch (problem) {
    case Problem::None:
        return {};
    case Problem::NoNumber:
        return "The game finds no value in an empty box: type a number, such as 0.";
    case Problem::Comma:
        return "The game reads a comma as a word of its own and cannot load the line: "
               "write 1.5, not 1,5.";
    case Problem::PlusSign:
        return "The game has no plus sign and cannot load the line: write 5, not +5.";
    case Problem::StrayMinus:
        return "The game cannot load a minus sign that is not right before the digits: "
               "write -5.";
    case Problem::Exponent:
        return "The game splits a power of ten such as 1e+30 into two values: "
               "write the number in full.";
    case Problem::Letters:
        return "The game reads letters or symbols in a number as a name, not a number: "
               "write digits only.";
    case Problem::SecondPoint:
        return "The game drops everything from a second point on: write one point, as in 1.5.";
    case Problem::TwoNumbers:
        return "The game reads a space inside a number as two values: write one number.";
    case Problem::NotANumber:
        return "The game cannot read this as a number: write digits with at most one point, "
               "as in -12.5.";
    case Problem::NameBreaker:
        return "The game cannot load a name holding a space, a sign or an accented letter: "
               "use letters, digits and _, as in bike_1.";
    case Problem::NameKeyword:
        return "The game reads size as a keyword and cannot load the line: "
               "write Size or another name.";
    case Problem::NameBackslash:
        return "The game drops a backslash from a name, so a\\b becomes ab: leave it out.";
    case Problem::ThreadComment:
        return "The game reads //, /* and */ as comment marks and loses the rest of the line "
               "or script: leave them out.";
    case Problem::ThreadSemicolon:
        return "The game ends the line at ; and runs the rest as a command: leave it out.";
    case Problem::ThreadSpace:
        return "The game reads a space as the end of the thread name: "
               "write open_door, not open door.";
    case Problem::ThreadColon:
        return "The game cannot load a single colon: write two, as in global/door.scr::open.";
    case Problem::InnerQuote:
        return "The game ends the text at a double quote and reads the rest as script: "
               "use ' instead.";
    case Problem::Backslash:
        return "The game reads a backslash as an escape, so C:\\new gets a line break: "
               "write / instead.";
    }
    return {};
}

} // namespace script
