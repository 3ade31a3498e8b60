#pragma once

// What the answers share: where a position is in a script read, what word
// stands there, and which label a use names. Plain C++.

#include "answers.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lsp {

using Known = ScriptServer::Known;

std::size_t offsetIn(const Known &known, Position at, Encoding encoding);
Range rangeIn(const Known &known, script::Span span, Encoding encoding);
std::string_view wordIn(const Known &known, script::Span span);

// The label or use at an offset, within its word or right after it.
const script::OutlineLabel *labelAt(const script::Outline &outline, std::size_t offset);
const script::OutlineUse *useAt(const script::Outline &outline, std::size_t offset);
const script::OutlineCommand *commandAt(const script::Outline &outline, std::size_t offset);
bool within(script::Span span, std::size_t offset);

// A label of a script: the one written so, else one of that name letter case aside.
const script::OutlineLabel *labelNamed(const script::Outline &outline, std::string_view name);

// A label and the script it stands in.
struct LabelIn
{
    Known script;
    const script::OutlineLabel *label;
};

// The label a use names: in its own script, or in the one its path names.
std::optional<LabelIn> labelOf(ScriptServer &scripts, const Known &from,
                               const script::OutlineUse &use);
// The label at a position: the one written there, or the one a use there names.
std::optional<LabelIn> labelAtPosition(ScriptServer &scripts, const std::string &uri, Position at);

// A use of a label, in a script.
struct UseIn
{
    Known script;
    const script::OutlineUse *use;
};
// Every use of the label, in every script of the workspace.
std::vector<UseIn> usesOf(ScriptServer &scripts, const LabelIn &label);

// A label's parameters as written before its colon; empty for none.
std::string parametersOf(const Known &known, const script::OutlineLabel &label);

// The label whose thread holds an offset: the last one before it.
const script::OutlineLabel *threadAt(const script::Outline &outline, std::size_t offset);
// Where a label's thread ends: its end, else the next label, else the text's end.
std::size_t threadEnd(const Known &known, const script::OutlineLabel &label);

// The model paths of the tool's catalogue (the Models List window's lists,
// without their heading rows), in its order.
const std::vector<std::string_view> &catalogueModels();
// Whether the catalogue has a model path, letter case aside, with or without
// the "models/" folder before it.
bool inCatalogue(std::string_view path);

// A listener's field written around an offset: local.crate, level.alarm.
struct Variable
{
    script::Span listener, field;
};
std::optional<Variable> variableAt(std::string_view text, std::size_t offset);

// The class name a field was last spawned as before an offset (the field
// set since to no spawn: none); empty for none.
std::string_view spawnedAs(const Known &known, std::string_view listener, std::string_view field,
                           std::size_t before);

} // namespace lsp
