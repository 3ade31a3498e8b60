#include "outline.h"

#include "words.h"

#include <algorithm>

namespace script {

bool namesLabel(std::string_view command)
{
    for (const std::string_view naming :
         {"thread", "waitthread", "goto", "setthread", "exec", "waitexec"})
        if (sameIgnoringCase(command, naming))
            return true;
    return false;
}

namespace {

bool isExec(std::string_view command)
{
    return sameIgnoringCase(command, "exec") || sameIgnoringCase(command, "waitexec");
}

// Most lists come in order already: only a command among another's arguments
// is heard before it.
template <typename T, typename Less>
void sortBy(std::vector<T> &list, Less less)
{
    if (!std::is_sorted(list.begin(), list.end(), less))
        std::stable_sort(list.begin(), list.end(), less);
}

} // namespace

OutlineListener::OutlineListener(std::string_view text)
    : m_text(text)
{}

Span OutlineListener::plain(const Token &token) const
{
    if (token.kind == Tok::Text && token.end - token.begin >= 2)
        return {token.begin + 1, token.end - 1};
    return {token.begin, token.end};
}

void OutlineListener::label(const Token &at, std::string_view name, std::uint32_t colon)
{
    m_outline.labels.push_back({{at.begin, at.end}, std::string(name), colon, 0});
}

void OutlineListener::command(const CommandRead &read)
{
    const std::string_view name = wordOf(m_text, read.name);
    m_outline.commands.push_back({read.name.begin,
                                  std::uint16_t(std::min<std::size_t>(name.size(), UINT16_MAX)),
                                  read.kind,
                                  read.sent,
                                  {read.object.begin, read.object.end}});
    // The thread a label starts ends at the first end outside any body.
    if (m_depth == 0 && !read.sent && !m_outline.labels.empty() && m_outline.labels.back().end == 0
        && sameIgnoringCase(name, "end"))
        m_outline.labels.back().end = read.name.begin;
    const PlainArgument &first = read.argument;
    if (first.first.kind == Tok::End)
        return;
    if (namesLabel(name)) {
        const bool path = first.second.kind != Tok::End || isExec(name);
        m_outline.uses.push_back({read.name.begin, path ? plain(first.first) : Span{},
                                  first.second.kind != Tok::End ? plain(first.second)
                                  : path                        ? Span{}
                                                                : plain(first.first)});
    } else if (sameIgnoringCase(name, "model") && first.second.kind == Tok::End) {
        m_outline.models.push_back(plain(first.first));
    } else if (sameIgnoringCase(name, "spawn") && first.second.kind == Tok::End) {
        m_spawnAt = read.name.begin;
        m_spawned = plain(first.first);
        const std::string_view spawned = m_text.substr(m_spawned.begin, m_spawned.size());
        if (spawned.find('/') != std::string_view::npos
            || (spawned.size() > 4 && sameIgnoringCase(spawned.substr(spawned.size() - 4), ".tik")))
            m_outline.models.push_back(m_spawned);
    }
}

void OutlineListener::assigned(const AssignmentRead &assignment)
{
    // A field of X set (X.origin = ...) says only that X is a name the script
    // sets: kept once for statements in a row that set fields of the same X,
    // as a spawned object's are. X itself set is kept each time, for what it
    // holds.
    if (assignment.fieldOfIt) {
        const std::string_view it = m_text.substr(assignment.listener.begin,
                                                  assignment.field.end - assignment.listener.begin);
        if (it == m_lastFieldOf)
            return;
        m_lastFieldOf = it;
    }
    const bool spawned = assignment.whole && !assignment.element
                         && assignment.valueCommand != AssignmentRead::kNoCommand
                         && assignment.valueCommand == m_spawnAt;
    m_outline.fields.push_back({{assignment.listener.begin, assignment.listener.end},
                                {assignment.field.begin, assignment.field.end},
                                spawned ? m_spawned : Span{},
                                !assignment.fieldOfIt});
}

Outline OutlineListener::take()
{
    // A command is heard once its arguments are read, after the commands
    // among them.
    const auto byBegin = [](const auto &a, const auto &b) { return a.begin < b.begin; };
    sortBy(m_outline.commands, byBegin);
    sortBy(m_outline.uses,
           [](const OutlineUse &a, const OutlineUse &b) { return a.command < b.command; });
    sortBy(m_outline.models, byBegin);
    sortBy(m_outline.fields, [](const OutlineField &a, const OutlineField &b) {
        return a.listener.begin < b.listener.begin;
    });
    return std::move(m_outline);
}

void OutlineListener::entered(bool loop)
{
    (void)loop;
    ++m_depth;
}

void OutlineListener::left() { --m_depth; }

} // namespace script
