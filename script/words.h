#pragma once

// Names as the game compares them and as sentences show them: letter case
// set aside, the nearest of a list for "did you mean", a word made printable
// and short. Shared by the reader, the vocabulary and the warnings. Plain C++.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace script {

// A word as a sentence shows it: printable ASCII, anything else as '?', cut
// short with "..." past a length no real name reaches.
std::string shown(std::string_view word);

// The end of a sentence that names the right word, where one is near: ": did
// you mean 'word'?"; else ".".
std::string didYouMean(std::string_view nearest);

// Whether two names are the same, the case of ASCII letters aside.
bool sameIgnoringCase(std::string_view a, std::string_view b);

// A hash equal for names that differ in letter case only.
std::uint32_t hashIgnoringCase(std::string_view name);

// For hash containers keyed by names, letter case aside.
struct IgnoringCase
{
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return hashIgnoringCase(name); }
    bool operator()(std::string_view a, std::string_view b) const
    {
        return sameIgnoringCase(a, b);
    }
};

// How many edits turn one name into the other, letter case aside: a letter
// put in, left out or changed, or two neighbours swapped, each one edit.
// Past limit, limit + 1.
std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit);

// Of the candidates, the one nearest to name, a letter or two off; of equally
// near ones, one of the same length first, then the first given. Empty when
// none is that near.
std::string_view nearestName(std::string_view name, std::span<const std::string_view> candidates);

// The same answer as nearestName over a list that may be long and asked
// many times (the labels of a large script): answers are kept, and past a
// few questions the list is indexed by every way of leaving out one or two
// letters, so that each question costs about the same whatever the list's
// length. The names must outlive it.
class NearNames final
{
public:
    explicit NearNames(std::vector<std::string_view> names);
    std::string_view nearest(std::string_view name);

private:
    void index();
    std::vector<std::string_view> m_names;
    std::vector<std::uint64_t> m_index; // hash << 32 | name number, sorted
    std::unordered_map<std::string, std::string_view> m_answers;
    std::size_t m_scans = 0;
};

} // namespace script
