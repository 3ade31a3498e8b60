// spawnsmith-check: tells whether the game would load each level script given,
// and where it would stop, in the FILE:LINE:COLUMN form editors jump to.
// Plain C++ and the script reader only; reads any bytes, writes nothing. With
// --lsp it is a language server instead (lsp/), for editors.

#include "gamefile.h"
#include "levelscript.h"
#include "scriptfile.h"
#include "serve.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <variant>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#ifndef SPAWNSMITH_VERSION
#define SPAWNSMITH_VERSION "unknown"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: spawnsmith-check [--game GAME] [--strict] [FILE]...\n"
    "       spawnsmith-check --lsp [--game GAME]\n"
    "Reads each level script as Medal of Honor: Allied Assault reads it and prints\n"
    "FILE:LINE:COLUMN: error: SENTENCE for each one the game would not load, and\n"
    "FILE:LINE:COLUMN: warning: SENTENCE [KIND] for each line it loads that fails\n"
    "when it runs. With no FILE, or when FILE is -, reads standard input.\n"
    "\n"
    "      --game GAME  check for one game, which refuses the commands it does not\n"
    "                   know; without it, a command any of them knows is taken:\n"
    "                     aa            Allied Assault 1.11\n"
    "                     aa-reborn     Allied Assault with the Reborn patch (1.12)\n"
    "                     sh            Spearhead 2.15\n"
    "                     sh-nightfall  Spearhead 2.15 with the NightFall patch\n"
    "                     bt            Breakthrough 2.40\n"
    "                     bt-nightfall  Breakthrough 2.40 with the NightFall patch\n"
    "                     opm           OpenMoHAA\n"
    "                   Which game knows which command comes from the engine's\n"
    "                   public source and an editor package's list; where they\n"
    "                   disagree, or neither says, the game is taken to know it.\n"
    "                   Without --game, a file .spawnsmith in the script's folder,\n"
    "                   or the nearest folder above it, may name the game in a\n"
    "                   line game = GAME ('#' starts a comment).\n"
    "      --strict     count a warning as a failure\n"
    "      --lsp        be a language server for an editor: the Language Server\n"
    "                   Protocol on standard input and output\n"
    "  -h, --help       show this help and exit\n"
    "  -V, --version    show the version and exit\n"
    "\n"
    "Exit status: 0 when every script loads, 1 when any does not (or, with --strict,\n"
    "has a warning), 2 when a file cannot be read, an option or game is unknown, or\n"
    "a .spawnsmith file holds a line it cannot take.\n";

// One script given to check, and what the reader found in it.
struct Checked
{
    std::string shownAs;
    bool readable = false;
    std::string error; // why it could not be read, or be checked
    script::LevelScript script;
};

// The game a script is for: the one --game names, else the one its folder's
// game file names, else any.
class Games final
{
public:
    explicit Games(std::optional<script::Game> given)
        : m_given(given)
    {}

    // The game file's error instead, where it has one.
    std::variant<script::Game, std::string> of(const std::string &path)
    {
        if (m_given)
            return *m_given;
        const std::filesystem::path folder =
            path == "-" ? std::filesystem::path(".") : std::filesystem::path(path).parent_path();
        const std::lock_guard lock(m_mutex);
        auto [found, fresh] = m_byFolder.try_emplace(folder.empty() ? "." : folder.string());
        if (fresh)
            found->second = files::findGameFile(folder.empty() ? "." : folder);
        const files::GameFile &file = found->second;
        if (!file.error.empty())
            return file.error;
        return file.game.value_or(script::Game::Any);
    }

private:
    std::optional<script::Game> m_given;
    std::mutex m_mutex;
    std::unordered_map<std::string, files::GameFile> m_byFolder;
};

