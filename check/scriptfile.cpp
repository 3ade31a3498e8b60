#include "scriptfile.h"

#include <cerrno>
#include <cstdio>
#include <new>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace files {

ScriptFile::ScriptFile(std::string text)
    : m_text(std::move(text))
    , m_view(m_text)
{}

ScriptFile::~ScriptFile()
{
#ifndef _WIN32
    if (m_mapped)
        munmap(m_mapped, m_view.size());
#endif
}

std::string ScriptFile::take()
{
    std::string text = m_mapped ? std::string(m_view) : std::move(m_text);
    m_text.clear();
    m_view = {};
    return text;
}

namespace {

#ifndef _WIN32
// Maps a regular file of a megabyte or more; nothing for anything else. A
// smaller one is read into memory the last one freed, which costs less than
// mapping and unmapping it.
void *mapped(int fd, std::size_t &size)
{
    constexpr off_t kLarge = 1 << 20;
    struct stat status = {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < kLarge)
        return nullptr;
    size = static_cast<std::size_t>(status.st_size);
    void *at = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    return at == MAP_FAILED ? nullptr : at;
}
#endif

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

} // namespace

std::unique_ptr<ScriptFile> readScriptFile(const std::string &path)
{
    errno = 0;
    try {
        if (path == "-")
            return readAll(stdin);
        std::FILE *file = std::fopen(path.c_str(), "rb");
        if (!file)
            return nullptr;
#ifndef _WIN32
        // Mapped, a large script is read straight from the system's cache.
        std::size_t size = 0;
        if (void *at = mapped(fileno(file), size)) {
            std::fclose(file);
            auto script = std::make_unique<ScriptFile>();
            script->m_mapped = at;
            script->m_view = {static_cast<const char *>(at), size};
            return script;
        }
#endif
        std::unique_ptr<ScriptFile> script = readAll(file);
        const int why = errno;
        std::fclose(file);
        errno = why;
        return script;
    } catch (const std::bad_alloc &) {
        errno = ENOMEM;
        return nullptr;
    }
}

} // namespace files
