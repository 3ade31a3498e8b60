#include "shapes.h"

#include "script.h"

namespace shapes {
namespace {

std::string number(int n) { return std::to_string(n); }

std::vector<File> blocks(int blocks, bool ownNames)
{
    std::string text;
    for (int i = 1; i <= blocks; ++i) {
        const std::string n = number(i);
        script::ObjectFields fields{"crate " + n,
                                    ownNames ? "crate" + n : "crate",
                                    "static/crate.tik",
                                    number(i % 4096),
                                    "-256",
                                    number(i % 64),
                                    "0",
                                    number(i % 360),
                                    "0",
                                    "1.0"};
        text += script::blockText(script::objectBlock(fields));
    }
    return {{"maps/dm/blocks.scr", std::move(text)}};
}

// One level of nesting: an if, a while or a switch, by depth.
void open(std::string &text, int depth, const std::string &name)
{
    const std::string indent(std::size_t(depth), '\t');
    switch (depth % 3) {
    case 0:
        text += indent + "if (local.ready) {\r\n";
        break;
    case 1:
        text += indent + "while (local.waiting) {\r\n";
        break;
    default:
        text += indent + "switch (local.phase) {\r\n" + indent + "case " + number(depth) + ":\r\n";
        break;
    }
    text += indent + "\tlocal." + name + " = spawn script_model\r\n";
    text += indent + "\tlocal." + name + " model \"static/crate.tik\"\r\n";
}

void close(std::string &text, int depth, const std::string &name)
{
    const std::string indent(std::size_t(depth), '\t');
    text += indent + "\tlocal." + name + " rotateyup 30\r\n";
    if (depth % 3 == 2)
        text += indent + "\tbreak\r\n";
    text += indent + "}\r\n";
}

} // namespace

std::vector<File> ownNames(int count) { return blocks(count, true); }
std::vector<File> sharedName(int count) { return blocks(count, false); }

std::vector<File> labels(int count)
{
    std::string text = "main:\r\n";
    for (int i = 0; i < count; ++i)
        text +=
            "\tthread part" + number(i) + " local.door\r\n\twaitthread part" + number(i) + "\r\n";
    text += "end\r\n\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = number(i);
        text += "part" + n + " local.door:\r\n\tif (local.door == " + n + ") {\r\n\t\tgoto part"
                + number((i + 1) % count) + "\r\n\t}\r\n\tlocal.door rotateyup 30\r\n\twait 0.5\r\n"
                + "end\r\n\r\n";
    }
    return {{"maps/dm/labels.scr", std::move(text)}};
}

std::vector<File> nesting(int count)
{
    constexpr int kDepth = 50;
    std::string text;
    for (int group = 0; group < count; ++group) {
        const std::string g = number(group);
        for (int depth = 0; depth < kDepth; ++depth)
            open(text, depth, "crate" + g + "_" + number(depth));
        for (int depth = kDepth - 1; depth >= 0; --depth)
            close(text, depth, "crate" + g + "_" + number(depth));
    }
    return {{"maps/dm/nesting.scr", std::move(text)}};
}

std::vector<File> scripts(int count)
{
    constexpr int kLabels = 800; // about 50 KB a file
    std::vector<File> files;
    for (int f = 0; f < count; ++f) {
        const std::string next = "maps/dm/part" + number((f + 1) % count) + ".scr::";
        std::string text = "main:\r\n";
        for (int i = 0; i < kLabels; ++i)
            text += "\tthread " + next + "label" + number(i) + "\r\n";
        text += "end\r\n";
        for (int i = 0; i < kLabels; ++i)
            text += "label" + number(i) + ":\r\n\twait 1\r\nend\r\n";
        files.push_back({"maps/dm/part" + number(f) + ".scr", std::move(text)});
    }
    return files;
}

std::vector<Shape> all()
{
    return {{"%1 object blocks, each its own ID name", ownNames, 50'000},
            {"%1 object blocks, one ID name", sharedName, 50'000},
            {"%1 labels, called and gone to", labels, 60'000},
            {"%1 groups nested 50 deep", nesting, 700},
            {"%1 files of 50 KB calling one another", scripts, 200}};
}

} // namespace shapes
