#include "warning.h"

#include "words.h"

namespace script {

std::string_view code(WarningKind kind)
{
    switch (kind) {
    case WarningKind::NoLabel:
        return "no-label";
    case WarningKind::NoLabelThere:
        return "no-label-there";
    case WarningKind::NoClass:
        return "no-class";
    case WarningKind::NotAnswered:
        return "not-answered";
    }
    return {};
}

std::string sentence(const Warning &warning)
{
    const std::string word = "'" + shown(warning.word) + "'";
    const std::string ending = didYouMean(warning.nearest);
    switch (warning.kind) {
    case WarningKind::NoLabel:
        return "The game finds no label " + word + " in this script, so the line fails when it runs"
               + ending;
    case WarningKind::NoLabelThere:
        return "The game finds no label " + word + " in " + shown(warning.where)
               + ", so the line fails when it runs" + ending;
    case WarningKind::NoClass:
        return "The game has no class " + word
               + " and it names no model, so the spawn fails when it runs" + ending;
    case WarningKind::NotAnswered:
        return "The game's " + shown(warning.where) + " does not answer " + word
               + ", so the line fails when it runs" + ending;
    }
    return {};
}

} // namespace script
