#pragma once

// spawnsmith-check --lsp: the language server on standard input and output.

#include "vocabulary.h"

#include <optional>

namespace lsp {

// Serves until told to exit, or until standard input ends; the exit status.
// given: the game of --game.
int serve(std::optional<script::Game> given);

} // namespace lsp
