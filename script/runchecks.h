#pragma once

// The listener behind the warnings: it hears what the reader reads and keeps
// what it needs to tell which lines fail when they run. What is known of a
// variable, the labels and the labels used are kept in hash tables, so its
// cost grows with the script and no faster. Plain C++.

#include "listener.h"
#include "place.h"
#include "vocabulary.h"
#include "warning.h"
#include "words.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace script {

class RunChecks final : public ReadListener
{
public:
    RunChecks(std::string_view text, const Vocabulary &vocabulary);
    RunChecks(const RunChecks &) = delete;
    RunChecks &operator=(const RunChecks &) = delete;

    void label(const Token &at, std::string_view name, std::uint32_t colon) override;
    void caseLabel() override;
    void command(const CommandRead &command) override;
    void assigned(const AssignmentRead &assignment) override;
    void entered(bool loop) override;
    void left() override;

    // The warnings, the labels and the labels used in other scripts, once the
    // whole script was read and loads.
    void finish(LevelScript &script);

private:
    // What is known of a local variable: the class it was spawned as (null
    // when it was set to anything else), and since when. It holds while the
    // body it was set in is still being read, and while no label or loop
    // since has made it unknown.
    // Small: a script may have a variable for every object it spawns.
    struct Known
    {
        const Vocabulary::GameClass *gameClass = nullptr; // null: set to anything else
        std::uint32_t variable = 0;  // where it is written, as a word of the text
        std::uint32_t spawnName = 0; // the spawn's name as the script wrote it: where
        std::uint32_t spawnNameEnd = 0;
        std::uint32_t since = 0; // a number of the reading's events, in order
        std::uint32_t body = 0;  // the body it was set in,
        std::uint16_t depth = 0; // and where that is
    };
    // A body being read: which one, and since when nothing from before it is known.
    struct Body
    {
        std::uint32_t number;
        std::uint32_t knownSince;
    };
    // A label used: words of the text, as offsets (a script may use thousands).
    struct Use
    {
        static constexpr std::uint16_t kNoPath = UINT16_MAX;
        std::uint32_t label, path;
        std::uint16_t labelSize, pathSize; // kNoPath where it is no path::label
    };

    std::string_view word(const Token &token) const { return wordOf(m_text, token); }
    std::string_view word(std::uint32_t begin, std::uint32_t end) const
    {
        return m_text.substr(begin, end - begin);
    }
    std::uint32_t at(std::string_view word) const
    {
        return std::uint32_t(word.data() - m_text.data());
    }
    std::string_view plain(const Token &token) const; // a word, or a text without its quotes
    const Known *known(std::string_view variable) const;
    void warn(WarningKind kind, const Token &at, std::string_view word, std::string_view where,
              std::string_view nearest);
    void spawn(const Token &name, const Token &command);
    std::string_view nearestAnswer(const Known &object, std::string_view command, CommandKind kind);
    static Name keep(LevelScript &script, std::string_view name); // in script.names

    std::string_view m_text;
    const Vocabulary &m_vocabulary;
    Places m_places;
    std::vector<Warning> m_warnings;
    NameTable<Nothing, true> m_labels; // each once, letter case aside, in their order
    std::deque<std::string> m_names;   // labels that are no word of the text
    std::vector<Use> m_uses;
    NameTable<Known, true> m_known;
    std::vector<Body> m_bodies;
    std::uint32_t m_events = 0, m_bodiesSeen = 0;
    // The last spawn read: where its command starts, and the class it makes.
    std::uint32_t m_spawnAt = AssignmentRead::kNoCommand;
    const Vocabulary::GameClass *m_spawned = nullptr;
    Token m_spawnName;
    // Suggestions already found, as a script repeats its mistakes.
    std::unordered_map<std::string, std::string_view> m_nearest;
};

} // namespace script
