#include "place.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace script {
namespace {

// How many LF bytes the text holds, eight bytes at a time: a stop at the end of a large script has
// millions of bytes before it.
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

} // namespace

Places::Places(std::string_view text)
    : m_text(text)
{}

Place Places::at(std::size_t offset)
{
    offset = std::min(offset, m_text.size());
    if (offset < m_counted)
        *this = Places(m_text);
    const std::string_view read = m_text.substr(m_counted, offset - m_counted);
    const std::size_t ends = lineEnds(read);
    if (ends != 0) {
        m_line += ends;
        m_lineStart = m_counted + read.rfind('\n') + 1;
    }
    m_counted = offset;
    return {m_line, offset - m_lineStart + 1};
}

} // namespace script
