#pragma once

// The fixed texts the script windows show, each defined once.

#include <string_view>

namespace script::messages {

inline constexpr std::string_view kInputEmpty =
    "An input field is empty, please perform an input before processing the code";
inline constexpr std::string_view kNoScript = "There is no script to copy to the clipboard!";
inline constexpr std::string_view kScriptCopied = "The script has been copied to clipboard!";
inline constexpr std::string_view kScriptNotCopied =
    "The script could not be copied to the clipboard!";

} // namespace script::messages
