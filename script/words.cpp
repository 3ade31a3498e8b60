#include "words.h"

#include <algorithm>

namespace script {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Longer than any name a sentence quotes whole.
constexpr std::size_t kShownLength = 40;

// Names longer than any command are given no suggestion: the distance of
// every pair would cost a scan of the whole list each time.
constexpr std::size_t kLongestName = 64;

// How far off a suggestion may be: one edit for short names, two for others.
std::size_t reach(std::string_view name) { return name.size() <= 4 ? 1 : 2; }

// Questions answered by reading the whole list before it is indexed: a
// short list, or a few questions, cost less than the index.
constexpr std::size_t kScansBeforeIndex = 16;
constexpr std::size_t kShortList = 256;

// Every name made by leaving out up to two letters of name, letter case
// aside, each once: two names within two edits share one of these.
std::vector<std::string> shortened(std::string_view name)
{
    std::vector<std::string> out{folded(name)};
    for (std::size_t i = 0; i < name.size(); ++i) {
        std::string one = out[0];
        one.erase(i, 1);
        for (std::size_t j = i; j < one.size(); ++j)
            out.push_back(std::string(one).erase(j, 1));
        out.push_back(std::move(one));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace

std::string shown(std::string_view word)
{
    std::string out;
    for (char c : word.substr(0, kShownLength))
        out += (c >= 0x20 && c < 0x7f) ? c : '?';
    if (word.size() > kShownLength)
        out += "...";
    return out;
}

std::string didYouMean(std::string_view nearest)
{
    return nearest.empty() ? "." : ": did you mean '" + shown(nearest) + "'?";
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    // Most names compared are written alike.
    return a.size() == b.size()
           && (a == b || std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return lower(x) == lower(y);
               }));
}

std::string folded(std::string_view name)
{
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit)
{
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit)
        return limit + 1;
    // Three rows of the usual table: the one before last is for a swap.
    std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        last[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        std::size_t least = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = lower(a[i - 1]) == lower(b[j - 1]);
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (same ? 0 : 1)});
            if (i > 1 && j > 1 && lower(a[i - 1]) == lower(b[j - 2])
                && lower(a[i - 2]) == lower(b[j - 1]))
                row[j] = std::min(row[j], before[j - 2] + 1);
            least = std::min(least, row[j]);
        }
        if (least > limit)
            return limit + 1;
        std::swap(before, last);
        std::swap(last, row);
    }
    return std::min(last[b.size()], limit + 1);
}

std::string_view nearestName(std::string_view name, std::span<const std::string_view> candidates)
{
    if (name.empty() || name.size() > kLongestName)
        return {};
    std::string_view best;
    std::size_t bestDistance = reach(name) + 1;
    bool bestSameLength = false;
    for (std::string_view candidate : candidates) {
        const std::size_t distance = editDistance(name, candidate, bestDistance);
        const bool sameLength = candidate.size() == name.size();
        if (distance == 0)
            continue; // the name itself, in another letter case
        if (distance < bestDistance
            || (distance == bestDistance && sameLength && !bestSameLength
                && distance <= reach(name))) {
            best = candidate;
            bestDistance = distance;
            bestSameLength = sameLength;
        }
    }
    return best;
}

NearNames::NearNames(std::vector<std::string_view> names)
    : m_names(std::move(names))
{}

std::string_view NearNames::nearest(std::string_view name)
{
    if (name.empty() || name.size() > kLongestName)
        return {};
    const auto known = m_answers.find(folded(name));
    if (known != m_answers.end())
        return known->second;
    std::string_view answer;
    if (m_index.empty() && (m_names.size() <= kShortList || m_scans < kScansBeforeIndex)) {
        ++m_scans;
        answer = nearestName(name, m_names);
    } else {
        if (m_index.empty())
            index();
        // The names that share a shortened form with this one, in their order.
        std::vector<std::uint32_t> numbers;
        for (const std::string &form : shortened(name)) {
            const std::uint64_t hash = std::uint64_t(hashName(form, true)) << 32;
            for (auto at = std::lower_bound(m_index.begin(), m_index.end(), hash);
                 at != m_index.end() && (*at >> 32) == (hash >> 32); ++at)
                numbers.push_back(std::uint32_t(*at));
        }
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        std::vector<std::string_view> candidates;
        for (std::uint32_t number : numbers)
            candidates.push_back(m_names[number]);
        answer = nearestName(name, candidates);
    }
    m_answers.emplace(folded(name), answer);
    return answer;
}

void NearNames::index()
{
    for (std::size_t number = 0; number < m_names.size(); ++number) {
        if (m_names[number].size() > kLongestName + 2)
            continue; // too long to be within reach of any name asked about
        for (const std::string &form : shortened(m_names[number]))
            m_index.push_back(std::uint64_t(hashName(form, true)) << 32 | number);
    }
    std::sort(m_index.begin(), m_index.end());
}

} // namespace script
