#pragma once

// A document's text as an editor counts it: lines that end at CR LF, LF or a
// lone CR (the game counts no line at a lone CR: places are mapped through
// the text, never copied), columns in UTF-16 code units or in bytes. Plain C++.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lsp {

// How the editor counts a line's characters.
enum class Encoding : std::uint8_t { Utf16, Utf8 };

struct Position
{
    std::uint32_t line = 0;
    std::uint32_t character = 0;
    friend bool operator==(const Position &, const Position &) = default;
};

struct Range
{
    Position start, end;
    friend bool operator==(const Range &, const Range &) = default;
};

// Where each line of a text starts.
class Lines final
{
public:
    explicit Lines(std::string_view text);

    std::size_t count() const { return m_starts.size(); }
    std::size_t start(std::size_t line) const { return m_starts[line]; }
    // The line an offset is on.
    std::size_t lineOf(std::size_t offset) const;
    // Where a line's text ends, before its line end.
    std::size_t end(std::string_view text, std::size_t line) const;

    Position position(std::string_view text, std::size_t offset, Encoding encoding) const;
    // The offset of a position; one past a line's end is its end, one past
    // the last line the end of the text.
    std::size_t offset(std::string_view text, Position position, Encoding encoding) const;

    // After the bytes [from, to) of the text were replaced by inserted bytes:
    // text is the new one.
    void replaced(std::string_view text, std::size_t from, std::size_t to, std::size_t inserted);

private:
    std::vector<std::uint32_t> m_starts; // documents stay below 4 GiB (kLargestText)
};

// The largest document taken: offsets are kept in 32 bits.
inline constexpr std::size_t kLargestText = std::size_t(1) << 31;

// A document's text and its lines, shared with the readings made of them:
// an edit copies them only while a reading still holds them.
class Text final
{
public:
    explicit Text(std::string text);

    std::shared_ptr<const std::string> bytes() const { return m_text; }
    std::shared_ptr<const Lines> lines() const { return m_lines; }

    // The range, its ends in order and within the text, replaced by inserted.
    void replace(Range range, std::string_view inserted, Encoding encoding);

private:
    std::shared_ptr<std::string> m_text;
    std::shared_ptr<Lines> m_lines;
};

// How many code units the bytes make in the encoding; bytes that are no
// UTF-8 count one each, as the one character an editor shows for them.
std::size_t units(std::string_view bytes, Encoding encoding);

} // namespace lsp
