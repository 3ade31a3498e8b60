#pragma once

// Documents are named by URIs; scripts on disk by paths. Plain C++.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lsp {

// The path a file: URI names; nothing for any other.
std::optional<std::filesystem::path> pathOf(std::string_view uri);

// The file: URI of a path.
std::string uriOf(const std::filesystem::path &path);

// A path as scripts and tables compare them: absolute, '/' between folders,
// and on Windows, where letter case does not tell files apart, in lower case.
std::string pathKey(const std::filesystem::path &path);

} // namespace lsp
