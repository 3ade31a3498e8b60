#include "script.h"

#include <algorithm>

namespace script {
namespace {

std::string join(std::initializer_list<std::string_view> pieces)
{
    std::size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    std::string line;
    line.reserve(size);
    for (std::string_view piece : pieces)
        line += piece;
    return line;
}

// "( x y z )" with single spaces, values as typed (empty ones leave their spaces).
std::string triple(std::string_view x, std::string_view y, std::string_view z)
{
    return join({"( ", x, " ", y, " ", z, " )"});
}

void addComment(Lines &lines, std::string_view comment)
{
    if (!comment.empty())
        lines.push_back(join({"//", comment}));
}

} // namespace

bool anyEmpty(std::initializer_list<std::string_view> requiredInOrder) noexcept
{
    return std::ranges::any_of(requiredInOrder, [](std::string_view f) { return f.empty(); });
}

bool objectFieldsMissing(const ObjectFields &f) noexcept { return anyEmpty({f.idName, f.model}); }

bool triggerFieldsMissing(const TriggerFields &f) noexcept
{
    return anyEmpty({f.idName, f.thread, f.message});
}

Lines objectBlock(const ObjectFields &f)
{
    const std::string var = join({"local.", f.idName});
    Lines lines;
    lines.reserve(6);
    addComment(lines, f.comment);
    lines.push_back(join({var, " = spawn script_model"}));
    lines.push_back(join({var, " model \"", f.model, "\""}));
    lines.push_back(join({var, ".origin = ", triple(f.originX, f.originY, f.originZ)}));
    // "angles", not "angle": the game's angle setter takes a single yaw and
    // fails at run time on a vector, losing every angle the user typed.
    lines.push_back(join({var, ".angles = ", triple(f.angleY, f.angleP, f.angleR)}));
    lines.push_back(join({var, ".scale = ", f.scale}));
    return lines;
}

Lines triggerBlock(const TriggerFields &f)
{
    const std::string var = join({"local.", f.idName});
    Lines lines;
    lines.reserve(8);
    addComment(lines, f.comment);
    lines.push_back(join({var, " = spawn trigger_multiple"}));
    lines.push_back(join({var, ".origin = ", triple(f.originX, f.originY, f.originZ)}));
    // No "=" after setsize: the game's script compiler rejects an assignment
    // after a command name, which would stop the whole level script loading.
    lines.push_back(join({var, " setsize ", triple(f.sizeMinX, f.sizeMinY, f.sizeMinZ), " ",
                          triple(f.sizeMaxX, f.sizeMaxY, f.sizeMaxZ)}));
    lines.push_back(join({var, " setthread ", f.thread}));
    lines.push_back(join({var, " message \"", f.message, "\""}));
    lines.push_back(join({var, " wait ", f.wait}));
    lines.push_back(join({var, " delay ", f.delay}));
    return lines;
}

std::string blockText(const Lines &lines)
{
    std::size_t size = kLineEnd.size();
    for (const std::string &line : lines)
        size += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(size);
    for (const std::string &line : lines) {
        text += line;
        text += kLineEnd;
    }
    text += kLineEnd; // the empty separator line
    return text;
}

} // namespace script
