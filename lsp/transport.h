#pragma once

// Messages as the Language Server Protocol frames them on a byte stream:
// headers, the one that counts being Content-Length, a blank line, then that
// many bytes of JSON. Plain C++.

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace lsp {

class Transport final
{
public:
    Transport(std::FILE *in, std::FILE *out);
    Transport(const Transport &) = delete;
    Transport &operator=(const Transport &) = delete;

    // The next message's bytes; nothing once the input ends. Where headers
    // give no length it can take, problem says so and the reading goes on
    // at the next headers.
    std::optional<std::string> read(std::string &problem);

    // One message, whole, from any thread.
    void write(std::string_view body);

private:
    bool readLine(std::string &line);
    std::FILE *m_in;
    std::FILE *m_out;
    std::mutex m_writing;
};

} // namespace lsp
