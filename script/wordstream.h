#pragma once

// The words of a text, in batches, for the reader. A large text is cut in a
// thread of its own while the reader reads the batches cut before: cutting
// words is half of the work, and it needs nothing from the reading. Plain C++.

#include "lexer.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

namespace script {

class WordStream final
{
public:
    WordStream(std::string_view text, Dialect dialect);
    ~WordStream();
    WordStream(const WordStream &) = delete;
    WordStream &operator=(const WordStream &) = delete;

    // The next words, at least one; the last batch ends with Tok::End.
    std::span<const Token> next();

    // The lexer's findings (see Lexer) once no more words are wanted: a text
    // cut in a thread is not cut any further.
    const Lexer &finish();

private:
    static constexpr std::size_t kBatch = 8192;
    static constexpr std::size_t kBatches = 4;

    void cut(); // in the thread

    Lexer m_lexer;
    std::vector<Token> m_words;                  // kBatches batches of kBatch words
    std::array<std::size_t, kBatches> m_count{}; // words in each batch, 0 while being cut
    std::size_t m_reading = kBatches - 1;        // the batch the reader has
    bool m_holding = false;                      // the reader has one
    bool m_ended = false;                        // the reader had the end
    Token m_end;                                 // which it is given again
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace script
