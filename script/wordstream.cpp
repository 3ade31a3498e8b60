#include "wordstream.h"

namespace script {
namespace {

// A text this large is cut in a thread of its own: below it, starting the
// thread costs more than it saves.
constexpr std::size_t kLargeText = 512 * 1024;

// Words a batch holds when the text is cut where it is read.
constexpr std::size_t kSmallBatch = 512;

} // namespace

WordStream::WordStream(std::string_view text, Dialect dialect)
    : m_lexer(text, dialect)
{
    if (text.size() < kLargeText) {
        m_words.resize(kSmallBatch);
        return;
    }
    m_words.resize(kBatches * kBatch);
    m_thread = std::thread(&WordStream::cut, this);
}

WordStream::~WordStream() { finish(); }

std::span<const Token> WordStream::next()
{
    if (m_ended)
        return {&m_end, 1};
    std::span<const Token> batch;
    if (!m_thread.joinable()) {
        batch = {m_words.data(), m_lexer.next(m_words.data(), m_words.size())};
    } else {
        std::unique_lock lock(m_mutex);
        if (m_holding) { // the words before are read: the batch may be cut again
            m_count[m_reading] = 0;
            m_changed.notify_all();
        }
        m_reading = (m_reading + 1) % kBatches;
        m_holding = true;
        m_changed.wait(lock, [this] { return m_count[m_reading] != 0; });
        batch = {m_words.data() + m_reading * kBatch, m_count[m_reading]};
    }
    if (batch.back().kind == Tok::End) {
        m_ended = true;
        m_end = batch.back();
    }
    return batch;
}

void WordStream::cut()
{
    for (std::size_t i = 0;; i = (i + 1) % kBatches) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this, i] { return m_stop || m_count[i] == 0; });
            if (m_stop)
                return;
        }
        Token *batch = m_words.data() + i * kBatch;
        const std::size_t count = m_lexer.next(batch, kBatch);
        {
            const std::lock_guard lock(m_mutex);
            m_count[i] = count;
        }
        m_changed.notify_all();
        if (batch[count - 1].kind == Tok::End)
            return;
    }
}

const Lexer &WordStream::finish()
{
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    return m_lexer;
}

} // namespace script
