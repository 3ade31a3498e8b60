#pragma once

// A message's JSON, parsed by nlohmann's library into its tree as the
// library's own builder does, but with every string moved into the tree
// rather than copied: a document's text is megabytes, and a second copy of
// it would double the server's memory while a message is read.

#include <nlohmann/json.hpp>

#include <optional>
#include <string_view>

namespace lsp {

// Nothing where the bytes are no JSON.
std::optional<nlohmann::json> parseJson(std::string_view bytes);

} // namespace lsp
