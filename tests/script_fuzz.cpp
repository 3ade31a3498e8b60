// libFuzzer target for block composition. Properties that must hold for any
// field values: the block text is its lines, each ended by CR LF, then one
// empty line; the line count is right; every value stands unchanged in its line.

#include "script.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

bool hasBreak(const std::string &s) { return s.find_first_of("\r\n") != std::string::npos; }

std::vector<std::string> splitOnLineEnds(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    require(start == text.size()); // nothing after the last line end
    return lines;
}

// expected: the lines after "local.<id>", in order; the comment line comes first when set.
void check(const script::Lines &lines, const std::string &comment, const std::string &id,
           const std::vector<std::string> &expected, bool breakFree, const std::string &buffer)
{
    const bool commented = !comment.empty();
    require(lines.size() == expected.size() + commented);
    if (commented)
        require(lines[0] == "//" + comment);
    for (std::size_t i = 0; i < expected.size(); ++i)
        require(lines[i + commented] == "local." + id + expected[i]);

    const std::string text = script::blockText(lines);
    require(text.size() >= 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0);
    if (breakFree) {
        const std::vector<std::string> split = splitOnLineEnds(text);
        require(split.size() == lines.size() + 1 && split.back().empty());
        for (std::size_t i = 0; i < lines.size(); ++i)
            require(split[i] == lines[i]);
    }
    require(script::appendBlock(buffer, lines) == buffer + text);
}

std::string triple(const std::string &x, const std::string &y, const std::string &z)
{
    return "( " + x + " " + y + " " + z + " )";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    std::vector<std::string> v(15);
    for (std::string &value : v)
        value = in.ConsumeRandomLengthString(40);
    const std::string buffer = in.ConsumeRemainingBytesAsString();
    bool breakFree = true;
    for (const std::string &value : v)
        breakFree = breakFree && !hasBreak(value);

    const script::ObjectFields o{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
    check(script::objectBlock(o), o.comment, o.idName,
          {" = spawn script_model", " model \"" + o.model + "\"",
           ".origin = " + triple(o.originX, o.originY, o.originZ),
           ".angle = " + triple(o.angleY, o.angleP, o.angleR), ".scale = " + o.scale},
          breakFree, buffer);
    require(script::objectFieldsMissing(o) == (o.idName.empty() || o.model.empty()));

    const script::TriggerFields t{v[0], v[1], v[2],  v[3],  v[4],  v[5],  v[6], v[7],
                                  v[8], v[9], v[10], v[11], v[12], v[13], v[14]};
    check(script::triggerBlock(t), t.comment, t.idName,
          {" = spawn trigger_multiple", ".origin = " + triple(t.originX, t.originY, t.originZ),
           " setsize " + triple(t.sizeMinX, t.sizeMinY, t.sizeMinZ) + " "
               + triple(t.sizeMaxX, t.sizeMaxY, t.sizeMaxZ),
           " setthread " + t.thread, " message \"" + t.message + "\"", " wait " + t.wait,
           " delay " + t.delay},
          breakFree, buffer);
    require(script::triggerFieldsMissing(t)
            == (t.idName.empty() || t.thread.empty() || t.message.empty()));
    return 0;
}
