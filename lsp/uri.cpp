#include "uri.h"

#include "words.h"

#include <cctype>

namespace lsp {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string decoded(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += char(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool isDrive(std::string_view s)
{
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

} // namespace

std::optional<std::filesystem::path> pathOf(std::string_view uri)
{
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size()
        || !script::sameIgnoringCase(uri.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    uri.remove_prefix(kScheme.size());
    const std::size_t slash = uri.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view host = uri.substr(0, slash);
    std::string path = decoded(uri.substr(slash));
#ifdef _WIN32
    if (path.size() > 1 && isDrive(std::string_view(path).substr(1)))
        path.erase(0, 1); // /c:/folder is c:/folder
    if (!host.empty() && host != "localhost")
        path = "//" + std::string(host) + path; // a share
#else
    (void)host;
    (void)isDrive;
#endif
    return std::filesystem::path(path).lexically_normal();
}

std::string uriOf(const std::filesystem::path &path)
{
    std::string generic = path.generic_string();
    if (isDrive(generic))
        generic.insert(0, "/");
    std::string out = "file://";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : generic) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || std::string_view("-._~/:").find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

std::string pathKey(const std::filesystem::path &path)
{
    std::error_code error;
    std::string key = std::filesystem::absolute(path, error).lexically_normal().generic_string();
#ifdef _WIN32
    key = script::folded(key);
#endif
    return key;
}

} // namespace lsp
