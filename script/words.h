#pragma once

// Names as the game compares them and as sentences show them: letter case
// set aside, the nearest of a list for "did you mean", a word made printable
// and short. Shared by the reader, the vocabulary and the warnings. Plain C++.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
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

// FNV-1a over a name's bytes, from seed; with ignoringCase the bit that
// tells a letter's case set, so that names differing in case only hash
// alike (and a few other pairs, which a comparison after tells apart).
inline std::uint32_t hashName(std::string_view name, bool ignoringCase,
                              std::uint32_t seed = 2166136261u)
{
    std::uint32_t h = seed;
    for (char c : name)
        h = (h ^ (static_cast<unsigned char>(c) | (ignoringCase ? 0x20u : 0u))) * 16777619u;
    return h;
}

// A name in lower case, as names letter case aside are kept.
std::string folded(std::string_view name);

// Names to values, for the many names of a large script: the entries in the
// order they came, and a table of their numbers, open addressing and at most
// half full, so that a look-up is a hash and a probe or two and no name
// costs an allocation of its own. Memory is what costs most here: on a
// virtual machine every page first touched costs microseconds, so the table
// holds four bytes a slot, and room for entries may be kept ahead of need
// (untouched room costs nothing). Names may be kept in groups (the labels of
// each switch), a name once in each. The names are views: what they view
// must outlive the table.
// The value of a name in a table that only tells whether it holds the name.
struct Nothing
{
};

template <class Value, bool kIgnoringCase, bool kGroups = false>
class NameTable final
{
    struct NoGroup
    {
    };
    using Group = std::conditional_t<kGroups, std::uint32_t, NoGroup>;

public:
    struct Entry
    {
        const char *data;
        std::uint32_t size;
        std::uint32_t hash;
        [[no_unique_address]] Group group;
        [[no_unique_address]] Value value;
        std::string_view name() const { return {data, size}; }
    };

    // Room for this many names, kept ahead (the slots grow as they fill:
    // they are touched all over, where entries are touched in order).
    void reserve(std::size_t names) { m_entries.reserve(names); }

    // The value of the name in the group, where there is one; else null.
    const Value *find(std::string_view name, std::uint32_t group = 0) const
    {
        if (m_capacity == 0)
            return nullptr;
        const std::uint32_t number = m_slots[place(name, group, hash(name, group))];
        return number ? &m_entries[number - 1].value : nullptr;
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
        if (2 * (m_entries.size() + 1) > m_capacity)
            grow(std::max<std::size_t>(64, m_capacity * 2));
        const std::uint32_t h = hash(name, group);
        std::uint32_t &slot = m_slots[place(name, group, h)];
        if (slot)
            return {&m_entries[slot - 1].value, false};
        Entry entry{name.data(), std::uint32_t(name.size()), h, {}, value};
        if constexpr (kGroups)
            entry.group = group;
        m_entries.push_back(entry);
        slot = std::uint32_t(m_entries.size());
        return {&m_entries.back().value, true};
    }
    // No names any more; the room stays, for the next ones.
    void clear()
    {
        if (m_entries.size() * 8 < m_capacity) { // few: empty just their slots
            const std::size_t mask = m_capacity - 1;
            for (const Entry &entry : m_entries)
                for (std::size_t i = entry.hash & mask;; i = (i + 1) & mask)
                    if (std::exchange(m_slots[i], 0) == 0)
                        break;
        } else if (m_capacity) {
            std::fill_n(m_slots.get(), m_capacity, 0);
        }
        m_entries.clear();
    }
    // Every entry, in the order the names came; and just their names.
    const std::vector<Entry> &entries() const { return m_entries; }
    std::vector<std::string_view> names() const
    {
        std::vector<std::string_view> names;
        names.reserve(m_entries.size());
        for (const Entry &entry : m_entries)
            names.push_back(entry.name());
        return names;
    }
    std::size_t size() const { return m_entries.size(); }

private:
    static std::uint32_t hash(std::string_view name, std::uint32_t group)
    {
        std::uint32_t h = 2166136261u ^ group;
        for (char c : name)
            h = (h
                 ^ (kIgnoringCase ? static_cast<unsigned char>(c) | 0x20u
                                  : static_cast<unsigned char>(c)))
                * 16777619u;
        return h;
    }
    static bool same(std::string_view a, std::string_view b)
    {
        return kIgnoringCase ? sameIgnoringCase(a, b) : a == b;
    }
    static bool sameGroup(Group a, std::uint32_t b)
    {
        if constexpr (kGroups)
            return a == b;
        else
            return (void)a, b == 0;
    }
    // The slot of the name, or the empty one where it would go.
    std::size_t place(std::string_view name, std::uint32_t group, std::uint32_t h) const
    {
        const std::size_t mask = m_capacity - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const std::uint32_t number = m_slots[i];
            if (!number)
                return i;
            const Entry &entry = m_entries[number - 1];
            if (entry.hash == h && sameGroup(entry.group, group) && same(entry.name(), name))
                return i;
        }
    }
    // Slots from calloc: fresh pages the system gives already zeroed, and
    // touched only where a name lands.
    void grow(std::size_t capacity)
    {
        m_slots.reset(static_cast<std::uint32_t *>(std::calloc(capacity, sizeof(std::uint32_t))));
        if (!m_slots)
            throw std::bad_alloc();
        m_capacity = capacity;
        const std::size_t mask = m_capacity - 1;
        for (std::size_t number = 1; number <= m_entries.size(); ++number) {
            std::size_t i = m_entries[number - 1].hash & mask;
            while (m_slots[i])
                i = (i + 1) & mask;
            m_slots[i] = std::uint32_t(number);
        }
    }

    struct Free
    {
        void operator()(std::uint32_t *slots) const { std::free(slots); }
    };
    std::unique_ptr<std::uint32_t[], Free> m_slots; // entry numbers from 1; 0 for none
    std::size_t m_capacity = 0;
    std::vector<Entry> m_entries;
    static_assert(kGroups || !std::is_empty_v<Value> || sizeof(Entry) == 16);
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
