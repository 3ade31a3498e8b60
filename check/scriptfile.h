#pragma once

// A level script's bytes, as spawnsmith-check and the language server read
// them from disk: any bytes, of any size. Plain C++.

#include <memory>
#include <string>
#include <string_view>

namespace files {

// A script's bytes: a large file mapped into memory where the system can,
// else read whole into a string.
class ScriptFile final
{
public:
    ScriptFile() = default;
    explicit ScriptFile(std::string text);
    ~ScriptFile();
    ScriptFile(const ScriptFile &) = delete;
    ScriptFile &operator=(const ScriptFile &) = delete;

    std::string_view text() const { return m_view; }
    // The bytes as a string of their own (a copy where they are mapped).
    std::string take();

private:
    friend std::unique_ptr<ScriptFile> readScriptFile(const std::string &path);
    std::string m_text;
    void *m_mapped = nullptr;
    std::string_view m_view;
};

// The file at path, or standard input for "-"; null where it cannot be read,
// with errno saying why (0 where the system gave no reason).
std::unique_ptr<ScriptFile> readScriptFile(const std::string &path);

} // namespace files
