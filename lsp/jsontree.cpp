#include "jsontree.h"

#include <string>
#include <utility>
#include <vector>

namespace lsp {
namespace {

using nlohmann::json;

// The events of the library's SAX parser, built into a tree.
class Tree final
{
public:
    bool null() { return put(nullptr); }
    bool boolean(bool value) { return put(value); }
    bool number_integer(json::number_integer_t value) { return put(value); }
    bool number_unsigned(json::number_unsigned_t value) { return put(value); }
    bool number_float(json::number_float_t value, const std::string &) { return put(value); }
    bool string(std::string &value) { return put(std::move(value)); }
    bool binary(json::binary_t &value) { return put(json::binary(std::move(value))); }
    bool start_object(std::size_t) { return open(json::object()); }
    bool key(std::string &name) { return (m_key = std::move(name), true); }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(json::array()); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &)
    {
        return false;
    }

    json take() { return std::move(m_root); }

private:
    // The value in its place: the root, the next of an array, or the key's.
    json *place(json value)
    {
        if (m_open.empty()) {
            m_root = std::move(value);
            return &m_root;
        }
        json &container = *m_open.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return &container.back();
        }
        json &slot = container[m_key];
        slot = std::move(value);
        return &slot;
    }
    bool put(json value) { return place(std::move(value)), true; }
    bool open(json value) { return m_open.push_back(place(std::move(value))), true; }
    bool close() { return m_open.pop_back(), true; }

    json m_root;
    std::vector<json *> m_open; // an open container is changed only within
    std::string m_key;
};

} // namespace

std::optional<json> parseJson(std::string_view bytes)
{
    Tree tree;
    if (!json::sax_parse(bytes, &tree))
        return std::nullopt;
    return tree.take();
}

} // namespace lsp
