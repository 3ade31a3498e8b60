// The folds of a script (threads, braces, long comments) and its semantic
// tokens: each word coloured by what the game takes it for, from the words
// the lexer cuts and what the reading made of them.

#include "looking.h"

#include "lexer.h"

#include <algorithm>

namespace lsp {
namespace {

struct Coloured
{
    script::Span span;
    Colour colour;
    bool declared = false;
};

// The comments between the words of a text, and those a line end holds.
std::vector<script::Span> commentsIn(std::string_view text, std::string_view between,
                                     std::size_t at)
{
    std::vector<script::Span> found;
    for (std::size_t i = between.find('/'); i != std::string_view::npos;
         i = between.find('/', i + 1)) {
        if (i + 1 >= between.size())
            break;
        if (between[i + 1] == '/') { // to the line's end; one line end may hold more lines of them
            const std::size_t end = std::min(text.find_first_of("\r\n", at + i), text.size());
            found.push_back({std::uint32_t(at + i), std::uint32_t(end)});
            i = end - at;
            continue;
        }
        if (between[i + 1] == '*') {
            const std::size_t close = between.find("*/", i + 2);
            const std::size_t end = close == std::string_view::npos ? between.size() : close + 2;
            found.push_back({std::uint32_t(at + i), std::uint32_t(at + end)});
            i = end - 1;
        }
    }
    return found;
}

// The words of the text the lexer colours, and its comments, in order.
std::vector<Coloured> lexed(std::string_view text)
{
    std::vector<Coloured> out;
    script::Lexer lexer(text);
    std::size_t last = 0;
    script::Token before, previous;
    for (script::Token t = lexer.next();; t = lexer.next()) {
        const std::size_t gapEnd = t.kind == script::Tok::End ? lexer.length() : t.begin;
        if (gapEnd > last)
            for (const script::Span comment :
                 commentsIn(text, text.substr(last, gapEnd - last), last))
                out.push_back({comment, Colour::Comment});
        if (t.kind == script::Tok::End)
            return out;
        last = t.end;
        using script::Tok;
        if (t.kind == Tok::Eol || t.kind == Tok::OpenComment) {
            for (const script::Span comment :
                 commentsIn(text, text.substr(t.begin, t.end - t.begin), t.begin))
                out.push_back({comment, Colour::Comment});
        } else if (t.kind == Tok::Text) {
            out.push_back({{t.begin, t.end}, Colour::String});
        } else if (t.kind == Tok::Integer || t.kind == Tok::Float) {
            out.push_back({{t.begin, t.end}, Colour::Number});
        } else if (script::isKeyword(t.kind)) {
            out.push_back({{t.begin, t.end}, Colour::Keyword});
        } else if ((t.kind == Tok::Name || t.kind == Tok::Size) && previous.kind == Tok::Period
                   && (before.kind == Tok::Listener)) {
            out.push_back({{before.begin, t.end}, Colour::Variable});
        } else if (t.kind == Tok::Name && previous.kind == Tok::Dollar) {
            out.push_back({{previous.begin, t.end}, Colour::Variable});
        }
        before = previous;
        previous = t;
    }
}

// What the reading made of words: labels, commands, classes spawned.
std::vector<Coloured> read(const Known &known)
{
    const script::Outline &outline = known.read->outline;
    std::vector<Coloured> out;
    for (const script::OutlineLabel &label : outline.labels)
        out.push_back({label.at, Colour::Label, true});
    for (const script::OutlineCommand &command : outline.commands)
        out.push_back({{command.begin, command.begin + command.size}, Colour::Command});
    for (const script::OutlineUse &use : outline.uses) {
        if (!use.path.empty())
            out.push_back({use.path, Colour::String});
        if (!use.label.empty())
            out.push_back({use.label, Colour::Label});
    }
    for (const script::OutlineField &field : outline.fields)
        if (!field.spawned.empty())
            out.push_back({field.spawned, Colour::Class});
    std::sort(out.begin(), out.end(),
              [](const Coloured &a, const Coloured &b) { return a.span.begin < b.span.begin; });
    return out;
}

bool overlap(script::Span a, script::Span b) { return a.begin < b.end && b.begin < a.end; }

} // namespace

std::vector<std::uint32_t> Answers::colours(const std::string &uri)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    const std::string &text = *known->read->text;
    const Lines &lines = *known->read->lines;
    const Encoding encoding = m_scripts.encoding();
    // What the reading knows wins over what the lexer alone sees.
    const std::vector<Coloured> known1 = read(*known);
    std::vector<Coloured> all;
    std::size_t k = 0;
    for (const Coloured &word : lexed(text)) {
        while (k < known1.size() && known1[k].span.end <= word.span.begin)
            all.push_back(known1[k++]);
        bool covered = false;
        for (std::size_t j = k; j < known1.size() && known1[j].span.begin < word.span.end; ++j)
            covered = covered || overlap(known1[j].span, word.span);
        if (!covered)
            all.push_back(word);
    }
    all.insert(all.end(), known1.begin() + std::ptrdiff_t(k), known1.end());
    std::stable_sort(all.begin(), all.end(), [](const Coloured &a, const Coloured &b) {
        return a.span.begin < b.span.begin;
    });
    std::vector<std::uint32_t> data;
    Position last;
    std::size_t coveredTo = 0;
    for (const Coloured &word : all) {
        if (word.span.begin < coveredTo)
            continue; // within a word already coloured
        coveredTo = word.span.end;
        // A token holds one line: a long comment is one a line.
        for (std::size_t from = word.span.begin; from < word.span.end;) {
            const Position start = lines.position(text, from, encoding);
            const std::size_t lineEnd =
                std::min<std::size_t>(word.span.end, lines.end(text, start.line));
            const std::size_t length =
                units(std::string_view(text).substr(from, lineEnd - from), encoding);
            if (length > 0) {
                data.insert(
                    data.end(),
                    {start.line - last.line,
                     start.line == last.line ? start.character - last.character : start.character,
                     std::uint32_t(length), std::uint32_t(word.colour), word.declared ? 1u : 0u});
                last = start;
            }
            if (start.line + 1 >= lines.count())
                break;
            from = std::max(lineEnd + 1, lines.start(start.line + 1));
        }
    }
    return data;
}

