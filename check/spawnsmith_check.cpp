// spawnsmith-check: tells whether the game would load each level script given,
// and where it would stop, in the FILE:LINE:COLUMN form editors jump to.
// Plain C++ and the script reader only; reads any bytes, writes nothing.

#include "levelscript.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifndef SPAWNSMITH_VERSION
#define SPAWNSMITH_VERSION "unknown"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: spawnsmith-check [--game GAME] [--strict] [FILE]...\n"
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
    "      --strict     count a warning as a failure\n"
    "  -h, --help       show this help and exit\n"
    "  -V, --version    show the version and exit\n"
    "\n"
    "Exit status: 0 when every script loads, 1 when any does not (or, with --strict,\n"
    "has a warning), 2 when a file cannot be read or an option or game is unknown.\n";

// The games --game names, as scripters name them.
constexpr std::pair<std::string_view, script::Game> kGames[] = {
    {"aa", script::Game::AlliedAssault}, {"aa-reborn", script::Game::AlliedAssaultReborn},
    {"sh", script::Game::Spearhead},     {"sh-nightfall", script::Game::SpearheadNightFall},
    {"bt", script::Game::Breakthrough},  {"bt-nightfall", script::Game::BreakthroughNightFall},
    {"opm", script::Game::OpenMoHAA},
};

// A script's bytes: a file mapped into memory where the system can, else read
// whole into a string.
class ScriptFile
{
public:
    ScriptFile() = default;
    explicit ScriptFile(std::string text)
        : m_text(std::move(text))
        , m_view(m_text)
    {}
    ScriptFile(const ScriptFile &) = delete;
    ScriptFile &operator=(const ScriptFile &) = delete;
    ~ScriptFile()
    {
#ifndef _WIN32
        if (m_mapped)
            munmap(m_mapped, m_view.size());
#endif
    }

    std::string_view text() const { return m_view; }

#ifndef _WIN32
    // Maps a regular file of a megabyte or more; nothing for anything else.
    // A smaller one is read into memory the last one freed, which costs less
    // than mapping and unmapping it.
    static std::unique_ptr<ScriptFile> map(int fd)
    {
        constexpr off_t kLarge = 1 << 20;
        struct stat status = {};
        if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < kLarge)
            return nullptr;
        const auto size = static_cast<std::size_t>(status.st_size);
        void *mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapped == MAP_FAILED)
            return nullptr;
        auto script = std::make_unique<ScriptFile>();
        script->m_mapped = mapped;
        script->m_view = {static_cast<const char *>(mapped), size};
        return script;
    }
#endif

private:
    std::string m_text;
    void *m_mapped = nullptr;
    std::string_view m_view;
};

// The whole stream, byte for byte; nothing when reading fails. A file of
// known size is read in one go, into a buffer of that size.
std::unique_ptr<ScriptFile> readAll(std::FILE *stream)
{
    std::string text;
    // A folder may claim any size here: trust only what a script could be.
    constexpr long kLargest = 1L << 30;
    if (std::fseek(stream, 0, SEEK_END) == 0) {
        const long size = std::ftell(stream);
        if (size > 0 && size <= kLargest)
            text.reserve(static_cast<std::size_t>(size));
        std::rewind(stream);
    }
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        text.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(stream))
        return nullptr;
    return std::make_unique<ScriptFile>(std::move(text));
}

std::unique_ptr<ScriptFile> readFile(const std::string &path)
{
    if (path == "-")
        return readAll(stdin);
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
#ifndef _WIN32
    // Mapped, a large script is read straight from the system's cache.
    if (std::unique_ptr<ScriptFile> mapped = ScriptFile::map(fileno(file))) {
        std::fclose(file);
        return mapped;
    }
#endif
    std::unique_ptr<ScriptFile> script = readAll(file);
    std::fclose(file);
    return script;
}

// One script given to check, and what the reader found in it.
struct Checked
{
    std::string shownAs;
    bool readable = false;
    int error = 0; // why it could not be read: errno, or -1 for a read error
    script::LevelScript script;
};

Checked check(const std::string &path, const script::Vocabulary &vocabulary)
{
    Checked checked{path == "-" ? "<stdin>" : path, false, 0, {}};
    std::unique_ptr<ScriptFile> contents;
    errno = 0;
    try {
        contents = readFile(path);
    } catch (const std::bad_alloc &) {
        errno = ENOMEM;
    }
    if (!contents) {
        checked.error = errno ? errno : -1;
        return checked;
    }
    checked.readable = true;
    checked.script = script::readLevelScript(contents->text(), vocabulary);
    return checked;
}

// Every file, read on as many threads as the machine has cores (two at the
// most pays: a large script is read on two already), in any order; each
// result in its place.
std::vector<Checked> checkAll(const std::vector<std::string> &files,
                              const script::Vocabulary &vocabulary)
{
    std::vector<Checked> checked(files.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < files.size();)
            checked[i] = check(files[i], vocabulary);
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
            std::fprintf(stderr, "spawnsmith-check: cannot read %s: %s\n", c.shownAs.c_str(),
                         c.error > 0 ? std::strerror(c.error) : "read error");
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

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY); // CR LF reaches the reader as it is in the file
#endif
    bool options = true, strict = false;
    script::Game game = script::Game::Any;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--strict") {
            strict = true;
        } else if (options && (arg == "--game" || arg.starts_with("--game="))) {
            const std::string_view name =
                arg == "--game" ? (i + 1 < argc ? argv[++i] : "") : arg.substr(7);
            const auto found = std::find_if(std::begin(kGames), std::end(kGames),
                                            [name](const auto &g) { return g.first == name; });
            if (found == std::end(kGames)) {
                std::fprintf(stderr, "spawnsmith-check: unknown game '%.*s'\n%s", int(name.size()),
                             name.data(), kUsage.data());
                return 2;
            }
            game = found->second;
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
            files.emplace_back(arg);
        }
    }
    if (files.empty())
        files.emplace_back("-");
    // All are read before any is reported: one may use labels of another.
    std::vector<Checked> checked = checkAll(files, script::Vocabulary::game(game));
    std::vector<script::NamedScript> named;
    for (Checked &c : checked)
        if (c.readable)
            named.push_back({c.shownAs, &c.script});
    script::checkLabelsAcross(named);
    int worst = 0;
    for (const Checked &c : checked)
        worst = std::max(worst, report(c, strict));
    std::fflush(stdout);
    return worst;
}
