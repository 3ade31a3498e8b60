#pragma once

// Composition of level-script blocks. Every value is used exactly as typed:
// no trimming, no escaping, no number parsing. Text is UTF-8 and passes
// through byte for byte. Plain C++ on purpose: no Qt here.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// Every line the tool writes ends with CR LF, the last line of a block too.
inline constexpr std::string_view kLineEnd = "\r\n";

using Lines = std::vector<std::string>;

struct ObjectFields
{
    std::string comment;
    std::string idName;
    std::string model;
    std::string originX, originY, originZ;
    std::string angleY, angleP, angleR;
    std::string scale;
};

struct TriggerFields
{
    std::string comment;
    std::string idName;
    std::string originX, originY, originZ;
    std::string sizeMinX, sizeMinY, sizeMinZ;
    std::string sizeMaxX, sizeMaxY, sizeMaxZ;
    std::string thread;
    std::string message;
    std::string wait;
    std::string delay;
};

// True when any of the required fields is the empty string (a blank is not
// empty). The caller then shows one message and appends nothing.
bool anyEmpty(std::initializer_list<std::string_view> requiredInOrder) noexcept;

bool objectFieldsMissing(const ObjectFields &fields) noexcept;   // ID name, model
bool triggerFieldsMissing(const TriggerFields &fields) noexcept; // ID name, thread, message

// The block's lines without line ends, the comment line first when the
// comment is not empty; the separator is added by blockText().
Lines objectBlock(const ObjectFields &fields);
Lines triggerBlock(const TriggerFields &fields);

// Each line followed by CR LF, then the empty separator line.
std::string blockText(const Lines &lines);

} // namespace script
