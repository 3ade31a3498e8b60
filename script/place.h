#pragma once

// Where an offset of a text is, as the game counts lines and as editors
// count columns: an LF ends a line (CR LF too), a lone CR does not; columns
// are 1-based, in bytes. Plain C++.

#include <cstddef>
#include <string_view>

namespace script {

struct Place
{
    std::size_t line = 1;
    std::size_t column = 1;
};

// The places of offsets asked for in the order of the text, each found by
// reading on from the one before: any number of them costs one pass. An
// offset before the last one asked for is found from the start again.
class Places final
{
public:
    explicit Places(std::string_view text);
    Place at(std::size_t offset);

private:
    std::string_view m_text;
    std::size_t m_counted = 0;   // the text before this offset is counted
    std::size_t m_line = 1;      // the line m_counted is on
    std::size_t m_lineStart = 0; // where that line starts
};

} // namespace script
