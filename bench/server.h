#pragma once

// The language server (spawnsmith-check --lsp) as an editor meets it: marks
// after a keystroke in a large script and a small one, its memory beside its
// open texts, the answers to definition, references and completion in a
// script of many labels and across a workspace of many scripts; each beside
// spawnsmith-check's own read of the same file, and the keystroke beside
// another language server of the game's scripts where one is given
// (SPAWNSMITH_OTHER_SERVER, a command line).
void measureServer();
