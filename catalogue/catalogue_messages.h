#pragma once

// What the Models List window says when an entry is taken or copied.

#include <string_view>

namespace catalogue::messages {

inline constexpr std::string_view kNoCommonSelection =
    "You need to select an item out of the common list first!";
inline constexpr std::string_view kNoUncommonSelection =
    "You need to select an item out of the un-common list first!";
inline constexpr std::string_view kNoItem = "There is no item to copy to clipboard!";
inline constexpr std::string_view kItemCopied = "The object has been copied to clipboard!";
inline constexpr std::string_view kItemNotCopied =
    "The object could not be copied to the clipboard!";

} // namespace catalogue::messages
