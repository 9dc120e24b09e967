#include "runtime/Registry.h"

namespace runtime {

namespace registry = platform::registry;

std::optional<KeyPath> split_key(std::u16string_view key)
{
    struct RootName {
        std::u16string_view name;
        registry::Root root;
    };
    static const RootName roots[] = {
        { u"HKEY_CLASSES_ROOT", registry::Root::classes_root },
        { u"HKEY_LOCAL_MACHINE", registry::Root::local_machine },
        { u"HKEY_USERS", registry::Root::users },
        { u"HKEY_CURRENT_USER", registry::Root::current_user },
    };
    for (const auto& r : roots) {
        if (key.substr(0, r.name.size()) != r.name)
            continue;
        // The character after the root name is skipped, whatever it is.
        size_t start = r.name.size() + 1;
        return KeyPath { r.root, start <= key.size() ? std::u16string(key.substr(start)) : std::u16string() };
    }
    return std::nullopt;
}

bool write_string(std::u16string_view key, std::u16string_view name, std::u16string_view text)
{
    auto path = split_key(key);
    return path && registry::set_value(path->root, path->sub_path, name, registry::string_value(text));
}

bool read_string(std::u16string_view key, std::u16string_view name, std::u16string& text)
{
    auto path = split_key(key);
    if (!path)
        return false;
    auto value = registry::query_value(path->root, path->sub_path, name, true);
    if (!value)
        return false;
    // A value that fits the first one-byte query reads as empty, whatever its type.
    if (value->data.size() <= 1) {
        text.clear();
        return true;
    }
    if (value->type != registry::type_string)
        return false;
    std::u16string result;
    for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
        char16_t c = char16_t(value->data[i] | (value->data[i + 1] << 8));
        if (c == 0)
            break;
        result += c;
    }
    text = std::move(result);
    return true;
}

bool write_number(std::u16string_view key, std::u16string_view name, uint32_t number)
{
    auto path = split_key(key);
    return path && registry::set_value(path->root, path->sub_path, name, registry::dword_value(number));
}

bool read_number(std::u16string_view key, std::u16string_view name, uint32_t& number)
{
    auto path = split_key(key);
    if (!path)
        return false;
    auto value = registry::query_value(path->root, path->sub_path, name, true);
    if (!value || value->type != registry::type_dword || value->data.size() <= 1 || value->data.size() > 4)
        return false;
    uint32_t result = 0;
    for (size_t i = 0; i < value->data.size(); ++i)
        result |= uint32_t(value->data[i]) << (8 * i);
    number = result;
    return true;
}

bool read_number(std::u16string_view key, std::u16string_view name, int32_t& number)
{
    uint32_t value = 0;
    if (!read_number(key, name, value))
        return false;
    number = int32_t(value);
    return true;
}

bool read_flag(std::u16string_view key, std::u16string_view name, bool& flag)
{
    uint32_t value = 0;
    if (!read_number(key, name, value))
        return false;
    flag = value != 0;
    return true;
}

bool delete_key(std::u16string_view key)
{
    auto path = split_key(key);
    return path && registry::delete_key(path->root, path->sub_path);
}

} // namespace runtime
