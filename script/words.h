#pragma once

// Names as the game compares them and as sentences show them: letter case
// set aside, the nearest of a list for "did you mean", a word made printable
// and short. Shared by the reader, the vocabulary and the warnings. Plain C++.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
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

// Names to values in one flat table, for the many names of a large script:
// open addressing in a table at most half full, so that a look-up is a hash
// and a probe or two, and no name costs an allocation of its own. Names may
// be kept in groups (the labels of each switch), a name once in each. The
// names are views: what they view must outlive the table.
template <class Value, bool kIgnoringCase>
class NameTable final
{
public:
    // The value of the name in the group, where there is one; else null.
    const Value *find(std::string_view name, std::uint32_t group = 0) const
    {
        if (m_slots.empty())
            return nullptr;
        const Slot &slot = m_slots[place(name, group, hash(name, group))];
        return slot.used() ? &slot.value : nullptr;
    }
    Value *find(std::string_view name, std::uint32_t group = 0)
    {
        return const_cast<Value *>(std::as_const(*this).find(name, group));
    }
    // The value already there for the name in the group, or value, now
    // there; and whether it is new.
    std::pair<Value *, bool> insert(std::string_view name, const Value &value,
                                    std::uint32_t group = 0)
    {
        if (2 * (m_count + 1) > m_slots.size())
            grow();
        const std::uint32_t h = hash(name, group);
        Slot &slot = m_slots[place(name, group, h)];
        if (slot.used())
            return {&slot.value, false};
        slot = {name.data(), std::uint32_t(name.size()), h, group, value};
        ++m_count;
        return {&slot.value, true};
    }
    std::size_t size() const { return m_count; }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    // Small, so that many fit in the cache: a script's names are many.
    struct Slot
    {
        const char *data = nullptr;
        std::uint32_t size = kEmpty;
        std::uint32_t hash = 0;
        std::uint32_t group = 0;
        Value value{};
        bool used() const { return size != kEmpty; }
        std::string_view name() const { return {data, size}; }
    };

    static std::uint32_t hash(std::string_view name, std::uint32_t group)
    {
        std::uint32_t h = 2166136261u ^ group;
        for (char c : name)
            h = (h ^ (kIgnoringCase ? static_cast<unsigned char>(c) | 0x20u
                                    : static_cast<unsigned char>(c)))
                * 16777619u;
        return h;
    }
    static bool same(std::string_view a, std::string_view b)
    {
        return kIgnoringCase ? sameIgnoringCase(a, b) : a == b;
    }
    // The slot of the name, or the empty one where it would go.
    std::size_t place(std::string_view name, std::uint32_t group, std::uint32_t h) const
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const Slot &slot = m_slots[i];
            if (!slot.used()
                || (slot.hash == h && slot.group == group && same(slot.name(), name)))
                return i;
        }
    }
    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(64, m_slots.size() * 2));
        old.swap(m_slots);
        for (Slot &slot : old)
            if (slot.used())
                m_slots[place(slot.name(), slot.group, slot.hash)] = std::move(slot);
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
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