std::vector<Fold> Answers::folds(const std::string &uri)
{
    const std::optional<Known> known = m_scripts.document(uri);
    if (!known)
        return {};
    const std::string &text = *known->read->text;
    const Lines &lines = *known->read->lines;
    std::vector<Fold> folds;
    const auto add = [&](std::size_t from, std::size_t to, bool comment) {
        const auto first = std::uint32_t(lines.lineOf(from)),
                   last = std::uint32_t(lines.lineOf(to));
        if (last > first)
            folds.push_back({first, last, comment});
    };
    for (const script::OutlineLabel &label : known->read->outline.labels) {
        const std::size_t end = threadEnd(*known, label);
        // Without an end, the thread runs to the line before the next label.
        add(label.at.begin, label.end ? label.end : std::max<std::size_t>(label.at.begin, end - 1),
            false);
    }
    std::vector<std::size_t> open;
    script::Lexer lexer(text);
    for (script::Token t = lexer.next(); t.kind != script::Tok::End; t = lexer.next()) {
        if (t.kind == script::Tok::LBrace) {
            open.push_back(t.begin);
        } else if (t.kind == script::Tok::RBrace && !open.empty()) {
            // The closing brace stays in sight.
            if (lines.lineOf(t.begin) > lines.lineOf(open.back()) + 1)
                add(open.back(), lines.start(lines.lineOf(t.begin) - 1), false);
            open.pop_back();
        }
    }
    // Long comments, and runs of // comments on lines one after the other.
    std::size_t runFrom = 0, runLine = 0, runLines = 0;
    const auto endRun = [&] {
        if (runLines > 1)
            folds.push_back({std::uint32_t(lines.lineOf(runFrom)), std::uint32_t(runLine), true});
        runLines = 0;
    };
    for (const Coloured &word : lexed(text)) {
        if (word.colour != Colour::Comment)
            continue;
        const std::size_t line = lines.lineOf(word.span.begin);
        if (line != lines.lineOf(word.span.end - 1)) {
            add(word.span.begin, word.span.end - 1, true);
            continue;
        }
        if (runLines == 0 || line != runLine + 1) {
            endRun();
            runFrom = word.span.begin;
        }
        runLine = line;
        ++runLines;
    }
    endRun();
    std::sort(folds.begin(), folds.end(),
              [](const Fold &a, const Fold &b) { return a.start < b.start; });
    return folds;
}

} // namespace lsp
