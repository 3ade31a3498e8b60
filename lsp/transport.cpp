#include "transport.h"

#include "text.h"

#include <cctype>
#include <charconv>

namespace lsp {
namespace {

// Where a Content-Length header starts in a line, letter case aside: a line
// may hold the end of a body that gave the wrong length before it.
std::size_t lengthHeader(std::string_view line)
{
    constexpr std::string_view kName = "content-length:";
    for (std::size_t at = 0; at + kName.size() <= line.size(); ++at) {
        std::size_t i = 0;
        while (i < kName.size()
               && std::tolower(static_cast<unsigned char>(line[at + i])) == kName[i])
            ++i;
        if (i == kName.size())
            return at + kName.size();
    }
    return std::string_view::npos;
}

} // namespace

Transport::Transport(std::FILE *in, std::FILE *out)
    : m_in(in)
    , m_out(out)
{}

bool Transport::readLine(std::string &line)
{
    line.clear();
    for (int c; (c = std::getc(m_in)) != EOF;) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        line += char(c);
    }
    return !line.empty();
}

std::optional<std::string> Transport::read(std::string &problem)
{
    problem.clear();
    std::optional<std::size_t> length;
    bool unreadable = false, any = false;
    for (std::string line; readLine(line);) {
        any = true;
        if (line.empty())
            break;
        const std::size_t at = lengthHeader(line);
        if (at == std::string_view::npos)
            continue; // Content-Type, or what is left of a broken message
        std::string_view digits(line);
        digits.remove_prefix(at);
        while (!digits.empty() && digits.front() == ' ')
            digits.remove_prefix(1);
        std::size_t value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        unreadable = error != std::errc() || end != digits.data() + digits.size();
        length = value;
    }
    if (!any)
        return std::nullopt;
    if (!length || unreadable) {
        problem = "headers with no Content-Length it can read";
        return std::string();
    }
    // A body past the largest text taken is passed over, not kept.
    if (*length > kLargestText + kLargestText / 4) {
        problem = "a message too large to take (" + std::to_string(*length) + " bytes)";
        for (std::size_t left = *length; left && std::getc(m_in) != EOF; --left) {
        }
        return std::string();
    }
    std::string body(*length, '\0');
    if (std::fread(body.data(), 1, body.size(), m_in) < body.size())
        return std::nullopt; // the input ended within it
    return body;
}

void Transport::write(std::string_view body)
{
    const std::lock_guard lock(m_writing);
    std::fprintf(m_out, "Content-Length: %zu\r\n\r\n", body.size());
    std::fwrite(body.data(), 1, body.size(), m_out);
    std::fflush(m_out);
}

} // namespace lsp
