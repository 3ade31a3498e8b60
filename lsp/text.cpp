#include "text.h"

#include <algorithm>

namespace lsp {
namespace {

// The length of the UTF-8 character at the start of bytes: 1 for a byte
// that starts none.
std::size_t characterLength(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead < 0xC2   ? 1
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 1;
    if (length > bytes.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

// Code units of one character of that length.
std::size_t unitsOf(std::size_t length, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? length : length == 4 ? 2 : 1;
}

// Whether a line starts at offset: after an LF, or after a CR that no LF follows.
bool startsLine(std::string_view text, std::size_t offset)
{
    if (offset == 0 || offset > text.size())
        return offset == 0;
    const char before = text[offset - 1];
    return before == '\n' || (before == '\r' && (offset == text.size() || text[offset] != '\n'));
}

} // namespace

std::size_t units(std::string_view bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return bytes.size();
    std::size_t count = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++count;
            ++i;
            continue;
        }
        const std::size_t length = characterLength(bytes.substr(i));
        count += unitsOf(length, encoding);
        i += length;
    }
    return count;
}

Lines::Lines(std::string_view text)
{
    m_starts.push_back(0);
    for (std::size_t i = text.find_first_of("\r\n"); i != std::string_view::npos;
         i = text.find_first_of("\r\n", i + 1))
        if (startsLine(text, i + 1))
            m_starts.push_back(std::uint32_t(i + 1));
}

std::size_t Lines::lineOf(std::size_t offset) const
{
    return std::size_t(std::upper_bound(m_starts.begin(), m_starts.end(), offset)
                       - m_starts.begin())
           - 1;
}

std::size_t Lines::end(std::string_view text, std::size_t line) const
{
    std::size_t at = line + 1 < m_starts.size() ? m_starts[line + 1] : text.size();
    while (at > m_starts[line] && (text[at - 1] == '\n' || text[at - 1] == '\r'))
        --at;
    return at;
}

Position Lines::position(std::string_view text, std::size_t offset, Encoding encoding) const
{
    offset = std::min(offset, text.size());
    const std::size_t line = lineOf(offset);
    const std::size_t from = m_starts[line], to = std::min(offset, end(text, line));
    return {std::uint32_t(line), std::uint32_t(units(text.substr(from, to - from), encoding))};
}

std::size_t Lines::offset(std::string_view text, Position position, Encoding encoding) const
{
    if (position.line >= m_starts.size())
        return text.size();
    const std::size_t lineEnd = end(text, position.line);
    std::size_t at = m_starts[position.line], counted = 0;
    while (at < lineEnd && counted < position.character) {
        const std::size_t length = characterLength(text.substr(at, lineEnd - at));
        counted += unitsOf(length, encoding);
        at += length;
    }
    return at;
}

void Lines::replaced(std::string_view text, std::size_t from, std::size_t to, std::size_t inserted)
{
    // Whether a line starts at an offset depends on the two bytes around it:
    // lines that start before from, and after to, stay (those after move);
    // those from from to the end of the new bytes are found anew.
    const auto first = std::lower_bound(m_starts.begin() + 1, m_starts.end(), from);
    const auto last = std::upper_bound(first, m_starts.end(), to);
    const std::ptrdiff_t moved = std::ptrdiff_t(inserted) - std::ptrdiff_t(to - from);
    for (auto it = last; it != m_starts.end(); ++it)
        *it = std::uint32_t(std::ptrdiff_t(*it) + moved);
    std::vector<std::uint32_t> fresh;
    for (std::size_t at = std::max<std::size_t>(from, 1); at <= from + inserted; ++at)
        if (startsLine(text, at))
            fresh.push_back(std::uint32_t(at));
    const auto at = m_starts.erase(first, last);
    m_starts.insert(at, fresh.begin(), fresh.end());
}

Text::Text(std::string text)
    : m_text(std::make_shared<std::string>(std::move(text)))
    , m_lines(std::make_shared<Lines>(*m_text))
{}

void Text::replace(Range range, std::string_view inserted, Encoding encoding)
{
    std::size_t from = m_lines->offset(*m_text, range.start, encoding);
    std::size_t to = m_lines->offset(*m_text, range.end, encoding);
    if (to < from)
        std::swap(from, to);
    if (m_text.use_count() > 1) // a reading holds it
        m_text = std::make_shared<std::string>(*m_text);
    if (m_lines.use_count() > 1)
        m_lines = std::make_shared<Lines>(*m_lines);
    m_text->replace(from, to - from, inserted);
    m_lines->replaced(*m_text, from, to, inserted.size());
}

} // namespace lsp
