#pragma once

// Which game the scripts of a folder are for: a file .spawnsmith in their
// folder, or the nearest folder above it, holding a line "game = aa" (the
// names of --game; '#' starts a comment). A mod that keeps a copy of its
// scripts for another game says so once, in that copy's folder. Read by
// spawnsmith-check and the language server alike. Plain C++.

#include "vocabulary.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace files {

inline constexpr std::string_view kGameFileName = ".spawnsmith";

struct GameFile
{
    std::filesystem::path path;       // of the file; empty where there is none
    std::optional<script::Game> game; // the game it names; nothing where it names none
    std::string error;                // "PATH:LINE: why" for a line it cannot take; empty for none
};

// What the text of a game file says; shownPath names it in the error.
GameFile readGameFile(std::string_view text, const std::filesystem::path &shownPath);

// The game file nearest to folder: in it or in a folder above, up to top
// where given (a workspace's folder), else up to the root. Its path is empty
// where there is none, and the error says why where it cannot be read.
GameFile findGameFile(const std::filesystem::path &folder, const std::filesystem::path &top = {});

} // namespace files
