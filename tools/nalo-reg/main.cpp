// nalo-reg: reads and writes the system's registry store from the command line.
#include "runtime/CommandLine.h"
#include "runtime/Registry.h"

#include "platform/RegistryStore.h"
#include "platform/TextEncoding.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace registry = platform::registry;
using platform::from_utf8;
using platform::to_utf8;

namespace {

const char* usage = "usage:\n"
                    "  nalo-reg get KEY NAME                 print a value (text as UTF-8, a DWORD in decimal)\n"
                    "  nalo-reg set KEY NAME --string TEXT   store a REG_SZ value\n"
                    "  nalo-reg set KEY NAME --dword N       store a REG_DWORD: decimal (may be negative, a\n"
                    "                                        leading 0 is still decimal) or 0x and hex digits\n"
                    "  nalo-reg delete KEY [NAME]            delete a value, or the key with all below it\n"
                    "  nalo-reg list KEY                     print every value of a key: name, type, value\n"
                    "  nalo-reg --help | --version\n"
                    "KEY begins with a root name, e.g. \"HKEY_CURRENT_USER\\Software\\NALO\\Weather\".\n"
                    "The store is $NALO_REGISTRY, else $XDG_CONFIG_HOME/nalo/registry.db.\n"
                    "Names and texts are UTF-8.\n"
                    "Exit status: 0 done, 1 value or key missing, 2 bad arguments or store failure.\n";

const runtime::CommandLine command_line("nalo-reg", usage);

int fail(const std::string& message, const std::string& detail = "")
{
    return command_line.fail(message + detail);
}

// The store could not be used: its own reason, else the given one.
int store_failure(const std::string& otherwise)
{
    std::string why = registry::last_failure();
    return fail("store failure: ", why.empty() ? otherwise : why);
}

// Decimal with an optional '-' (a leading 0 is decimal too), or "0x" and hex digits;
// nothing else, not even white space.
bool parse_dword(std::string_view text, uint32_t& out)
{
    bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    unsigned base = 10;
    if (!negative && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return false;
    uint64_t value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else
            return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull)
            return false;
    }
    if (negative && value > 0x80000000ull)
        return false;
    out = negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
    return true;
}

// Malformed UTF-8 would become U+FFFD, so two different names would name one value.
bool valid_utf8(std::string_view text) { return platform::to_utf8(platform::from_utf8(text)) == text; }

std::string show(const registry::Value& v)
{
    if (v.type == registry::type_dword && v.data.size() == 4) {
        uint32_t n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (uint32_t(v.data[3]) << 24);
        return std::to_string(n);
    }
    if (v.type == registry::type_string) {
        std::u16string text;
        for (size_t i = 0; i + 1 < v.data.size(); i += 2) {
            char16_t c = char16_t(v.data[i] | (v.data[i + 1] << 8));
            if (!c)
                break;
            text += c;
        }
        return to_utf8(text);
    }
    std::string hex;
    char byte[4];
    for (uint8_t b : v.data) {
        std::snprintf(byte, sizeof byte, "%02x", b);
        hex += byte;
    }
    return hex;
}

std::string type_name(uint32_t type)
{
    return type == registry::type_string ? "REG_SZ" : type == registry::type_dword ? "REG_DWORD" : "type " + std::to_string(type);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return command_line.usage_error();
    if (auto code = command_line.answer(argv[1]))
        return *code;
    std::string command = argv[1];
    if (runtime::CommandLine::is_option(command))
        return command_line.unknown_option(command);
    if (command != "get" && command != "set" && command != "delete" && command != "list")
        return fail("unknown command (get, set, delete, list): ", command);
    if (argc < 3)
        return fail("missing KEY; see nalo-reg --help");
    for (int i = 2; i < argc; ++i) {
        bool is_text = command == "set" && i == 5;
        if (!valid_utf8(argv[i]))
            return fail(is_text ? "the text is not valid UTF-8" : i == 2 ? "the key is not valid UTF-8" : "the name is not valid UTF-8");
    }
    std::u16string key = from_utf8(argv[2]);
    auto path = runtime::split_key(key);
    if (!path)
        return fail("the key must begin with HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_USER: ", argv[2]);

    if (command == "get") {
        if (argc != 4)
            return fail("get takes KEY NAME");
        auto value = registry::query_value(path->root, path->sub_path, from_utf8(argv[3]), false);
        if (!value) {
            if (!registry::last_failure().empty())
                return store_failure("");
            std::fprintf(stderr, "nalo-reg: no value %s under %s\n", argv[3], argv[2]);
            return 1;
        }
        std::printf("%s\n", show(*value).c_str());
        return 0;
    }
    if (command == "set") {
        if (argc != 6)
            return fail("set takes KEY NAME --string TEXT or KEY NAME --dword N");
        std::u16string name = from_utf8(argv[3]);
        std::string kind = argv[4];
        bool ok;
        if (kind == "--string") {
            ok = runtime::write_string(key, name, from_utf8(argv[5]));
        } else if (kind == "--dword") {
            uint32_t number = 0;
            if (!parse_dword(argv[5], number))
                return fail("not a 32-bit decimal or 0x hexadecimal number: ", argv[5]);
            ok = runtime::write_number(key, name, number);
        } else {
            return fail("unknown value kind (use --string or --dword): ", kind);
        }
        return ok ? 0 : store_failure("could not write to " + registry::database_path());
    }
    if (command == "delete") {
        if (argc == 3) {
            if (runtime::delete_key(key))
                return 0;
            if (!registry::last_failure().empty())
                return store_failure("");
            std::fprintf(stderr, "nalo-reg: no key %s\n", argv[2]);
            return 1;
        }
        if (argc != 4)
            return fail("delete takes KEY [NAME]");
        if (registry::delete_value(path->root, path->sub_path, from_utf8(argv[3])))
            return 0;
        if (!registry::last_failure().empty())
            return store_failure("");
        std::fprintf(stderr, "nalo-reg: no value %s under %s\n", argv[3], argv[2]);
        return 1;
    }
    if (argc != 3)
        return fail("list takes KEY");
    if (!registry::key_exists(path->root, path->sub_path)) {
        if (!registry::last_failure().empty())
            return store_failure("");
        std::fprintf(stderr, "nalo-reg: no key %s\n", argv[2]);
        return 1;
    }
    auto values = registry::list_values(path->root, path->sub_path);
    if (!registry::last_failure().empty())
        return store_failure("");
    for (const auto& v : values)
        std::printf("%s\t%s\t%s\n", to_utf8(v.name).c_str(), type_name(v.value.type).c_str(), show(v.value).c_str());
    return 0;
}