Checked check(const std::string &path, Games &games)
{
    Checked checked{path == "-" ? "<stdin>" : path, false, {}, {}};
    const auto game = games.of(path);
    if (const std::string *error = std::get_if<std::string>(&game)) {
        checked.error = *error;
        return checked;
    }
    const std::unique_ptr<files::ScriptFile> contents = files::readScriptFile(path);
    if (!contents) {
        checked.error =
            "cannot read " + checked.shownAs + ": " + (errno ? std::strerror(errno) : "read error");
        return checked;
    }
    checked.readable = true;
    checked.script = script::readLevelScript(
        contents->text(), script::Vocabulary::game(std::get<script::Game>(game)));
    return checked;
}

// Every file, read on as many threads as the machine has cores (two at the
// most pays: a large script is read on two already), in any order; each
// result in its place.
std::vector<Checked> checkAll(const std::vector<std::string> &files, Games &games)
{
    std::vector<Checked> checked(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < files.size();)
            checked[i] = check(files[i], games);
    };
    const std::size_t threads =
        std::min<std::size_t>({2, std::max(1u, std::thread::hardware_concurrency()), files.size()});
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
    for (const Checked &c : checked)
        if (!c.readable)
            std::fprintf(stderr, "spawnsmith-check: %s\n", c.error.c_str());
    return checked;
}

// The report of one script; its exit status: 0 fine, 1 a failure, 2 unreadable.
int report(const Checked &checked, bool strict)
{
    if (!checked.readable)
        return 2;
    const char *file = checked.shownAs.c_str();
    if (const std::optional<script::Stop> &stop = checked.script.stop) {
        std::printf("%s:%zu:%zu: error: %s\n", file, stop->line, stop->column,
                    stop->sentence.c_str());
        return 1;
    }
    for (const script::Warning &warning : checked.script.warnings)
        std::printf("%s:%zu:%zu: warning: %s [%s]\n", file, warning.place.line,
                    warning.place.column, script::sentence(warning).c_str(),
                    std::string(script::code(warning.kind)).c_str());
    return strict && !checked.script.warnings.empty() ? 1 : 0;
}

// What the command line asks for.
struct Options
{
    bool strict = false, lsp = false;
    std::optional<script::Game> game;
    std::vector<std::string> files;
};

// The options, or the exit status where the command line already says all.
std::variant<Options, int> parse(int argc, char **argv)
{
    Options o;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--strict") {
            o.strict = true;
        } else if (options && arg == "--lsp") {
            o.lsp = true;
        } else if (options && (arg == "--game" || arg.starts_with("--game="))) {
            const std::string_view name =
                arg == "--game" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(7);
            o.game = script::gameCalled(name);
            if (!o.game) {
                std::fprintf(stderr, "spawnsmith-check: unknown game '%.*s'\n%s", int(name.size()),
                             name.data(), kUsage.data());
                return 2;
            }
        } else if (options && (arg == "-h" || arg == "--help")) {
            std::fputs(kUsage.data(), stdout);
            return 0;
        } else if (options && (arg == "-V" || arg == "--version")) {
            std::printf("spawnsmith-check %s\n", SPAWNSMITH_VERSION);
            return 0;
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "spawnsmith-check: unknown option %s\n%s", argv[i], kUsage.data());
            return 2;
        } else {
            o.files.emplace_back(arg);
        }
    }
    return o;
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    // CR LF reaches the reader as it is in the file, and the server's
    // messages keep the lengths their headers give.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    const std::variant<Options, int> parsed = parse(argc, argv);
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const Options &options = std::get<Options>(parsed);
    if (options.lsp)
        return lsp::serve(options.game);
    std::vector<std::string> files = options.files;
    if (files.empty())
        files.emplace_back("-");
    // All are read before any is reported: one may use labels of another.
    Games games(options.game);
    std::vector<Checked> checked = checkAll(files, games);
    std::vector<script::NamedScript> named;
    for (Checked &c : checked)
        if (c.readable)
            named.push_back({c.shownAs, &c.script});
    script::checkLabelsAcross(named);
    int worst = 0;
    for (const Checked &c : checked)
        worst = std::max(worst, report(c, options.strict));
    std::fflush(stdout);
    return worst;
}
