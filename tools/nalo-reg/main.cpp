// nalo-reg: reads and writes the system's registry store from the command line.
#include "runtime/Registry.h"

#include "platform/RegistryStore.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace registry = platform::registry;
using platform::from_utf8;
using platform::to_utf8;

namespace {

const char* usage = "usage:\n"
                    "  nalo-reg get KEY NAME                 print a value (text as UTF-8, a DWORD in decimal)\n"
                    "  nalo-reg set KEY NAME --string TEXT   store a REG_SZ value\n"
                    "  nalo-reg set KEY NAME --dword N       store a REG_DWORD (decimal, negative or 0x..)\n"
                    "  nalo-reg delete KEY [NAME]            delete a value, or the key with all below it\n"
                    "  nalo-reg list KEY                     print every value of a key: name, type, value\n"
                    "KEY begins with a root name, e.g. \"HKEY_CURRENT_USER\\Software\\NALO\\Weather\".\n"
                    "The store is $NALO_REGISTRY, else $XDG_CONFIG_HOME/nalo/registry.db.\n"
                    "Exit status: 0 done, 1 value or key missing, 2 bad arguments or store failure.\n";

int fail(const char* message, const std::string& detail = "")
{
    std::fprintf(stderr, "nalo-reg: %s%s\n", message, detail.c_str());
    return 2;
}

bool parse_dword(const char* text, uint32_t& out)
{
    errno = 0;
    char* end = nullptr;
    bool negative = text[0] == '-';
    const char* digits = negative ? text + 1 : text;
    if (!*digits || *digits == '-' || *digits == '+')
        return false;
    unsigned long long value = std::strtoull(digits, &end, 0);
    if (errno || *end || value > 0xFFFFFFFFull || (negative && value > 0x80000000ull))
        return false;
    out = negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
    return true;
}

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
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::string command = argv[1];
    if (argc < 3)
        return fail("missing KEY; see nalo-reg --help");
    std::u16string key = from_utf8(argv[2]);
    auto path = runtime::split_key(key);
    if (!path)
        return fail("the key must begin with HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_USER: ", argv[2]);

    if (command == "get") {
        if (argc != 4)
            return fail("get takes KEY NAME");
        auto value = registry::query_value(path->root, path->sub_path, from_utf8(argv[3]), false);
        if (!value) {
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
                return fail("not a 32-bit number: ", argv[5]);
            ok = runtime::write_number(key, name, number);
        } else {
            return fail("unknown value kind (use --string or --dword): ", kind);
        }
        return ok ? 0 : fail("could not write to the store ", registry::database_path());
    }
    if (command == "delete") {
        if (argc == 3) {
            if (runtime::delete_key(key))
                return 0;
            std::fprintf(stderr, "nalo-reg: no key %s\n", argv[2]);
            return 1;
        }
        if (argc != 4)
            return fail("delete takes KEY [NAME]");
        if (registry::delete_value(path->root, path->sub_path, from_utf8(argv[3])))
            return 0;
        std::fprintf(stderr, "nalo-reg: no value %s under %s\n", argv[3], argv[2]);
        return 1;
    }
    if (command == "list") {
        if (argc != 3)
            return fail("list takes KEY");
        if (!registry::key_exists(path->root, path->sub_path)) {
            std::fprintf(stderr, "nalo-reg: no key %s\n", argv[2]);
            return 1;
        }
        for (const auto& v : registry::list_values(path->root, path->sub_path))
            std::printf("%s\t%s\t%s\n", to_utf8(v.name).c_str(), type_name(v.value.type).c_str(), show(v.value).c_str());
        return 0;
    }
    return fail("unknown command (get, set, delete, list): ", command);
}
