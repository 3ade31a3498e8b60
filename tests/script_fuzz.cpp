// libFuzzer target for block composition: for any field values and any script
// before it, the appended text is the old script followed by every line of the
// block, values unchanged, each line ended by CR LF, then one empty line; and a
// block is refused exactly when a required field is empty.

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

std::string triple(const std::string &x, const std::string &y, const std::string &z)
{
    return "( " + x + " " + y + " " + z + " )";
}

// The comment line when there is one, then "local.<id>" and each suffix, each line with CR LF.
std::string block(const std::string &comment, const std::string &id,
                  const std::vector<std::string> &suffixes)
{
    std::string text = comment.empty() ? "" : "//" + comment + "\r\n";
    for (const std::string &suffix : suffixes)
        text += "local." + id + suffix + "\r\n";
    return text + "\r\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    std::vector<std::string> v(15);
    for (std::string &value : v)
        value = in.ConsumeRandomLengthString(40);
    const std::string before = in.ConsumeRemainingBytesAsString();

    const script::ObjectFields o{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
    require(script::appendBlock(before, script::objectBlock(o))
            == before
                   + block(v[0], v[1],
                           {" = spawn script_model", " model \"" + v[2] + "\"",
                            ".origin = " + triple(v[3], v[4], v[5]),
                            ".angles = " + triple(v[6], v[7], v[8]), ".scale = " + v[9]}));
    require(script::objectFieldsMissing(o) == (v[1].empty() || v[2].empty()));

    const script::TriggerFields t{v[0], v[1], v[2],  v[3],  v[4],  v[5],  v[6], v[7],
                                  v[8], v[9], v[10], v[11], v[12], v[13], v[14]};
    require(
        script::appendBlock(before, script::triggerBlock(t))
        == before
               + block(v[0], v[1],
                       {" = spawn trigger_multiple", ".origin = " + triple(v[2], v[3], v[4]),
                        " setsize " + triple(v[5], v[6], v[7]) + " " + triple(v[8], v[9], v[10]),
                        " setthread " + v[11], " message \"" + v[12] + "\"", " wait " + v[13],
                        " delay " + v[14]}));
    require(script::triggerFieldsMissing(t) == (v[1].empty() || v[11].empty() || v[12].empty()));
    return 0;
}
