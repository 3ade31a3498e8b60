#pragma once

// Level scripts of the shapes real input has, for the benchmark to time
// spawnsmith-check on: what the tool writes when a scripter numbers the
// objects, a script of thousands of labels, deep nesting, and many files
// that call one another. Each is made at a size given by a count, so that
// the time for half and for double each size can be read beside it.

#include <string>
#include <vector>

namespace shapes {

struct File
{
    std::string name; // a path, as a mod's files are named
    std::string text;
};

struct Shape
{
    const char *what;                     // for the report, with %1 for the count
    std::vector<File> (*make)(int count); // the script, or scripts, at that count
    int count;                            // the count that makes about 10 MB
};

// Object blocks as "Add to script" writes them: each with an ID name of its
// own (crate1, crate2, ...), or all with one.
std::vector<File> ownNames(int blocks);
std::vector<File> sharedName(int blocks);
// Labels, each called from main by thread and waitthread, each going on to
// the next with goto.
std::vector<File> labels(int labels);
// Groups of if, while and switch nested 50 deep, a variable spawned in each
// body and commands sent to it.
std::vector<File> nesting(int groups);
// Scripts of about 50 KB, each calling labels of the next with path::label.
std::vector<File> scripts(int files);

// The shapes, each at about 10 MB.
std::vector<Shape> all();

} // namespace shapes
