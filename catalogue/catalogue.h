#pragma once

// The model catalogue: three constant lists of model paths (plus a few heading
// rows), compiled into the tool. Plain C++ on purpose: no Qt here.

#include <span>
#include <string_view>

namespace catalogue {

// A list in stored order: size() is the count, [i] the entry at position i + 1.
using List = std::span<const std::string_view>;

List common() noexcept;      // the upper list of the Models List window
List uncommon() noexcept;    // the lower list of the Models List window
List suggestions() noexcept; // the drop-down of the Objects window's model box

} // namespace catalogue
