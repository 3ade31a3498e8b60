#include "serve.h"

#include "protocol.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace lsp {
namespace {

// The messages read and not yet handled, in order; closed once the input ends.
class Inbox final
{
public:
    void push(json message)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_messages.push_back(std::move(message));
        }
        m_ready.notify_one();
    }
    void close()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_ready.notify_one();
    }
    std::optional<json> pop()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [this] { return m_closed || !m_messages.empty(); });
        if (m_messages.empty())
            return std::nullopt;
        json message = std::move(m_messages.front());
        m_messages.pop_front();
        return message;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<json> m_messages;
    bool m_closed = false;
};

} // namespace

int serve(std::optional<script::Game> given)
{
#ifdef _WIN32
    // A text-mode stream would make each LF a CR LF and break the lengths.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef __GLIBC__
    // A text of megabytes comes and goes with each reading: its pages are its
    // own, given back once it goes (glibc would raise this threshold as large
    // blocks are freed, and keep the next ones in its heaps).
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    Transport transport(stdin, stdout);
    Inbox inbox;
    Protocol protocol(transport, given);
    // Messages are read (their JSON parsed, a cancel noted) while the ones
    // before are handled.
    std::thread input([&] {
        std::string problem;
        while (std::optional<std::string> bytes = transport.read(problem)) {
            if (!problem.empty())
                protocol.log("The server passed over " + problem + ".");
            else if (std::optional<json> message = protocol.receive(*bytes))
                inbox.push(std::move(*message));
        }
        inbox.close();
    });
    // Each message is handed on whole, so that a large text is not kept twice.
    while (std::optional<json> message = inbox.pop()) {
        if (!protocol.handle(std::move(*message))) {
            // Told to exit while the input is still open: the reading thread
            // waits on it, and the process ends without it.
            std::fflush(stdout);
            std::_Exit(protocol.exitStatus());
        }
    }
    input.join();
    return protocol.exitStatus();
}

} // namespace lsp
